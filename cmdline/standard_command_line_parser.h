#ifndef OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_
#define OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_

#include <string>

#include "cmdline/argument.h"
#include "cmdline/command_line_parser.h"

/// The message of a command line that memory ran out reading.
constexpr const char* kNotEnoughMemoryText = "Not enough memory to read the command line.";

/// The parser a program derives its command line from: it registers the help switch ("?", "h",
/// "help") and the version switch ("v", "version") ahead of the program's own arguments, and after
/// the walk either lets the program go on or shows the version banner or the usage text.
class StandardCommandLineParser : public CommandLineParser {
 public:
  explicit StandardCommandLineParser(bool allowArgumentFiles);

  /// Walks the process arguments after the program name, then decides. Returns true when the
  /// program may go on: no error, and neither help nor version was asked for.
  bool Parse(int argc, char** argv);

  /// The decision after the walk: the version switch shows the banner; an error or the help switch
  /// shows the usage text (the error at its head unless help was asked for). Returns false when
  /// something was shown, true otherwise.
  bool HandleHelpAndVersion();

  /// Shows `text` (up to its first NUL) followed by a line end: on standard output for a console
  /// program, in a message box captioned with the program name otherwise.
  void DisplayText(const std::string& text);

 private:
  FlagArg helpSwitch;
  FlagArg versionSwitch;
};

#endif  // OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_
