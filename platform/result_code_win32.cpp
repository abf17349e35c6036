#include "platform/result_code.h"

#include "platform/win32.h"

namespace platform {

ResultCode ResultFromLastError() {
  const DWORD error = GetLastError();
  return error != 0 ? ResultFromSystemError(error) : kResultFail;
}

}  // namespace platform
