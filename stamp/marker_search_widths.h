#ifndef OSTRA_STAMP_MARKER_SEARCH_WIDTHS_H_
#define OSTRA_STAMP_MARKER_SEARCH_WIDTHS_H_

#include <cstdint>

#include "stamp/marker_pattern.h"

// The marker search is one template over a vector unit (stamp/marker_search_scan.inc), built once
// for each unit in a file compiled for that unit's instruction set.

/// One build of the search: its vectors' width in bytes, and the search.
struct SearchWidth {
  int64_t bytes;
  MarkerFindFunction find;
};

/// Returns the searches that this build has and this processor can run, widest first, and stores
/// their count in *count. The last is the build's own 16-byte search, which runs everywhere. The
/// processor is asked once (stamp/marker_search_x86.cpp, stamp/marker_search_arm64.cpp).
const SearchWidth* AvailableSearchWidths(int64_t* count);

/// The search with the build's own 16-byte vectors, SSE2 or NEON (stamp/marker_search.cpp).
int64_t FindWithBuildVectors(const MarkerPattern& pattern, const unsigned char* data,
                             int64_t held);

/// The searches with AVX2 and AVX-512BW vectors, in x86 builds only (AVX-512BW in 64-bit ones);
/// each may run only where the processor has its instructions.
int64_t FindWithAvx2(const MarkerPattern& pattern, const unsigned char* data, int64_t held);
int64_t FindWithAvx512(const MarkerPattern& pattern, const unsigned char* data, int64_t held);

#endif  // OSTRA_STAMP_MARKER_SEARCH_WIDTHS_H_
