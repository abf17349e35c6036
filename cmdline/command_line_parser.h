#ifndef OSTRA_CMDLINE_COMMAND_LINE_PARSER_H_
#define OSTRA_CMDLINE_COMMAND_LINE_PARSER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "cmdline/argument.h"
#include "cmdline/argument_file.h"
#include "platform/path_name.h"

enum ArgumentKind : int {
  Named = 0,       ///< named by a token that begins with "/" or "-"
  Positional = 1,  ///< takes a token without a prefix character
};

/// The parser's record of one added argument. The argument is owned by the parser's owner.
struct ArgumentEntry {
  ArgumentKind kind;
  Argument* argument;
};

/// Walks a list of command-line tokens once from the front, hands each token to the argument that
/// it names, reads "@file" argument files in place of their token, and keeps the one message of the
/// error that ended the walk in errorText.
class CommandLineParser {
 public:
  /// A parser with no arguments. With `allowArgumentFiles` set, a token of two or more characters
  /// that begins with "@" names an argument file.
  explicit CommandLineParser(bool allowArgumentFiles);
  // A copy would point at the original's arguments.
  CommandLineParser(const CommandLineParser&) = delete;
  CommandLineParser& operator=(const CommandLineParser&) = delete;

  /// Adds a named argument; lookups and the usage text follow the order of the calls. The parser
  /// keeps the pointer only: the argument must outlive it.
  void AddArgument(Argument* argument);

  /// Adds a positional argument, which takes tokens without a prefix character in the order of the
  /// calls. The parser keeps the pointer only: the argument must outlive it.
  void AddPositionalArgument(Argument* argument);

  /// Walks argv[0] ... argv[argc-1], leaving out argv[0] when `skipFirst` is set. Returns what
  /// ParseTokens returns; false without a walk when an argument was marked inexact (MarkInexact).
  bool ParseArguments(int argc, char** argv, bool skipFirst);

  /// Marks argv[`index`] of the next ParseArguments as text that could not be converted exactly
  /// to the narrow encoding (0: none). Such a run does nothing: no token is walked, no file read,
  /// and errorText says which argument it was.
  void MarkInexact(int index) { inexactArgument = index; }

  /// Walks `tokens`. Returns true when every token was taken and every argument is satisfied; false
  /// at the first error, whose message is then the whole of errorText.
  bool ParseTokens(const std::vector<std::string>& tokens);

  /// The first named argument that has `name` among its names, or null.
  Argument* FindNamedArgument(const std::string& name);

  /// The first positional argument that can still take a value, or null.
  Argument* FindPositionalArgument();

  /// Empties errorText.
  void ClearErrorText() { errorText.clear(); }

  /// The message of the error that ended the last walk; empty when there was none.
  const std::string& GetErrorText() const { return errorText; }

  /// Reads the argument file `fileName` (the token without its "@") and walks its tokens. Returns
  /// true when the file was read and its walk succeeded; false with one message in errorText.
  bool ExpandArgumentFile(const std::string& fileName);

  /// Splits `text` into tokens (separators space, tab, CR, LF; double quotes group and are
  /// dropped; empty tokens are dropped) and returns ParseTokens over them.
  bool ParseArgumentText(const std::string& text);

  /// The version banner built from the running program's version resource: "<description> version
  /// <version>", then the copyright line; empty when the program file has no usable resource.
  virtual std::string GetVersionText();

  /// The usage text: the banner, the message (or else the error text) followed by an empty line,
  /// the synopsis line, an empty line, the argument-file line and one line per argument with help.
  std::string GetUsageText(const std::string& message);

 protected:
  std::vector<ArgumentEntry> entries;
  std::string errorText;
  bool allowArgumentFiles : 1;

 private:
  /// The walk behind ParseTokens and ParseArgumentText, taking tokens as `tokens` hands them out.
  bool WalkTokens(TokenSource& tokens);
  /// Gives `argument`, found as `token`, its value: the token itself for a positional argument,
  /// else the next of `tokens`. Returns false, with the error text set, when it cannot take it.
  bool TakeArgument(Argument* argument, bool named, std::string& token, TokenSource& tokens);

  /// The argument files being read, outermost first; a nested walk runs while it is not empty.
  ArgumentFileStack openArgumentFiles;

  /// The argument that MarkInexact named, 0 for none.
  int inexactArgument = 0;
};

#endif  // OSTRA_CMDLINE_COMMAND_LINE_PARSER_H_
