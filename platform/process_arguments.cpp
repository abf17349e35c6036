#include "platform/process_arguments.h"

#include <utility>

namespace platform {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::vector<std::u16string> SplitCommandLine(const std::u16string& line) {
  std::vector<std::u16string> arguments;
  std::size_t at = 0;
  const std::size_t end = line.size();
  // The program name knows no escapes (a path holds no quote, and may end in a backslash): a
  // quote switches quoting, and a blank outside quotes ends it.
  std::u16string program;
  bool quotedName = false;
  for (; at < end && (quotedName || !IsBlank(line[at])); ++at) {
    if (line[at] == u'"')
      quotedName = !quotedName;
    else
      program += line[at];
  }
  arguments.push_back(std::move(program));

  for (;;) {
    while (at < end && IsBlank(line[at]))
      ++at;
    if (at == end)
      return arguments;
    std::u16string argument;
    bool quoted = false;
    while (at < end && (quoted || !IsBlank(line[at]))) {
      std::size_t backslashes = 0;
      while (at < end && line[at] == u'\\') {
        ++backslashes;
        ++at;
      }
      if (at == end || line[at] != u'"') {
        // Backslashes before anything but a quote are ordinary; the character after them is
        // looked at again.
        argument.append(backslashes, u'\\');
        if (backslashes == 0)
          argument += line[at++];
        continue;
      }
      argument.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 1)
        argument += u'"';
      else if (quoted && at + 1 < end && line[at + 1] == u'"')
        argument += line[++at];
      else
        quoted = !quoted;
      ++at;
    }
    arguments.push_back(std::move(argument));
  }
}

void ProcessArguments::PointAtArguments() {
  for (std::string& argument : arguments)
    pointers.push_back(&argument[0]);
  pointers.push_back(nullptr);
}

}  // namespace platform
