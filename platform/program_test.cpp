#include "platform/program.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"

#ifdef _WIN32
#include "platform/win32.h"
#endif

namespace platform {
namespace {

TEST(GetProgramPath, NamesThisTestProgram) {
  std::string path = GetProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(PathKind::kFile, GetPathKind(path));
  EXPECT_EQ("platform_tests", GetFileStem(path));
}

TEST(IsConsoleSubsystem, ThisTestProgramIsOne) { EXPECT_TRUE(IsConsoleSubsystem()); }

#ifdef _WIN32
// dll_search_probe.dll lies beside this program, in the folder an installer downloads to.
TEST(PrepareProcess, DllsAreLookedForInTheSystemFolderOnly) {
  if (GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories") == nullptr)
    GTEST_SKIP() << "this system cannot restrict the DLL search";
  HMODULE beside = LoadLibraryW(L"dll_search_probe.dll");
  ASSERT_NE(nullptr, beside) << "the probe is found before";
  FreeLibrary(beside);
  PrepareProcess();
  EXPECT_EQ(nullptr, LoadLibraryW(L"dll_search_probe.dll"));
}
#endif

}  // namespace
}  // namespace platform
