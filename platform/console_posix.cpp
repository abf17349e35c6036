#include "platform/console.h"

#include <cstdio>

namespace platform {

void ShowMessageBox(const std::string& text, const std::string&) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace platform
