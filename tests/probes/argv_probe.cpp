// Started by the process-argument tests: exits with 0 when ProcessArguments, which splits the
// UTF-16 command line itself, gives exactly the argv that the C run time made, else prints both
// and exits with 1.
#include <cstdio>
#include <string>

#include "platform/process_arguments.h"

int main(int argc, char** argv) {
  platform::ProcessArguments split(argc, argv);
  bool same = split.Count() == argc;
  for (int i = 0; same && i < argc; ++i)
    same = std::string(split.Vector()[i]) == argv[i];
  if (same)
    return 0;
  for (int i = 0; i < argc; ++i)
    std::fprintf(stderr, "run time [%s]\n", argv[i]);
  for (int i = 0; i < split.Count(); ++i)
    std::fprintf(stderr, "split    [%s]\n", split.Vector()[i]);
  return 1;
}
