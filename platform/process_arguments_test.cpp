#include "platform/process_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32.h"
#endif

namespace platform {
namespace {

struct SplitCase {
  std::u16string line;
  std::vector<std::u16string> arguments;
  // Wine's run time reads \" in the program name as a quote, against Windows' rule that a path
  // may end in a backslash.
  bool wineDiffers = false;
};

// Command lines made only of characters every code page has, so that the run time's own argv of
// each can be compared with the split.
const std::vector<SplitCase>& SplitCases() {
  static const std::vector<SplitCase> cases = {
      {u"p", {u"p"}},
      {u"p  a\tb ", {u"p", u"a", u"b"}},
      {u"p \"a b\" c", {u"p", u"a b", u"c"}},
      {u"p a\"b c\"d e", {u"p", u"ab cd", u"e"}},
      {u"p \"a b", {u"p", u"a b"}},
      {u"p \"\" x \"\"", {u"p", u"", u"x", u""}},
      {u"p a\\b c\\\\ d\\", {u"p", u"a\\b", u"c\\\\", u"d\\"}},
      {u"p a\\\"b", {u"p", u"a\"b"}},
      {u"p a\\\\\"b c\" d", {u"p", u"a\\b c", u"d"}},
      {u"p a\\\\\\\"b", {u"p", u"a\\\"b"}},
      {u"p \"a\\\\\" b", {u"p", u"a\\", u"b"}},
      {u"p \"a\"\"b c\" d", {u"p", u"a\"b c", u"d"}},
      {u"p \"\"\"a\"\"\"", {u"p", u"\"a\""}},
      {u"p a\"\"b", {u"p", u"ab"}},
      {u"\"C:\\a b\\p.exe\" x", {u"C:\\a b\\p.exe", u"x"}},
      {u"\"a b\"c d", {u"a bc", u"d"}},
      {u"C:\\dir\\ x", {u"C:\\dir\\", u"x"}},
      {u"a\"b c", {u"ab c"}},
      {u"\"C:\\dir\\\" x", {u"C:\\dir\\", u"x"}, true},
      {u"p /burnsn \"A B\" /burnfile \"C:\\Program Files\\x.dat\"",
       {u"p", u"/burnsn", u"A B", u"/burnfile", u"C:\\Program Files\\x.dat"}},
  };
  return cases;
}

TEST(SplitCommandLine, FollowsTheRunTimeRules) {
  for (const SplitCase& c : SplitCases())
    EXPECT_EQ(c.arguments, SplitCommandLine(c.line)) << std::string(c.line.begin(), c.line.end());
}

#ifdef _WIN32
// argv_probe.exe, built beside this program, exits with 0 when the split of its command line
// equals the argv that the run time made of it.
TEST(SplitCommandLine, EqualsTheRunTimeArgv) {
  wchar_t self[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_TRUE(length > 0 && length < MAX_PATH);
  std::wstring probe(self, length);
  probe = probe.substr(0, probe.find_last_of(L"\\/") + 1) + L"argv_probe.exe";
  for (const SplitCase& c : SplitCases()) {
    if (c.wineDiffers && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
      continue;
    std::wstring line(c.line.begin(), c.line.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(probe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, status) << std::string(c.line.begin(), c.line.end());
  }
}
#endif

}  // namespace
}  // namespace platform
