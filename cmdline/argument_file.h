#ifndef OSTRA_CMDLINE_ARGUMENT_FILE_H_
#define OSTRA_CMDLINE_ARGUMENT_FILE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "cmdline/token_source.h"
#include "platform/path.h"

/// Most argument files that may be open inside one another at once.
constexpr std::size_t kMaxArgumentFileDepth = 64;

/// Most argument files that one walk may read, counting every file, nested or not.
constexpr std::size_t kMaxArgumentFilesPerParse = 1000;

/// Converts `count` UTF-16 little-endian code units exactly to the narrow code page into `out`.
/// Returns false when a character is missing from the code page or a surrogate is unpaired: no
/// character becomes another (a "?" or a look-alike) that could name another file, value or option.
bool ConvertWideToAnsi(const char16_t* units, std::size_t count, std::string& out);

/// Reads the whole argument file at `path` (a full path; messages show its text) as text: narrow
/// bytes as they stand, or UTF-16 little-endian after the mark FF FE converted to the narrow code
/// page (a text it cannot hold exactly is refused); then every carriage return and line feed
/// becomes a space. Returns true with the text in
/// `text`, or false with the message of why in `error`.
bool LoadArgumentFileText(const platform::PathName& path, std::string& text, std::string& error);

/// Whether `c` separates tokens in an argument file: space, tab, line feed or carriage return.
bool IsSeparatorChar(char c);

/// The tokens of an argument file's text: separators space, tab, CR and LF; double quotes group and
/// are dropped; empty tokens are dropped. The text must outlive the source.
class ArgumentFileTokens : public TokenSource {
 public:
  explicit ArgumentFileTokens(const std::string& source) : text(source) {}
  bool Next(std::string* token) override;

 private:
  const std::string& text;
  std::size_t next = 0;
  bool quoted = false;
};

/// The argument files being read, outermost first, and how many files the outermost walk has read,
/// so that a file naming itself and a chain of files that each name the next twice both end.
class ArgumentFileStack {
 public:
  /// Whether no argument file is being read: the walk then running is the outermost one.
  bool IsEmpty() const { return files.empty(); }

  /// Starts the count of files read afresh, for a new outermost walk.
  void ResetCount() { filesRead = 0; }

  /// Makes the file at `path` (a full path) the innermost one and counts it. Returns an empty
  /// string then, or the message of why it may not be read (open already, nested too deeply, one
  /// file too many) with nothing changed.
  std::string Enter(const platform::PathName& path);

  /// Leaves the innermost file.
  void Leave() { files.pop_back(); }

 private:
  /// One argument file being read: its full path, and the identity of the file when it could be
  /// had.
  struct OpenFile {
    std::string fullPath;
    platform::FileIdentity identity;
    bool identityKnown;
  };

  std::vector<OpenFile> files;
  std::size_t filesRead = 0;
};

#endif  // OSTRA_CMDLINE_ARGUMENT_FILE_H_
