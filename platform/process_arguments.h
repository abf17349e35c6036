#ifndef OSTRA_PLATFORM_PROCESS_ARGUMENTS_H_
#define OSTRA_PLATFORM_PROCESS_ARGUMENTS_H_

#include <string>
#include <vector>

namespace platform {

/// Splits a Windows command line into its arguments by the rules of the Microsoft C run time
/// as Microsoft documents them. In the program name a quote switches quoting on and off and a
/// space or tab outside quotes ends it. After it, space and tab separate arguments outside quotes,
/// a quote switches quoting on and off, 2n backslashes before a quote give n and the quote is a
/// quote, 2n + 1 give n and a quote character, backslashes before anything else stay as they are,
/// and inside quotes `""` gives one quote character. Returns the program name first.
std::vector<std::u16string> SplitCommandLine(const std::u16string& line);

/// The program's arguments as narrow strings, the program name first, with a C-style vector over
/// them that ends in a null pointer. On POSIX `argv` as given; on Windows the UTF-16 command line
/// split by SplitCommandLine, each argument converted to the ANSI code page with "?" for a
/// character the code page lacks, never a look-alike: the run time's own `argv` turns a
/// fullwidth quote into a quote, U+2212 into "-" and U+3000 into a space.
class ProcessArguments {
 public:
  ProcessArguments(int argc, char** argv);
  ProcessArguments(const ProcessArguments&) = delete;
  ProcessArguments& operator=(const ProcessArguments&) = delete;

  int Count() const { return static_cast<int>(arguments.size()); }
  char** Vector() { return pointers.data(); }

 private:
  // Fills the C-style vector once the arguments are in place.
  void PointAtArguments();

  std::vector<std::string> arguments;
  std::vector<char*> pointers;
};

}  // namespace platform

#endif  // OSTRA_PLATFORM_PROCESS_ARGUMENTS_H_
