#include "platform/current_directory.h"

#include <utility>

namespace platform {

ScopedCurrentDirectory::ScopedCurrentDirectory(const PathName& folder)
    : saved(SaveCurrentDirectory(&previous)) {
  // Without a saved directory there is no way back, so the folder is not entered at all.
  if (saved)
    entered = SetCurrentDirectoryPath(folder);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(ScopedCurrentDirectory&& other) noexcept
    : previous(std::move(other.previous)), saved(other.saved), entered(other.entered) {
  other.saved = false;
  other.entered = false;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { Restore(); }

bool ScopedCurrentDirectory::Restore() {
  if (!saved)
    return true;
  saved = false;
  return RestoreCurrentDirectory(previous);
}

}  // namespace platform
