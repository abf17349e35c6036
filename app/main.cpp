#include "app/ostra_command_line.h"

int main(int argc, char** argv) { return RunOstra(argc, argv); }
