#include "platform/version_resource.h"

namespace platform {

// There is no version resource on this platform: every read of one fails with kResultFail.

std::uint32_t GetVersionInfoSize(const PathName&, std::uint32_t* handle) {
  *handle = 0;
  return 0;
}

ResultCode ReadVersionInfo(const PathName&, std::uint32_t, std::uint32_t, void*) { return kResultFail; }

const char* QueryVersionString(const void*, const char*, const char*) { return nullptr; }

}  // namespace platform
