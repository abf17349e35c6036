#include "platform/console.h"

#include "platform/win32.h"

namespace platform {

void ShowMessageBox(const std::string& text, const std::string& caption) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_SETFOREGROUND);
}

}  // namespace platform
