#include "platform/version_resource.h"

#include <errno.h>

#include "platform/program.h"

namespace platform {

// There is no version resource on this platform: every read of one fails with kResultFail.
ModuleHandle GetProgramModule() { return nullptr; }

ResultCode GetModulePath(ModuleHandle, std::string* path) {
  errno = 0;
  *path = GetProgramPath();
  if (!path->empty())
    return 0;
  // An errno of 0 would read as success.
  return errno != 0 ? ResultFromSystemError(static_cast<std::uint32_t>(errno)) : kResultFail;
}

std::uint32_t GetVersionInfoSize(const std::string&, std::uint32_t* handle) {
  *handle = 0;
  return 0;
}

ResultCode ReadVersionInfo(const std::string&, std::uint32_t, std::uint32_t, void*) { return kResultFail; }

const char* QueryVersionString(const void*, const char*, const char*) { return nullptr; }

}  // namespace platform
