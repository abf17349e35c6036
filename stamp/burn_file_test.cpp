#include "stamp/burn_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "stamp/marker_test_data.h"
#include "platform/file.h"
#include "test_support/scoped_temp_dir.h"

#ifdef _WIN32
#include "platform/win32.h"
#else
#include <unistd.h>
#endif

namespace {

using marker_test_data::FamilyData;
using marker_test_data::Put;
using marker_test_data::Repeat;

constexpr int64_t kWindow = 32767;

// The file byte at which read n (counting from 1) ends, exclusive: every read after the first
// delivers L bytes fewer than the window holds.
int64_t ReadEnd(int n, int64_t markerLength) { return n * kWindow - (n - 1) * markerLength; }

// What a correct stamp leaves: the lowest occurrence over the whole file overwritten by the first
// L bytes of an 80-byte zeroed block that starts with the replacement.
std::string Reference(std::string content, const std::string& marker,
                      const std::string& replacement, int* outcome) {
  auto at = std::search(content.begin(), content.end(), marker.begin(), marker.end());
  if (marker.empty() || at == content.end()) {
    *outcome = 0;
    return content;
  }
  char block[80] = {};
  std::memcpy(block, replacement.data(), replacement.size());
  std::copy(block, block + marker.size(), at);
  *outcome = 1;
  return content;
}

// ---------------------------------------------------------------------------------------------
// BurnFile

class BurnFileTest : public ::testing::Test {
 protected:
  // Writes `content` to a file, stamps it and returns the outcome; the file's bytes afterwards
  // go to *after.
  int Burn(const std::string& content, const char* marker, const char* replacement,
           std::string* after) {
    const std::string path = dir.WriteFile("stamped.bin", content);
    const int outcome = BurnFile(path.c_str(), marker, replacement);
    *after = ReadBytes(path);
    return outcome;
  }

  // Stamps `content` and checks the outcome and every byte of the file against the reference.
  void ExpectLikeReference(const std::string& content, const std::string& marker,
                           const std::string& replacement) {
    int expectedOutcome = 0;
    const std::string expected = Reference(content, marker, replacement, &expectedOutcome);
    std::string after;
    EXPECT_EQ(Burn(content, marker.c_str(), replacement.c_str(), &after), expectedOutcome);
    ASSERT_EQ(after.size(), content.size());
    EXPECT_TRUE(after == expected) << "first difference at byte "
                                   << std::mismatch(after.begin(), after.end(), expected.begin())
                                              .first - after.begin();
  }

  ScopedTempDir dir;
};

TEST_F(BurnFileTest, EdgeCases) {
  struct Case {
    const char* name;
    std::string content;
    const char* marker;
    const char* replacement;
    int outcome;
    std::string expected;
  };
  const std::string z4(4, '\0');
  const Case cases[] = {
      {"at offset 0", "MARKER42 tail", "MARKER42", "VALUE123", 1, "VALUE123 tail"},
      {"whole file", "MARKER42", "MARKER42", "abc", 1, std::string("abc\0\0\0\0\0", 8)},
      {"ends at the last byte", "head MARKER42", "MARKER42", "VALUE123", 1, "head VALUE123"},
      {"first of two", "<MARKER42><MARKER42>", "MARKER42", "VALUE123", 1, "<VALUE123><MARKER42>"},
      {"padding", "<MARKER42>", "MARKER42", "ABCD", 1, "<ABCD" + z4 + ">"},
      {"equal length", "<MARKER42>", "MARKER42", "12345678", 1, "<12345678>"},
      {"cutting", "<MARKER42>", "MARKER42", "123456789abc", 1, "<12345678>"},
      {"empty replacement", "<MARKER42>", "MARKER42", "", 1, "<" + std::string(8, '\0') + ">"},
      {"overlapping candidates", "aaab", "aab", "xyz", 1, "axyz"},
      {"letter case", "<marker42>", "MARKER42", "VALUE123", 0, "<marker42>"},
      {"utf-16 text", std::string("<M\0A\0R\0K\0>\0", 12), "MARK", "VALU", 0,
       std::string("<M\0A\0R\0K\0>\0", 12)},
      {"high bytes", "\x80\xff\xfe\xff", "\xff\xfe", "\xe9", 1, std::string("\x80\xe9\0\xff", 4)},
      {"empty file", "", "MARKER42", "VALUE123", 0, ""},
      {"shorter than the marker", "MARK", "MARKER42", "VALUE123", 0, "MARK"},
      {"no marker", "nothing to see here", "MARKER42", "VALUE123", 0, "nothing to see here"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string after;
    EXPECT_EQ(Burn(c.content, c.marker, c.replacement, &after), c.outcome);
    EXPECT_EQ(after, c.expected);
  }
}

// Occurrences that end at, straddle or follow the end of each of the first reads, for several
// marker lengths: each is found whole and written at its true offset.
TEST_F(BurnFileTest, WindowEdges) {
  for (int64_t length : {1, 2, 8, 31, 79, 80}) {
    const std::string marker = Repeat(static_cast<size_t>(length - 1), 'm') + "M";
    for (int read = 1; read <= 3; ++read) {
      const int64_t end = ReadEnd(read, length);
      for (int64_t at : {end - length - 1, end - length, end - length + 1, end - 1, end, end + 1}) {
        SCOPED_TRACE("length " + std::to_string(length) + " at " + std::to_string(at));
        const std::string content = Put(Repeat(static_cast<size_t>(end + 2 * length + 3), '.'),
                                        static_cast<size_t>(at), marker);
        ExpectLikeReference(content, marker, "stamped value");
      }
    }
  }
}

TEST_F(BurnFileTest, EightByteMarkerAt65520IsWrittenThere) {
  // With an 8-byte marker the windows begin at 0, 32,759 and 65,518; this one straddles the
  // second and third.
  const std::string content = Put(Repeat(70000, '.'), 65520, "MARKER42");
  std::string after;
  ASSERT_EQ(Burn(content, "MARKER42", "VALUE123", &after), 1);
  EXPECT_EQ(after, Put(content, 65520, "VALUE123"));
}

TEST_F(BurnFileTest, OnlyTheLowestOccurrenceAcrossWindows) {
  std::string content = Repeat(200000, '.');
  content = Put(content, 150000, "MARKER42");
  content = Put(content, ReadEnd(2, 8) - 3, "MARKER42");
  content = Put(content, 199992, "MARKER42");
  ExpectLikeReference(content, "MARKER42", "VALUE");
}

TEST_F(BurnFileTest, MissingFileIsNotCreated) {
  const std::string path = dir.PathOf("missing.bin");
  EXPECT_EQ(BurnFile(path.c_str(), "MARKER42", "VALUE123"), 0);
  EXPECT_FALSE(PathExists(path));
}

TEST_F(BurnFileTest, FolderIsNotStamped) {
  dir.WriteFile("sub/x", "MARKER42");
  const std::string path = dir.PathOf("sub");
  EXPECT_EQ(BurnFile(path.c_str(), "MARKER42", "VALUE123"), 0);
}

TEST_F(BurnFileTest, FileHeldByAnotherHolderIsUntouched) {
  const std::string path = dir.WriteFile("held.bin", "<MARKER42>");
  {
    platform::ScopedFileHandle holder =
        platform::OpenFileExclusive(path, platform::FileAccess::kRead);
    ASSERT_TRUE(holder);
    EXPECT_EQ(BurnFile(path.c_str(), "MARKER42", "VALUE123"), 0);
  }
  EXPECT_EQ(ReadBytes(path), "<MARKER42>");
  // Released, the file can be stamped again.
  EXPECT_EQ(BurnFile(path.c_str(), "MARKER42", "VALUE123"), 1);
  EXPECT_EQ(ReadBytes(path), "<VALUE123>");
}

// Writes that the system cuts short or refuses, one call after another: each entry is how many
// bytes the next write call may move (0 fails it); calls past the list move all they are given.
// The marker written over itself is the first call, the value the second, the marker put back
// the third.
struct WritePlan {
  static uint64_t Filter(uint64_t size) {
    if (next >= count)
      return size;
    const uint64_t allowed = calls[next++];
    return allowed < size ? allowed : size;
  }
  static const uint64_t* calls;
  static size_t count;
  static size_t next;
};
const uint64_t* WritePlan::calls = nullptr;
size_t WritePlan::count = 0;
size_t WritePlan::next = 0;

// A stamp is whole or absent: a write that fails after part of the value landed puts the marker's
// own bytes back and gives 0. Only when the marker cannot be put back either does the file keep
// the part that landed (still 0).
TEST_F(BurnFileTest, WritesThatFailPartWayLeaveTheMarker) {
  struct Case {
    const char* name;
    std::vector<uint64_t> calls;
    int outcome;
    std::string expected;
  };
  const Case cases[] = {
      {"the marker over itself refused", {0}, 0, "<MARKER42>"},
      {"the marker over itself cut", {3}, 0, "<MARKER42>"},
      {"the value refused", {8, 0}, 0, "<MARKER42>"},
      {"the value cut after three bytes", {8, 3}, 0, "<MARKER42>"},
      {"the value cut after seven bytes", {8, 7}, 0, "<MARKER42>"},
      {"the marker cannot be put back", {8, 3, 0}, 0, "<VALKER42>"},
      {"the marker goes back in part", {8, 3, 2}, 0, "<MALKER42>"},
      {"whole", {8, 8}, 1, "<VALUE123>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WritePlan::calls = c.calls.data();
    WritePlan::count = c.calls.size();
    WritePlan::next = 0;
    platform::SetWriteFilterForTesting(&WritePlan::Filter);
    std::string after;
    const int outcome = Burn("<MARKER42>", "MARKER42", "VALUE123", &after);
    platform::SetWriteFilterForTesting(nullptr);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(after, c.expected);
  }
}

// What a process that ignores the lock does at one step of a stamp: cut the file to `cutTo` bytes
// (unless negative), then write `bytes` at `at` (unless null); and what the stamp then leaves.
struct Meddling {
  const char* name;
  BurnStep step;
  int64_t cutTo;
  uint64_t at;
  const char* bytes;
  int outcome;
  std::string expected;

  static const Meddling* current;
  static void Hook(BurnStep reached, const platform::ScopedFileHandle& file) {
    if (reached != current->step)
      return;
    if (current->cutTo >= 0) {
#ifdef _WIN32
      LARGE_INTEGER end;
      end.QuadPart = current->cutTo;
      const HANDLE handle = reinterpret_cast<HANDLE>(file.Get());
      ASSERT_TRUE(SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle));
#else
      ASSERT_EQ(0, ftruncate(static_cast<int>(file.Get()), current->cutTo));
#endif
    }
    const char* bytes = current->bytes;
    if (bytes != nullptr) {
      ASSERT_TRUE(platform::WriteFileAt(file, current->at, bytes, std::strlen(bytes)));
    }
  }
};
const Meddling* Meddling::current = nullptr;

// A file cut short or changed behind the lock is never grown back, nor stamped where the marker
// no longer is: nothing is written after the scan, and the marker put back stops at the end.
TEST_F(BurnFileTest, AFileChangedBehindTheLockIsNeverGrown) {
  const Meddling cases[] = {
      {"cut inside the marker after the scan", BurnStep::kFound, 5, 0, nullptr, 0, "<MARK"},
      {"cut to its last byte after the scan", BurnStep::kFound, 9, 0, nullptr, 0, "<MARKER42"},
      {"emptied after the scan", BurnStep::kFound, 0, 0, nullptr, 0, ""},
      {"marker changed after the scan", BurnStep::kFound, -1, 3, "xx", 0, "<MAxxER42>"},
      {"grown after the scan", BurnStep::kFound, -1, 10, "!", 0, "<MARKER42>!"},
      {"cut inside the value after the write", BurnStep::kWritten, 5, 0, nullptr, 0, "<MARK"},
      {"cut before the marker after the write", BurnStep::kWritten, 1, 0, nullptr, 0, "<"},
      {"emptied after the write", BurnStep::kWritten, 0, 0, nullptr, 0, ""},
      {"left alone", BurnStep::kFound, -1, 0, nullptr, 1, "<VALUE123>"},
  };
  for (const Meddling& c : cases) {
    SCOPED_TRACE(c.name);
    Meddling::current = &c;
    SetBurnStepHookForTesting(&Meddling::Hook);
    std::string after;
    const int outcome = Burn("<MARKER42>", "MARKER42", "VALUE123", &after);
    SetBurnStepHookForTesting(nullptr);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(after, c.expected);
  }
}

// Values that do not fit the 80-byte block are refused before the file is opened.
TEST_F(BurnFileTest, Refusals) {
  struct Case {
    const char* name;
    std::string marker;
    std::string replacement;
    int outcome;
  };
  const Case cases[] = {
      {"empty marker", "", "VALUE", 0},
      {"marker of 81 bytes", Repeat(81, 'M'), "VALUE", 0},
      {"marker of 80 bytes", Repeat(80, 'M'), "VALUE", 1},
      {"replacement of 80 bytes", "MARKER42", Repeat(80, 'v'), 0},
      {"replacement of 79 bytes", "MARKER42", Repeat(79, 'v'), 1},
      {"replacement of 1000 bytes", "MARKER42", Repeat(1000, 'v'), 0},
  };
  const std::string content = "<" + Repeat(90, 'M') + "><MARKER42>";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string after;
    ASSERT_EQ(Burn(content, c.marker.c_str(), c.replacement.c_str(), &after), c.outcome);
    if (c.outcome == 0)
      EXPECT_EQ(after, content);
    else
      ExpectLikeReference(content, c.marker, c.replacement);
  }
}

TEST_F(BurnFileTest, NullArgumentsAreRefused) {
  const std::string path = dir.WriteFile("null.bin", "<MARKER42>");
  EXPECT_EQ(BurnFile(nullptr, "MARKER42", "VALUE123"), 0);
  EXPECT_EQ(BurnFile(path.c_str(), nullptr, "VALUE123"), 0);
  EXPECT_EQ(BurnFile(path.c_str(), "MARKER42", nullptr), 0);
  EXPECT_EQ(ReadBytes(path), "<MARKER42>");
}

// Random files around the window edges, small alphabets, random markers and replacements: the
// whole file and the outcome must match the reference every time.
TEST_F(BurnFileTest, AgreesWithTheReference) {
  const uint32_t seed = 4171;
  std::mt19937 random(seed);
  const std::string alphabets[] = {"ab", "abc", "aab", std::string("a\0b", 3), "\x80\xff"};
  for (int round = 0; round < 250; ++round) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
    const std::string& alphabet = alphabets[random() % 5];
    auto pick = [&] { return alphabet[random() % alphabet.size()]; };

    std::string marker(1 + random() % 80, ' ');
    for (char& byte : marker) {
      do
        byte = pick();
      while (byte == '\0');
    }
    std::string replacement(random() % 80, ' ');
    for (char& byte : replacement)
      byte = static_cast<char>(1 + random() % 255);

    const int64_t length = static_cast<int64_t>(marker.size());
    int64_t size = 0;
    switch (random() % 3) {
      case 0: size = random() % 200; break;
      case 1: size = random() % 200000; break;
      default: size = std::max<int64_t>(0, ReadEnd(1 + random() % 6, length) +
                                               static_cast<int64_t>(random() % (4 * length + 9)) -
                                               2 * length - 4);
    }
    std::string content(static_cast<size_t>(size), ' ');
    for (char& byte : content)
      byte = pick();

    // Place copies near read ends, where straddling happens, or anywhere.
    for (int copies = random() % 3; copies > 0 && size >= length; --copies) {
      int64_t at = random() % (size - length + 1);
      if (random() % 2) {
        at = ReadEnd(1 + random() % 6, length) - length + static_cast<int64_t>(random() % (2 * length + 1)) -
             length;
        at = std::clamp<int64_t>(at, 0, size - length);
      }
      content = Put(content, static_cast<size_t>(at), marker);
    }
    ExpectLikeReference(content, marker, replacement);
    if (HasFailure())
      return;
  }
  // The same with data that defeats a test of two marker bytes, over several windows.
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " family round " + std::to_string(round));
    std::string marker;
    std::string content = FamilyData(random, random() % 100000, &marker);
    if (content.size() >= marker.size() && random() % 2)
      content = Put(content, random() % (content.size() - marker.size() + 1), marker);
    ExpectLikeReference(content, marker, "stamped value");
    if (HasFailure())
      return;
  }
}

}  // namespace
