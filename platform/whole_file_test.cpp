#include "platform/whole_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/file.h"
#include "test_support/scoped_temp_dir.h"

namespace platform {
namespace {

std::string ViewBytes(const ScopedFileView& view) {
  return std::string(reinterpret_cast<const char*>(view.data()), view.length());
}

TEST(ScopedFileView, EmptyViewIsHarmless) {
  ScopedFileView empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(nullptr, empty.data());
  EXPECT_EQ(0u, empty.length());
  ScopedFileView moved(std::move(empty));
  EXPECT_FALSE(moved);
}

TEST(ScopedMappingHandle, EmptyHolderIsHarmless) {
  ScopedMappingHandle empty;
  EXPECT_FALSE(empty);
  empty.Reset();
  ScopedFileView view;
  EXPECT_NE(WholeFileLoad::kLoaded, LoadWholeFile(ScopedFileHandle(), 1, &view));
  EXPECT_FALSE(view);
}

TEST(LoadWholeFile, RoundTripLeavesTheFileAlone) {
  const std::string kContents[] = {
      "x",
      "-burnfile \"C:\\Program Files\\x.bin\"\r\n",
      std::string("\xff\xfe-\0v\0", 6),
      std::string(70000, '\0') + "end",
  };
  ScopedTempDir dir;
  for (const std::string& contents : kContents) {
    std::string path = dir.WriteFile("mapped.bin", contents);
    {
      uint64_t length = 0;
      ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead, &length);
      ASSERT_TRUE(file);
      ASSERT_EQ(contents.size(), length);
      ScopedFileView view;
      ASSERT_EQ(WholeFileLoad::kLoaded, LoadWholeFile(file, length, &view));
      ASSERT_TRUE(view);
      EXPECT_EQ(length, view.length());
      EXPECT_EQ(contents, ViewBytes(view));
    }
    // Every holder is gone, so the file is free again and unchanged.
    EXPECT_TRUE(OpenFileExclusive(path, FileAccess::kReadWrite));
    EXPECT_EQ(contents, dir.ReadFile("mapped.bin"));
  }
}

TEST(LoadWholeFile, ViewOutlivesTheFileHolder) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("kept.bin", "still here");
  ScopedFileView view;
  {
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    ASSERT_EQ(WholeFileLoad::kLoaded, LoadWholeFile(file, 10, &view));
  }
  ASSERT_TRUE(view);
  EXPECT_EQ("still here", ViewBytes(view));
}

TEST(LoadWholeFile, MovedViewUnmapsOnce) {
  ScopedTempDir dir;
  std::string path = dir.WriteFile("moved.bin", "abc");
  ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
  ASSERT_TRUE(file);
  ScopedFileView first;
  ASSERT_EQ(WholeFileLoad::kLoaded, LoadWholeFile(file, 3, &first));
  ASSERT_TRUE(first);
  const unsigned char* data = first.data();
  ScopedFileView second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(data, second.data());
  ScopedFileView third;
  third = std::move(second);
  EXPECT_FALSE(second);
  EXPECT_EQ("abc", ViewBytes(third));
}

TEST(LoadWholeFile, RefusesWhatTheFileCannotBack) {
  const struct {
    std::string contents;
    uint64_t length;
  } kCases[] = {
      {"", 0},     // An empty file is never mapped.
      {"abc", 0},
      {"abc", 4},  // Longer than the file: its pages would have nothing behind them.
      {"abc", uint64_t{1} << 33},
  };
  ScopedTempDir dir;
  for (const auto& c : kCases) {
    std::string path = dir.WriteFile("short.bin", c.contents);
    ScopedFileHandle file = OpenFileExclusive(path, FileAccess::kRead);
    ASSERT_TRUE(file);
    ScopedFileView view;
    EXPECT_NE(WholeFileLoad::kLoaded, LoadWholeFile(file, c.length, &view))
        << c.contents.size() << " loaded as " << c.length;
    EXPECT_FALSE(view);
  }
  ScopedFileView view;
  EXPECT_NE(WholeFileLoad::kLoaded, LoadWholeFile(ScopedFileHandle(), 1, &view));
}

}  // namespace
}  // namespace platform
