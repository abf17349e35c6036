#include "platform/version_resource.h"

#include <errno.h>
#include <unistd.h>

#include <vector>

namespace platform {

// There is no version resource on this platform: every read of one fails with kResultFail.
ModuleHandle GetProgramModule() { return nullptr; }

// Every module of the process is the program itself here.
ResultCode GetModulePath(ModuleHandle, PathName* path) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    // An errno of 0 would read as success.
    if (length < 0)
      return errno != 0 ? ResultFromSystemError(static_cast<std::uint32_t>(errno)) : kResultFail;
    // readlink truncates silently: only a result shorter than the buffer is known to be whole.
    if (static_cast<std::size_t>(length) < buffer.size()) {
      *path = PathName(std::string(buffer.data(), static_cast<std::size_t>(length)));
      return kResultOk;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::uint32_t GetVersionInfoSize(const PathName&, std::uint32_t* handle) {
  *handle = 0;
  return 0;
}

ResultCode ReadVersionInfo(const PathName&, std::uint32_t, std::uint32_t, void*) { return kResultFail; }

const char* QueryVersionString(const void*, const char*, const char*) { return nullptr; }

}  // namespace platform
