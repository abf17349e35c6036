#include "platform/text_encoding.h"

namespace platform {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

char32_t ReadUtf16Character(const char16_t* units, std::size_t count, std::size_t* at) {
  const char16_t unit = units[(*at)++];
  if (IsHighSurrogate(unit) && *at < count && IsLowSurrogate(units[*at])) {
    const char16_t low = units[(*at)++];
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  return IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kNoCharacter : unit;
}

}  // namespace platform
