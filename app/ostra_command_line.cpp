#include "app/ostra_command_line.h"

#include "app/burn_file.h"

namespace {

// The stamp takes C strings: a value with a zero byte inside (an argument file can hold one) would
// silently stand for its shorter front, and so search or write or open the wrong thing.
bool HoldsZeroByte(const std::string& value) { return value.find('\0') != std::string::npos; }

}  // namespace

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
  if (!commandLine.Parse(argc, argv))
    return -1;
  const std::string& fileName = commandLine.burnFile.GetValue();
  const std::string& marker = commandLine.burnString.GetValue();
  const std::string& replacement = commandLine.burnSn.GetValue();
  // An empty file name means there is nothing to do, whatever else was given.
  if (fileName.empty())
    return -1;
  if (HoldsZeroByte(fileName) || HoldsZeroByte(marker) || HoldsZeroByte(replacement))
    return 0;
  return BurnFile(fileName.c_str(), marker.c_str(), replacement.c_str());
}
