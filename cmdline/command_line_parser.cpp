#include "cmdline/command_line_parser.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <utility>

#include "cmdline/argument_file.h"
#include "cmdline/standard_command_line_parser.h"
#include "cmdline/version_info_reader.h"
#include "platform/current_directory.h"
#include "platform/file.h"
#include "platform/file_mapping.h"
#include "platform/path.h"

namespace {

// Named arguments are written after "/" in the usage text; positional ones stand bare.
std::string PrefixOf(ArgumentKind kind) {
  return kind == Named ? "/" : "";
}

std::string TextOrEmpty(const char* text) {
  return text ? std::string(text) : std::string();
}

}  // namespace

// Hands a walk its tokens one at a time, so that a long argument file costs no more than its text.
class TokenSource {
 public:
  virtual ~TokenSource() = default;
  /// Stores the next token in *token; false when there is none left.
  virtual bool Next(std::string* token) = 0;
};

namespace {

class ListTokens : public TokenSource {
 public:
  explicit ListTokens(const std::vector<std::string>& tokens) : tokens_(tokens) {}
  bool Next(std::string* token) override {
    if (next_ >= tokens_.size())
      return false;
    *token = tokens_[next_++];
    return true;
  }

 private:
  const std::vector<std::string>& tokens_;
  std::size_t next_ = 0;
};

// The tokens of an argument file's text: separators space, tab, CR and LF; double quotes group and
// are dropped; empty tokens are dropped.
class TextTokens : public TokenSource {
 public:
  explicit TextTokens(const std::string& text) : text_(text) {}
  bool Next(std::string* token) override {
    token->clear();
    while (next_ < text_.size()) {
      const char c = text_[next_++];
      if (c == '"')
        quoted_ = !quoted_;
      else if (quoted_ || !IsSeparatorChar(c))
        *token += c;
      else if (!token->empty())
        return true;
    }
    return !token->empty();
  }

 private:
  const std::string& text_;
  std::size_t next_ = 0;
  bool quoted_ = false;
};

// Keeps the stack of open argument files true to the recursion on every way out, an exception
// passing through a nested walk included; otherwise a later walk would see phantom cycles.
template <typename Entry>
class OpenFileGuard {
 public:
  OpenFileGuard(std::vector<Entry>& stack, Entry entry) : stack_(stack) {
    stack_.push_back(std::move(entry));
  }
  ~OpenFileGuard() { stack_.pop_back(); }
  OpenFileGuard(const OpenFileGuard&) = delete;
  OpenFileGuard& operator=(const OpenFileGuard&) = delete;

 private:
  std::vector<Entry>& stack_;
};

}  // namespace

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
  // Another spelling of the same file (a link, a short name) is still the same file, and another
  // file is another file however alike the spellings (letter case in a case-sensitive folder, "?"
  // for different characters the code page lacks): the spelling counts only where no identity
  // could be read.
  OpenArgumentFile file{fullPath, platform::FileIdentity(), false};
  file.identityKnown = platform::GetFileIdentity(exactPath, &file.identity);
  for (const OpenArgumentFile& open : openArgumentFiles) {
    const bool same = open.identityKnown && file.identityKnown
                          ? open.identity == file.identity
                          : platform::IsSameFullPath(open.fullPath, fullPath);
    if (same) {
      errorText = "File " + fullPath + " includes itself";
      return false;
    }
  }
  if (openArgumentFiles.size() >= kMaxArgumentFileDepth) {
    errorText = "File " + fullPath + " is nested too deeply";
    return false;
  }
  if (argumentFilesRead >= kMaxArgumentFilesPerParse) {
    errorText = "File " + fullPath + " exceeds the limit of " +
                std::to_string(kMaxArgumentFilesPerParse) + " argument files";
    return false;
  }
  ++argumentFilesRead;
  OpenFileGuard guard(openArgumentFiles, std::move(file));

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
  const bool parsed = LoadTextFile(exactPath, text) && ParseArgumentText(text);
  // Names after the file (a relative /burnfile value above all) resolve against the folder the
  // walk came from; from any other folder they would name another file.
  if (!folder.Restore() && parsed) {
    errorText = "Failed to return to the current directory after file " + fullPath;
    return false;
  }
  return parsed;
}

bool CommandLineParser::LoadTextFile(const platform::PathName& exactPath, std::string& text) {
  const std::string& path = exactPath.text;
  ClearErrorText();
  text.clear();

  platform::ScopedFileHandle file = platform::OpenFileExclusive(exactPath, platform::FileAccess::kRead);
  if (!file) {
    errorText = "Failed to open file " + path;
    return false;
  }
  uint64_t length = 0;
  if (!platform::GetFileLength(file, &length)) {
    errorText = "Failed to get file information for " + path;
    return false;
  }
  if ((length >> 32) != 0) {
    errorText = "File " + path + " is too large";
    return false;
  }
  if (length == 0)
    return true;

  platform::ScopedMappingHandle mapping = platform::CreateFileMappingOf(file, length);
  if (!mapping) {
    errorText = "Failed to create file mapping on file " + path;
    return false;
  }
  platform::ScopedFileView view = platform::MapWholeFile(mapping, length);
  if (!view) {
    errorText = "Failed to map view of file " + path;
    return false;
  }

  const unsigned char* bytes = view.data();
  // A file of one or two bytes is always narrow text, even one that holds just the mark.
  const unsigned mark = length > 2 ? (bytes[0] | (bytes[1] << 8)) : 0;
  if (mark == 0xFFFE) {
    errorText = "File " + path + " is in big-endian unicode format";
    return false;
  }

  try {
    if (mark == 0xFEFF) {
      // The view is aligned (a mapped page, or a block from operator new), so the units after the
      // two mark bytes are aligned too. An odd last byte is no whole unit and is dropped.
      const std::size_t count = static_cast<std::size_t>(length / 2 - 1);
      ConvertWideToAnsi(reinterpret_cast<const char16_t*>(bytes + 2), count, text);
    } else {
      text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    }
  } catch (const std::exception&) {
    text.clear();
    errorText = "Failed to convert character data from file " + path + ".";
    return false;
  }

  // Line ends only separate tokens: even inside quotes they must not reach a value.
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return true;
}

bool CommandLineParser::ParseArgumentText(const std::string& text) {
  TextTokens tokens(text);
  return WalkTokens(tokens);
}

CommandLineParser::CommandLineParser(bool allowArgumentFiles)
    : allowArgumentFiles(allowArgumentFiles) {}

void CommandLineParser::AddArgument(Argument* argument) {
  entries.push_back(ArgumentEntry{Named, argument});
}

bool CommandLineParser::ParseArguments(int argc, char** argv, bool skipFirst) {
  std::vector<std::string> tokens;
  for (int i = skipFirst ? 1 : 0; i < argc; ++i)
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
  const bool outermost = openArgumentFiles.empty();
  if (outermost)
    argumentFilesRead = 0;

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
                            TextOrEmpty(reader.QueryString("LegalCopyright")));
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
