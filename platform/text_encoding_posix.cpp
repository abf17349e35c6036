#include "platform/text_encoding.h"

#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "platform/scoped_handle.h"

namespace platform {

namespace {

struct IconvTraits {
  static NativeHandle Invalid() { return reinterpret_cast<NativeHandle>(reinterpret_cast<iconv_t>(-1)); }
  static void Close(NativeHandle handle) { iconv_close(reinterpret_cast<iconv_t>(handle)); }
};
using ScopedIconv = ScopedHandle<IconvTraits>;

// The process starts in the "C" locale; the user's code set comes from the environment. Done once,
// as the program has one thread and nothing else sets the locale.
const char* NarrowCodeSet() {
  static const bool localeSet = setlocale(LC_CTYPE, "") != nullptr;
  (void)localeSet;
  return nl_langinfo(CODESET);
}

ScopedIconv OpenConverter() {
  ScopedIconv converter(reinterpret_cast<NativeHandle>(iconv_open(NarrowCodeSet(), "UTF-16LE")));
  if (!converter)
    converter = ScopedIconv(reinterpret_cast<NativeHandle>(iconv_open("ASCII", "UTF-16LE")));
  return converter;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string ConvertUtf16ToNarrow(const char16_t* units, std::size_t count) {
  if (count == 0)
    return std::string();
  if (count > std::numeric_limits<std::size_t>::max() / 4)
    throw std::length_error("UTF-16 text too long");
  ScopedIconv converter = OpenConverter();
  // Without any converter (a C library built without its conversion modules) no unit can be
  // decoded; one "?" each still keeps the text's shape.
  if (!converter)
    return std::string(count, '?');
  iconv_t cd = reinterpret_cast<iconv_t>(converter.Get());

  // Most text converts to no more bytes than it has units; the buffer grows when it does not.
  std::string out(count + 16, '\0');
  std::size_t used = 0;
  const char16_t* unit = units;
  const char16_t* end = units + count;
  while (unit < end) {
    char* in = const_cast<char*>(reinterpret_cast<const char*>(unit));
    std::size_t inLeft = static_cast<std::size_t>(end - unit) * sizeof(char16_t);
    char* to = &out[used];
    std::size_t toLeft = out.size() - used;
    std::size_t result = iconv(cd, &in, &inLeft, &to, &toLeft);
    int error = errno;
    used = out.size() - toLeft;
    unit = reinterpret_cast<const char16_t*>(in);
    if (result != static_cast<std::size_t>(-1))
      break;
    if (error == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // The character cannot be had in the narrow code set, or is no character (an unpaired or cut
    // surrogate): it becomes "?", as Windows' conversion gives, and the text goes on after it.
    if (used == out.size())
      out.resize(out.size() * 2);
    out[used++] = '?';
    if (error != EILSEQ)
      break;  // EINVAL: the text ends inside a character.
    unit += (IsHighSurrogate(unit[0]) && unit + 1 < end && IsLowSurrogate(unit[1])) ? 2 : 1;
  }
  out.resize(used);
  return out;
}

}  // namespace platform
