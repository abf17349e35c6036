#include "platform/console.h"

#include <cstdio>

namespace platform {

// Plain stdio: the iostream machinery would triple the program's size.
void WriteLine(OutputStream stream, const std::string& text) {
  std::FILE* file = stream == OutputStream::kStandardOutput ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fputc('\n', file);
  std::fflush(file);
}

}  // namespace platform
