#ifndef OSTRA_STAMP_MARKER_SEARCH_H_
#define OSTRA_STAMP_MARKER_SEARCH_H_

#include <cstdint>

#include "stamp/marker_pattern.h"

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

 private:
  MarkerPattern pattern;
  MarkerFindFunction find;
};

/// Finds the first occurrence of the prepared `marker` wholly within the first `held` bytes of
/// `window`. On a match, stores its index (counted from the window's first byte) in *index and
/// returns the address of that byte; otherwise returns null and leaves *index alone.
const unsigned char* FindMarker(const unsigned char* window, const MarkerSearch& marker,
                                int64_t held, int64_t* index);

#endif  // OSTRA_STAMP_MARKER_SEARCH_H_
