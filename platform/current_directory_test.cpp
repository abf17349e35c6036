#include "platform/current_directory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/path.h"
#include "test_support/scoped_temp_dir.h"

namespace platform {
namespace {

// Whether the current directory is `folder` (compared as full paths).
::testing::AssertionResult IsCurrent(const std::string& folder) {
  std::string current = GetCurrentDirectoryPath();
  PathName full;
  PathName parent;
  if (GetFullPath(folder, &full, &parent) && IsSameFullPath(current, full.text))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "current is " << current << ", expected " << folder;
}

class ScopedCurrentDirectoryTest : public ::testing::Test {
 protected:
  ScopedCurrentDirectoryTest() : start(GetCurrentDirectoryPath()) {
    dir.WriteFile("outer/inner/file.txt", "x");
    outer = dir.PathOf("outer");
    inner = dir.PathOf("outer/inner");
  }
  ~ScopedCurrentDirectoryTest() override { SetCurrentDirectoryPath(start); }

  const std::string start;
  ScopedTempDir dir;
  std::string outer;
  std::string inner;
};

TEST_F(ScopedCurrentDirectoryTest, CurrentDirectoryIsAFolder) {
  ASSERT_FALSE(start.empty());
  EXPECT_EQ(PathKind::kDirectory, GetPathKind(start));
}

TEST_F(ScopedCurrentDirectoryTest, EntersAndRestores) {
  {
    ScopedCurrentDirectory inside(outer);
    EXPECT_TRUE(inside.IsSaved());
    EXPECT_TRUE(IsCurrent(outer));
    EXPECT_EQ(PathKind::kDirectory, GetPathKind("inner"));
  }
  EXPECT_TRUE(IsCurrent(start));
}

TEST_F(ScopedCurrentDirectoryTest, NestedHoldersRestoreInReverseOrder) {
  {
    ScopedCurrentDirectory first(outer);
    {
      // Relative to the folder just entered, as a nested argument file names its neighbour.
      ScopedCurrentDirectory second("inner");
      EXPECT_TRUE(IsCurrent(inner));
    }
    EXPECT_TRUE(IsCurrent(outer));
  }
  EXPECT_TRUE(IsCurrent(start));
}

TEST_F(ScopedCurrentDirectoryTest, RestoresWhenAnExceptionPassesThrough) {
  try {
    ScopedCurrentDirectory first(outer);
    ScopedCurrentDirectory second(inner);
    throw std::runtime_error("unwind");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(IsCurrent(start));
}

TEST_F(ScopedCurrentDirectoryTest, MissingFolderIsNotEnteredButStillRestores) {
  {
    ScopedCurrentDirectory inside(outer);
    {
      ScopedCurrentDirectory missing(dir.PathOf("missing"));
      EXPECT_TRUE(missing.IsSaved());
      EXPECT_FALSE(missing.IsEntered());
      EXPECT_TRUE(IsCurrent(outer));
      SetCurrentDirectoryPath(inner);
    }
    EXPECT_TRUE(IsCurrent(outer));
  }
  EXPECT_TRUE(IsCurrent(start));
}

TEST_F(ScopedCurrentDirectoryTest, MovedFromHolderRestoresNothing) {
  {
    ScopedCurrentDirectory first(outer);
    {
      ScopedCurrentDirectory moved(std::move(first));
      EXPECT_FALSE(first.IsSaved());
      EXPECT_TRUE(moved.IsSaved());
      SetCurrentDirectoryPath(inner);
    }
    EXPECT_TRUE(IsCurrent(start));
    SetCurrentDirectoryPath(inner);
  }
  EXPECT_TRUE(IsCurrent(inner));  // The moved-from holder left it alone.
}

TEST_F(ScopedCurrentDirectoryTest, SetCurrentDirectoryPathReportsFailure) {
  EXPECT_TRUE(SetCurrentDirectoryPath(inner));
  EXPECT_TRUE(IsCurrent(inner));
  EXPECT_FALSE(SetCurrentDirectoryPath(dir.PathOf("missing")));
  EXPECT_FALSE(SetCurrentDirectoryPath(dir.PathOf("outer/inner/file.txt")));
  EXPECT_TRUE(IsCurrent(inner));
}

}  // namespace
}  // namespace platform
