#include "cmdline/command_line_parser.h"

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
  ClearErrorText();
  // A walk with no argument file open is the outermost one: it owns the file budget, and only it
  // can tell whether a required argument is missing, since a file's tokens may be followed by more
  // tokens on the command line.
  const bool outermost = openArgumentFiles.empty();
  if (outermost)
    argumentFilesRead = 0;

  for (std::size_t cursor = 0; cursor < tokens.size(); ++cursor) {
    const std::string& token = tokens[cursor];
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
      std::string value = token;
      if (named) {
        if (cursor + 1 >= tokens.size()) {
          errorText = "Argument '" + argument->GetName() + "' expects a parameter.";
          return false;
        }
        value = tokens[++cursor];
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
