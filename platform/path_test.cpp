#include "platform/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/current_directory.h"
#include "test_support/scoped_temp_dir.h"

namespace platform {
namespace {

#ifdef _WIN32
const bool kWindows = true;
const char kSeparator = '\\';
#else
const bool kWindows = false;
const char kSeparator = '/';
#endif

// `path` with each "/" as the platform writes it in a full path.
std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/')
      c = kSeparator;
  }
  return path;
}

TEST(GetPathKind, TellsFilesFoldersAndMissingNames) {
  const struct {
    const char* name;
    PathKind kind;
  } kCases[] = {
      {"file.txt", PathKind::kFile},
      {"sub", PathKind::kDirectory},
      {"sub/inner.txt", PathKind::kFile},
      {"missing", PathKind::kMissing},
      {"file.txt/below", PathKind::kMissing},
      {"", PathKind::kMissing},
  };
  ScopedTempDir dir;
  dir.WriteFile("file.txt", "x");
  dir.WriteFile("sub/inner.txt", "x");
  ScopedCurrentDirectory inside(dir.path().string());
  for (const auto& c : kCases) {
    EXPECT_EQ(c.kind, GetPathKind(c.name)) << c.name;
    if (*c.name != '\0') {
      EXPECT_EQ(c.kind, GetPathKind(dir.PathOf(c.name))) << c.name;
    }
  }
  EXPECT_EQ(PathKind::kMissing, GetPathKind(std::string("file.txt\0", 9)));
}

// GetFullPath's full path as text, and where its file-name part begins.
bool FullPath(const std::string& path, std::string* full, std::size_t* start) {
  PathName fullName;
  PathName folder;
  if (!GetFullPath(path, &fullName, &folder))
    return false;
  *full = fullName.text;
  *start = folder.text.size();
  return true;
}

TEST(GetFullPath, ResolvesRelativeNamesAgainstTheCurrentDirectory) {
  const struct {
    const char* input;
    const char* folder;  // Below the current directory, with its trailing "/".
    const char* name;
  } kCases[] = {
      {"a.txt", "", "a.txt"},
      {"sub/../b.txt", "", "b.txt"},
      {"./c", "", "c"},
      {"x//y", "x/", "y"},
      {"p/q/./../r.bin", "p/", "r.bin"},
      {"sub/", "sub/", ""},
      {"sub/more/..", "", "sub"},
  };
  ScopedTempDir dir;
  const std::string base = dir.path().string();
  ScopedCurrentDirectory inside(base);
  for (const auto& c : kCases) {
    std::string full;
    std::size_t start = 0;
    ASSERT_TRUE(FullPath(c.input, &full, &start)) << c.input;
    std::string expected = base + kSeparator + Native(c.folder) + c.name;
    EXPECT_TRUE(IsSameFullPath(expected, full)) << c.input << " gave " << full;
    EXPECT_EQ(expected.size() - std::string(c.name).size(), start) << c.input;
  }
}

TEST(GetFullPath, NormalisesAbsoluteNames) {
  ScopedTempDir dir;
  const std::string base = dir.path().string();
  std::string full;
  std::size_t start = 0;
  ASSERT_TRUE(FullPath(base + "/q/../r", &full, &start));
  EXPECT_TRUE(IsSameFullPath(base + kSeparator + "r", full)) << full;
  EXPECT_EQ(base.size() + 1, start);
}

TEST(GetFullPath, RootAndAboveRoot) {
  const struct {
    const char* input;
    const char* full;
    std::size_t start;
  } kCases[] = {
#ifdef _WIN32
      {"C:\\", "C:\\", 3},
      {"C:\\..\\x", "C:\\x", 3},
      {"C:/a/../../b", "C:\\b", 3},
#else
      {"/", "/", 1},
      {"/../x", "/x", 1},
      {"/a/../../b", "/b", 1},
      {"//a//b/", "/a/b/", 5},
#endif
  };
  for (const auto& c : kCases) {
    std::string full;
    std::size_t start = 0;
    ASSERT_TRUE(FullPath(c.input, &full, &start)) << c.input;
    EXPECT_EQ(c.full, full);
    EXPECT_EQ(c.start, start) << c.input;
  }
}

#ifndef _WIN32
// The full path must name the file the system opens for the name: "link/.." is the parent of the
// link's target, not the folder that holds the link.
TEST(GetFullPath, DotDotAfterASymbolicLinkNamesWhatTheSystemNames) {
  ScopedTempDir dir;
  dir.WriteFile("args.rsp", "wrong");
  dir.WriteFile("elsewhere/args.rsp", "right");
  dir.WriteFile("elsewhere/sub/x", "");
  std::filesystem::create_directory_symlink(dir.PathOf("elsewhere/sub"), dir.PathOf("link"));
  ScopedCurrentDirectory inside(dir.path().string());
  const std::string names[] = {"link/../args.rsp", dir.PathOf("link/../args.rsp"),
                               "link/../sub/../args.rsp"};
  for (const std::string& name : names) {
    std::string full;
    std::size_t start = 0;
    ASSERT_TRUE(FullPath(name, &full, &start)) << name;
    EXPECT_EQ("right", ReadBytes(full)) << name << " gave " << full;
    EXPECT_EQ("args.rsp", full.substr(start)) << name;
  }
}
#endif

TEST(GetFullPath, RefusesEmptyAndNulNames) {
  std::string full = "unchanged";
  std::size_t start = 7;
  EXPECT_FALSE(FullPath("", &full, &start));
  EXPECT_FALSE(FullPath(std::string("a\0b", 3), &full, &start));
}

TEST(GetFullPath, LongNames) {
  // Windows keeps a full path within 260 characters and must fail, not overrun, beyond that;
  // POSIX has no such limit.
  ScopedTempDir dir;
  ScopedCurrentDirectory inside(dir.path().string());
  const std::string name(300, 'n');
  std::string full;
  std::size_t start = 0;
  EXPECT_EQ(!kWindows, FullPath(name, &full, &start));
  if (!kWindows) {
    EXPECT_EQ(dir.path().string() + "/" + name, full);
    EXPECT_EQ(full.size() - name.size(), start);
  }
}

TEST(IsSameFullPath, ComparesSpelling) {
  const struct {
    const char* a;
    const char* b;
    bool same;  // On POSIX; on Windows letter case does not count.
    bool sameOnWindows;
  } kCases[] = {
      {"/a/b.txt", "/a/b.txt", true, true},
      {"C:\\Work\\A.TXT", "c:\\work\\a.txt", false, true},
      {"/a/b", "/a/c", false, false},
      {"/a/b", "/a/b/", false, false},
      {"", "", true, true},
      {"\xC9", "\xE9", false, false},  // Only ASCII letters fold.
      {"[", "{", false, false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(kWindows ? c.sameOnWindows : c.same, IsSameFullPath(c.a, c.b)) << c.a << " vs " << c.b;
}

TEST(GetFileStem, DropsFolderAndExtension) {
  const struct {
    const char* path;
    const char* stem;
  } kCases[] = {
      {"/usr/bin/ostra", "ostra"},
      {"stamper.exe", "stamper"},
      {"dir.d/name", "name"},
      {"archive.tar.gz", "archive.tar"},
      {"name.", "name"},
      {"", ""},
#ifdef _WIN32
      {"C:\\Tools\\stamper.exe", "stamper"},
      {"C:stamper.exe", "stamper"},
      {".profile", ""},  // _splitpath takes the whole name as the extension.
#else
      {"C:\\Tools\\stamper.exe", "C:\\Tools\\stamper"},
      {".profile", ".profile"},
      {"/home/u/.config.bak", ".config"},
#endif
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.stem, GetFileStem(c.path)) << c.path;
}

TEST(GetFileStem, OverlongNameDoesNotOverrun) {
  const std::string name(400, 's');
  EXPECT_EQ(kWindows ? "" : name, GetFileStem("dir/" + name + ".exe"));
}

}  // namespace
}  // namespace platform
