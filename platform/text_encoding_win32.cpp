#include "platform/text_encoding.h"

#include <climits>
#include <stdexcept>

#include "platform/wide_name_win32.h"
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
  // Without WC_NO_BEST_FIT_CHARS a character the code page lacks becomes a look-alike: U+FF02 a
  // quote, U+FF3C a backslash, U+2212 an option's "-", alpha an "a". "?" names no file and no option.
  const UINT codePage = GetACP();
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* replacement = codePage == CP_UTF8 ? nullptr : "?";
  int size = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, replacement, nullptr);
  if (size <= 0)
    return std::string();
  std::string buffer(static_cast<std::size_t>(size), '\0');
  int written = WideCharToMultiByte(codePage, flags, wide, length, &buffer[0], size, replacement, nullptr);
  buffer.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return buffer;
}

bool ToWideName(const PathName& name, std::u16string* wide) {
  if (!name.wide.empty()) {
    *wide = name.wide;
    return true;
  }
  const std::string& text = name.text;
  wide->clear();
  if (HasZeroByte(text) || text.size() > static_cast<std::size_t>(INT_MAX))
    return false;
  if (text.empty())
    return true;
  const int length = static_cast<int>(text.size());
  int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (size <= 0)
    return false;
  wide->resize(static_cast<std::size_t>(size));
  wchar_t* units = reinterpret_cast<wchar_t*>(&(*wide)[0]);
  size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, units, size);
  wide->resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  return size > 0;
}

PathName ToPathName(const wchar_t* units, std::size_t count) {
  const char16_t* exact = reinterpret_cast<const char16_t*>(units);
  return PathName(ConvertUtf16ToNarrow(exact, count), std::u16string(exact, count));
}

}  // namespace platform
