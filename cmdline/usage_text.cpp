#include "cmdline/usage_text.h"

#include "platform/path.h"
#include "platform/program.h"

std::string BuildVersionBanner(const std::string& description, const std::string& version,
                               const std::string& copyright) {
  std::string banner = description + " version " + version + "\n";
  // Without a copyright there is nothing to put the full stop after; a bare
  // ". All rights reserved." line would claim rights nobody named.
  if (copyright.empty())
    return banner;
  // Code page 1252 has single-byte copyright and registered signs, which resource scripts rarely
  // carry; the upper-case forms are left alone on purpose.
  std::string line = ReplaceAll(copyright, "(c)", "\xA9", true);
  line = ReplaceAll(line, "(r)", "\xAE", true);
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
