#include "platform/program.h"

namespace platform {

void PrepareProcess() {}

}  // namespace platform
