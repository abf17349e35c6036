#include "cmdline/command_line_parser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "cmdline/tool_options_for_test.h"

namespace {

// The tool's arguments on a bare parser, so the walk is tested without the help decision.
struct ToolParser : CommandLineParser, ToolOptionsForTest {
  explicit ToolParser(bool allowArgumentFiles = true)
      : CommandLineParser(allowArgumentFiles),
        help("?", "Show usage."),
        version("v", "Show version.") {
    help.AddName("h");
    help.AddName("help");
    version.AddName("version");
    AddArgument(&help);
    AddArgument(&version);
    AddTo(*this);
  }

  FlagArg help;
  FlagArg version;
};

// Refuses every value, as a typed conversion would refuse text it cannot read.
struct RefusingArg : ValueArg<std::string> {
  RefusingArg() : ValueArg<std::string>("number", "A number.", "n") {}
  bool AcceptParameter(const std::string&) override { return false; }
};

TEST(CommandLineParserWalk, Messages) {
  const struct {
    std::vector<std::string> tokens;
    bool ok;
    const char* error;
  } cases[] = {
      {{}, true, ""},
      {{"/HELP"}, true, ""},
      {{"-help"}, true, ""},
      {{"/h"}, true, ""},
      {{"-?"}, true, ""},
      {{"/Version"}, true, ""},
      {{"--help"}, false, "Unrecognized argument '--help'."},
      {{"/burnfile=x"}, false, "Unrecognized argument '/burnfile=x'."},
      {{"/hel"}, false, "Unrecognized argument '/hel'."},
      {{"-"}, false, "Unrecognized argument '-'."},
      {{"/"}, false, "Unrecognized argument '/'."},
      {{"@"}, false, "Unrecognized argument '@'."},
      {{""}, false, "Unrecognized argument ''."},
      {{"file.txt"}, false, "Unrecognized argument 'file.txt'."},
      {{"-@x"}, false, "Unrecognized argument '-@x'."},
      {{"/@x"}, false, "Unrecognized argument '/@x'."},
      {{"/burnfile"}, false, "Argument 'burnfile' expects a parameter."},
      {{"/burnfile", "a", "/BURNFILE", "b"},
       false,
       "Argument 'burnfile' cannot accept another parameter: 'b'."},
      {{"/burnfile", "/burnsn", "x"}, false, "Unrecognized argument 'x'."},
      {{"/help", "/h"}, false, "Argument '?' already present."},
      {{"/v", "-VERSION"}, false, "Argument 'v' already present."},
      {{"/x", "/help"}, false, "Unrecognized argument '/x'."},
      {{"/burnfile", "f", "/burnstring", "m", "/burnsn", "s"}, true, ""},
  };
  for (const auto& c : cases) {
    ToolParser parser;
    std::string joined;
    for (const std::string& t : c.tokens)
      joined += "[" + t + "]";
    EXPECT_EQ(c.ok, parser.ParseTokens(c.tokens)) << joined;
    EXPECT_EQ(c.error, parser.GetErrorText()) << joined;
  }
}

TEST(CommandLineParserWalk, ValuesAndFoundFlags) {
  ToolParser parser;
  EXPECT_FALSE(parser.ParseTokens({"/burnfile", "a", "/BURNFILE", "b"}));
  EXPECT_EQ("a", parser.burnFile.GetValue());
  EXPECT_TRUE(parser.burnFile.IsFound());

  ToolParser takesOption;
  EXPECT_FALSE(takesOption.ParseTokens({"/burnfile", "/burnsn", "x"}));
  EXPECT_EQ("/burnsn", takesOption.burnFile.GetValue());
  EXPECT_FALSE(takesOption.burnSn.IsFound());

  // A value token is never an argument file, whatever it begins with.
  ToolParser takesAt;
  EXPECT_TRUE(takesAt.ParseTokens({"/burnfile", "@list"}));
  EXPECT_EQ("@list", takesAt.burnFile.GetValue());

  ToolParser helpAfterError;
  EXPECT_FALSE(helpAfterError.ParseTokens({"/x", "/help"}));
  EXPECT_FALSE(helpAfterError.help.IsSet());

  ToolParser empty;
  EXPECT_TRUE(empty.ParseTokens({}));
  for (const Argument* argument : std::initializer_list<const Argument*>{
           &empty.help, &empty.version, &empty.burnFile, &empty.burnString, &empty.burnSn})
    EXPECT_FALSE(argument->IsFound()) << argument->GetName();
}

TEST(CommandLineParserWalk, ArgumentFilesCanBeTurnedOff) {
  ToolParser parser(false);
  EXPECT_FALSE(parser.ParseTokens({"@list"}));
  EXPECT_EQ("Unrecognized argument '@list'.", parser.GetErrorText());
}

TEST(CommandLineParserWalk, MissingArgumentFileNamesItAsWritten) {
  ToolParser parser;
  EXPECT_FALSE(parser.ParseTokens({"/v", "@no such file.rsp", "/h"}));
  EXPECT_EQ("File not found: no such file.rsp", parser.GetErrorText());
  EXPECT_TRUE(parser.version.IsSet());
  EXPECT_FALSE(parser.help.IsSet());
}

TEST(CommandLineParserWalk, SecondWalkSeesTheFirst) {
  ToolParser parser;
  EXPECT_TRUE(parser.ParseTokens({"/help", "/burnsn", "1"}));
  EXPECT_FALSE(parser.ParseTokens({"/help"}));
  EXPECT_EQ("Argument '?' already present.", parser.GetErrorText());
  EXPECT_FALSE(parser.ParseTokens({"/burnsn", "2"}));
  EXPECT_EQ("Argument 'burnsn' cannot accept another parameter: '2'.", parser.GetErrorText());
  // A successful walk leaves no trace of the last error.
  EXPECT_TRUE(parser.ParseTokens({"/v"}));
  EXPECT_EQ("", parser.GetErrorText());
}

TEST(CommandLineParserWalk, RequiredAndRefusingArguments) {
  CommandLineParser parser(true);
  ValueArg<std::string> out("out", "Output.", "file");
  RefusingArg number;
  parser.AddArgument(&out);
  parser.AddArgument(&number);
  number.SetDefault("0");

  EXPECT_FALSE(parser.ParseTokens({}));
  EXPECT_EQ("Expected argument 'out'.", parser.GetErrorText());
  EXPECT_FALSE(parser.ParseTokens({"/number", "12"}));
  EXPECT_EQ("Argument 'number' cannot accept parameter: '12'.", parser.GetErrorText());
  EXPECT_FALSE(number.IsFound());
  EXPECT_TRUE(parser.ParseTokens({"-OUT", "a.bin"}));
  EXPECT_EQ("a.bin", out.GetValue());
}

TEST(CommandLineParserWalk, FirstAddedWinsASharedName) {
  CommandLineParser parser(true);
  FlagArg first("x", "First.");
  FlagArg second("y", "Second.");
  second.AddName("X");
  parser.AddArgument(&first);
  parser.AddArgument(&second);
  EXPECT_EQ(&first, parser.FindNamedArgument("x"));
  EXPECT_EQ(&second, parser.FindNamedArgument("Y"));
  EXPECT_EQ(nullptr, parser.FindNamedArgument("z"));
  EXPECT_EQ(nullptr, parser.FindPositionalArgument());
}

struct PositionalParser : CommandLineParser {
  PositionalParser() : CommandLineParser(true), source("source", "", ""), target("target", "", "") {
    AddPositionalArgument(&source);
    AddPositionalArgument(&target);
  }
  ValueArg<std::string> source;
  ValueArg<std::string> target;
};

TEST(CommandLineParserWalk, PositionalArgumentsTakeBareTokensInOrder) {
  PositionalParser parser;
  EXPECT_FALSE(parser.ParseTokens({"a"}));
  EXPECT_EQ("Expected argument 'target'.", parser.GetErrorText());
  EXPECT_EQ("a", parser.source.GetValue());

  PositionalParser both;
  EXPECT_TRUE(both.ParseTokens({"a", "b"}));
  EXPECT_EQ("a", both.source.GetValue());
  EXPECT_EQ("b", both.target.GetValue());
  EXPECT_EQ(nullptr, both.FindPositionalArgument());

  PositionalParser tooMany;
  EXPECT_FALSE(tooMany.ParseTokens({"a", "b", "c"}));
  EXPECT_EQ("Unrecognized argument 'c'.", tooMany.GetErrorText());
  // Named lookup never finds a positional argument.
  EXPECT_EQ(nullptr, tooMany.FindNamedArgument("source"));
}

TEST(CommandLineParserParseArguments, SkipFirst) {
  char program[] = "@prog";
  char slashProgram[] = "/prog";
  char help[] = "/help";
  char burnsn[] = "-burnsn";
  char value[] = "42";
  {
    char* argv[] = {program, help};
    ToolParser parser;
    EXPECT_TRUE(parser.ParseArguments(2, argv, true));
    EXPECT_TRUE(parser.help.IsSet());
  }
  {
    char* argv[] = {slashProgram, burnsn, value};
    ToolParser parser;
    EXPECT_TRUE(parser.ParseArguments(3, argv, true));
    EXPECT_EQ("42", parser.burnSn.GetValue());
  }
  {
    char* argv[] = {slashProgram};
    ToolParser parser;
    EXPECT_FALSE(parser.ParseArguments(1, argv, false));
    EXPECT_EQ("Unrecognized argument '/prog'.", parser.GetErrorText());
  }
  {
    ToolParser parser;
    EXPECT_TRUE(parser.ParseArguments(0, nullptr, true));
    char* argv[] = {program};
    EXPECT_TRUE(parser.ParseArguments(1, argv, true));
  }
}

}  // namespace
