#include "platform/process_arguments.h"

#include "platform/text_encoding.h"
#include "platform/win32.h"

namespace platform {

// The run time's argv is the split of the ANSI command line, which Windows makes from the UTF-16
// one with best fit: the split comes first here, and then a conversion without it.
ProcessArguments::ProcessArguments(int, char**) {
  const wchar_t* line = GetCommandLineW();
  const char16_t* units = reinterpret_cast<const char16_t*>(line);
  for (const std::u16string& argument : SplitCommandLine(std::u16string(units, wcslen(line))))
    arguments.push_back(ConvertUtf16ToNarrow(argument.data(), argument.size()));
  PointAtArguments();
}

}  // namespace platform
