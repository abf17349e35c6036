#include "platform/file.h"

#include <algorithm>

namespace platform {

namespace {

// How long a held file is waited for in all, and the longest single wait: a scanner lets go within
// a second or so, and an installation should not stall on a file that stays held.
constexpr uint32_t kHeldFileWaitMilliseconds = 3000;
constexpr uint32_t kLongestRetryDelayMilliseconds = 500;

}  // namespace

ScopedFileHandle OpenFileExclusive(const PathName& path, FileAccess access) {
  uint32_t waited = 0;
  for (uint32_t delay = 25;; delay = std::min(delay * 2, kLongestRetryDelayMilliseconds)) {
    bool held = false;
    ScopedFileHandle file = TryOpenFileExclusive(path, access, &held);
    // Anything but a held file (missing, denied, not a regular file) fails at once.
    if (file || !held || waited >= kHeldFileWaitMilliseconds)
      return file;
    delay = std::min(delay, kHeldFileWaitMilliseconds - waited);
    SleepMilliseconds(delay);
    waited += delay;
  }
}

}  // namespace platform
