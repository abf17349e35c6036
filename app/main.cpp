#include "app/ostra_command_line.h"
#include "platform/process_arguments.h"
#include "platform/program.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  platform::ProcessArguments arguments(argc, argv);
  return RunOstra(arguments.Count(), arguments.Vector());
}
