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
/// them that ends in a null pointer. On POSIX `argv` as given, bytes in and bytes out; on Windows
/// the UTF-16 command line split by SplitCommandLine, each argument converted exactly to the ANSI
/// code page: the run time's own `argv` turns a fullwidth quote into a quote, U+2212 into "-" and
/// U+3000 into a space. An argument the code page cannot hold exactly is not used: the run is
/// refused (FirstInexactArgument). The program name is display text only, "?" for what the code
/// page lacks, so that a program started from a folder the code page cannot spell still runs.
class ProcessArguments {
 public:
  ProcessArguments(int argc, char** argv);
  ProcessArguments(const ProcessArguments&) = delete;
  ProcessArguments& operator=(const ProcessArguments&) = delete;

  int Count() const { return static_cast<int>(arguments.size()); }
  char** Vector() { return pointers.data(); }

  /// The index of the first argument after the program name that the narrow encoding cannot hold
  /// exactly (its vector entry is display text only), or 0 when every one converted exactly.
  int FirstInexactArgument() const { return firstInexact; }

 private:
  // Fills the C-style vector once the arguments are in place.
  void PointAtArguments();

  std::vector<std::string> arguments;
  std::vector<char*> pointers;
  int firstInexact = 0;
};

}  // namespace platform

#endif  // OSTRA_PLATFORM_PROCESS_ARGUMENTS_H_
