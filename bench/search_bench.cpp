// The marker search alone, in memory, at each vector width the processor has: picoseconds a byte
// searched for each family of bench/burn_bench.sh. The data (256 KiB, which stays in the
// processor's second-level cache, as a window just read does) is searched in windows of 32,767
// bytes as the tool reads them, 256 times over; the best of five runs of processor time counts.
//
//   ostra_search_bench [NAME-PART]   (built with `cmake --build build/release --target
//                                     ostra_search_bench`; NAME-PART picks families)
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "stamp/marker_search.h"

namespace {

constexpr int64_t kDataSize = 256 << 10;
constexpr int kRounds = 256;
constexpr int64_t kWindowSize = 32767;

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string Times(int count, const std::string& text) {
  std::string result;
  for (int i = 0; i < count; ++i)
    result += text;
  return result;
}

// kDataSize bytes of `unit` over and over.
std::string Repeated(const std::string& unit) {
  return Times(static_cast<int>(kDataSize / static_cast<int64_t>(unit.size())) + 1, unit)
      .substr(0, kDataSize);
}

struct Family {
  const char* name;
  std::string data;
  std::string marker;
};

// Seconds for kRounds searches of the data, window after window, with the tool's overlap of L.
double TimeSearch(const Family& family) {
  const auto* data = reinterpret_cast<const unsigned char*>(family.data.data());
  const int64_t length = static_cast<int64_t>(family.marker.size());
  const MarkerSearch search(reinterpret_cast<const unsigned char*>(family.marker.data()), length);
  const double start = ProcessorSeconds();
  int64_t found = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (int64_t at = 0; at + length < kDataSize; at += kWindowSize - length)
      found += search.Find(data + at, std::min(kWindowSize, kDataSize - at)) >= 0;
  }
  const double seconds = ProcessorSeconds() - start;
  if (found != 0)
    std::fprintf(stderr, "%s: the marker was found, which no family holds\n", family.name);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  std::mt19937_64 random(20261209);
  std::string bytes(kDataSize, ' ');
  for (char& byte : bytes)
    byte = static_cast<char>(random());
  std::string letters(kDataSize, ' ');
  for (char& byte : letters)
    byte = "AB"[random() & 1];
  const std::vector<Family> families = {
      {"random bytes, 28-byte marker", bytes, "OSTRA_PLACEHOLDER_0123456789"},
      {"random bytes, 33-byte marker", bytes, "OSTRA_PLACEHOLDER_0123456789ABCDE"},
      {"A; A x 79 + B", Repeated("A"), Times(79, "A") + "B"},
      {"A; A x 78 + B", Repeated("A"), Times(78, "A") + "B"},
      {"(FE ED) x 39 + FE FE; (FE ED) x 40", Repeated(Times(39, "\xfe\xed") + "\xfe\xfe"),
       Times(40, "\xfe\xed")},
      {"(FE ED) x 38 + FE FE; (FE ED) x 39 + FE", Repeated(Times(38, "\xfe\xed") + "\xfe\xfe"),
       Times(39, "\xfe\xed") + "\xfe"},
      {"SERIAL= @ x 39 ; LF; SERIAL= @ x 41", Repeated("SERIAL=" + Times(39, "@") + ";\n"),
       "SERIAL=" + Times(41, "@")},
      {"ab x 30 + aa; ab x 40", Repeated(Times(30, "ab") + "aa"), Times(40, "ab")},
      {"abc x 20 + ab; abc x 26 + a", Repeated(Times(20, "abc") + "ab"), Times(26, "abc") + "a"},
      {"ab x 15 + aa; ab x 20", Repeated(Times(15, "ab") + "aa"), Times(20, "ab")},
      {"A, B at random; A x 40 + B + A x 39", letters, Times(40, "A") + "B" + Times(39, "A")},
      {"A, B at random; A x 40 + B + A x 38", letters, Times(40, "A") + "B" + Times(38, "A")},
  };
  const int64_t taken = MarkerSearch::VectorWidth();
  std::printf("ps a byte searched, best of 5; the program takes %d-byte vectors\n",
              static_cast<int>(taken));
  std::printf("%-42s", "data; marker");
  std::vector<int64_t> widths;
  for (int64_t width : {16, 32, 64}) {
    if (MarkerSearch::UseVectorWidth(width)) {
      widths.push_back(width);
      std::printf(" %7d", static_cast<int>(width));
    }
  }
  std::printf("\n");
  for (const Family& family : families) {
    if (argc > 1 && std::string(family.name).find(argv[1]) == std::string::npos)
      continue;
    std::printf("%-42s", family.name);
    for (int64_t width : widths) {
      MarkerSearch::UseVectorWidth(width);
      double best = 1e9;
      for (int run = 0; run < 5; ++run)
        best = std::min(best, TimeSearch(family));
      std::printf(" %7.1f", best / (static_cast<double>(kDataSize) * kRounds) * 1e12);
    }
    std::printf("\n");
  }
  MarkerSearch::UseVectorWidth(taken);
  return 0;
}
