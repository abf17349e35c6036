#include "cmdline/argument_file.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <utility>

#include "platform/file.h"
#include "platform/text_encoding.h"
#include "platform/whole_file.h"

bool ConvertWideToAnsi(const char16_t* units, std::size_t count, std::string& out) {
  // Nothing to convert after a bare mark: no call with a zero count reaches the platform.
  if (count == 0) {
    out.clear();
    return true;
  }
  return platform::ConvertUtf16ToNarrowExactly(units, count, &out);
}

bool IsSeparatorChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool ArgumentFileTokens::Next(std::string* token) {
  token->clear();
  while (next < text.size()) {
    const char c = text[next++];
    if (c == '"')
      quoted = !quoted;
    else if (quoted || !IsSeparatorChar(c))
      *token += c;
    else if (!token->empty())
      return true;
  }
  return !token->empty();
}

std::string ArgumentFileStack::Enter(const platform::PathName& path) {
  const std::string& fullPath = path.text;
  // Another spelling of the same file (a link, a short name) is still the same file, and another
  // file is another file however alike the spellings (letter case in a case-sensitive folder, "?"
  // for different characters the code page lacks): the spelling counts only where no identity
  // could be read.
  OpenFile file{fullPath, platform::FileIdentity(), false};
  file.identityKnown = platform::GetFileIdentity(path, &file.identity);
  for (const OpenFile& open : files) {
    const bool same = open.identityKnown && file.identityKnown
                          ? open.identity == file.identity
                          : platform::IsSameFullPath(open.fullPath, fullPath);
    if (same)
      return "File " + fullPath + " includes itself";
  }
  if (files.size() >= kMaxArgumentFileDepth)
    return "File " + fullPath + " is nested too deeply";
  if (filesRead >= kMaxArgumentFilesPerParse) {
    return "File " + fullPath + " exceeds the limit of " +
           std::to_string(kMaxArgumentFilesPerParse) + " argument files";
  }
  ++filesRead;
  files.push_back(std::move(file));
  return std::string();
}

namespace {

// The text of an argument file's `length` bytes at `bytes` (an aligned view): a UTF-16 file, by
// its mark, converted exactly to the narrow encoding, else the bytes as they are; line ends become
// spaces. Returns false with the message in `error` when the file cannot be read so.
bool DecodeArgumentFileText(const unsigned char* bytes, uint64_t length, const std::string& path,
                            std::string& text, std::string& error) {
  // A file of one or two bytes is always narrow text, even one that holds just the mark.
  const unsigned mark = length > 2 ? (bytes[0] | (bytes[1] << 8)) : 0;
  if (mark == 0xFFFE) {
    error = "File " + path + " is in big-endian unicode format";
    return false;
  }

  try {
    if (mark == 0xFEFF) {
      // The view is aligned (a mapped page, or a block from operator new), so the units after the
      // two mark bytes are aligned too. An odd last byte is no whole unit and is dropped.
      const std::size_t count = static_cast<std::size_t>(length / 2 - 1);
      if (!ConvertWideToAnsi(reinterpret_cast<const char16_t*>(bytes + 2), count, text)) {
        text.clear();
        error = "File " + path + " holds text that " + platform::NarrowEncodingName() +
                " cannot represent.";
        return false;
      }
    } else {
      text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    }
  } catch (const std::exception&) {
    text.clear();
    error = "Failed to convert character data from file " + path + ".";
    return false;
  }

  // Line ends only separate tokens: even inside quotes they must not reach a value.
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return true;
}

}  // namespace

bool LoadArgumentFileText(const platform::PathName& exactPath, std::string& text,
                          std::string& error) {
  const std::string& path = exactPath.text;
  text.clear();

  // The length comes with the open, from the query that finds the file regular on POSIX: asking
  // again would only cost another call.
  uint64_t length = 0;
  platform::ScopedFileHandle file =
      platform::OpenFileExclusive(exactPath, platform::FileAccess::kRead, &length);
  if (!file) {
    error = "Failed to open file " + path;
    return false;
  }
  if ((length >> 32) != 0) {
    error = "File " + path + " is too large";
    return false;
  }
  if (length == 0)
    return true;

  platform::ScopedFileView view;
  switch (platform::LoadWholeFile(file, length, &view)) {
    case platform::WholeFileLoad::kLoaded:
      break;
    case platform::WholeFileLoad::kNoMapping:
      error = "Failed to create file mapping on file " + path;
      return false;
    case platform::WholeFileLoad::kNoView:
      error = "Failed to map view of file " + path;
      return false;
  }

  return DecodeArgumentFileText(view.data(), length, path, text, error);
}
