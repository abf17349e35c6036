#include "app/ostra_command_line.h"
#include "platform/program.h"

int main(int argc, char** argv) {
  platform::PrepareProcess();
  return RunOstra(argc, argv);
}
