#include "platform/console.h"

namespace platform {

void ShowMessageBox(const std::string& text, const std::string&) {
  WriteLine(OutputStream::kStandardError, text);
}

}  // namespace platform
