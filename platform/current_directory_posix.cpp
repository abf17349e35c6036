#include "platform/current_directory.h"

#include <errno.h>
#include <unistd.h>

#include <utility>
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

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& folder)
    : previous_(GetCurrentDirectoryPath()), saved_(!previous_.empty()) {
  // Without a saved directory there is no way back, so the folder is not entered at all.
  if (saved_)
    SetCurrentDirectoryPath(folder);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(ScopedCurrentDirectory&& other) noexcept
    : previous_(std::move(other.previous_)), saved_(other.saved_) {
  other.saved_ = false;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  if (saved_)
    SetCurrentDirectoryPath(previous_);
}

}  // namespace platform
