#ifndef OSTRA_PLATFORM_VERSION_RESOURCE_H_
#define OSTRA_PLATFORM_VERSION_RESOURCE_H_

#include <cstdint>

#include "platform/path_name.h"
#include "platform/result_code.h"

namespace platform {

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

}  // namespace platform

#endif  // OSTRA_PLATFORM_VERSION_RESOURCE_H_
