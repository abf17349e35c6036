#include "platform/file.h"

#include <algorithm>

namespace platform {

namespace {

// How long a held file is waited for in all, and the longest single wait: a scanner lets go within
// a second or so, and an installation should not stall on a file that stays held.
constexpr uint32_t kHeldFileWaitMilliseconds = 3000;
constexpr uint32_t kLongestRetryDelayMilliseconds = 500;

// Runs `transfer` (one read or one write, which may move fewer bytes than asked) until all `size`
// bytes moved. Stops with false on an error or when nothing moves (the end of the file for a read).
template <typename Byte, typename Transfer>
bool TransferAll(Byte* bytes, uint64_t size, Transfer transfer) {
  while (size > 0) {
    const uint64_t moved = transfer(bytes, size);
    if (moved == 0)
      return false;
    bytes += moved;
    size -= moved;
  }
  return true;
}

WriteFilter writeFilter = nullptr;

// A write that the system cuts short is not continued: the rest would be refused anyway (a full
// disk, a file-size limit), and a Linux process that writes at a file-size limit ends with SIGXFSZ
// unless it ignores that signal, which a Windows program under Wine cannot. Each write asks for at
// most this much, which both systems move in one call.
constexpr uint64_t kLongestWrite = uint64_t{1} << 30;

// The systems' file offsets are signed 64-bit numbers.
bool SeekTo(const ScopedFileHandle& file, uint64_t offset) {
  return offset <= static_cast<uint64_t>(INT64_MAX) && SetFilePosition(file, offset);
}

}  // namespace

ScopedFileHandle OpenFileExclusive(const PathName& path, FileAccess access, uint64_t* length) {
  uint32_t waited = 0;
  for (uint32_t delay = 25;; delay = std::min(delay * 2, kLongestRetryDelayMilliseconds)) {
    bool held = false;
    ScopedFileHandle file = TryOpenFileExclusive(path, access, &held, length);
    // Anything but a held file (missing, denied, not a regular file) fails at once.
    if (file || !held || waited >= kHeldFileWaitMilliseconds)
      return file;
    delay = std::min(delay, kHeldFileWaitMilliseconds - waited);
    SleepMilliseconds(delay);
    waited += delay;
  }
}

bool WriteFileAt(const ScopedFileHandle& file, uint64_t offset, const void* data, uint64_t size) {
  bool cut = false;
  return SeekTo(file, offset) &&
         TransferAll(static_cast<const unsigned char*>(data), size,
                     [&file, &cut](const unsigned char* at, uint64_t n) -> uint64_t {
                       if (cut)
                         return 0;
                       const uint64_t asked = n < kLongestWrite ? n : kLongestWrite;
                       const uint64_t allowed = writeFilter != nullptr ? writeFilter(asked) : asked;
                       const uint64_t moved = allowed != 0 ? WriteToFile(file, at, allowed) : 0;
                       cut = moved < asked;
                       return moved;
                     });
}

void SetWriteFilterForTesting(WriteFilter filter) { writeFilter = filter; }

bool ReadFileAt(const ScopedFileHandle& file, uint64_t offset, void* buffer, uint64_t size) {
  return SeekTo(file, offset) &&
         TransferAll(static_cast<unsigned char*>(buffer), size,
                     [&file](unsigned char* at, uint64_t n) { return ReadFromFile(file, at, n); });
}

}  // namespace platform
