#include "stamp/burn_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "stamp/marker_search.h"
#include "platform/file.h"

namespace {

// The replacement is copied with its terminator into a block of this size, and the marker is
// written over with the block's first bytes; so the block is as long as the longest marker.
constexpr size_t kBlockSize = MarkerSearch::kMaxLength;
constexpr size_t kMaxReplacementLength = kBlockSize - 1;

// One heap buffer of this size (0x7FFF, not 32 KiB) per call, whatever the file's size, so that
// memory stays bounded; the file is read through it once, front to back.
constexpr int64_t kWindowSize = 32767;

// Reads the file, just opened, from its start to its end or to the first occurrence, in windows
// of kWindowSize bytes. Returns the occurrence's offset from the file's start, or -1 when there is
// none (or the window cannot be allocated).
int64_t FindInFile(const platform::ScopedFileHandle& file, const MarkerSearch& search,
                   int64_t length) {
  std::unique_ptr<unsigned char[]> window(new (std::nothrow) unsigned char[kWindowSize]);
  if (!window)
    return -1;
  // 64-bit offsets: a marker past 2 GiB or 4 GiB is written at its true place, never wrapped.
  uint64_t windowStart = 0;
  uint64_t lastDelivered = platform::ReadFromFile(file, window.get(), kWindowSize);
  int64_t held = static_cast<int64_t>(lastDelivered);
  while (lastDelivered > 0) {
    int64_t index = 0;
    if (FindMarker(window.get(), search, held, &index) != nullptr)
      return static_cast<int64_t>(windowStart + static_cast<uint64_t>(index));
    if (held < length)
      break;
    // Carry the last L bytes over, so an occurrence that straddles the end of this read is seen
    // whole in the next window.
    windowStart += static_cast<uint64_t>(held - length);
    std::memmove(window.get(), window.get() + (held - length), static_cast<size_t>(length));
    lastDelivered = platform::ReadFromFile(file, window.get() + length,
                                           static_cast<uint64_t>(kWindowSize - length));
    held = static_cast<int64_t>(lastDelivered) + length;
  }
  return -1;
}

BurnStepHook burnStepHook = nullptr;

void Reach(BurnStep step, const platform::ScopedFileHandle& file) {
  if (burnStepHook != nullptr)
    burnStepHook(step, file);
}

// Whether the file still has the length the scan saw and the marker at `offset`. Locks are
// advisory: a process that takes none may have cut the file short or changed it since, and a
// write at the old offset would grow it back with a hole of zeros, reported as a stamp.
bool MarkerStillAt(const platform::ScopedFileHandle& file, uint64_t scannedLength, uint64_t offset,
                   const char* marker, uint64_t size) {
  uint64_t length = 0;
  char bytes[kBlockSize];
  return platform::GetFileLength(file, &length) && length == scannedLength &&
         platform::ReadFileAt(file, offset, bytes, size) &&
         std::memcmp(bytes, marker, static_cast<size_t>(size)) == 0;
}

// Writes the marker's own bytes back over what of the value may have landed, so that the file can
// be stamped again once the cause is gone; never past the file's current end, which someone may
// have moved below the marker since.
void PutMarkerBack(const platform::ScopedFileHandle& file, uint64_t offset, const char* marker,
                   uint64_t size) {
  uint64_t length = 0;
  if (!platform::GetFileLength(file, &length) || length <= offset)
    return;
  if (platform::WriteFileAt(file, offset, marker, std::min(size, length - offset)))
    platform::FlushFile(file);
}

}  // namespace

void SetBurnStepHookForTesting(BurnStepHook hook) { burnStepHook = hook; }

int BurnFile(const char* fileName, const char* marker, const char* replacement) {
  if (!fileName || !marker || !replacement)
    return 0;
  // Bounded lengths: what does not fit the block is refused before the file is touched, and no
  // byte past the block's size is ever read from the caller's strings.
  const size_t markerLength = strnlen(marker, kBlockSize + 1);
  const size_t replacementLength = strnlen(replacement, kMaxReplacementLength + 1);
  if (markerLength == 0 || markerLength > kBlockSize ||
      replacementLength > kMaxReplacementLength)
    return 0;
  const int64_t length = static_cast<int64_t>(markerLength);

  uint64_t fileLength = 0;
  platform::ScopedFileHandle file =
      platform::OpenFileExclusive(fileName, platform::FileAccess::kReadWrite, &fileLength);
  if (!file)
    return 0;

  // Prepared once: the windows of one file all search for the same marker.
  const MarkerSearch search(reinterpret_cast<const unsigned char*>(marker), length);
  const int64_t found = FindInFile(file, search, length);
  if (found < 0)
    return 0;
  Reach(BurnStep::kFound, file);

  // Zeroed first, so a short replacement is written followed by zero bytes up to the marker's
  // length.
  char block[kBlockSize] = {};
  std::memcpy(block, replacement, replacementLength);
  const uint64_t offset = static_cast<uint64_t>(found);
  const uint64_t size = static_cast<uint64_t>(length);
  // A stamp is whole or absent: a value cut at a file-size limit would leave neither the value nor
  // the marker, and no later run could stamp the file. Where the system says so ahead, nothing is
  // written.
  if (!platform::WritesCanReach(offset + size) ||
      !MarkerStillAt(file, fileLength, offset, marker, size))
    return 0;
  // Where the system cannot say so ahead (a Windows program under Wine, which Linux's limit still
  // binds), the marker's own bytes written over themselves find out, and change nothing when the
  // write is cut or refused.
  if (!platform::WriteFileAt(file, offset, marker, size))
    return 0;
  // The caller's script trusts the outcome, so 1 means the bytes are in the file: flushed and
  // read back as written through the same exclusive handle.
  char written[kBlockSize];
  const bool wrote = platform::WriteFileAt(file, offset, block, size);
  Reach(BurnStep::kWritten, file);
  if (wrote && platform::FlushFile(file) && platform::ReadFileAt(file, offset, written, size) &&
      std::memcmp(written, block, static_cast<size_t>(length)) == 0)
    return 1;
  // Some of the value may have landed. If even the put-back fails, the outcome is still 0.
  PutMarkerBack(file, offset, marker, size);
  return 0;
}
