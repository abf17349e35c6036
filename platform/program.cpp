#include "platform/program.h"

namespace platform {

std::string GetProgramPath() {
  PathName path;
  return GetModulePath(GetProgramModule(), &path) == kResultOk ? path.text : std::string();
}

}  // namespace platform
