#include "cmdline/standard_command_line_parser.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/console.h"
#include "platform/path.h"
#include "platform/program.h"

StandardCommandLineParser::StandardCommandLineParser(bool allowArgumentFiles)
    : CommandLineParser(allowArgumentFiles),
      helpSwitch("?", "Show usage."),
      versionSwitch("v", "Show version.") {
  AddArgument(&helpSwitch);
  helpSwitch.AddName("h");
  helpSwitch.AddName("help");
  AddArgument(&versionSwitch);
  versionSwitch.AddName("version");
}

bool StandardCommandLineParser::Parse(int argc, char** argv) {
  // The decision reads the error text and the switches, so the walk's own answer adds nothing.
  try {
    ParseArguments(argc, argv, /*skipFirst=*/true);
  } catch (const std::bad_alloc&) {
    // A huge argument file can exhaust memory: that is a bad command line, not a crash.
    errorText = "Not enough memory to read the command line.";
  } catch (const std::length_error&) {
    errorText = "Not enough memory to read the command line.";
  }
  return HandleHelpAndVersion();
}

bool StandardCommandLineParser::HandleHelpAndVersion() {
  if (versionSwitch.IsSet()) {
    DisplayText(GetVersionText());
    return false;
  }
  if (errorText.empty() && !helpSwitch.IsSet())
    return true;
  // An explicit request for help shows the plain usage, even when a later token stopped the walk.
  if (helpSwitch.IsSet())
    ClearErrorText();
  DisplayText(GetUsageText(std::string()));
  return false;
}

void StandardCommandLineParser::DisplayText(const std::string& text) {
  if (IsConsoleProgram()) {
    // Up to the first NUL, as everywhere in the framework. Text mode turns the line end into
    // CR LF on Windows. Plain stdio: the iostream machinery would triple the program's size.
    std::fwrite(text.c_str(), 1, std::strlen(text.c_str()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return;
  }
  platform::ShowMessageBox(text.c_str(), GetProgramName());
}

std::string BuildVersionBanner(const std::string& description, const std::string& version,
                               const std::string& copyright) {
  std::string banner = description + " version " + version + "\n";
  // Without a copyright there is nothing to put the full stop after; a bare
  // ". All rights reserved." line would claim rights nobody named.
  if (copyright.empty())
    return banner;
  // Code page 1252 has single-byte copyright and registered signs, which resource scripts rarely
  // carry; the upper-case forms are left alone on purpose.
  std::string line = ReplaceAll(copyright, "(c)", "\xA9", true);
  line = ReplaceAll(line, "(r)", "\xAE", true);
  if (line.back() != '.')
    line += '.';
  return banner + line + " All rights reserved.\n";
}

std::string GetProgramName() { return platform::GetFileStem(platform::GetProgramPath()); }

bool IsConsoleProgram() { return platform::IsConsoleSubsystem(); }

std::string ReplaceAll(const std::string& subject, const std::string& search,
                       const std::string& replacement, bool all) {
  std::string result = subject;
  // An empty search matches everywhere, also inside what was just inserted: it would never end.
  if (search.empty())
    return result;
  std::string::size_type position = 0;
  while ((position = result.find(search, position)) != std::string::npos) {
    result.replace(position, search.size(), replacement);
    if (!all)
      break;
    position += replacement.size();
  }
  return result;
}
