#include "platform/file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

#include "test_support/scoped_temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace platform {
namespace {

#ifdef _WIN32
const bool kWindows = true;
#else
const bool kWindows = false;
#endif

const FileAccess kBothAccesses[] = {FileAccess::kRead, FileAccess::kReadWrite};

// Whether nobody holds the file: an exclusive open succeeds (and is released again at once).
bool IsFree(const std::string& path) {
  bool held = false;
  return TryOpenFileExclusive(path, FileAccess::kReadWrite, &held).IsValid();
}

std::string ReadAll(const ScopedFileHandle& file, uint64_t chunk) {
  std::string all;
  std::string buffer(chunk, '\0');
  while (uint64_t delivered = ReadFromFile(file, &buffer[0], chunk))
    all.append(buffer, 0, delivered);
  return all;
}

TEST(ScopedFileHandle, EmptyHolderIsHarmless) {
  ScopedFileHandle empty;
  EXPECT_FALSE(empty);
  empty.Reset();
  EXPECT_EQ(FileHandleTraits::Invalid(), empty.Release());
  ScopedFileHandle moved(std::move(empty));
  EXPECT_FALSE(moved);
}

TEST(ScopedFileHandle, ClosesWhenItGoesOutOfScope) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("held.bin", "data");
  {
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    EXPECT_FALSE(IsFree(path));
  }
  EXPECT_TRUE(IsFree(path));
}

TEST(ScopedFileHandle, MoveTransfersOwnership) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("held.bin", "data");
  ScopedFileHandle first = OpenFileExclusive(path, FileAccess::kRead);
  ASSERT_TRUE(first);
  NativeHandle handle = first.Get();

  ScopedFileHandle second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(handle, second.Get());
  EXPECT_FALSE(IsFree(path));

  ScopedFileHandle third;
  third = std::move(second);
  EXPECT_FALSE(second);
  EXPECT_EQ(handle, third.Get());
  EXPECT_FALSE(IsFree(path));

  third.Reset();
  EXPECT_FALSE(third);
  EXPECT_TRUE(IsFree(path));
}

TEST(ScopedFileHandle, MoveAssignmentClosesWhatItHeld) {
  ScopedTempDir dir;
  std::string a = dir.WriteFile("a.bin", "a");
  std::string b = dir.WriteFile("b.bin", "b");
  ScopedFileHandle holder = OpenFileExclusive(a, FileAccess::kRead);
  ASSERT_TRUE(holder);
  holder = OpenFileExclusive(b, FileAccess::kRead);
  ASSERT_TRUE(holder);
  EXPECT_TRUE(IsFree(a));
  EXPECT_FALSE(IsFree(b));
}

TEST(ScopedFileHandle, ReleaseHandsOverTheHandle) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("held.bin", "data");
  NativeHandle released;
  {
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    released = file.Release();
    EXPECT_FALSE(file);
  }
  EXPECT_FALSE(IsFree(path));  // Released, so not closed by the holder.
  ScopedFileHandle adopted(released);
  adopted.Reset();
  EXPECT_TRUE(IsFree(path));
}

TEST(OpenFileExclusive, MissingFileFailsAndCreatesNothing) {
  ScopedTempDir dir;
  for (FileAccess access : kBothAccesses) {
    std::string path = dir.PathOf("missing.bin");
    EXPECT_FALSE(OpenFileExclusive(path, access));
    EXPECT_FALSE(PathExists(path));
  }
}

TEST(OpenFileExclusive, FolderFails) {
  ScopedTempDir dir;
  dir.WriteFile("sub/inner.txt", "x");
  for (FileAccess access : kBothAccesses)
    EXPECT_FALSE(OpenFileExclusive(dir.PathOf("sub"), access));
}

TEST(OpenFileExclusive, NameWithNulInsideFails) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("a", "x");
  EXPECT_FALSE(OpenFileExclusive(path + std::string(1, '\0') + "b", FileAccess::kRead));
}

TEST(OpenFileExclusive, SecondOpenFailsWhileTheFirstLives) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("once.bin", "data");
  for (FileAccess firstAccess : kBothAccesses) {
    for (FileAccess secondAccess : kBothAccesses) {
      {
        ScopedFileHandle first = OpenFileExclusive(path, firstAccess);
        ASSERT_TRUE(first);
        // POSIX readers share their lock (NFS grants an exclusive one only with write access).
        const bool shared = !kWindows && firstAccess == FileAccess::kRead &&
                            secondAccess == FileAccess::kRead;
        EXPECT_EQ(shared, OpenFileExclusive(path, secondAccess).IsValid());
      }
      EXPECT_TRUE(OpenFileExclusive(path, secondAccess));
    }
  }
}

// A file held for a moment (a virus scanner, an indexer) is waited for; one that stays held is
// given up after a bounded wait.
TEST(OpenFileExclusive, WaitsBrieflyForAHeldFile) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("held.bin", "data");
  for (FileAccess access : kBothAccesses) {
    ScopedFileHandle holder = OpenFileExclusive(path, FileAccess::kReadWrite);
    ASSERT_TRUE(holder);
    std::thread release([&holder] {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      holder.Reset();
    });
    EXPECT_TRUE(OpenFileExclusive(path, access));
    release.join();
  }
  ScopedFileHandle holder = OpenFileExclusive(path, FileAccess::kReadWrite);
  ASSERT_TRUE(holder);
  EXPECT_FALSE(OpenFileExclusive(path, FileAccess::kReadWrite));
}

TEST(OpenFileExclusive, NeverTruncates) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("keep.bin", "contents");
  for (FileAccess access : kBothAccesses)
    EXPECT_TRUE(OpenFileExclusive(path, access));
  EXPECT_EQ("contents", dir.ReadFile("keep.bin"));
}

TEST(OpenFileExclusive, ReportsTheLength) {
  const uint64_t kSizes[] = {0, 1, 32767, 70000};
  ScopedTempDir dir;
  for (uint64_t size : kSizes) {
    std::string path = dir.WriteFile("sized.bin", std::string(size, 'z'));
    uint64_t length = 12345;
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead, &length);
    EXPECT_TRUE(file);
    EXPECT_EQ(size, length);
  }
}

TEST(ReadFromFile, ReadsInSequenceThenDeliversZeroAtTheEnd) {
  const struct {
    std::string contents;
    uint64_t chunk;
  } kCases[] = {
      {"", 4},
      {"hello world", 4},
      {"hello world", 11},
      {"hello world", 1000},
      {std::string("a\0b\xff", 4), 1},
  };
  ScopedTempDir dir;
  for (const auto& c : kCases) {
    std::string path = dir.WriteFile("seq.bin", c.contents);
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    EXPECT_EQ(c.contents, ReadAll(file, c.chunk)) << "chunk " << c.chunk;
    char byte;
    EXPECT_EQ(0u, ReadFromFile(file, &byte, 1));
  }
}

TEST(WriteFileAt, WritesInPlaceAndReadsBack) {
  const struct {
    uint64_t offset;
    std::string bytes;
    std::string expected;
  } kCases[] = {
      {0, "XY", "XYcdefgh"},
      {3, "XY", "abcXYfgh"},
      {6, "XY", "abcdefXY"},
      {8, "XY", "abcdefghXY"},  // At the end the file grows, as WriteFile does.
      {2, std::string("\0\0", 2), std::string("ab\0\0efgh", 8)},
  };
  ScopedTempDir dir;
  for (const auto& c : kCases) {
    std::string path = dir.WriteFile("rw.bin", "abcdefgh");
    {
      ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kReadWrite);
      ASSERT_TRUE(file);
      EXPECT_TRUE(WriteFileAt(file, c.offset, c.bytes.data(), c.bytes.size()));
      EXPECT_TRUE(FlushFile(file));
      std::string back(c.bytes.size(), '?');
      EXPECT_TRUE(ReadFileAt(file, c.offset, &back[0], back.size()));
      EXPECT_EQ(c.bytes, back);
    }
    EXPECT_EQ(c.expected, dir.ReadFile("rw.bin")) << "offset " << c.offset;
  }
}

TEST(WriteFileAt, LeavesThePositionAfterTheBytes) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("pos.bin", "abcdefgh");
  ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kReadWrite);
  ASSERT_TRUE(file);
  ASSERT_TRUE(WriteFileAt(file, 3, "XY", 2));
  EXPECT_EQ("fgh", ReadAll(file, 2));
  char two[2];
  ASSERT_TRUE(ReadFileAt(file, 1, two, 2));
  EXPECT_EQ("XYfgh", ReadAll(file, 16));
}

TEST(WriteFileAt, FailsThroughAReadOnlyHandle) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("ro.bin", "abcdefgh");
  {
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    EXPECT_FALSE(WriteFileAt(file, 0, "XY", 2));
  }
  EXPECT_EQ("abcdefgh", dir.ReadFile("ro.bin"));
}

TEST(ReadFileAt, FailsWhenFewerBytesArePresent) {
  const struct {
    uint64_t offset;
    uint64_t size;
    bool ok;
  } kCases[] = {
      {0, 8, true}, {4, 4, true}, {5, 4, false}, {8, 1, false}, {100, 1, false}, {0, 0, true},
  };
  ScopedTempDir dir;
  std::string path = dir.WriteFile("short.bin", "abcdefgh");
  ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
  ASSERT_TRUE(file);
  for (const auto& c : kCases) {
    char buffer[16];
    EXPECT_EQ(c.ok, ReadFileAt(file, c.offset, buffer, c.size)) << c.offset << "+" << c.size;
  }
}

TEST(WriteFileAt, TakesOffsetsBeyondFourGiB) {
  // The file is sparse: only the one page written takes room on the disk.
  const uint64_t kOffset = (uint64_t{5} << 32) + 7;
  ScopedTempDir dir;
  std::string path = dir.WriteFile("far.bin", "");
  ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kReadWrite);
  ASSERT_TRUE(file);
  ASSERT_TRUE(WriteFileAt(file, kOffset, "far", 3));
  file.Reset();
  uint64_t length = 0;
  file = OpenFileExclusive(path, FileAccess::kReadWrite, &length);
  ASSERT_TRUE(file);
  EXPECT_EQ(kOffset + 3, length);
  char back[4] = {};
  EXPECT_TRUE(ReadFileAt(file, kOffset, back, 3));
  EXPECT_STREQ("far", back);
  EXPECT_TRUE(ReadFileAt(file, kOffset - 1, back, 1));
  EXPECT_EQ('\0', back[0]);
}

#ifdef _WIN32
TEST(OpenFileExclusive, DeviceNamesFail) {
  for (const char* device : {"NUL", "CON", "CONIN$"})
    EXPECT_FALSE(OpenFileExclusive(device, FileAccess::kRead)) << device;
}
#else
TEST(OpenFileExclusive, FifoFailsWithoutWaiting) {
  ScopedTempDir dir;
  std::string path = dir.PathOf("fifo");
  ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
  for (FileAccess access : kBothAccesses)
    EXPECT_FALSE(OpenFileExclusive(path, access));
}

TEST(OpenFileExclusive, DeviceFails) {
  EXPECT_FALSE(OpenFileExclusive("/dev/null", FileAccess::kRead));
}
#endif

}  // namespace
}  // namespace platform
