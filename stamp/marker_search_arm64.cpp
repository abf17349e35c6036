// The search of an arm64 build: NEON, which every AArch64 processor has.
#include "stamp/marker_search_widths.h"

const SearchWidth* AvailableSearchWidths(int64_t* count) {
  static const SearchWidth widths[] = {{16, FindWithBuildVectors}};
  *count = 1;
  return widths;
}
