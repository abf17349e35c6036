#ifndef OSTRA_PLATFORM_PATH_NAME_H_
#define OSTRA_PLATFORM_PATH_NAME_H_

#include <string>
#include <utility>

namespace platform {

/// A file or folder name as messages show it and as the system reaches it. `text` is its narrow
/// spelling. A name that the system hands out (a full path, the current directory) may hold, on
/// Windows, characters the ANSI code page lacks: `text` shows each as "?", and `wide` keeps the
/// exact UTF-16 units that the calls then use. An empty `wide` means `text` is exact, as always on
/// POSIX; a name converts from its narrow text so that a user's name goes wherever a path goes.
struct PathName {
  PathName() = default;
  PathName(const char* text) : text(text) {}
  PathName(std::string text, std::u16string wide = std::u16string())
      : text(std::move(text)), wide(std::move(wide)) {}

  std::string text;
  std::u16string wide;
};

/// Whether `name` holds a zero byte: the system reads a name up to its first one, so such a name
/// would silently reach a shorter one. Every call that hands a name to the system refuses it.
inline bool HasZeroByte(const std::string& name) {
  return name.find('\0') != std::string::npos;
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_PATH_NAME_H_
