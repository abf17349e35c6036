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

// The candidate search verifies every start where the marker's first and last bytes are in place.
// On data made of the marker's own bytes (long runs of 'A' against "A...ABA...A") that work grows
// with the marker's length, so once it exceeds this many comparisons per byte scanned, plus a fixed
// allowance, the rest of the window is scanned in linear time instead. A candidate costs its
// comparisons and the call.
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

// Sixteen bytes compared at once; the compiler turns this into SSE2 instructions.
using Lanes = Byte __attribute__((vector_size(16)));
constexpr int kLaneCount = sizeof(Lanes);

Lanes LoadLanes(const Byte* at) {
  Lanes lanes;
  std::memcpy(&lanes, at, sizeof lanes);
  return lanes;
}

// The lanes of a comparison: all ones where equal, zero elsewhere.
using Mask = signed char __attribute__((vector_size(16)));

bool AnySet(Mask mask) {
  uint64_t halves[2];
  std::memcpy(halves, &mask, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

// The lowest start of the marker (2 <= length <= held) in data, or -1. A start is a candidate
// when both the marker's first and last bytes are in place, which is tested for 64 starts at once;
// on ordinary data such a pair turns up once in 65,536 starts, so almost nothing is verified.
// Candidates are verified in the order of their start, so the first verified one is the lowest.
int64_t FindFirst(const Byte* data, int64_t held, const Byte* marker, int64_t length) {
  constexpr int kGroups = 4;
  constexpr int64_t kStride = kGroups * kLaneCount;
  const Lanes first = Lanes{} + marker[0];
  const Lanes last = Lanes{} + marker[length - 1];
  int64_t work = 0;
  int64_t start = 0;
  for (; start + kStride + length - 1 <= held; start += kStride) {
    Mask pairs[kGroups];
    for (int group = 0; group < kGroups; ++group) {
      const Byte* at = data + start + group * kLaneCount;
      pairs[group] = (LoadLanes(at) == first) & (LoadLanes(at + length - 1) == last);
    }
    if (!AnySet(pairs[0] | pairs[1] | pairs[2] | pairs[3]))
      continue;
    for (int group = 0; group < kGroups; ++group) {
      for (int lane = 0; lane < kLaneCount; ++lane) {
        if (!pairs[group][lane])
          continue;
        const int64_t at = start + group * kLaneCount + lane;
        if (std::memcmp(data + at, marker, static_cast<size_t>(length)) == 0)
          return at;
        work += length + kCandidateCost;
      }
    }
    // Data made of the marker's own bytes ("A...ABA...A" in a run of 'A') passes the filter at
    // every start; past the budget the rest is scanned in linear time.
    if (work > kWorkPerByte * (start + kStride) + kWorkAllowance)
      return FindLinear(data, held, start + kStride, marker, length);
  }
  // Fewer than 64 starts are left; they are tried one by one.
  for (; start + length <= held; ++start) {
    if (std::memcmp(data + start, marker, static_cast<size_t>(length)) == 0)
      return start;
  }
  return -1;
}

// The lowest start of the marker (1 <= length <= held) in data, or -1.
int64_t FindFirstOccurrence(const Byte* data, int64_t held, const Byte* marker, int64_t length) {
  if (length == 1) {
    const void* hit = std::memchr(data, marker[0], static_cast<size_t>(held));
    return hit ? static_cast<const Byte*>(hit) - data : -1;
  }
  return FindFirst(data, held, marker, length);
}

}  // namespace

const char* FindMarker(const char* window, const char* marker, int64_t held, int64_t* index) {
  if (!window || !marker || !index || held <= 0)
    return nullptr;
  const int64_t length = static_cast<int64_t>(strnlen(marker, kMaxMarkerLength + 1));
  if (length == 0 || length > static_cast<int64_t>(kMaxMarkerLength) || length > held)
    return nullptr;
  const int64_t start = FindFirstOccurrence(reinterpret_cast<const Byte*>(window), held,
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
