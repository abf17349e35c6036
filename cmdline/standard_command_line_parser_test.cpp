#include "cmdline/standard_command_line_parser.h"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "cmdline/sample_options_for_test.h"
#include "cmdline/usage_text.h"

namespace {

// Collects what goes to standard output from its making until Text() is first called.
class CoutCapture {
 public:
  CoutCapture() { testing::internal::CaptureStdout(); }
  ~CoutCapture() { Text(); }
  CoutCapture(const CoutCapture&) = delete;
  CoutCapture& operator=(const CoutCapture&) = delete;

  const std::string& Text() {
    if (!done) {
      captured = testing::internal::GetCapturedStdout();
      done = true;
    }
    return captured;
  }

 private:
  std::string captured;
  bool done = false;
};

// The sample options, with a banner the test chooses instead of the program's resource.
class SampleCommandLine : public StandardCommandLineParser, public SampleOptions {
 public:
  explicit SampleCommandLine(bool allowArgumentFiles = true)
      : StandardCommandLineParser(allowArgumentFiles) {
    AddTo(*this);
  }

  std::string GetVersionText() override { return banner; }

  std::string banner;
};

// Parses `args` as the process arguments after a program name.
bool ParseAsProcess(StandardCommandLineParser& parser, std::vector<std::string> args) {
  args.insert(args.begin(), "stamper.exe");
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  return parser.Parse(static_cast<int>(args.size()), argv.data());
}

// The sample options' usage text without banner and error, written out by hand.
std::string SampleUsage() {
  return "Usage: " + GetProgramName() +
         " [@argfile] [/?|h|help] [/v|version] [/input <value>] [/key <value>]"
         " [/note <value>]\n"
         "\n"
         "@argfile\tRead arguments from a file.\n"
         "/?\t\tShow usage.\n"
         "/v\t\tShow version.\n"
         "/input <value>\tInput file.\n"
         "/key <value>\tKey to look up.\n"
         "/note <value>\tNote to add.\n";
}

const char kBanner[] =
    "Ostra Test version 1.2.3.4\nCopyright \xA9 2026 Ostra. All rights reserved.\n";

TEST(ProgramTest, NameAndConsole) {
  EXPECT_EQ("cmdline_tests", GetProgramName());
  EXPECT_TRUE(IsConsoleProgram());
}

TEST(UsageTextTest, SampleOptionsByteForByte) {
  SampleCommandLine parser;
  EXPECT_EQ(SampleUsage(), parser.GetUsageText(""));
}

TEST(UsageTextTest, BannerThenEmptyLineFirst) {
  SampleCommandLine parser;
  parser.banner = kBanner;
  EXPECT_EQ(kBanner + std::string("\n") + SampleUsage(), parser.GetUsageText(""));
}

TEST(UsageTextTest, ErrorAndMessage) {
  SampleCommandLine parser;
  parser.banner = kBanner;
  EXPECT_FALSE(parser.ParseTokens({"/x"}));
  const std::string head = kBanner + std::string("\n");
  EXPECT_EQ(head + "Unrecognized argument '/x'.\n\n" + SampleUsage(), parser.GetUsageText(""));
  // A message takes the error's place; the error is not shown beside it.
  EXPECT_EQ(head + "Check the name.\n\n" + SampleUsage(), parser.GetUsageText("Check the name."));
}

TEST(UsageTextTest, WithoutArgumentFiles) {
  // Only the standard switches, and no banner even where the test program carries a resource.
  struct BareCommandLine : StandardCommandLineParser {
    BareCommandLine() : StandardCommandLineParser(false) {}
    std::string GetVersionText() override { return ""; }
  } parser;
  EXPECT_EQ("Usage: " + GetProgramName() +
                " [/?|h|help] [/v|version]\n"
                "\n"
                "/?\t\tShow usage.\n"
                "/v\t\tShow version.\n",
            parser.GetUsageText(""));
}

TEST(UsageTextTest, PositionalRequiredAndSilentArguments) {
  SampleCommandLine parser(false);
  ValueArg<std::string> required("out", "Output file.", "file");
  ValueArg<std::string> optional("in", "Input file.", "file");
  optional.SetDefault("");
  ValueArg<std::string> named("log", "Log file.", "file");
  FlagArg silent("quiet", "");
  parser.AddPositionalArgument(&required);
  parser.AddPositionalArgument(&optional);
  parser.AddArgument(&named);
  parser.AddArgument(&silent);
  EXPECT_EQ("Usage: " + GetProgramName() +
                " [/?|h|help] [/v|version] [/input <value>] [/key <value>]"
                " [/note <value>] <out> [in] /log <file> [/quiet]\n"
                "\n"
                "/?\t\tShow usage.\n"
                "/v\t\tShow version.\n"
                "/input <value>\tInput file.\n"
                "/key <value>\tKey to look up.\n"
                "/note <value>\tNote to add.\n"
                "out\t\tOutput file.\n"
                "in\t\tInput file.\n"
                "/log <file>\tLog file.\n",
            parser.GetUsageText(""));
}

TEST(ParseTest, HelpVersionAndErrorDecisions) {
  // What the user sees when usage is shown: banner, the error if any, the usage, the line end.
  auto usage = [](const std::string& error) {
    return kBanner + std::string("\n") + (error.empty() ? "" : error + "\n\n") + SampleUsage() +
           "\n";
  };
  const std::string version = kBanner + std::string("\n");
  const std::string unrecognized = "Unrecognized argument '/x'.";
  struct Case {
    std::vector<std::string> args;
    bool goOn;
    std::string shown;
    std::string errorAfter;
  };
  const Case cases[] = {
      {{}, true, "", ""},
      {{"/input", "a.bin", "/key", "MARK", "/note", "42"}, true, "", ""},
      {{"/?"}, false, usage(""), ""},
      {{"-HELP"}, false, usage(""), ""},
      {{"/h"}, false, usage(""), ""},
      {{"/help", "/x"}, false, usage(""), ""},
      {{"/?", "-?"}, false, usage(""), ""},
      {{"/x", "/help"}, false, usage(unrecognized), unrecognized},
      {{"/input"}, false, usage("Argument 'input' expects a parameter."),
       "Argument 'input' expects a parameter."},
      {{"/v", "/?"}, false, version, ""},
      {{"/help", "-VERSION"}, false, version, ""},
      {{"/version", "/x"}, false, version, unrecognized},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args)
      joined += arg + " ";
    SCOPED_TRACE(joined);
    SampleCommandLine parser;
    parser.banner = kBanner;
    CoutCapture capture;
    EXPECT_EQ(c.goOn, ParseAsProcess(parser, c.args));
    EXPECT_EQ(c.shown, capture.Text());
    EXPECT_EQ(c.errorAfter, parser.GetErrorText());
  }
}

TEST(ParseTest, VersionWithoutBannerShowsEmptyLine) {
  SampleCommandLine parser;
  CoutCapture capture;
  EXPECT_FALSE(ParseAsProcess(parser, {"/v"}));
  EXPECT_EQ("\n", capture.Text());
}

// Running out of memory while the arguments are read is a bad command line, shown as one line.
TEST(ParseTest, OutOfMemoryIsAnError) {
  struct Hungry : FlagArg {
    Hungry() : FlagArg("hungry", "") {}
    bool ExpectsParameter() override { return true; }
    bool CanAcceptParameter() override { return true; }
    bool AcceptParameter(const std::string&) override { throw std::bad_alloc(); }
  };
  SampleCommandLine parser;
  Hungry hungry;
  parser.AddPositionalArgument(&hungry);
  CoutCapture capture;
  EXPECT_FALSE(ParseAsProcess(parser, {"token"}));
  const std::string error = "Not enough memory to read the command line.";
  EXPECT_EQ(error, parser.GetErrorText());
  EXPECT_EQ(0u, capture.Text().find(error + "\n\nUsage: ")) << capture.Text();
}

TEST(DisplayTextTest, AddsOneLineEnd) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"", "\n"},
      {"one", "one\n"},
      {"two\nlines\n", "two\nlines\n\n"},
  };
  for (const auto& c : cases) {
    StandardCommandLineParser parser(true);
    CoutCapture capture;
    parser.DisplayText(c.text);
    EXPECT_EQ(c.shown, capture.Text()) << c.text;
  }
}

#ifdef _WIN32
TEST(VersionTextTest, OwnResource) {
  StandardCommandLineParser parser(true);
  EXPECT_EQ(
      "Ostra Test version 1.2.3.4\n"
      "Copyright \xA9 2026 Ostra \xAE Team (C) (R). All rights reserved.\n",
      parser.GetVersionText());
}
#else
TEST(VersionTextTest, NoResourceGivesEmptyBanner) {
  StandardCommandLineParser parser(true);
  EXPECT_EQ("", parser.GetVersionText());
  CoutCapture capture;
  EXPECT_FALSE(ParseAsProcess(parser, {"/version"}));
  EXPECT_EQ("\n", capture.Text());
}
#endif

}  // namespace
