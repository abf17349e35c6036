#include "cmdline/argument_file.h"

#include "platform/text_encoding.h"

void ConvertWideToAnsi(const char16_t* units, std::size_t count, std::string& out) {
  // Nothing to convert after a bare mark: no call with a zero count reaches the platform.
  if (count == 0) {
    out.clear();
    return;
  }
  out = platform::ConvertUtf16ToNarrow(units, count);
}

bool IsSeparatorChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
