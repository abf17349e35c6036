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
  std::string full;
  std::size_t start = 0;
  if (GetFullPath(folder, &full, &start) && IsSameFullPath(current, full))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "current is " << current << ", expected " << folder;
}

class ScopedCurrentDirectoryTest : public ::testing::Test {
 protected:
  ScopedCurrentDirectoryTest() : start_(GetCurrentDirectoryPath()) {
    dir_.WriteFile("outer/inner/file.txt", "x");
    outer_ = dir_.PathOf("outer");
    inner_ = dir_.PathOf("outer/inner");
  }
  ~ScopedCurrentDirectoryTest() override { SetCurrentDirectoryPath(start_); }

  const std::string start_;
  ScopedTempDir dir_;
  std::string outer_;
  std::string inner_;
};

TEST_F(ScopedCurrentDirectoryTest, CurrentDirectoryIsAFolder) {
  ASSERT_FALSE(start_.empty());
  EXPECT_EQ(PathKind::kDirectory, GetPathKind(start_));
}

TEST_F(ScopedCurrentDirectoryTest, EntersAndRestores) {
  {
    ScopedCurrentDirectory inside(outer_);
    EXPECT_TRUE(inside.IsSaved());
    EXPECT_TRUE(IsCurrent(outer_));
    EXPECT_EQ(PathKind::kDirectory, GetPathKind("inner"));
  }
  EXPECT_TRUE(IsCurrent(start_));
}

TEST_F(ScopedCurrentDirectoryTest, NestedHoldersRestoreInReverseOrder) {
  {
    ScopedCurrentDirectory first(outer_);
    {
      // Relative to the folder just entered, as a nested argument file names its neighbour.
      ScopedCurrentDirectory second("inner");
      EXPECT_TRUE(IsCurrent(inner_));
    }
    EXPECT_TRUE(IsCurrent(outer_));
  }
  EXPECT_TRUE(IsCurrent(start_));
}

TEST_F(ScopedCurrentDirectoryTest, RestoresWhenAnExceptionPassesThrough) {
  try {
    ScopedCurrentDirectory first(outer_);
    ScopedCurrentDirectory second(inner_);
    throw std::runtime_error("unwind");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(IsCurrent(start_));
}

TEST_F(ScopedCurrentDirectoryTest, MissingFolderIsNotEnteredButStillRestores) {
  {
    ScopedCurrentDirectory inside(outer_);
    {
      ScopedCurrentDirectory missing(dir_.PathOf("missing"));
      EXPECT_TRUE(missing.IsSaved());
      EXPECT_FALSE(missing.IsEntered());
      EXPECT_TRUE(IsCurrent(outer_));
      SetCurrentDirectoryPath(inner_);
    }
    EXPECT_TRUE(IsCurrent(outer_));
  }
  EXPECT_TRUE(IsCurrent(start_));
}

TEST_F(ScopedCurrentDirectoryTest, MovedFromHolderRestoresNothing) {
  {
    ScopedCurrentDirectory first(outer_);
    {
      ScopedCurrentDirectory moved(std::move(first));
      EXPECT_FALSE(first.IsSaved());
      EXPECT_TRUE(moved.IsSaved());
      SetCurrentDirectoryPath(inner_);
    }
    EXPECT_TRUE(IsCurrent(start_));
    SetCurrentDirectoryPath(inner_);
  }
  EXPECT_TRUE(IsCurrent(inner_));  // The moved-from holder left it alone.
}

TEST_F(ScopedCurrentDirectoryTest, SetCurrentDirectoryPathReportsFailure) {
  EXPECT_TRUE(SetCurrentDirectoryPath(inner_));
  EXPECT_TRUE(IsCurrent(inner_));
  EXPECT_FALSE(SetCurrentDirectoryPath(dir_.PathOf("missing")));
  EXPECT_FALSE(SetCurrentDirectoryPath(dir_.PathOf("outer/inner/file.txt")));
  EXPECT_TRUE(IsCurrent(inner_));
}

}  // namespace
}  // namespace platform
