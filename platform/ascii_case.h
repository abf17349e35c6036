#ifndef OSTRA_PLATFORM_ASCII_CASE_H_
#define OSTRA_PLATFORM_ASCII_CASE_H_

#include <cstddef>
#include <string>

namespace platform {

/// Whether `a` and `b` are equal when the letters A-Z count as a-z. Every other byte compares
/// exactly, so the answer never depends on the locale or the code page the program runs under.
inline bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z')
      x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z')
      y = static_cast<char>(y - 'A' + 'a');
    if (x != y)
      return false;
  }
  return true;
}

}  // namespace platform

#endif  // OSTRA_PLATFORM_ASCII_CASE_H_
