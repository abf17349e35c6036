#include "stamp/marker_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "stamp/marker_test_data.h"

namespace {

using marker_test_data::FamilyData;
using marker_test_data::Put;
using marker_test_data::Repeat;

// The plain left-to-right scan, as the slow reference for FindMarker.
int64_t PlainScan(const std::string& window, const std::string& marker, int64_t held) {
  const int64_t length = static_cast<int64_t>(marker.size());
  for (int64_t i = 0; i + length <= held; ++i) {
    if (window.compare(static_cast<size_t>(i), marker.size(), marker) == 0)
      return i;
  }
  return -1;
}

// The index FindMarker reports for `marker` (1 to 80 bytes), or -1; also checks the pointer
// agrees with the index and that a miss leaves the index alone.
int64_t Find(const std::string& window, const std::string& marker, int64_t held) {
  const MarkerSearch search(reinterpret_cast<const unsigned char*>(marker.data()),
                            static_cast<int64_t>(marker.size()));
  const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
  int64_t index = -7;
  const unsigned char* found = FindMarker(bytes, search, held, &index);
  if (!found) {
    EXPECT_EQ(index, -7) << "a miss stored an index";
    return -1;
  }
  EXPECT_EQ(found, bytes + index);
  return index;
}

// The width the program takes, read before any test chooses another.
const int64_t kWidest = MarkerSearch::VectorWidth();

// Each test of the search runs once for each vector width, where the processor has it, so that
// the narrower searches stay tested on processors with wider vectors.
class FindMarkerAtWidth : public testing::TestWithParam<int64_t> {
 protected:
  void SetUp() override {
    if (!MarkerSearch::UseVectorWidth(GetParam()))
      GTEST_SKIP() << "no " << GetParam() << "-byte vectors on this processor or in this build";
  }
  void TearDown() override { ASSERT_TRUE(MarkerSearch::UseVectorWidth(kWidest)); }
};

INSTANTIATE_TEST_SUITE_P(Vectors, FindMarkerAtWidth, testing::Values(16, 32, 64),
                         [](const testing::TestParamInfo<int64_t>& info) {
                           return "Bytes" + std::to_string(info.param);
                         });

// Prints the width this build takes on this processor, and which others it can run.
TEST(VectorWidth, TheWidestThisProcessorHasAndEveryNarrowerOne) {
  std::string usable;
  for (int64_t width : {16, 32, 64, 128}) {
    if (MarkerSearch::UseVectorWidth(width))
      usable += " " + std::to_string(width);
  }
  std::printf("search vectors: %d bytes taken; usable:%s\n", static_cast<int>(kWidest),
              usable.c_str());
  RecordProperty("vector_width", static_cast<int>(kWidest));
  EXPECT_EQ(usable.substr(usable.rfind(' ') + 1), std::to_string(kWidest));
  EXPECT_EQ(usable.substr(0, 3), " 16");
  EXPECT_FALSE(MarkerSearch::UseVectorWidth(24));
  ASSERT_TRUE(MarkerSearch::UseVectorWidth(kWidest));
}

// ---------------------------------------------------------------------------------------------
// FindMarker

TEST_P(FindMarkerAtWidth, Table) {
  struct Case {
    std::string window;
    std::string marker;
    int64_t held;  // -1: the whole window
    int64_t expected;
  };
  const std::string longRun = Repeat(2000, 'A');
  const std::string aaab = Repeat(79, 'A') + "B";
  const std::string aabaa = Repeat(40, 'A') + "B" + Repeat(39, 'A');
  const Case cases[] = {
      {"aaab", "aab", -1, 1},                    // overlapping candidates are all tried
      {"abc", "abc", -1, 0},                     // whole window
      {"xxabc", "abc", -1, 2},                   // ends exactly at held
      {"xxabcd", "abc", 4, -1},                  // would end past held
      {"xxabcd", "abc", 5, 2},                   // held cuts off the rest only
      {"ab", "abc", -1, -1},                     // window shorter than the marker
      {"ABC abc", "abc", -1, 4},                 // letter case matters
      {"ABC", "abc", -1, -1},                    //
      {"abab", "b", -1, 1},                      // one-byte marker
      {"abcabd", "abd", -1, 3},                  //
      {"\x7f\x80\xff\x80\xff", "\xff\x80", -1, 2},  // bytes >= 0x80 compare unsigned
      {"e\xe9", "\xe9", -1, 1},                  //
      {"\xe9", "e", -1, -1},                     //
      {"abc", "abc", 0, -1},                     // nothing held
      {Repeat(100, 'M'), Repeat(80, 'M'), -1, 0},   // the longest marker
      {longRun + "B", aaab, -1, 2000 - 79},      // "AAA...AB" after a long run of A
      {longRun + "B" + longRun, aabaa, -1, 2000 - 40},  // "A...ABA...A" forces the linear scan
      {longRun, aabaa, -1, -1},                  //
      {longRun + "C" + longRun, aabaa, -1, -1},  //
      {"xAAAABAAAAABAAAAAx", "AAAABAAAAA", -1, 1},  //
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("marker '" + c.marker.substr(0, 20) + "' in '" + c.window.substr(0, 20) + "'");
    const int64_t held = c.held < 0 ? static_cast<int64_t>(c.window.size()) : c.held;
    EXPECT_EQ(Find(c.window, c.marker, held), c.expected);
  }
}

// Long runs of one byte make every position a candidate, which moves the search from verifying
// candidates to the linear scan part way through; no placement may be missed at that switch.
TEST_P(FindMarkerAtWidth, EveryPlacementInALongRun) {
  const std::string markers[] = {Repeat(40, 'A') + "B" + Repeat(39, 'A'), Repeat(79, 'A') + "B",
                                 "B" + Repeat(79, 'A'), "AB", "BA", "AAABAAA"};
  for (const std::string& marker : markers) {
    for (size_t at = 0; at < 600; ++at) {
      SCOPED_TRACE("marker of " + std::to_string(marker.size()) + " at " + std::to_string(at));
      const std::string window = Put(Repeat(1000, 'A'), at, marker);
      ASSERT_EQ(Find(window, marker, static_cast<int64_t>(window.size())), static_cast<int64_t>(at));
    }
  }
}

// Markers that end at the last byte held, or one byte past it, at each of the last 340 starts,
// where the widest steps (four vectors of 64 bytes) leave up to 255 + 79 starts to narrower ones:
// random markers in random bytes, and each family's marker in its data, where the searches hand
// on part way.
TEST_P(FindMarkerAtWidth, MarkersAtTheEndOfTheBytesHeld) {
  constexpr size_t kHeld = 4099;
  std::mt19937 random(20261209);
  // A marker holds no zero byte.
  auto randomBytes = [&](size_t count) {
    std::string bytes(count, ' ');
    for (char& byte : bytes)
      byte = static_cast<char>(1 + random() % 255);
    return bytes;
  };
  std::vector<marker_test_data::Family> kinds;
  for (size_t length : {2, 16, 17, 33, 64, 65, 80})
    kinds.push_back({randomBytes(kHeld), randomBytes(length)});
  for (const marker_test_data::Family& family : marker_test_data::kFamilies)
    kinds.push_back({marker_test_data::Times(kHeld / family.unit.size() + 1, family.unit),
                     family.marker});
  for (const marker_test_data::Family& kind : kinds) {
    const std::string& marker = kind.marker;
    for (size_t end = kHeld - 340; end <= kHeld; ++end) {
      const std::string window = Put(kind.unit.substr(0, kHeld), end - marker.size(), marker);
      for (const size_t held : {end, end - 1}) {
        const size_t expected = std::string_view(window.data(), held).find(marker);
        ASSERT_EQ(Find(window, marker, static_cast<int64_t>(held)),
                  expected == std::string_view::npos ? -1 : static_cast<int64_t>(expected))
            << "marker of " << marker.size() << " ending at " << end << ", " << held << " held";
      }
    }
  }
}

// Small alphabets make partial matches, and so both the candidate and the linear scans, common.
TEST_P(FindMarkerAtWidth, AgreesWithThePlainScan) {
  const uint32_t seed = 20240611;
  std::mt19937 random(seed);
  const std::string alphabets[] = {"ab", "aab", "abc", "\x80\xff", "A"};
  for (int round = 0; round < 3000; ++round) {
    const std::string& alphabet = alphabets[random() % 5];
    auto pick = [&] { return alphabet[random() % alphabet.size()]; };
    std::string window(random() % 3000, ' ');
    for (char& byte : window)
      byte = pick();
    std::string marker(1 + random() % 80, ' ');
    for (char& byte : marker)
      byte = pick();
    if (!window.empty() && random() % 2) {
      const size_t at = random() % window.size();
      window.replace(at, std::min(marker.size(), window.size() - at), marker);
    }
    const int64_t held = window.empty() ? 0 : static_cast<int64_t>(random() % (window.size() + 1));
    ASSERT_EQ(Find(window, marker, held), PlainScan(window, marker, held))
        << "seed " << seed << " round " << round;
  }
  // Data that passes the test of two marker bytes nearly everywhere, with the marker put in
  // anywhere, or near the end, or not at all.
  for (int round = 0; round < 1500; ++round) {
    std::string marker;
    std::string window = FamilyData(random, random() % 6000, &marker);
    if (window.size() >= marker.size() && random() % 3) {
      const size_t room = window.size() - marker.size() + 1;
      const size_t nearEnd = room - 1 - random() % std::min<size_t>(room, 100);
      const size_t at = random() % 2 ? random() % room : nearEnd;
      window.replace(at, marker.size(), marker);
    }
    const int64_t held = window.size() - random() % std::min<size_t>(window.size() + 1, 90);
    ASSERT_EQ(Find(window, marker, held), PlainScan(window, marker, held))
        << "seed " << seed << " family round " << round;
  }
}

// Checks the search against the plain scan on the window, cut short by up to 89 bytes.
void ExpectLikePlainScan(std::mt19937& random, const std::string& window,
                         const std::string& marker) {
  const int64_t held = window.size() - random() % std::min<size_t>(window.size() + 1, 90);
  ASSERT_EQ(Find(window, marker, held), PlainScan(window, marker, held));
}

// Markers with a long run of one byte, searched in data of runs of that byte just shorter and
// longer than the marker's, with the marker's other bytes around them: the runs are found by
// looking at a few blocks, and every run that could hold the marker must be verified.
TEST_P(FindMarkerAtWidth, AgreesWithThePlainScanOnRuns) {
  const uint32_t seed = 20261208;
  std::mt19937 random(seed);
  for (int round = 0; round < 3000; ++round) {
    const size_t runLength = 32 + random() % 49;
    const size_t before = random() % (81 - runLength);
    const size_t after = random() % (81 - runLength - before);
    auto other = [&] { return "AB"[random() % 2]; };
    std::string marker;
    for (size_t i = 0; i < before; ++i)
      marker += other();
    marker += Repeat(runLength, 'x');
    for (size_t i = 0; i < after; ++i)
      marker += other();
    std::string window;
    const size_t size = random() % 4000;
    while (window.size() < size) {
      window += Repeat(runLength - 3 + random() % 7, 'x');
      for (int i = random() % 3; i >= 0; --i)
        window += other();
      if (random() % 8 == 0)
        window += marker.substr(0, random() % (marker.size() + 1));
    }
    if (random() % 2) {
      const size_t at = random() % (window.size() + 1);
      window.insert(at, marker);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectLikePlainScan(random, window, marker))
        << "seed " << seed << " round " << round;
  }
}

// Repeating markers in data that is not made of their letters, so that the search moves on by
// nearly the marker's length, with pieces of the marker in it: a piece ends where the data breaks
// the marker's period, and the marker itself may follow a piece at any overlap.
TEST_P(FindMarkerAtWidth, AgreesWithThePlainScanOnPiecesOfRepeatingMarkers) {
  const uint32_t seed = 8122026;
  std::mt19937 random(seed);
  for (int round = 0; round < 3000; ++round) {
    std::string unit(1 + random() % 5, ' ');
    for (char& byte : unit)
      byte = "abc"[random() % 3];
    std::string marker;
    const size_t length = 2 * unit.size() + random() % (81 - 2 * unit.size());
    while (marker.size() < length)
      marker += unit;
    marker.resize(length);
    std::string window;
    const size_t size = random() % 4000;
    while (window.size() < size) {
      for (int i = random() % 100; i >= 0; --i)
        window += "xyz"[random() % 3];
      const std::string piece = marker.substr(0, random() % marker.size());
      window += piece + "abcxyz"[random() % 6];
      if (random() % 4 == 0)
        window.replace(window.size() - 1 - random() % std::min<size_t>(piece.size() + 1, 9),
                       std::string::npos, marker);
    }
    ASSERT_NO_FATAL_FAILURE(ExpectLikePlainScan(random, window, marker))
        << "seed " << seed << " round " << round;
  }
}

}  // namespace
