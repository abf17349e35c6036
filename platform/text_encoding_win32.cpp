#include "platform/text_encoding.h"

#include <climits>
#include <stdexcept>

#include "platform/wide_name_win32.h"
#include "platform/win32.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Checked here rather than left to the system: without WC_ERR_INVALID_CHARS (which only UTF-8
// takes) a lone surrogate may pass into a DBCS code page's output unreported.
bool HasUnpairedSurrogate(const char16_t* units, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (IsHighSurrogate(units[i]) && i + 1 < count && IsLowSurrogate(units[i + 1]))
      ++i;
    else if (IsHighSurrogate(units[i]) || IsLowSurrogate(units[i]))
      return true;
  }
  return false;
}

}  // namespace

// Never best fit, even for display: it would make U+FF02 a quote, U+FF3C a backslash, U+2212 an
// option's "-" and alpha an "a".
bool ConvertUtf16ToNarrow(const char16_t* units, std::size_t count, Unrepresentable mode,
                          std::string* out) {
  const bool exact = mode == Unrepresentable::kRefuse;
  out->clear();
  if (count == 0)
    return true;
  // WideCharToMultiByte counts in int; a larger count would wrap to a wrong or negative one.
  if (count > static_cast<std::size_t>(INT_MAX))
    throw std::length_error("UTF-16 text too long");
  if (exact && HasUnpairedSurrogate(units, count))
    return false;
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
  const int length = static_cast<int>(count);
  // UTF-8 takes neither WC_NO_BEST_FIT_CHARS nor a default character (the call fails with them):
  // WC_ERR_INVALID_CHARS makes it fail on what UTF-8 cannot hold instead.
  const UINT codePage = GetACP();
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? (exact ? WC_ERR_INVALID_CHARS : 0) : WC_NO_BEST_FIT_CHARS;
  const char* replacement = utf8 ? nullptr : "?";
  BOOL usedDefault = FALSE;
  BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
  int size =
      WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, replacement, reportDefault);
  if (size <= 0 || (exact && usedDefault))
    return !exact;
  out->assign(static_cast<std::size_t>(size), '\0');
  char* bytes = &(*out)[0];
  int written =
      WideCharToMultiByte(codePage, flags, wide, length, bytes, size, replacement, reportDefault);
  out->resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return !exact || (written > 0 && !usedDefault);
}

std::string NarrowEncodingName() {
  const UINT codePage = GetACP();
  return codePage == CP_UTF8 ? std::string("UTF-8") : "code page " + std::to_string(codePage);
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
