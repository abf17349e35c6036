#include "platform/current_directory.h"

#include <errno.h>
#include <unistd.h>

#include <vector>

namespace platform {

std::string GetCurrentDirectoryPath() {
  std::vector<char> buffer(256);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr)
      return std::string(buffer.data());
    if (errno != ERANGE)
      return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

bool SetCurrentDirectoryPath(const std::string& path) {
  return path.find('\0') == std::string::npos && chdir(path.c_str()) == 0;
}

}  // namespace platform
