#include "stamp/marker_search.h"

#include "stamp/byte_vector.h"
#include "stamp/marker_search_scan.inc"
#include "stamp/marker_search_widths.h"

namespace {

// The search that searches made now use: the widest the processor has, unless the tests or the
// benchmark chose another.
const SearchWidth*& SelectedWidth() {
  static const SearchWidth* selected = [] {
    int64_t count = 0;
    return AvailableSearchWidths(&count);
  }();
  return selected;
}

}  // namespace

int64_t FindWithBuildVectors(const MarkerPattern& pattern, const unsigned char* data,
                             int64_t held) {
  return marker_scan::FindWith<byte_vector::BuildVectors>(pattern, data, held);
}

int64_t MarkerSearch::VectorWidth() { return SelectedWidth()->bytes; }

bool MarkerSearch::UseVectorWidth(int64_t bytes) {
  int64_t count = 0;
  const SearchWidth* widths = AvailableSearchWidths(&count);
  for (int64_t i = 0; i < count; ++i) {
    if (widths[i].bytes == bytes) {
      SelectedWidth() = &widths[i];
      return true;
    }
  }
  return false;
}

MarkerSearch::MarkerSearch(const unsigned char* bytes, int64_t count)
    : pattern(PrepareMarkerPattern(bytes, count)), find(SelectedWidth()->find) {}

int64_t MarkerSearch::Find(const unsigned char* data, int64_t held) const {
  return find(pattern, data, held);
}

const unsigned char* FindMarker(const unsigned char* window, const MarkerSearch& marker,
                                int64_t held, int64_t* index) {
  const int64_t start = marker.Find(window, held);
  if (start < 0)
    return nullptr;
  *index = start;
  return window + start;
}
