#include "cmdline/command_line_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "cmdline/argument_file.h"
#include "cmdline/sample_options_for_test.h"
#include "platform/current_directory.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/text_encoding.h"
#include "test_support/scoped_temp_dir.h"

namespace {

// The sample options on a bare parser, so the walk is tested without the help decision.
struct SampleParser : CommandLineParser, SampleOptions {
  explicit SampleParser(bool allowArgumentFiles = true)
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
      {{"/input=x"}, false, "Unrecognized argument '/input=x'."},
      {{"/hel"}, false, "Unrecognized argument '/hel'."},
      {{"-"}, false, "Unrecognized argument '-'."},
      {{"/"}, false, "Unrecognized argument '/'."},
      {{"@"}, false, "Unrecognized argument '@'."},
      {{""}, false, "Unrecognized argument ''."},
      {{"file.txt"}, false, "Unrecognized argument 'file.txt'."},
      {{"-@x"}, false, "Unrecognized argument '-@x'."},
      {{"/@x"}, false, "Unrecognized argument '/@x'."},
      {{"/input"}, false, "Argument 'input' expects a parameter."},
      {{"/input", "a", "/INPUT", "b"},
       false,
       "Argument 'input' cannot accept another parameter: 'b'."},
      {{"/input", "/note", "x"}, false, "Unrecognized argument 'x'."},
      {{"/help", "/h"}, false, "Argument '?' already present."},
      {{"/v", "-VERSION"}, false, "Argument 'v' already present."},
      {{"/x", "/help"}, false, "Unrecognized argument '/x'."},
      {{"/input", "f", "/key", "m", "/note", "s"}, true, ""},
  };
  for (const auto& c : cases) {
    SampleParser parser;
    std::string joined;
    for (const std::string& t : c.tokens)
      joined += "[" + t + "]";
    EXPECT_EQ(c.ok, parser.ParseTokens(c.tokens)) << joined;
    EXPECT_EQ(c.error, parser.GetErrorText()) << joined;
  }
}

TEST(CommandLineParserWalk, ValuesAndFoundFlags) {
  SampleParser parser;
  EXPECT_FALSE(parser.ParseTokens({"/input", "a", "/INPUT", "b"}));
  EXPECT_EQ("a", parser.input.GetValue());
  EXPECT_TRUE(parser.input.IsFound());

  SampleParser takesOption;
  EXPECT_FALSE(takesOption.ParseTokens({"/input", "/note", "x"}));
  EXPECT_EQ("/note", takesOption.input.GetValue());
  EXPECT_FALSE(takesOption.note.IsFound());

  // A value token is never an argument file, whatever it begins with.
  SampleParser takesAt;
  EXPECT_TRUE(takesAt.ParseTokens({"/input", "@list"}));
  EXPECT_EQ("@list", takesAt.input.GetValue());

  SampleParser helpAfterError;
  EXPECT_FALSE(helpAfterError.ParseTokens({"/x", "/help"}));
  EXPECT_FALSE(helpAfterError.help.IsSet());

  SampleParser empty;
  EXPECT_TRUE(empty.ParseTokens({}));
  for (const Argument* argument : std::initializer_list<const Argument*>{
           &empty.help, &empty.version, &empty.input, &empty.key, &empty.note})
    EXPECT_FALSE(argument->IsFound()) << argument->GetName();
}

TEST(CommandLineParserWalk, ArgumentFilesCanBeTurnedOff) {
  SampleParser parser(false);
  EXPECT_FALSE(parser.ParseTokens({"@list"}));
  EXPECT_EQ("Unrecognized argument '@list'.", parser.GetErrorText());
}

TEST(CommandLineParserWalk, MissingArgumentFileNamesItAsWritten) {
  SampleParser parser;
  EXPECT_FALSE(parser.ParseTokens({"/v", "@no such file.rsp", "/h"}));
  EXPECT_EQ("File not found: no such file.rsp", parser.GetErrorText());
  EXPECT_TRUE(parser.version.IsSet());
  EXPECT_FALSE(parser.help.IsSet());
}

TEST(CommandLineParserWalk, SecondWalkSeesTheFirst) {
  SampleParser parser;
  EXPECT_TRUE(parser.ParseTokens({"/help", "/note", "1"}));
  EXPECT_FALSE(parser.ParseTokens({"/help"}));
  EXPECT_EQ("Argument '?' already present.", parser.GetErrorText());
  EXPECT_FALSE(parser.ParseTokens({"/note", "2"}));
  EXPECT_EQ("Argument 'note' cannot accept another parameter: '2'.", parser.GetErrorText());
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
  char note[] = "-note";
  char value[] = "42";
  {
    char* argv[] = {program, help};
    SampleParser parser;
    EXPECT_TRUE(parser.ParseArguments(2, argv, true));
    EXPECT_TRUE(parser.help.IsSet());
  }
  {
    char* argv[] = {slashProgram, note, value};
    SampleParser parser;
    EXPECT_TRUE(parser.ParseArguments(3, argv, true));
    EXPECT_EQ("42", parser.note.GetValue());
  }
  {
    char* argv[] = {slashProgram};
    SampleParser parser;
    EXPECT_FALSE(parser.ParseArguments(1, argv, false));
    EXPECT_EQ("Unrecognized argument '/prog'.", parser.GetErrorText());
  }
  {
    SampleParser parser;
    EXPECT_TRUE(parser.ParseArguments(0, nullptr, true));
    char* argv[] = {program};
    EXPECT_TRUE(parser.ParseArguments(1, argv, true));
  }
}

// An argument that could not be converted exactly refuses the whole run, the help before it and the
// argument file after it included: its display form ("?" for what the code page lacks) may name
// another file, value or option.
TEST(CommandLineParserParseArguments, AnInexactArgumentRefusesTheRun) {
  char program[] = "prog";
  char help[] = "/?";
  char shown[] = "/?";
  char file[] = "@missing.rsp";
  char* argv[] = {program, help, shown, file};
  SampleParser parser;
  parser.MarkInexact(2);
  EXPECT_FALSE(parser.ParseArguments(4, argv, true));
  EXPECT_FALSE(parser.help.IsSet());
  EXPECT_EQ("Argument 2 holds text that " + platform::NarrowEncodingName() + " cannot represent.",
            parser.GetErrorText());
}

// The walk through argument files: names resolved against the naming file, the current directory
// restored, cycles and limits, and the messages that end the walk.

using Tokens = std::vector<std::string>;

// Takes every bare token, so a walk shows exactly which tokens a file produced.
class Collector : public Argument {
 public:
  Collector() : Argument("tokens", "") {}
  bool IsSatisfied() override { return true; }
  bool ExpectsParameter() override { return true; }
  bool CanAcceptParameter() override { return true; }
  bool AcceptParameter(const std::string& text) override {
    tokens.push_back(text);
    return true;
  }
  std::string GetUsageSyntax(std::string) override { return ""; }
  std::string GetHelpLine(std::string) override { return ""; }

  Tokens tokens;
};

// The sample options, and unless told otherwise a collector for bare tokens. The help switch
// lacks its "h" name and there is no version switch: the walk messages expect "/h" to be
// unrecognized.
struct FileParser : CommandLineParser, SampleOptions {
  explicit FileParser(bool collect = true) : CommandLineParser(true), help("?", "Show usage.") {
    help.AddName("help");
    AddArgument(&help);
    AddTo(*this);
    if (collect)
      AddPositionalArgument(&collector);
  }

  FlagArg help;
  Collector collector;
};

std::string FullPath(const std::string& path) {
  platform::PathName full;
  platform::PathName folder;
  EXPECT_TRUE(platform::GetFullPath(path, &full, &folder)) << path;
  return full.text;
}

TEST(CommandLineParserArgumentFile, QuotedPathIsOneValue) {
  FileParser parser;
  EXPECT_TRUE(parser.ParseArgumentText("-input \"C:\\Program Files\\x.bin\""));
  EXPECT_EQ("C:\\Program Files\\x.bin", parser.input.GetValue());
}

// Each file's bytes and command-line tokens after "@file", and the message the walk ends with.
TEST(CommandLineParserArgumentFile, WalkMessages) {
  const struct {
    std::string bytes;
    Tokens after;
    std::string error;
  } cases[] = {
      {"-input", {"x"}, "Argument 'input' expects a parameter."},
      {"/note 1", {"/note", "2"}, "Argument 'note' cannot accept another parameter: '2'."},
      {"/help", {"-HELP"}, "Argument '?' already present."},
      {"/h", {}, "Unrecognized argument '/h'."},
      {"\xEF\xBB\xBF-note 1", {}, "Unrecognized argument '\xEF\xBB\xBF-note'."},
      {"\xEF\xBB\xBF -note 1", {}, "Unrecognized argument '\xEF\xBB\xBF'."},
      {"-note 1 /x /help", {}, "Unrecognized argument '/x'."},
  };
  ScopedTempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.WriteFile("args.rsp", c.bytes);
    Tokens tokens = {"@" + path};
    tokens.insert(tokens.end(), c.after.begin(), c.after.end());
    FileParser parser(false);
    EXPECT_FALSE(parser.ParseTokens(tokens)) << c.error;
    EXPECT_EQ(c.error, parser.GetErrorText());
  }
}

TEST(CommandLineParserArgumentFile, NotFoundNamesTheFileAsWritten) {
  ScopedTempDir dir;
  dir.WriteFile("folder/inside.rsp", "x");
  platform::ScopedCurrentDirectory inDir(dir.path().string());
  const std::string before = platform::GetCurrentDirectoryPath();
  const std::string cases[] = {"missing.rsp", "no such file", "folder", "folder/", "./folder/none"};
  for (const std::string& name : cases) {
    FileParser parser;
    EXPECT_FALSE(parser.ParseTokens({"@" + name}));
    EXPECT_EQ("File not found: " + name, parser.GetErrorText());
    EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
  }
}

// The nested names resolve against the naming file's folder; values stay as written.
TEST(CommandLineParserArgumentFile, NestedNamesAreRelativeToTheirFile) {
  ScopedTempDir dir;
  dir.WriteFile("work/outer.rsp", "@sub/inner.rsp \"@my files/spaced one.rsp\"");
  dir.WriteFile("work/sub/inner.rsp", "-input rel/x.bin @../last.rsp");
  dir.WriteFile("work/my files/spaced one.rsp", "@\"two words.rsp\" a");
  dir.WriteFile("work/my files/two words.rsp", "b");
  dir.WriteFile("work/last.rsp", "-note 42");

  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@" + dir.PathOf("work/outer.rsp"), "c"}))
      << parser.GetErrorText();
  EXPECT_EQ("rel/x.bin", parser.input.GetValue());
  EXPECT_EQ("42", parser.note.GetValue());
  EXPECT_EQ((Tokens{"b", "a", "c"}), parser.collector.tokens);
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
}

TEST(CommandLineParserArgumentFile, RelativeNameFromTheCurrentDirectory) {
  ScopedTempDir dir;
  dir.WriteFile("work/sub/inner.rsp", "x");
  dir.WriteFile("work/outer.rsp", "@sub/inner.rsp");
  platform::ScopedCurrentDirectory inDir(dir.PathOf("work"));
  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@outer.rsp", "@sub/inner.rsp"})) << parser.GetErrorText();
  EXPECT_EQ((Tokens{"x", "x"}), parser.collector.tokens);
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
}

TEST(CommandLineParserArgumentFile, CurrentDirectoryRestoredAfterFailure) {
  ScopedTempDir dir;
  dir.WriteFile("a/outer.rsp", "x @b/middle.rsp y");
  dir.WriteFile("a/b/middle.rsp", "@c/inner.rsp");
  dir.WriteFile("a/b/c/inner.rsp", "@missing.rsp");
  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + dir.PathOf("a/outer.rsp")}));
  EXPECT_EQ("File not found: missing.rsp", parser.GetErrorText());
  EXPECT_EQ((Tokens{"x"}), parser.collector.tokens);
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
}

TEST(CommandLineParserArgumentFile, ReuseOneAfterAnotherIsAllowed) {
  ScopedTempDir dir;
  dir.WriteFile("leaf.rsp", "x");
  dir.WriteFile("twice.rsp", "@leaf.rsp @leaf.rsp");
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@" + dir.PathOf("twice.rsp"), "@" + dir.PathOf("twice.rsp")}))
      << parser.GetErrorText();
  EXPECT_EQ((Tokens{"x", "x", "x", "x"}), parser.collector.tokens);
}

TEST(CommandLineParserArgumentFile, CyclesEndTheWalk) {
  ScopedTempDir dir;
  const struct {
    const char* name;
    const char* text;
  } files[] = {
      {"self.rsp", "a @self.rsp"},
      {"ping.rsp", "@sub/pong.rsp"},
      {"sub/pong.rsp", "@../ping.rsp"},
      {"dotted.rsp", "@./sub/../dotted.rsp"},
  };
  for (const auto& f : files)
    dir.WriteFile(f.name, f.text);
  const struct {
    const char* start;
    const char* looping;
  } cases[] = {
      {"self.rsp", "self.rsp"},
      {"ping.rsp", "ping.rsp"},
      {"sub/pong.rsp", "sub/pong.rsp"},
      {"dotted.rsp", "dotted.rsp"},
  };
  const std::string before = platform::GetCurrentDirectoryPath();
  for (const auto& c : cases) {
    FileParser parser;
    EXPECT_FALSE(parser.ParseTokens({"@" + dir.PathOf(c.start)})) << c.start;
    EXPECT_EQ("File " + FullPath(dir.PathOf(c.looping)) + " includes itself",
              parser.GetErrorText());
    EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
  }
}

// Two names of one file are one file: the cycle is found where the file comes round again, not
// by the depth limit or after another pass.
TEST(CommandLineParserArgumentFile, CyclesAreFoundByFileIdentity) {
  ScopedTempDir dir;
  dir.WriteFile("x.rsp", "t @y.rsp");
  std::filesystem::create_hard_link(dir.PathOf("x.rsp"), dir.PathOf("y.rsp"));
  FileParser linked;
  EXPECT_FALSE(linked.ParseTokens({"@" + dir.PathOf("x.rsp")}));
  EXPECT_EQ("File " + FullPath(dir.PathOf("y.rsp")) + " includes itself", linked.GetErrorText());
  EXPECT_EQ((Tokens{"t"}), linked.collector.tokens);

  // A folder link to its own folder gives every pass a new spelling.
  dir.WriteFile("loop/z.rsp", "@link/z.rsp");
  std::error_code error;
  std::filesystem::create_directory_symlink(".", dir.path() / "loop" / "link", error);
  if (!error) {
    FileParser looped;
    EXPECT_FALSE(looped.ParseTokens({"@" + dir.PathOf("loop/z.rsp")}));
    EXPECT_EQ("File " + FullPath(dir.PathOf("loop/link/z.rsp")) + " includes itself",
              looped.GetErrorText());
  }
}

TEST(CommandLineParserArgumentFile, DepthIsLimited) {
  ScopedTempDir dir;
  // Files 0 .. 64 each name the next: 65 open inside one another, one too many.
  for (std::size_t i = 0; i <= kMaxArgumentFileDepth; ++i)
    dir.WriteFile(std::to_string(i) + ".rsp", "@" + std::to_string(i + 1) + ".rsp");
  dir.WriteFile(std::to_string(kMaxArgumentFileDepth + 1) + ".rsp", "x");
  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + dir.PathOf("0.rsp")}));
  EXPECT_EQ("File " + FullPath(dir.PathOf(std::to_string(kMaxArgumentFileDepth) + ".rsp")) +
                " is nested too deeply",
            parser.GetErrorText());
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());

  // 64 deep is still fine.
  FileParser deepest;
  EXPECT_TRUE(deepest.ParseTokens({"@" + dir.PathOf("2.rsp")})) << deepest.GetErrorText();
  EXPECT_EQ((Tokens{"x"}), deepest.collector.tokens);
}

TEST(CommandLineParserArgumentFile, FilesPerWalkAreLimited) {
  ScopedTempDir dir;
  const std::string empty = dir.WriteFile("empty.rsp", "");
  Tokens tokens(kMaxArgumentFilesPerParse, "@" + empty);
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens(tokens)) << parser.GetErrorText();
  // A new outermost walk starts a new count.
  EXPECT_TRUE(parser.ParseTokens({"@" + empty})) << parser.GetErrorText();

  tokens.push_back("@" + empty);
  FileParser over;
  EXPECT_FALSE(over.ParseTokens(tokens));
  EXPECT_EQ("File " + FullPath(empty) + " exceeds the limit of 1000 argument files",
            over.GetErrorText());
}

TEST(CommandLineParserArgumentFile, DoublingChainIsLimited) {
  ScopedTempDir dir;
  // Each file names the next twice: 2^11 - 1 reads without any cycle.
  for (int i = 0; i < 10; ++i)
    dir.WriteFile(std::to_string(i) + ".rsp",
                  "@" + std::to_string(i + 1) + ".rsp @" + std::to_string(i + 1) + ".rsp");
  dir.WriteFile("10.rsp", "");
  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + dir.PathOf("0.rsp")}));
  const std::string suffix = " exceeds the limit of 1000 argument files";
  const std::string& error = parser.GetErrorText();
  ASSERT_GT(error.size(), suffix.size());
  EXPECT_EQ(suffix, error.substr(error.size() - suffix.size()));
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
}

// Required arguments may come after the file on the command line: only the outermost walk checks.
TEST(CommandLineParserArgumentFile, RequiredCheckRunsOnceAtTheEnd) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("args.rsp", "-v");
  struct RequiredParser : CommandLineParser {
    RequiredParser() : CommandLineParser(true), v("v", ""), out("out", "", "file") {
      AddArgument(&v);
      AddArgument(&out);
    }
    FlagArg v;
    ValueArg<std::string> out;
  };
  RequiredParser later;
  EXPECT_TRUE(later.ParseTokens({"@" + path, "/out", "a"})) << later.GetErrorText();
  EXPECT_TRUE(later.v.IsSet());

  RequiredParser missing;
  EXPECT_FALSE(missing.ParseTokens({"@" + path}));
  EXPECT_EQ("Expected argument 'out'.", missing.GetErrorText());

  // A walk over text with no file open is an outermost walk of its own.
  RequiredParser text;
  EXPECT_FALSE(text.ParseArgumentText("-v"));
  EXPECT_EQ("Expected argument 'out'.", text.GetErrorText());
}

// An exception from a nested walk leaves neither a changed directory nor a stale open file.
TEST(CommandLineParserArgumentFile, ExceptionUnwindsCleanly) {
  struct Thrower : Collector {
    bool AcceptParameter(const std::string& text) override {
      if (text == "boom")
        throw std::runtime_error("boom");
      return Collector::AcceptParameter(text);
    }
  };
  ScopedTempDir dir;
  dir.WriteFile("sub/outer.rsp", "@inner.rsp");
  dir.WriteFile("sub/inner.rsp", "boom");
  const std::string outer = "@" + dir.PathOf("sub/outer.rsp");
  FileParser parser(false);
  Thrower thrower;
  parser.AddPositionalArgument(&thrower);

  const std::string before = platform::GetCurrentDirectoryPath();
  EXPECT_THROW(parser.ParseTokens({outer}), std::runtime_error);
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());

  dir.WriteFile("sub/inner.rsp", "fine");
  EXPECT_TRUE(parser.ParseTokens({outer})) << parser.GetErrorText();
  EXPECT_EQ((Tokens{"fine"}), thrower.tokens);
}

#ifdef _WIN32
TEST(CommandLineParserArgumentFile, CyclesIgnoreLetterCaseOnWindows) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("self.rsp", "@SELF.RSP");
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + path}));
  EXPECT_EQ("File " + FullPath(dir.PathOf("SELF.RSP")) + " includes itself", parser.GetErrorText());
}

TEST(CommandLineParserArgumentFile, FullPathBeyond260IsRefused) {
  ScopedTempDir dir;
  const std::string folder = dir.PathOf(std::string(200, 'd'));
  const std::string name = std::string(60, 'f') + ".rsp";
  // The narrow file API stops at 260 characters, so the file is made short and moved in wide.
  const std::string shortPath = dir.WriteFile("short.rsp", "x");
  std::filesystem::create_directories(folder);
  std::filesystem::rename(shortPath, std::filesystem::path(folder) / name);
  platform::ScopedCurrentDirectory inFolder(folder);
  ASSERT_TRUE(inFolder.IsSaved());
  ASSERT_EQ(platform::PathKind::kFile, platform::GetPathKind(name));
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + name}));
  EXPECT_EQ("File name too long: " + name, parser.GetErrorText());
  EXPECT_EQ(folder, platform::GetCurrentDirectoryPath());
}
#endif

}  // namespace
