#include "cmdline/argument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The standard switches, built the way the standard parser builds them.
struct HelpSwitch : FlagArg {
  HelpSwitch() : FlagArg("?", "Show usage.") {
    AddName("h");
    AddName("help");
  }
};

struct VersionSwitch : FlagArg {
  VersionSwitch() : FlagArg("v", "Show version.") { AddName("version"); }
};

TEST(ArgumentMatchesName, HelpSwitch) {
  HelpSwitch help;
  const struct {
    const char* name;
    bool matches;
  } cases[] = {
      {"?", true},      {"h", true},    {"H", true},    {"help", true},   {"HELP", true},
      {"Help", true},   {"hElP", true}, {"hel", false}, {"helpx", false}, {"/help", false},
      {"-help", false}, {"", false},    {"? ", false},  {"v", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.matches, help.MatchesName(c.name)) << c.name;
}

TEST(ArgumentMatchesName, FoldsOnlyAsciiLetters) {
  FlagArg accented("caf\xE9", "x");  // e-acute in code page 1252
  EXPECT_TRUE(accented.MatchesName("CAF\xE9"));
  EXPECT_FALSE(accented.MatchesName("CAF\xC9"));  // E-acute: not folded
  FlagArg bracket("[", "x");
  EXPECT_FALSE(bracket.MatchesName("{"));  // 0x5B and 0x7B differ by 0x20 but are not letters
  FlagArg at("@", "x");
  EXPECT_FALSE(at.MatchesName("`"));
}

TEST(ArgumentNames, PrimaryNameIsTheFirst) {
  HelpSwitch help;
  EXPECT_EQ("?", help.GetName());
  FlagArg noAlias("x", "");
  noAlias.AddName("x");  // duplicates are stored as they are
  EXPECT_EQ("x", noAlias.GetName());
  EXPECT_TRUE(noAlias.MatchesName("X"));
}

TEST(ArgumentUsageSyntax, Table) {
  HelpSwitch help;
  VersionSwitch version;
  ValueArg<std::string> input("input", "Input file.", "value");
  input.SetDefault("");
  ValueArg<std::string> required("out", "Output.", "file");
  ValueArg<std::string> optional("out", "Output.", "file");
  optional.SetDefault("x");
  ValueArg<std::string> noValueName("out", "Output.", "");
  const struct {
    Argument* argument;
    const char* prefix;
    const char* expected;
  } cases[] = {
      {&help, "/", "[/?|h|help]"},
      {&help, "", "[?|h|help]"},
      {&version, "/", "[/v|version]"},
      {&version, "", "[v|version]"},
      {&input, "/", "[/input <value>]"},
      {&input, "", "[input]"},
      {&required, "/", "/out <file>"},
      {&required, "", "<out>"},
      {&optional, "/", "[/out <file>]"},
      {&optional, "", "[out]"},
      {&noValueName, "/", "/out"},
      {&noValueName, "", "<out>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, c.argument->GetUsageSyntax(c.prefix))
        << c.argument->GetName() << " prefix '" << c.prefix << "'";
}

TEST(ArgumentHelpLine, Table) {
  HelpSwitch help;
  VersionSwitch version;
  ValueArg<std::string> input("input", "Input file.", "value");
  ValueArg<std::string> key("key", "Key to look up.", "value");
  ValueArg<std::string> note("note", "Note to add.", "value");
  FlagArg seven("abcdef", "Seven.");   // "/abcdef" is 7 characters
  FlagArg eight("abcdefg", "Eight.");  // "/abcdefg" is 8 characters
  ValueArg<std::string> out("out", "Output.", "file");
  ValueArg<std::string> noValueName("out", "Output.", "");
  FlagArg silent("quiet", "");
  silent.AddName("q");
  const struct {
    Argument* argument;
    const char* prefix;
    const char* expected;
  } cases[] = {
      {&help, "/", "/?\t\tShow usage."},
      {&version, "/", "/v\t\tShow version."},
      {&input, "/", "/input <value>\tInput file."},
      {&key, "/", "/key <value>\tKey to look up."},
      {&note, "/", "/note <value>\tNote to add."},
      {&seven, "/", "/abcdef\t\tSeven."},
      {&eight, "/", "/abcdefg\tEight."},
      {&out, "", "out\t\tOutput."},
      {&out, "/", "/out <file>\tOutput."},
      {&noValueName, "/", "/out\t\tOutput."},
      {&silent, "/", ""},
      {&silent, "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, c.argument->GetHelpLine(c.prefix))
        << c.argument->GetName() << " prefix '" << c.prefix << "'";
}

TEST(FlagArg, NeverTakesAValue) {
  FlagArg flag("x", "X.");
  EXPECT_TRUE(flag.IsSatisfied());
  EXPECT_FALSE(flag.ExpectsParameter());
  EXPECT_FALSE(flag.CanAcceptParameter());
  EXPECT_FALSE(flag.AcceptParameter("value"));
  EXPECT_FALSE(flag.IsFound());
  EXPECT_FALSE(flag.IsSet());
  flag.SetFound(true);
  EXPECT_TRUE(flag.IsSet());
  EXPECT_TRUE(flag.IsSatisfied());
}

TEST(ValueArg, Lifecycle) {
  ValueArg<std::string> arg("out", "Output.", "file");
  EXPECT_FALSE(arg.IsSatisfied());
  EXPECT_TRUE(arg.ExpectsParameter());
  EXPECT_TRUE(arg.CanAcceptParameter());
  EXPECT_EQ("", arg.GetValue());

  arg.SetDefault("");
  EXPECT_TRUE(arg.IsSatisfied());
  EXPECT_EQ("", arg.GetValue());

  EXPECT_TRUE(arg.AcceptParameter("x"));
  EXPECT_EQ("x", arg.GetValue());
  // Only the parser's SetFound closes the argument to a second value.
  EXPECT_TRUE(arg.CanAcceptParameter());
  arg.SetFound(true);
  EXPECT_FALSE(arg.CanAcceptParameter());
  EXPECT_TRUE(arg.IsSatisfied());
}

TEST(ValueArg, RequiredIsSatisfiedOnlyWhenFound) {
  ValueArg<std::string> arg("out", "Output.", "file");
  EXPECT_FALSE(arg.IsSatisfied());
  arg.SetFound(true);
  EXPECT_TRUE(arg.IsSatisfied());
}

TEST(ConvertValue, StringIsTakenAsWritten) {
  const std::string cases[] = {"", "x", " a b ", std::string("a\0b", 3), "@list", "/note"};
  for (const std::string& text : cases) {
    std::string out = "previous";
    EXPECT_TRUE(ConvertValue(text, out));
    EXPECT_EQ(text, out);
  }
}

}  // namespace
