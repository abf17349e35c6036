#ifndef OSTRA_PLATFORM_TEXT_ENCODING_H_
#define OSTRA_PLATFORM_TEXT_ENCODING_H_

#include <cstddef>
#include <string>

namespace platform {

/// Converts `count` UTF-16 little-endian code units to the system's narrow encoding: the ANSI code
/// page on Windows (GetACP), the locale's code set on POSIX. Characters the encoding cannot
/// represent come out as "?", never as a look-alike; a NUL unit becomes a NUL byte. Reports
/// nothing; may throw std::bad_alloc or std::length_error.
std::string ConvertUtf16ToNarrow(const char16_t* units, std::size_t count);

}  // namespace platform

#endif  // OSTRA_PLATFORM_TEXT_ENCODING_H_
