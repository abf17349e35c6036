#include "platform/console.h"

#include "platform/system_library_win32.h"

namespace platform {

void ShowMessageBox(const std::string& text, const std::string& caption) {
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  ScopedLibrary user32 = LoadSystemLibrary("user32.dll");
  auto messageBox = FindLibraryFunction<MessageBoxFunction>(user32, "MessageBoxA");
  if (messageBox != nullptr) {
    messageBox(nullptr, text.c_str(), caption.c_str(), MB_SETFOREGROUND);
    return;
  }
  // Without a message box the text still goes somewhere it can be read.
  WriteLine(OutputStream::kStandardError, text);
}

}  // namespace platform
