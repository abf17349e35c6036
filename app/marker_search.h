#ifndef OSTRA_APP_MARKER_SEARCH_H_
#define OSTRA_APP_MARKER_SEARCH_H_

#include <cstdint>

/// A marker of 1 to 80 bytes as the search reads it: its bytes and what its preparation found in
/// them. Made by MarkerSearch; the searches of each vector width only read it.
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

/// A marker of 1 to 80 bytes, prepared once and then searched for in any number of windows.
class MarkerSearch {
 public:
  static constexpr int64_t kMaxLength = MarkerPattern::kMaxLength;

  /// Copies the `count` bytes at `bytes` (1 <= count <= kMaxLength) and prepares the search, with
  /// the vector width in use when it is made (see UseVectorWidth).
  MarkerSearch(const unsigned char* bytes, int64_t count);

  /// Returns the lowest start of the marker lying wholly within data[0, held), bytes compared as
  /// unsigned values, or -1 when there is none (also when held is less than the marker's length).
  int64_t Find(const unsigned char* data, int64_t held) const;

  /// Returns the vector width, in bytes, that searches made now use: the widest this processor
  /// has, 16 (SSE2 or NEON), 32 (AVX2) or 64 (AVX-512BW), unless UseVectorWidth chose another.
  static int64_t VectorWidth();

  /// Makes searches made from now on use vectors of `bytes` bytes, and returns true, when this
  /// build and processor have them; otherwise returns false and changes nothing. For the tests and
  /// the benchmark, which try each width the processor has; the program always uses the widest.
  static bool UseVectorWidth(int64_t bytes);

  /// The search over one window with one vector width: what Find returns.
  using FindFunction = int64_t (*)(const MarkerPattern& pattern, const unsigned char* data,
                                   int64_t held);

 private:
  MarkerPattern pattern;
  FindFunction find;
};

/// Finds the first occurrence of the zero-terminated `marker` (1 to MarkerSearch::kMaxLength
/// bytes) wholly within the first `held` bytes of `window`, comparing bytes as unsigned values. On
/// a match, stores its index (counted from the window's first byte) in *index and returns the
/// address of that byte; otherwise returns null and leaves *index alone. An empty marker, a longer
/// one, a negative `held` or a null pointer never match.
const char* FindMarker(const char* window, const char* marker, int64_t held, int64_t* index);

#endif  // OSTRA_APP_MARKER_SEARCH_H_
