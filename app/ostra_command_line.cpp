#include "app/ostra_command_line.h"

#include <new>

#include "stamp/burn_file.h"
#include "platform/out_of_memory.h"
#include "platform/path_name.h"
#include "platform/process_arguments.h"

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
  std::string fileName;
  std::string marker;
  std::string replacement;
  {
    // Memory may run out before the walk (copying the arguments) or within it: either way the
    // command line could not be read, which is -1 and says so, never an abort. The guard ends
    // before the stamp, which answers for its own memory.
    const platform::ScopedOutOfMemoryExit outOfMemory(kNotEnoughMemoryText);
    try {
      platform::ProcessArguments arguments(argc, argv);
      OstraCommandLine commandLine;
      commandLine.MarkInexact(arguments.FirstInexactArgument());
      if (!commandLine.Parse(arguments.Count(), arguments.Vector()))
        return -1;
      fileName = commandLine.burnFile.GetValue();
      marker = commandLine.burnString.GetValue();
      replacement = commandLine.burnSn.GetValue();
    } catch (const std::bad_alloc&) {
      outOfMemory.Exit();
    }
  }
  // An empty file name means there is nothing to do, whatever else was given.
  if (fileName.empty())
    return -1;
  // The stamp takes C strings: a value with a zero byte inside (an argument file can hold one)
  // would silently stand for its shorter front, and so search or write or open the wrong thing.
  using platform::HasZeroByte;
  if (HasZeroByte(fileName) || HasZeroByte(marker) || HasZeroByte(replacement))
    return 0;
  return BurnFile(fileName.c_str(), marker.c_str(), replacement.c_str());
}
