#include "app/ostra_command_line.h"

#include "app/burn_file.h"

OstraCommandLine::OstraCommandLine()
    : StandardCommandLineParser(true),
      burnFile("burnfile", "File Name to Burn.", "value"),
      burnString("burnstring", "String to search for in burnfile.", "value"),
      burnSn("burnsn", "Serial Number to Burn.", "value") {
  for (ValueArg<std::string>* option : {&burnFile, &burnString, &burnSn}) {
    AddArgument(option);
    option->SetDefault("");
  }
}

int RunOstra(int argc, char** argv) {
  OstraCommandLine commandLine;
  int outcome = -1;
  if (!commandLine.Parse(argc, argv))
    return -1;
  // An empty file name means there is nothing to do, whatever else was given.
  if (!commandLine.burnFile.GetValue().empty()) {
    const std::string fileName = commandLine.burnFile.GetValue();
    const std::string marker = commandLine.burnString.GetValue();
    const std::string replacement = commandLine.burnSn.GetValue();
    outcome = BurnFile(fileName.c_str(), marker.c_str(), replacement.c_str());
  }
  return outcome;
}
