#ifndef OSTRA_PLATFORM_CONSOLE_H_
#define OSTRA_PLATFORM_CONSOLE_H_

#include <string>

namespace platform {

/// Where a console program's text goes.
enum class OutputStream { kStandardOutput, kStandardError };

/// Writes all bytes of `text` and a line end to `stream` and flushes it, so that the text is out
/// before the program ends or shows anything else. In text mode the line end is CR LF on Windows.
void WriteLine(OutputStream stream, const std::string& text);

/// Shows `text` in a message box captioned `caption`, with an OK button and no icon, and returns
/// when the user closes it. On POSIX, where there is no message box, writes the text to standard
/// error.
void ShowMessageBox(const std::string& text, const std::string& caption);

}  // namespace platform

#endif  // OSTRA_PLATFORM_CONSOLE_H_
