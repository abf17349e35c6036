#ifndef OSTRA_CMDLINE_ARGUMENT_H_
#define OSTRA_CMDLINE_ARGUMENT_H_

#include <string>
#include <vector>

/// One command-line option: its names (the first is the primary name used in every message), its
/// one-line help text, and whether the parser has seen it. The parser drives it through the virtual
/// operations; the usage printer asks it for its synopsis fragment and its option-list line.
class Argument {
 public:
  /// Makes an argument with the one name `name` and the help text `helpText`; not yet found.
  Argument(const std::string& name, const std::string& helpText);
  virtual ~Argument();

  /// Whether the argument may be missing after the walk.
  virtual bool IsSatisfied() = 0;
  /// Whether the argument takes a value token.
  virtual bool ExpectsParameter() = 0;
  /// Whether the argument can still take a value.
  virtual bool CanAcceptParameter() = 0;
  /// Hands the argument its value text; returns whether it took it.
  virtual bool AcceptParameter(const std::string& text) = 0;
  /// The argument's fragment of the usage synopsis, for names written after `prefix`.
  virtual std::string GetUsageSyntax(std::string prefix) = 0;
  /// The argument's line in the option list, or the empty string when it has no help text.
  virtual std::string GetHelpLine(std::string prefix) = 0;

  /// Adds an alias after the names already held.
  void AddName(const std::string& name);
  /// The primary name (the first).
  std::string GetName() const;
  /// Whether `name` equals one of the names: letters compare without regard to case unless the
  /// argument is case-sensitive. No prefix or abbreviation matching.
  bool MatchesName(const std::string& name) const;
  bool IsFound() const { return found; }
  void SetFound(bool value) { found = value; }

 protected:
  /// "[" when optional, the prefix once, the names joined by "|", " <valueName>" when a value name
  /// is given, "<" ... ">" around a required argument shown without a prefix, "]" when optional.
  std::string BuildUsageSyntax(const std::string& prefix, bool optional,
                               const std::string& valueName) const;
  /// Prefix, primary name and " <valueName>" (only with a prefix), then one tab, two when that part
  /// is shorter than 8 characters, then the help text. Empty when there is no help text.
  std::string BuildHelpLine(const std::string& prefix, const std::string& valueName) const;

 private:
  bool found : 1;
  bool caseSensitive : 1;
  std::vector<std::string> names;
  std::string helpText;
};

/// A switch without a value, such as the help and version switches.
class FlagArg : public Argument {
 public:
  FlagArg(const std::string& name, const std::string& helpText);

  /// Whether the switch was given.
  bool IsSet() const { return IsFound(); }

  bool IsSatisfied() override;
  bool ExpectsParameter() override;
  bool CanAcceptParameter() override;
  bool AcceptParameter(const std::string& text) override;
  std::string GetUsageSyntax(std::string prefix) override;
  std::string GetHelpLine(std::string prefix) override;
};

/// Converts the command-line text of a value to a string: assigns it and returns true.
bool ConvertValue(const std::string& text, std::string& out);

/// An option that takes exactly one value, converted by ConvertValue.
template <typename T>
class ValueArg : public Argument {
 public:
  ValueArg(const std::string& name, const std::string& helpText, const std::string& valueName)
      : Argument(name, helpText), valueName(valueName) {}

  /// Makes `v` both the default and the current value; the argument may then be absent.
  void SetDefault(const T& v) {
    value = v;
    defaultValue = v;
    hasDefault = true;
  }
  /// The current value: the default, or the text the command line gave.
  T& GetValue() { return value; }

  bool IsSatisfied() override { return hasDefault || IsFound(); }
  bool ExpectsParameter() override { return true; }
  bool CanAcceptParameter() override { return !IsFound(); }
  bool AcceptParameter(const std::string& text) override { return ConvertValue(text, value); }
  std::string GetUsageSyntax(std::string prefix) override {
    return BuildUsageSyntax(prefix, hasDefault, prefix.empty() ? std::string() : valueName);
  }
  std::string GetHelpLine(std::string prefix) override { return BuildHelpLine(prefix, valueName); }

 private:
  std::string valueName;
  bool hasDefault = false;
  T defaultValue{};
  T value{};
};

#endif  // OSTRA_CMDLINE_ARGUMENT_H_
