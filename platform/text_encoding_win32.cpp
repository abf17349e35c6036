#include "platform/text_encoding.h"

#include <climits>
#include <stdexcept>

#include "platform/win32.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace {

// Checked here rather than left to the system: without WC_ERR_INVALID_CHARS (which only UTF-8
// takes) a lone surrogate may pass into a DBCS code page's output unreported.
bool HasUnpairedSurrogate(const char16_t* units, std::size_t count) {
  for (std::size_t i = 0; i < count;) {
    if (ReadUtf16Character(units, count, &i) == kNoCharacter)
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

}  // namespace platform
