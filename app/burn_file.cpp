#include "app/burn_file.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/file.h"

namespace {

// The replacement is copied with its terminator into a block of this size, and the marker is
// written over with the block's first bytes; so the marker is at most as long as the block.
constexpr size_t kBlockSize = 80;
constexpr size_t kMaxMarkerLength = kBlockSize;
constexpr size_t kMaxReplacementLength = kBlockSize - 1;

// One heap buffer of this size (0x7FFF, not 32 KiB) per call, whatever the file's size, so that
// memory stays bounded; the file is read through it once, front to back.
constexpr int64_t kWindowSize = 32767;

// The candidate search verifies every place where the marker's last byte occurs. On data full of
// that byte (long runs of 'A' against "A...ABA...A") that work grows with the marker's length,
// so once it exceeds this many comparisons per byte scanned, plus a fixed allowance, the rest of
// the window is scanned in linear time instead. A candidate costs its comparisons and the calls.
constexpr int64_t kWorkPerByte = 8;
constexpr int64_t kWorkAllowance = 1024;
constexpr int64_t kCandidateCost = 8;

using Byte = unsigned char;

// Knuth-Morris-Pratt from `from` on: the lowest start >= from of the marker, or -1.
int64_t FindLinear(const Byte* data, int64_t held, int64_t from, const Byte* marker,
                   int64_t length) {
  // border[j]: the length of the longest proper prefix of marker[0..j] that is also its suffix.
  Byte border[kMaxMarkerLength];
  border[0] = 0;
  for (int64_t j = 1, k = 0; j < length; ++j) {
    while (k > 0 && marker[j] != marker[k])
      k = border[k - 1];
    if (marker[j] == marker[k])
      ++k;
    border[j] = static_cast<Byte>(k);
  }
  int64_t matched = 0;
  for (int64_t i = from; i < held; ++i) {
    while (matched > 0 && data[i] != marker[matched])
      matched = border[matched - 1];
    if (data[i] == marker[matched])
      ++matched;
    if (matched == length)
      return i + 1 - length;
  }
  return -1;
}

// The lowest start of the marker (1 <= length <= held) in data, or -1. Candidates come in the
// order of their last byte, which is the order of their start, so the first verified one is it.
int64_t FindFirst(const Byte* data, int64_t held, const Byte* marker, int64_t length) {
  const Byte last = marker[length - 1];
  int64_t work = 0;
  for (int64_t end = length - 1; end < held; ++end) {
    const void* hit = std::memchr(data + end, last, static_cast<size_t>(held - end));
    if (!hit)
      return -1;
    end = static_cast<const Byte*>(hit) - data;
    const int64_t start = end - (length - 1);
    if (std::memcmp(data + start, marker, static_cast<size_t>(length - 1)) == 0)
      return start;
    work += length - 1 + kCandidateCost;
    if (work > kWorkPerByte * (end + 1) + kWorkAllowance)
      return FindLinear(data, held, start + 1, marker, length);
  }
  return -1;
}

}  // namespace

const char* FindMarker(const char* window, const char* marker, int64_t held, int64_t* index) {
  if (!window || !marker || !index || held <= 0)
    return nullptr;
  const int64_t length = static_cast<int64_t>(strnlen(marker, kMaxMarkerLength + 1));
  if (length == 0 || length > static_cast<int64_t>(kMaxMarkerLength) || length > held)
    return nullptr;
  const int64_t start = FindFirst(reinterpret_cast<const Byte*>(window), held,
                                  reinterpret_cast<const Byte*>(marker), length);
  if (start < 0)
    return nullptr;
  *index = start;
  return window + start;
}

int BurnFile(const char* fileName, const char* marker, const char* replacement) {
  if (!fileName || !marker || !replacement)
    return 0;
  // Bounded lengths: what does not fit the block is refused before the file is touched, and no
  // byte past the block's size is ever read from the caller's strings.
  const size_t markerLength = strnlen(marker, kMaxMarkerLength + 1);
  const size_t replacementLength = strnlen(replacement, kMaxReplacementLength + 1);
  if (markerLength == 0 || markerLength > kMaxMarkerLength ||
      replacementLength > kMaxReplacementLength)
    return 0;
  const int64_t length = static_cast<int64_t>(markerLength);

  platform::ScopedFileHandle file =
      platform::OpenFileExclusive(fileName, platform::FileAccess::kReadWrite);
  if (!file)
    return 0;

  // Zeroed first, so a short replacement is written followed by zero bytes up to the marker's
  // length.
  char block[kBlockSize] = {};
  std::memcpy(block, replacement, replacementLength);

  std::unique_ptr<char[]> window(new (std::nothrow) char[kWindowSize]);
  if (!window)
    return 0;

  // 64-bit offsets: a marker past 2 GiB or 4 GiB is written at its true place, never wrapped.
  uint64_t windowStart = 0;
  uint64_t lastDelivered = platform::ReadFromFile(file, window.get(), kWindowSize);
  int64_t held = static_cast<int64_t>(lastDelivered);
  int64_t index = 0;
  bool found = false;
  while (lastDelivered > 0) {
    if (FindMarker(window.get(), marker, held, &index)) {
      found = true;
      break;
    }
    if (held < length)
      break;
    // Carry the last L bytes over, so an occurrence that straddles the end of this read is seen
    // whole in the next window.
    windowStart += static_cast<uint64_t>(held - length);
    std::memmove(window.get(), window.get() + (held - length), static_cast<size_t>(length));
    lastDelivered =
        platform::ReadFromFile(file, window.get() + length, static_cast<uint64_t>(kWindowSize - length));
    held = static_cast<int64_t>(lastDelivered) + length;
  }
  if (!found)
    return 0;

  const uint64_t offset = windowStart + static_cast<uint64_t>(index);
  if (!platform::WriteFileAt(file, offset, block, static_cast<uint64_t>(length)))
    return 0;
  // The caller's script trusts the outcome, so 1 means the bytes are in the file: flushed and
  // read back as written through the same exclusive handle.
  char written[kBlockSize];
  if (!platform::FlushFile(file) ||
      !platform::ReadFileAt(file, offset, written, static_cast<uint64_t>(length)))
    return 0;
  return std::memcmp(written, block, static_cast<size_t>(length)) == 0 ? 1 : 0;
}
