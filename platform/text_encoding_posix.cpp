#include "platform/text_encoding.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// The code set part of a locale name ("en_US.UTF-8@euro" gives "UTF-8"), or "" when it names none.
std::string CodeSetOfLocaleName(const char* name) {
  const char* dot = std::strchr(name, '.');
  if (dot == nullptr)
    return std::string();
  const char* end = std::strchr(dot, '@');
  return std::string(dot + 1, end != nullptr ? end : dot + std::strlen(dot));
}

bool IsUtf8CodeSetName(const std::string& name) {
  std::string folded;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return folded == "utf8";
}

// The environment names the character type's locale as the C library reads it: LC_ALL, then
// LC_CTYPE, then LANG, the first that is set and not empty; null when none is.
const char* CharacterTypeLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0')
      return value;
  }
  return nullptr;
}

// The program carries no character-set converters and reads no locale data: a static program's
// iconv and locale loader would use the host's converters (gconv), built for another C library,
// which fails or crashes where they do not match. Its narrow text is UTF-8 when the locale's name
// says so ("en_US.UTF-8", "C.utf8"), and also with no locale or the C one: package scripts, cron
// and services run so, file names there are UTF-8 all the same, and ASCII would refuse every name
// outside it. Any other locale gets ASCII, the only part of its code set known without its data.
bool NarrowIsUtf8() {
  const char* name = CharacterTypeLocaleName();
  if (name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0)
    return true;
  return IsUtf8CodeSetName(CodeSetOfLocaleName(name));
}

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

// A surrogate pair is one character, so one "?" where it shows.
bool ConvertUtf16ToNarrow(const char16_t* units, std::size_t count, Unrepresentable mode,
                          std::string* out) {
  const bool exact = mode == Unrepresentable::kRefuse;
  const bool utf8 = NarrowIsUtf8();
  out->clear();
  out->reserve(count);
  for (std::size_t i = 0; i < count;) {
    // An unpaired surrogate is no character: UTF-8 has no form for it either.
    const char32_t c = ReadUtf16Character(units, count, &i);
    if (c != kNoCharacter && (utf8 || c < 0x80))
      AppendUtf8(c, out);
    else if (exact)
      return false;
    else
      *out += '?';
  }
  return true;
}

std::string NarrowEncodingName() { return NarrowIsUtf8() ? "UTF-8" : "ASCII"; }

}  // namespace platform
