#include "cmdline/version_info_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/program.h"
#include "test_support/scoped_temp_dir.h"

namespace {

using platform::kResultFail;
using platform::kResultOk;

TEST(VersionInfoReaderTest, NothingLoaded) {
  VersionInfoReader reader("040904B0");
  EXPECT_EQ(nullptr, reader.QueryString("FileVersion"));
  reader.Free();
  EXPECT_EQ(nullptr, reader.QueryString("FileVersion"));
}

TEST(VersionInfoReaderTest, MissingOrPlainFileFails) {
  ScopedTempDir dir;
  const std::string plain = dir.WriteFile("plain.txt", "no resource here");
  for (const std::string& path : {dir.PathOf("missing.exe"), plain, std::string()}) {
    VersionInfoReader reader("040904B0");
    EXPECT_LT(reader.LoadFile(path), 0) << path;
    EXPECT_EQ(nullptr, reader.QueryString("FileVersion")) << path;
  }
}

TEST(VersionInfoReaderTest, OverlongKeyIsCut) {
  // Under AddressSanitizer a key copied past its array would stop the test here.
  VersionInfoReader reader("040904B0040904B0040904B0040904B0");
  EXPECT_EQ(nullptr, reader.QueryString("FileVersion"));
  VersionInfoReader empty("");
  EXPECT_EQ(nullptr, empty.QueryString("FileVersion"));
}

#ifdef _WIN32
TEST(VersionInfoReaderTest, OwnResource) {
  VersionInfoReader reader("040904B0");
  ASSERT_EQ(kResultOk, reader.Load(platform::GetProgramModule()));
  const struct {
    const char* name;
    const char* value;  // null: not in the table
  } cases[] = {
      {"FileDescription", "Ostra Test"},
      {"FileVersion", "1.2.3.4"},
      {"LegalCopyright", "Copyright (c) 2026 Ostra (r) Team (C) (R)"},
      {"ProductName", nullptr},
  };
  for (const auto& c : cases) {
    const char* value = reader.QueryString(c.name);
    if (c.value)
      EXPECT_STREQ(c.value, value) << c.name;
    else
      EXPECT_EQ(nullptr, value) << c.name;
  }
  reader.Free();
  EXPECT_EQ(nullptr, reader.QueryString("FileVersion"));

  // Loading the same file by path, twice over, gives the same table.
  ASSERT_EQ(kResultOk, reader.LoadFile(platform::GetProgramPath()));
  ASSERT_EQ(kResultOk, reader.LoadFile(platform::GetProgramPath()));
  EXPECT_STREQ("1.2.3.4", reader.QueryString("FileVersion"));

  // Another language's table is not there.
  VersionInfoReader german("040704B0");
  ASSERT_EQ(kResultOk, german.LoadFile(platform::GetProgramPath()));
  EXPECT_EQ(nullptr, german.QueryString("FileVersion"));
}
#else
TEST(VersionInfoReaderTest, NoResourceOnPosix) {
  VersionInfoReader reader("040904B0");
  EXPECT_EQ(kResultFail, reader.LoadFile(platform::GetProgramPath()));
  EXPECT_LT(reader.Load(platform::GetProgramModule()), 0);
  EXPECT_EQ(nullptr, reader.QueryString("FileVersion"));
}
#endif

}  // namespace
