#include "platform/program.h"

#include "platform/version_resource.h"

namespace platform {

std::string GetProgramPath() {
  std::string path;
  return GetModulePath(GetProgramModule(), &path) == kResultOk ? path : std::string();
}

}  // namespace platform
