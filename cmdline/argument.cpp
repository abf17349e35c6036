#include "cmdline/argument.h"

#include "platform/ascii_case.h"

Argument::Argument(const std::string& name, const std::string& helpText)
    : found(false), caseSensitive(false), names{name}, helpText(helpText) {}

Argument::~Argument() = default;

void Argument::AddName(const std::string& name) { names.push_back(name); }

std::string Argument::GetName() const { return names.front(); }

bool Argument::MatchesName(const std::string& name) const {
  // Only A-Z fold: the names are ASCII words, and a locale-aware fold would make a name match
  // differently depending on the code page the installer happens to run under.
  for (const std::string& candidate : names) {
    if (caseSensitive ? candidate == name : platform::EqualIgnoringAsciiCase(candidate, name))
      return true;
  }
  return false;
}

std::string Argument::BuildUsageSyntax(const std::string& prefix, bool optional,
                                       const std::string& valueName) const {
  // A required argument shown without a prefix needs the angle brackets to read as a placeholder.
  const bool angled = prefix.empty() && !optional;
  std::string syntax;
  if (optional)
    syntax += "[";
  syntax += prefix;
  if (angled)
    syntax += "<";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0)
      syntax += "|";
    syntax += names[i];
  }
  if (!valueName.empty())
    syntax += " <" + valueName + ">";
  if (angled)
    syntax += ">";
  if (optional)
    syntax += "]";
  return syntax;
}

std::string Argument::BuildHelpLine(const std::string& prefix, const std::string& valueName) const {
  if (helpText.empty())
    return std::string();
  std::string line = prefix + GetName();
  if (!prefix.empty() && !valueName.empty())
    line += " <" + valueName + ">";
  // Two tabs for short names keep the help texts of a typical option list in one column.
  if (line.size() < 8)
    line += "\t";
  line += "\t";
  line += helpText;
  return line;
}

FlagArg::FlagArg(const std::string& name, const std::string& helpText) : Argument(name, helpText) {}

bool FlagArg::IsSatisfied() { return true; }

bool FlagArg::ExpectsParameter() { return false; }

bool FlagArg::CanAcceptParameter() { return false; }

bool FlagArg::AcceptParameter(const std::string& /*text*/) { return false; }

std::string FlagArg::GetUsageSyntax(std::string prefix) {
  return BuildUsageSyntax(prefix, true, std::string());
}

std::string FlagArg::GetHelpLine(std::string prefix) {
  return BuildHelpLine(prefix, std::string());
}

bool ConvertValue(const std::string& text, std::string& out) {
  out = text;
  return true;
}
