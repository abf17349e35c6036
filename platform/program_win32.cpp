#include "platform/program.h"

#include <cstdio>
#include <cstdlib>

#include "platform/wide_name_win32.h"
#include "platform/win32.h"

// The run-time library's own handler for an exception nobody catches names the exception's type,
// and for that pulls in the C++ name demangler and a full printf: a quarter of the program's size
// for a message that only a bug can cause. This one says the same in fewer words.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::fputs("terminate called after an exception that was not caught\n", stderr);
  std::abort();
}
}  // namespace __gnu_cxx

namespace platform {

void PrepareProcess() {
  // user32 and version.dll are loaded by their full system path, but what they need in turn would
  // still be looked for in the program's folder first: an installer's download or temp folder.
  // Windows 7 without KB2533623 lacks the call.
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr)
    setDefault(kSearchSystem32);
}

bool IsConsoleSubsystem() {
  // The image is mapped whole at its module handle, headers first; asking the file by its path
  // instead fails where the path holds characters the ANSI code page lacks.
  const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

ModuleHandle GetProgramModule() { return GetModuleHandleA(nullptr); }

ResultCode GetModulePath(ModuleHandle module, PathName* path) {
  wchar_t buffer[MAX_PATH];
  // The wide call: the ANSI one spells what the code page lacks with look-alikes, which may name
  // another file.
  const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), buffer, MAX_PATH);
  if (length == 0)
    return ResultFromLastError();
  // A full buffer means the path was cut: another file's name would be worse than none.
  if (length >= MAX_PATH)
    return ResultFromSystemError(ERROR_INSUFFICIENT_BUFFER);
  *path = ToPathName(buffer, length);
  return kResultOk;
}

}  // namespace platform
