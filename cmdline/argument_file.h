#ifndef OSTRA_CMDLINE_ARGUMENT_FILE_H_
#define OSTRA_CMDLINE_ARGUMENT_FILE_H_

#include <cstddef>
#include <string>

/// Most argument files that may be open inside one another at once.
constexpr std::size_t kMaxArgumentFileDepth = 64;

/// Most argument files that one walk may read, counting every file, nested or not.
constexpr std::size_t kMaxArgumentFilesPerParse = 1000;

/// Converts `count` UTF-16 little-endian code units to the narrow code page into `out`; characters
/// the code page lacks become "?", never a look-alike that could name another file or option.
/// Reports nothing.
void ConvertWideToAnsi(const char16_t* units, std::size_t count, std::string& out);

/// Whether `c` separates tokens in an argument file: space, tab, line feed or carriage return.
bool IsSeparatorChar(char c);

#endif  // OSTRA_CMDLINE_ARGUMENT_FILE_H_
