#include "platform/program.h"

#include "platform/win32.h"

namespace platform {

void PrepareProcess() {}

std::string GetProgramPath() {
  char buffer[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  // A full buffer means the path was cut: another file's name would be worse than none.
  if (length == 0 || length >= MAX_PATH)
    return std::string();
  return std::string(buffer, length);
}

bool IsConsoleSubsystem() {
  // The image is mapped whole at its module handle, headers first; asking the file by its path
  // instead fails where the path holds characters the ANSI code page lacks.
  const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

}  // namespace platform
