#ifndef OSTRA_PLATFORM_RESULT_CODE_H_
#define OSTRA_PLATFORM_RESULT_CODE_H_

#include <cstdint>

namespace platform {

/// Result codes follow the Windows convention: 0 is success, a negative value a failure.
using ResultCode = std::int32_t;

constexpr ResultCode kResultOk = 0;                                           // S_OK
constexpr ResultCode kResultFail = static_cast<ResultCode>(0x80004005u);         // E_FAIL
constexpr ResultCode kResultOutOfMemory = static_cast<ResultCode>(0x8007000Eu);  // E_OUTOFMEMORY

/// The result code of a system error code, by Windows' HRESULT_FROM_WIN32 rule: a value of 0 or
/// below, taken as signed, is returned unchanged; any other becomes (value & 0xFFFF) | 0x80070000.
inline ResultCode ResultFromSystemError(std::uint32_t error) {
  if (static_cast<std::int32_t>(error) <= 0)
    return static_cast<std::int32_t>(error);
  return static_cast<std::int32_t>((error & 0xFFFFu) | 0x80070000u);
}

/// The system's last error on this thread (errno on POSIX, GetLastError on Windows) as a result
/// code by that rule; kResultFail where the failed call left none, which would read as success.
ResultCode ResultFromLastError();

}  // namespace platform

#endif  // OSTRA_PLATFORM_RESULT_CODE_H_
