#include "platform/program.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"

namespace platform {
namespace {

TEST(GetProgramPath, NamesThisTestProgram) {
  std::string path = GetProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(PathKind::kFile, GetPathKind(path));
  EXPECT_EQ("platform_tests", GetFileStem(path));
}

TEST(IsConsoleSubsystem, ThisTestProgramIsOne) { EXPECT_TRUE(IsConsoleSubsystem()); }

}  // namespace
}  // namespace platform
