// The search with AVX2 vectors; this file alone is compiled with -mavx2 (and BMI1, BMI2).
#include "stamp/byte_vector_avx2.inc"
#include "stamp/marker_search_scan.inc"
#include "stamp/marker_search_widths.h"

int64_t FindWithAvx2(const MarkerPattern& pattern, const unsigned char* data, int64_t held) {
  return marker_scan::FindWith<byte_vector::Avx2>(pattern, data, held);
}
