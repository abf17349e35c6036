#include "cmdline/standard_command_line_parser.h"

#include <new>
#include <stdexcept>

#include "cmdline/usage_text.h"
#include "platform/console.h"

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
    errorText = kNotEnoughMemoryText;
  } catch (const std::length_error&) {
    errorText = kNotEnoughMemoryText;
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
    // Up to the first NUL, as everywhere in the framework.
    platform::WriteLine(platform::OutputStream::kStandardOutput, text.c_str());
    return;
  }
  platform::ShowMessageBox(text.c_str(), GetProgramName());
}
