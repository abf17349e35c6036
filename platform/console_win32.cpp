#include "platform/console.h"

#include "platform/win32.h"

#include <shellapi.h>

namespace platform {

bool IsConsoleProgramFile(const std::string& programPath) {
  SHFILEINFOA info = {};
  DWORD_PTR type = SHGetFileInfoA(programPath.c_str(), 0, &info, sizeof info, SHGFI_EXETYPE);
  // "PE" in the low word and no subsystem version in the high word: a console program. Anything
  // else, the failure value 0 included, is treated as a windowed one.
  return LOWORD(type) == 0x4550 && HIWORD(type) == 0;
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_SETFOREGROUND);
}

}  // namespace platform
