#include "platform/program.h"

#include <signal.h>

namespace platform {

void PrepareProcess() { signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform
