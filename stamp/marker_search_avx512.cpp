// The search with AVX-512BW vectors; this file alone is compiled with -mavx512bw (and BMI1, BMI2).
#include "stamp/byte_vector_avx512.inc"
#include "stamp/marker_search_scan.inc"
#include "stamp/marker_search_widths.h"

int64_t FindWithAvx512(const MarkerPattern& pattern, const unsigned char* data, int64_t held) {
  return marker_scan::FindWith<byte_vector::Avx512>(pattern, data, held);
}
