#ifndef OSTRA_APP_OSTRA_COMMAND_LINE_H_
#define OSTRA_APP_OSTRA_COMMAND_LINE_H_

#include <string>

#include "cmdline/argument.h"
#include "cmdline/standard_command_line_parser.h"

/// The tool's command line: the help and version switches, then /burnfile, /burnstring and /burnsn,
/// each taking one value and defaulting to the empty string. Argument files are allowed.
class OstraCommandLine : public StandardCommandLineParser {
 public:
  OstraCommandLine();

  ValueArg<std::string> burnFile;
  ValueArg<std::string> burnString;
  ValueArg<std::string> burnSn;
};

/// The tool's entry, given main's arguments: reads the process's command line (showing usage,
/// version or errors itself) and stamps the named file. Returns the exit status: -1 when nothing
/// was done (parse error, help, version, no /burnfile value, not enough memory to read the command
/// line), 1 when the marker was found and written, 0 when it was not.
int RunOstra(int argc, char** argv);

#endif  // OSTRA_APP_OSTRA_COMMAND_LINE_H_
