// Built as a window program (the GUI subsystem): exits with 0 when it sees itself as one.
#include "platform/program.h"

int main() { return platform::IsConsoleSubsystem() ? 1 : 0; }
