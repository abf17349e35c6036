#ifndef OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_
#define OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_

#include <string>

#include "cmdline/argument.h"
#include "cmdline/command_line_parser.h"

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

/// The running program file's name without folder and extension; empty when its path cannot be had.
std::string GetProgramName();

/// Whether the running program is a console program, as its own loaded image says: the answer
/// never depends on its path, which may be unreadable, and a message box nobody closes would
/// stall an unattended installation.
bool IsConsoleProgram();

/// A copy of `subject` in which the first occurrence of `search`, or with `all` every occurrence
/// from left to right, is replaced by `replacement`; replaced text is never searched again.
std::string ReplaceAll(const std::string& subject, const std::string& search,
                       const std::string& replacement, bool all);

/// The version banner from a version resource's three values: "<description> version <version>",
/// a line end, then the copyright with every "(c)" and "(r)" made the code page 1252 signs, a full
/// stop unless it ends with one, " All rights reserved." and a line end. An empty copyright leaves
/// out the whole second line.
std::string BuildVersionBanner(const std::string& description, const std::string& version,
                               const std::string& copyright);

#endif  // OSTRA_CMDLINE_STANDARD_COMMAND_LINE_PARSER_H_
