#include "platform/current_directory.h"

#include "platform/win32.h"

namespace platform {

std::string GetCurrentDirectoryPath() {
  char buffer[MAX_PATH];
  // A result above MAX_PATH - 1 is the size the path would need: nothing was written then.
  DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  if (length == 0 || length > MAX_PATH - 1)
    return std::string();
  return std::string(buffer, length);
}

bool SetCurrentDirectoryPath(const std::string& path) {
  return path.find('\0') == std::string::npos && SetCurrentDirectoryA(path.c_str()) != 0;
}

}  // namespace platform
