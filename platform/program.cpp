#include "platform/program.h"

#include "platform/version_resource.h"

namespace platform {

std::string GetProgramPath() {
  PathName path;
  return GetModulePath(GetProgramModule(), &path) == kResultOk ? path.text : std::string();
}

}  // namespace platform
