#include "platform/wide_name_win32.h"

#include <climits>

#include "platform/text_encoding.h"
#include "platform/win32.h"

namespace platform {

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
