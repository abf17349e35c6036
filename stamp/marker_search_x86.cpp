// The searches of an x86 build: AVX-512BW and AVX2 where the processor has them, else SSE2. The
// wide ones are also compiled for BMI1 and BMI2, which every processor with AVX2 has, but are
// taken only where the processor says so.
#include "stamp/marker_search_widths.h"

#ifndef OSTRA_SEARCH_AVX512
#define OSTRA_SEARCH_AVX512 0  // the 32-bit builds have no AVX-512BW search (stamp/CMakeLists.txt)
#endif

namespace {

constexpr bool kHasAvx512Search = OSTRA_SEARCH_AVX512;

struct Widths {
  SearchWidth list[3];
  int64_t count;
};

// The processor's own answer, which also says whether the system saves the wide registers on a
// switch (a processor's AVX is of no use where the system does not).
Widths AskProcessor() {
  __builtin_cpu_init();
  Widths widths{};
  const bool bmi = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
  if constexpr (kHasAvx512Search) {
    if (bmi && __builtin_cpu_supports("avx512bw"))
      widths.list[widths.count++] = {64, FindWithAvx512};
  }
  if (bmi && __builtin_cpu_supports("avx2"))
    widths.list[widths.count++] = {32, FindWithAvx2};
  widths.list[widths.count++] = {16, FindWithBuildVectors};
  return widths;
}

}  // namespace

const SearchWidth* AvailableSearchWidths(int64_t* count) {
  static const Widths widths = AskProcessor();
  *count = widths.count;
  return widths.list;
}
