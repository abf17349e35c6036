#ifndef OSTRA_PLATFORM_TEXT_ENCODING_H_
#define OSTRA_PLATFORM_TEXT_ENCODING_H_

#include <cstddef>
#include <string>

namespace platform {

/// Converts `count` UTF-16 little-endian code units exactly to the system's narrow encoding: the
/// ANSI code page on Windows (GetACP, with no best fit and no default character), and on POSIX
/// UTF-8 when the locale is unset, C, POSIX or a UTF-8 one, else ASCII. A NUL unit becomes a NUL
/// byte. Returns true with the text in *out; false, with *out unspecified, when a character is
/// missing from the encoding or a surrogate is unpaired: no character is ever replaced by another.
/// May throw std::bad_alloc or std::length_error.
bool ConvertUtf16ToNarrowExactly(const char16_t* units, std::size_t count, std::string* out);

/// Converts `count` UTF-16 units to the narrow encoding for display only (messages, the program's
/// name, names the system hands out next to their exact UTF-16 form): each character the encoding
/// lacks, and each unpaired surrogate, shows as "?", never as a look-alike. Such text must never
/// name a file, an option or a value. May throw std::bad_alloc or std::length_error.
std::string ConvertUtf16ToNarrow(const char16_t* units, std::size_t count);

/// The narrow encoding as a message names it: "code page 1252", "UTF-8" or "ASCII".
std::string NarrowEncodingName();

}  // namespace platform

#endif  // OSTRA_PLATFORM_TEXT_ENCODING_H_
