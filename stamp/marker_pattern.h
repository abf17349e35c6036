#ifndef OSTRA_STAMP_MARKER_PATTERN_H_
#define OSTRA_STAMP_MARKER_PATTERN_H_

#include <cstdint>

/// A marker of 1 to 80 bytes as the search reads it: its bytes and what its preparation found in
/// them. Made by PrepareMarkerPattern; the searches of each vector width only read it.
struct MarkerPattern {
  static constexpr int64_t kMaxLength = 80;
  static constexpr int kPairHashBits = 10;

  unsigned char marker[kMaxLength];
  int64_t length;
  // The offsets of the marker bytes the candidate searches test: the two least likely to be in
  // place, and the same two with six more spread over the marker.
  int64_t rareOffset[2];
  int64_t spreadOffset[8];
  // The skipping search's shifts, by a hash of the pair of bytes that would end the marker: how
  // far the marker can move before a pair like it is at its end (0: the marker's own last pair),
  // and the shift once a start ending in its own last pair has been verified.
  unsigned char pairShift[1 << kPairHashBits];
  int64_t lastPairShift;
  // The marker's longest run of one byte value: where it starts and how long it is.
  int64_t runOffset;
  int64_t runLength;
  // The linear search's split of the marker (its critical factorization), the period of the part
  // from the split on, and whether that is the period of the whole marker.
  int64_t split;
  int64_t period;
  bool periodic;
};

/// The search of one window for a prepared pattern with one vector width: the lowest start of the
/// marker wholly within data[0, held), or -1.
using MarkerFindFunction = int64_t (*)(const MarkerPattern& pattern, const unsigned char* data,
                                       int64_t held);

/// Copies the `count` bytes at `bytes` (1 <= count <= MarkerPattern::kMaxLength) and works out
/// what the searches need to know of them. Returns the prepared pattern.
MarkerPattern PrepareMarkerPattern(const unsigned char* bytes, int64_t count);

// In an unnamed namespace, as everything the searches use is: each file compiled for a wider
// vector unit keeps its own copy, which the linker never hands to the others.
namespace {

/// The index into MarkerPattern::pairShift for the pair of bytes at `at`.
inline int PairHash(const unsigned char* at) {
  return ((at[0] << 2) ^ at[1]) & ((1 << MarkerPattern::kPairHashBits) - 1);
}

}  // namespace

#endif  // OSTRA_STAMP_MARKER_PATTERN_H_
