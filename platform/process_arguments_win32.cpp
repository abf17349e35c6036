#include "platform/process_arguments.h"

#include <utility>

#include "platform/text_encoding.h"
#include "platform/win32.h"

namespace platform {

// The run time's argv is the split of the ANSI command line, which Windows makes from the UTF-16
// one with best fit: the split comes first here, and then an exact conversion.
ProcessArguments::ProcessArguments(int, char**) {
  const wchar_t* line = GetCommandLineW();
  const char16_t* units = reinterpret_cast<const char16_t*>(line);
  const std::vector<std::u16string> split = SplitCommandLine(std::u16string(units, wcslen(line)));
  for (const std::u16string& argument : split) {
    std::string narrow;
    const bool exact = ConvertUtf16ToNarrowExactly(argument.data(), argument.size(), &narrow);
    if (!exact) {
      narrow = ConvertUtf16ToNarrow(argument.data(), argument.size());
      if (firstInexact == 0 && !arguments.empty())
        firstInexact = static_cast<int>(arguments.size());
    }
    arguments.push_back(std::move(narrow));
  }
  PointAtArguments();
}

}  // namespace platform
