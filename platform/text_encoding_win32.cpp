#include "platform/text_encoding.h"

#include <climits>
#include <stdexcept>

#include "platform/win32.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::string ConvertUtf16ToNarrow(const char16_t* units, std::size_t count) {
  if (count == 0)
    return std::string();
  // WideCharToMultiByte counts in int; a larger count would wrap to a wrong or negative one.
  if (count > static_cast<std::size_t>(INT_MAX))
    throw std::length_error("UTF-16 text too long");
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
  int length = static_cast<int>(count);
  int size = WideCharToMultiByte(GetACP(), 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0)
    return std::string();
  std::string buffer(static_cast<std::size_t>(size), '\0');
  int written = WideCharToMultiByte(GetACP(), 0, wide, length, &buffer[0], size, nullptr, nullptr);
  buffer.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return buffer;
}

}  // namespace platform
