#ifndef OSTRA_PLATFORM_VERSION_RESOURCE_H_
#define OSTRA_PLATFORM_VERSION_RESOURCE_H_

#include <cstdint>
#include <string>

#include "platform/path.h"

namespace platform {

/// Result codes follow the Windows convention: 0 is success, a negative value a failure.
using ResultCode = std::int32_t;

constexpr ResultCode kResultOk = 0;                                           // S_OK
constexpr ResultCode kResultFail = static_cast<ResultCode>(0x80004005u);         // E_FAIL
constexpr ResultCode kResultOutOfMemory = static_cast<ResultCode>(0x8007000Eu);  // E_OUTOFMEMORY

/// A loaded module (a HMODULE on Windows); null stands for the running program.
using ModuleHandle = void*;

/// The running program's module (GetModuleHandleA with no name).
ModuleHandle GetProgramModule();

/// Stores the path of the file from which `module` was loaded in *path: on Windows its ANSI
/// spelling, "?" for what the code page lacks, with its exact UTF-16 units, and a failure when it
/// does not fit 260 characters. Returns 0, or the failure as a result code made from the system's
/// error.
ResultCode GetModulePath(ModuleHandle module, PathName* path);

/// The size of the version information of the file at `path`, and in *handle the value that
/// ReadVersionInfo wants back. 0 when the file has none (always on POSIX). On Windows the file is
/// named by the wide calls, so a name the code page cannot spell still reaches it.
std::uint32_t GetVersionInfoSize(const PathName& path, std::uint32_t* handle);

/// Fills `block`, `size` bytes, with the version information of the file at `path`. Returns 0, or
/// the failure as a result code made from the system's error.
ResultCode ReadVersionInfo(const PathName& path, std::uint32_t handle, std::uint32_t size,
                           void* block);

/// The value `name` of the string table `key` (for example "040904B0") in a block filled by
/// ReadVersionInfo, or null when it is not there. The pointer points into `block`.
const char* QueryVersionString(const void* block, const char* key, const char* name);

/// The result code of a system error code, by Windows' HRESULT_FROM_WIN32 rule: a value of 0 or
/// below, taken as signed, is returned unchanged; any other becomes (value & 0xFFFF) | 0x80070000.
inline ResultCode ResultFromSystemError(std::uint32_t error) {
  if (static_cast<std::int32_t>(error) <= 0)
    return static_cast<std::int32_t>(error);
  return static_cast<std::int32_t>((error & 0xFFFFu) | 0x80070000u);
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_VERSION_RESOURCE_H_
