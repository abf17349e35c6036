#include "cmdline/usage_text.h"

#include "platform/path.h"
#include "platform/program.h"
#include "platform/text_encoding.h"

namespace {

// `sign` in the narrow code page, which spells a character it lacks "?".
std::string CodePageSign(char16_t sign, const char* lacking) {
  const std::string spelled = platform::ConvertUtf16ToNarrow(&sign, 1);
  return spelled.empty() || spelled == "?" ? std::string(lacking) : spelled;
}

}  // namespace

LegalSigns GetCodePageLegalSigns() {
  return LegalSigns{CodePageSign(u'\u00A9', "(c)"), CodePageSign(u'\u00AE', "(r)")};
}

std::string BuildVersionBanner(const std::string& description, const std::string& version,
                               const std::string& copyright, const LegalSigns& signs) {
  std::string banner = description + " version " + version + "\n";
  // Without a copyright there is nothing to put the full stop after; a bare
  // ". All rights reserved." line would claim rights nobody named.
  if (copyright.empty())
    return banner;
  // Resource scripts rarely carry the signs themselves; the upper-case forms are left alone on
  // purpose.
  std::string line = ReplaceAll(copyright, "(c)", signs.copyright, true);
  line = ReplaceAll(line, "(r)", signs.registered, true);
  if (line.back() != '.')
    line += '.';
  return banner + line + " All rights reserved.\n";
}

std::string GetProgramName() { return platform::GetFileStem(platform::GetProgramPath()); }

bool IsConsoleProgram() { return platform::IsConsoleSubsystem(); }

std::string ReplaceAll(const std::string& subject, const std::string& search,
                       const std::string& replacement, bool all) {
  std::string result = subject;
  // An empty search matches everywhere, also inside what was just inserted: it would never end.
  if (search.empty())
    return result;
  std::string::size_type position = 0;
  while ((position = result.find(search, position)) != std::string::npos) {
    result.replace(position, search.size(), replacement);
    if (!all)
      break;
    position += replacement.size();
  }
  return result;
}
