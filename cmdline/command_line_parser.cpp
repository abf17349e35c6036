#include "cmdline/command_line_parser.h"

#include "cmdline/token_source.h"
#include "cmdline/usage_text.h"
#include "cmdline/version_info_reader.h"
#include "platform/current_directory.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/program.h"
#include "platform/text_encoding.h"

namespace {

// Named arguments are written after "/" in the usage text; positional ones stand bare.
std::string PrefixOf(ArgumentKind kind) {
  return kind == Named ? "/" : "";
}

std::string TextOrEmpty(const char* text) {
  return text ? std::string(text) : std::string();
}

class ListTokens : public TokenSource {
 public:
  explicit ListTokens(const std::vector<std::string>& list) : tokens(list) {}
  bool Next(std::string* token) override {
    if (next >= tokens.size())
      return false;
    *token = tokens[next++];
    return true;
  }

 private:
  const std::vector<std::string>& tokens;
  std::size_t next = 0;
};

// Keeps the stack of open argument files true to the recursion on every way out, an exception
// passing through a nested walk included; otherwise a later walk would see phantom cycles.
class LeaveOnExit {
 public:
  explicit LeaveOnExit(ArgumentFileStack& entered) : stack(entered) {}
  ~LeaveOnExit() { stack.Leave(); }
  LeaveOnExit(const LeaveOnExit&) = delete;
  LeaveOnExit& operator=(const LeaveOnExit&) = delete;

 private:
  ArgumentFileStack& stack;
};

}  // namespace

CommandLineParser::CommandLineParser(bool allowArgumentFiles)
    : allowArgumentFiles(allowArgumentFiles) {}

void CommandLineParser::AddArgument(Argument* argument) {
  entries.push_back(ArgumentEntry{Named, argument});
}

void CommandLineParser::AddPositionalArgument(Argument* argument) {
  entries.push_back(ArgumentEntry{Positional, argument});
}

bool CommandLineParser::ParseArguments(int argc, char** argv, bool skipFirst) {
  const int first = skipFirst ? 1 : 0;
  // Its display form may stand for another file, value or option: nothing of the run is used.
  if (inexactArgument > 0 && inexactArgument < argc) {
    errorText = "Argument " + std::to_string(inexactArgument) + " holds text that " +
                platform::NarrowEncodingName() + " cannot represent.";
    return false;
  }
  std::vector<std::string> tokens;
  for (int i = first; i < argc; ++i)
    tokens.push_back(argv[i]);
  return ParseTokens(tokens);
}

bool CommandLineParser::ParseTokens(const std::vector<std::string>& tokens) {
  ListTokens list(tokens);
  return WalkTokens(list);
}

bool CommandLineParser::WalkTokens(TokenSource& tokens) {
  ClearErrorText();
  // A walk with no argument file open is the outermost one: it owns the file budget, and only it
  // can tell whether a required argument is missing, since a file's tokens may be followed by more
  // tokens on the command line.
  const bool outermost = openArgumentFiles.IsEmpty();
  if (outermost)
    openArgumentFiles.ResetCount();

  std::string token;
  while (tokens.Next(&token)) {
    Argument* argument = nullptr;
    bool named = false;
    if (token.size() >= 2 && (token[0] == '/' || token[0] == '-')) {
      argument = FindNamedArgument(token.substr(1));
      named = true;
    } else if (token.size() >= 2 && token[0] == '@' && allowArgumentFiles) {
      if (!ExpandArgumentFile(token.substr(1)))
        return false;
      continue;
    } else {
      argument = FindPositionalArgument();
    }

    if (argument == nullptr) {
      errorText = "Unrecognized argument '" + token + "'.";
      return false;
    }

    if (!TakeArgument(argument, named, token, tokens))
      return false;
  }

  if (outermost) {
    for (const ArgumentEntry& entry : entries) {
      if (!entry.argument->IsSatisfied()) {
        errorText = "Expected argument '" + entry.argument->GetName() + "'.";
        return false;
      }
    }
  }
  return true;
}

bool CommandLineParser::TakeArgument(Argument* argument, bool named, std::string& token,
                                     TokenSource& tokens) {
  if (argument->ExpectsParameter()) {
    std::string value;
    if (!named) {
      value.swap(token);
    } else if (!tokens.Next(&value)) {
      errorText = "Argument '" + argument->GetName() + "' expects a parameter.";
      return false;
    }
    if (!argument->CanAcceptParameter()) {
      errorText = "Argument '" + argument->GetName() + "' cannot accept another parameter: '" +
                  value + "'.";
      return false;
    }
    if (!argument->AcceptParameter(value)) {
      errorText =
          "Argument '" + argument->GetName() + "' cannot accept parameter: '" + value + "'.";
      return false;
    }
  } else if (argument->IsFound()) {
    errorText = "Argument '" + argument->GetName() + "' already present.";
    return false;
  }
  argument->SetFound(true);
  return true;
}

bool CommandLineParser::ExpandArgumentFile(const std::string& fileName) {
  if (platform::GetPathKind(fileName) != platform::PathKind::kFile) {
    errorText = "File not found: " + fileName;
    return false;
  }

  platform::PathName exactPath;
  platform::PathName folderPath;
  if (!platform::GetFullPath(fileName, &exactPath, &folderPath)) {
    errorText = "File name too long: " + fileName;
    return false;
  }
  const std::string& fullPath = exactPath.text;

  // A file may name itself, directly or through others, and a chain of files that each name the
  // next twice doubles without any cycle; both must end the walk, not the stack or the clock.
  const std::string refused = openArgumentFiles.Enter(exactPath);
  if (!refused.empty()) {
    errorText = refused;
    return false;
  }
  LeaveOnExit leave(openArgumentFiles);

  // Relative names inside the file, nested files included, are meant relative to the file itself.
  platform::ScopedCurrentDirectory folder(folderPath);
  if (!folder.IsSaved()) {
    errorText = "Failed to save the current directory to read file " + fullPath;
    return false;
  }
  // Nested names resolve against the folder; from anywhere else they could name another file.
  if (!folder.IsEntered()) {
    errorText = "Failed to enter the folder of file " + fullPath;
    return false;
  }

  std::string text;
  const bool parsed = LoadArgumentFileText(exactPath, text, errorText) && ParseArgumentText(text);
  // Names after the file (a relative /burnfile value above all) resolve against the folder the
  // walk came from; from any other folder they would name another file.
  if (!folder.Restore() && parsed) {
    errorText = "Failed to return to the current directory after file " + fullPath;
    return false;
  }
  return parsed;
}

bool CommandLineParser::ParseArgumentText(const std::string& text) {
  ArgumentFileTokens tokens(text);
  return WalkTokens(tokens);
}

Argument* CommandLineParser::FindNamedArgument(const std::string& name) {
  for (const ArgumentEntry& entry : entries) {
    if (entry.kind == Named && entry.argument->MatchesName(name))
      return entry.argument;
  }
  return nullptr;
}

Argument* CommandLineParser::FindPositionalArgument() {
  for (const ArgumentEntry& entry : entries) {
    if (entry.kind == Positional && entry.argument->ExpectsParameter() &&
        entry.argument->CanAcceptParameter())
      return entry.argument;
  }
  return nullptr;
}

std::string CommandLineParser::GetVersionText() {
  VersionInfoReader reader("040904B0");
  if (reader.Load(platform::GetProgramModule()) < 0)
    return std::string();
  return BuildVersionBanner(TextOrEmpty(reader.QueryString("FileDescription")),
                            TextOrEmpty(reader.QueryString("FileVersion")),
                            TextOrEmpty(reader.QueryString("LegalCopyright")),
                            GetCodePageLegalSigns());
}

std::string CommandLineParser::GetUsageText(const std::string& message) {
  std::string out;
  // Through the virtual call, so a class with its own banner shows it here as well.
  const std::string banner = GetVersionText();
  if (!banner.empty())
    out += banner + "\n";

  if (!message.empty())
    out += message + "\n\n";
  else if (!errorText.empty())
    out += errorText + "\n\n";

  out += "Usage: " + GetProgramName();
  if (allowArgumentFiles)
    out += " [@argfile]";
  for (const ArgumentEntry& entry : entries)
    out += " " + entry.argument->GetUsageSyntax(PrefixOf(entry.kind));
  out += "\n\n";

  if (allowArgumentFiles)
    out += "@argfile\tRead arguments from a file.\n";
  for (const ArgumentEntry& entry : entries) {
    const std::string line = entry.argument->GetHelpLine(PrefixOf(entry.kind));
    if (!line.empty())
      out += line + "\n";
  }
  return out;
}
