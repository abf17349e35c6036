#ifndef OSTRA_PLATFORM_WIDE_NAME_WIN32_H_
#define OSTRA_PLATFORM_WIDE_NAME_WIN32_H_

#include <cstddef>
#include <string>

#include "platform/path_name.h"

namespace platform {

/// The exact UTF-16 form of `name` for the wide calls: its `wide` units, else its text converted
/// from the ANSI code page. Returns false, and names nothing, for a text with a NUL inside (it
/// would stand for a shorter name) or one that is no valid text of the code page.
bool ToWideName(const PathName& name, std::u16string* wide);

/// `units` as the wide calls take them: Windows' wchar_t is a UTF-16 unit. (std::wstring would
/// link the run time's whole instantiation of it into the program.)
inline const wchar_t* WideChars(const std::u16string& units) {
  return reinterpret_cast<const wchar_t*>(units.c_str());
}

/// A name the system handed out as `count` UTF-16 units: its ANSI spelling, with "?" for each
/// character the code page lacks, and the units themselves.
PathName ToPathName(const wchar_t* units, std::size_t count);

}  // namespace platform

#endif  // OSTRA_PLATFORM_WIDE_NAME_WIN32_H_
