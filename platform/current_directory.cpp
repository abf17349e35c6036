#include "platform/current_directory.h"

#include <utility>

namespace platform {

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& folder)
    : previous_(GetCurrentDirectoryPath()), saved_(!previous_.empty()) {
  // Without a saved directory there is no way back, so the folder is not entered at all.
  if (saved_)
    entered_ = SetCurrentDirectoryPath(folder);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(ScopedCurrentDirectory&& other) noexcept
    : previous_(std::move(other.previous_)), saved_(other.saved_), entered_(other.entered_) {
  other.saved_ = false;
  other.entered_ = false;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  if (saved_)
    SetCurrentDirectoryPath(previous_);
}

}  // namespace platform
