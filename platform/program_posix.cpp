#include "platform/program.h"

#include <signal.h>

namespace platform {

void PrepareProcess() {
  signal(SIGXFSZ, SIG_IGN);
  // `ostra /bogus | true`: a reader that went away must leave the exit status to the program.
  signal(SIGPIPE, SIG_IGN);
}

bool IsConsoleSubsystem() { return true; }

}  // namespace platform
