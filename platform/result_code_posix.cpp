#include "platform/result_code.h"

#include <errno.h>

namespace platform {

ResultCode ResultFromLastError() {
  return errno != 0 ? ResultFromSystemError(static_cast<std::uint32_t>(errno)) : kResultFail;
}

}  // namespace platform
