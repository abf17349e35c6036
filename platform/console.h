#ifndef OSTRA_PLATFORM_CONSOLE_H_
#define OSTRA_PLATFORM_CONSOLE_H_

#include <string>

namespace platform {

/// Shows `text` in a message box captioned `caption`, with an OK button and no icon, and returns
/// when the user closes it. On POSIX, where there is no message box, writes the text to standard
/// error.
void ShowMessageBox(const std::string& text, const std::string& caption);

}  // namespace platform

#endif  // OSTRA_PLATFORM_CONSOLE_H_
