#ifndef OSTRA_CMDLINE_USAGE_TEXT_H_
#define OSTRA_CMDLINE_USAGE_TEXT_H_

#include <string>

/// The running program file's name without folder and extension; empty when its path cannot be had.
std::string GetProgramName();

/// Whether the running program is a console program, as its own loaded image says: the answer
/// never depends on its path, which may be unreadable, and a message box nobody closes would
/// stall an unattended installation.
bool IsConsoleProgram();

/// A copy of `subject` in which the first occurrence of `search`, or with `all` every occurrence
/// from left to right, is replaced by `replacement`; replaced text is never searched again.
std::string ReplaceAll(const std::string& subject, const std::string& search,
                       const std::string& replacement, bool all);

/// The copyright and registered signs as the banner writes them.
struct LegalSigns {
  std::string copyright;
  std::string registered;
};

/// The narrow code page's own copyright and registered signs (A9 and AE in code page 1252), or
/// "(c)" and "(r)" where it has no such character: a byte of another meaning would show as
/// another character, or as the lead byte of one that swallows what follows.
LegalSigns GetCodePageLegalSigns();

/// The version banner from a version resource's three values: "<description> version <version>",
/// a line end, then the copyright with every "(c)" and "(r)" made `signs`, a full stop unless it
/// ends with one, " All rights reserved." and a line end. An empty copyright leaves out the whole
/// second line.
std::string BuildVersionBanner(const std::string& description, const std::string& version,
                               const std::string& copyright, const LegalSigns& signs);

#endif  // OSTRA_CMDLINE_USAGE_TEXT_H_
