#include "platform/current_directory.h"

#include <utility>

namespace platform {

ScopedCurrentDirectory::ScopedCurrentDirectory(const PathName& folder)
    : saved_(SaveCurrentDirectory(&previous_)) {
  // Without a saved directory there is no way back, so the folder is not entered at all.
  if (saved_)
    entered_ = SetCurrentDirectoryPath(folder);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(ScopedCurrentDirectory&& other) noexcept
    : previous_(std::move(other.previous_)), saved_(other.saved_), entered_(other.entered_) {
  other.saved_ = false;
  other.entered_ = false;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { Restore(); }

bool ScopedCurrentDirectory::Restore() {
  if (!saved_)
    return true;
  saved_ = false;
  return RestoreCurrentDirectory(previous_);
}

}  // namespace platform
