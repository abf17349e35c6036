#ifndef OSTRA_PLATFORM_TEXT_ENCODING_H_
#define OSTRA_PLATFORM_TEXT_ENCODING_H_

#include <cstddef>
#include <string>

namespace platform {

/// What a conversion does with a character the narrow encoding lacks, or an unpaired surrogate.
enum class Unrepresentable {
  kRefuse,  ///< the conversion fails: for names, values and options
  kShow,    ///< it shows as "?", never as a look-alike: for display text only
};

/// Converts `count` UTF-16 little-endian code units to the system's narrow encoding into *out: the
/// ANSI code page on Windows (GetACP, with no best fit and no default character), and on POSIX
/// UTF-8 when the locale is unset, C, POSIX or a UTF-8 one, else ASCII. A NUL unit becomes a NUL
/// byte. Returns false, with *out unspecified, when something is unrepresentable and `mode` is
/// kRefuse; true otherwise. May throw std::bad_alloc or std::length_error.
bool ConvertUtf16ToNarrow(const char16_t* units, std::size_t count, Unrepresentable mode,
                          std::string* out);

/// The exact conversion: true with the text in *out, or false when a character is missing from
/// the encoding or a surrogate is unpaired. No character is ever replaced by another.
inline bool ConvertUtf16ToNarrowExactly(const char16_t* units, std::size_t count,
                                        std::string* out) {
  return ConvertUtf16ToNarrow(units, count, Unrepresentable::kRefuse, out);
}

/// The conversion for display only (messages, the program's name, names the system hands out next
/// to their exact UTF-16 form), "?" for what the encoding lacks. Such text must never name a file,
/// an option or a value.
inline std::string ConvertUtf16ToNarrow(const char16_t* units, std::size_t count) {
  std::string out;
  ConvertUtf16ToNarrow(units, count, Unrepresentable::kShow, &out);
  return out;
}

/// What ReadUtf16Character returns for an unpaired surrogate, which is no character.
constexpr char32_t kNoCharacter = 0xFFFFFFFF;

/// Reads the character at units[*at] of `count` UTF-16 units (*at < count) and moves *at past it:
/// a high surrogate followed by a low one is one character. Returns the character, or
/// kNoCharacter for a surrogate without its partner.
char32_t ReadUtf16Character(const char16_t* units, std::size_t count, std::size_t* at);

/// The narrow encoding as a message names it: "code page 1252", "UTF-8" or "ASCII".
std::string NarrowEncodingName();

}  // namespace platform

#endif  // OSTRA_PLATFORM_TEXT_ENCODING_H_
