#include "cmdline/argument_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cmdline/command_line_parser.h"
#include "cmdline/tool_options_for_test.h"
#include "platform/current_directory.h"
#include "platform/file.h"
#include "platform/path.h"
#include "test_support/scoped_temp_dir.h"

namespace {

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

// The tool's arguments, and unless told otherwise a collector for bare tokens. The help switch
// lacks its "h" name and there is no version switch: the walk messages expect "/h" to be
// unrecognized.
struct FileParser : CommandLineParser, ToolOptionsForTest {
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
  std::string full;
  std::size_t fileNameStart = 0;
  EXPECT_TRUE(platform::GetFullPath(path, &full, &fileNameStart)) << path;
  return full;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      const char* digits = "0123456789ABCDEF";
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return out;
}

// A literal with NUL bytes inside, all of it.
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

const std::string kUtf8Mark = "\xEF\xBB\xBF";

// The bytes of a UTF-16 little-endian file with its mark.
std::string Utf16(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(IsSeparatorChar, ExactlyFour) {
  for (int c = 0; c < 256; ++c) {
    const bool expected = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    EXPECT_EQ(expected, IsSeparatorChar(static_cast<char>(c))) << c;
  }
}

TEST(ConvertWideToAnsi, Table) {
  const struct {
    std::u16string units;
    std::string expected;
  } cases[] = {
      {u"", ""},
      {u"-burnsn 42", "-burnsn 42"},
      {std::u16string(u"a\0b", 3), BYTES("a\0b")},
#ifdef _WIN32
      // Code page 1252 has e-acute but no CJK: that comes out as the replacement.
      {u"\u00E9", "\xE9"},
      {u"\u4E2D", "?"},
#endif
  };
  for (const auto& c : cases) {
    std::string out = "previous";
    ConvertWideToAnsi(c.units.data(), c.units.size(), out);
    EXPECT_EQ(c.expected, out) << Printable(c.expected);
  }
}

TEST(ParseArgumentText, Tokens) {
  const struct {
    std::string text;
    Tokens expected;
  } cases[] = {
      {"", {}},
      {" \t\r\n  ", {}},
      {"a b", {"a", "b"}},
      {"  a\t\tb\r\nc  ", {"a", "b", "c"}},
      {"ab\"c d\"e", {"abc de"}},
      {"\"a\"\"b\"", {"ab"}},
      {"\"\"", {}},
      {"x \"\" y", {"x", "y"}},
      {"x \"a b", {"x", "a b"}},
      {"\"a\tb\"", {"a\tb"}},
      {"#comment ;x", {"#comment", ";x"}},
      {"C:\\Program\\ x\\\\y", {"C:\\Program\\", "x\\\\y"}},
      {"a\vb\fc\x80\xA0\xFF!", {"a\vb\fc\x80\xA0\xFF!"}},
      {BYTES("a\0b c"), {BYTES("a\0b"), "c"}},
  };
  for (const auto& c : cases) {
    FileParser parser;
    EXPECT_TRUE(parser.ParseArgumentText(c.text)) << Printable(c.text);
    EXPECT_EQ(c.expected, parser.collector.tokens) << Printable(c.text);
  }
}

TEST(ParseArgumentText, QuotedPathIsOneValue) {
  FileParser parser;
  EXPECT_TRUE(parser.ParseArgumentText("-burnfile \"C:\\Program Files\\x.bin\""));
  EXPECT_EQ("C:\\Program Files\\x.bin", parser.burnFile.GetValue());
}

// Each file's bytes, and the tokens (or the error) that "@file" gives.
TEST(ArgumentFile, Encodings) {
  const struct {
    std::string bytes;
    Tokens expected;
  } cases[] = {
      {"", {}},
      {"\r\n\t ", {}},
      {"a \"b\r\nc\" d\r\n", {"a", "b  c", "d"}},
      {BYTES("a\0b\r\nc"), {BYTES("a\0b"), "c"}},
      {"x", {"x"}},
      // UTF-16 little-endian after its mark, an odd last byte dropped.
      {Utf16(u"a b"), {"a", "b"}},
      {Utf16(u"ab") + "c", {"ab"}},
      {Utf16(u"a\r\n\"b\r\nc\""), {"a", "b  c"}},
      {Utf16(std::u16string(u"a\0b", 3)), {BYTES("a\0b")}},
      // A bare mark, with or without an odd byte, is empty text.
      {Utf16(u"") + "a", {}},
      {Utf16(u"") + '\0', {}},
      // One or two bytes are always narrow text, even the marks themselves.
      {"\xFF\xFE", {"\xFF\xFE"}},
      {"\xFE\xFF", {"\xFE\xFF"}},
      {"\xFF", {"\xFF"}},
      // A UTF-8 mark is not recognised: it stays in the first token.
      {kUtf8Mark + "a b", {kUtf8Mark + "a", "b"}},
  };
  ScopedTempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.WriteFile("args.rsp", c.bytes);
    FileParser parser;
    EXPECT_TRUE(parser.ParseTokens({"@" + path}))
        << Printable(c.bytes) << ": " << parser.GetErrorText();
    EXPECT_EQ("", parser.GetErrorText());
    EXPECT_EQ(c.expected, parser.collector.tokens) << Printable(c.bytes);
  }
}

TEST(ArgumentFile, LoadTextFileKeepsEveryByte) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("args.rsp", BYTES("a\0\"b\r\nc\"\rd\ne\x80"));
  FileParser parser;
  std::string text = "previous";
  EXPECT_TRUE(parser.LoadTextFile(FullPath(path), text));
  EXPECT_EQ(BYTES("a\0\"b  c\" d e\x80"), text);
}

TEST(ArgumentFile, Utf16GivesTheSameTokensAsAnsi) {
  ScopedTempDir dir;
  const std::string ansi = "-burnfile \"x y.bin\"\r\n-burnsn 42\r\n";
  const std::string wide = Utf16(u"-burnfile \"x y.bin\"\r\n-burnsn 42\r\n");
  FileParser fromAnsi;
  FileParser fromWide;
  EXPECT_TRUE(fromAnsi.ParseTokens({"@" + dir.WriteFile("ansi.rsp", ansi)}));
  EXPECT_TRUE(fromWide.ParseTokens({"@" + dir.WriteFile("wide.rsp", wide)}));
  EXPECT_EQ("x y.bin", fromWide.burnFile.GetValue());
  EXPECT_EQ(fromAnsi.burnFile.GetValue(), fromWide.burnFile.GetValue());
  EXPECT_EQ(fromAnsi.burnSn.GetValue(), fromWide.burnSn.GetValue());
}

// Each file's bytes and command-line tokens after "@file", and the message the walk ends with.
TEST(ArgumentFile, WalkMessages) {
  const struct {
    std::string bytes;
    Tokens after;
    std::string error;
  } cases[] = {
      {"-burnfile", {"x"}, "Argument 'burnfile' expects a parameter."},
      {"/burnsn 1", {"/burnsn", "2"}, "Argument 'burnsn' cannot accept another parameter: '2'."},
      {"/help", {"-HELP"}, "Argument '?' already present."},
      {"/h", {}, "Unrecognized argument '/h'."},
      {"\xEF\xBB\xBF-burnsn 1", {}, "Unrecognized argument '\xEF\xBB\xBF-burnsn'."},
      {"\xEF\xBB\xBF -burnsn 1", {}, "Unrecognized argument '\xEF\xBB\xBF'."},
      {"-burnsn 1 /x /help", {}, "Unrecognized argument '/x'."},
  };
  ScopedTempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.WriteFile("args.rsp", c.bytes);
    Tokens tokens = {"@" + path};
    tokens.insert(tokens.end(), c.after.begin(), c.after.end());
    FileParser parser(false);
    EXPECT_FALSE(parser.ParseTokens(tokens)) << Printable(c.bytes);
    EXPECT_EQ(c.error, parser.GetErrorText()) << Printable(c.bytes);
  }
}

TEST(ArgumentFile, BigEndianIsRefused) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("big.rsp", BYTES("\xFE\xFF\0a\0 \0b"));
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + path}));
  EXPECT_EQ("File " + FullPath(path) + " is in big-endian unicode format", parser.GetErrorText());
  EXPECT_TRUE(parser.collector.tokens.empty());
}

TEST(ArgumentFile, NotFoundNamesTheFileAsWritten) {
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

TEST(ArgumentFile, HeldOpenByAnotherFails) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("held.rsp", "-burnsn 1");
  platform::ScopedFileHandle holder =
      platform::OpenFileExclusive(path, platform::FileAccess::kReadWrite);
  ASSERT_TRUE(holder.IsValid());
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + path}));
  EXPECT_EQ("Failed to open file " + FullPath(path), parser.GetErrorText());
  EXPECT_EQ("", parser.burnSn.GetValue());
}

// The nested names resolve against the naming file's folder; values stay as written.
TEST(ArgumentFile, NestedNamesAreRelativeToTheirFile) {
  ScopedTempDir dir;
  dir.WriteFile("work/outer.rsp", "@sub/inner.rsp \"@my files/spaced one.rsp\"");
  dir.WriteFile("work/sub/inner.rsp", "-burnfile rel/x.bin @../last.rsp");
  dir.WriteFile("work/my files/spaced one.rsp", "@\"two words.rsp\" a");
  dir.WriteFile("work/my files/two words.rsp", "b");
  dir.WriteFile("work/last.rsp", "-burnsn 42");

  const std::string before = platform::GetCurrentDirectoryPath();
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@" + dir.PathOf("work/outer.rsp"), "c"}))
      << parser.GetErrorText();
  EXPECT_EQ("rel/x.bin", parser.burnFile.GetValue());
  EXPECT_EQ("42", parser.burnSn.GetValue());
  EXPECT_EQ((Tokens{"b", "a", "c"}), parser.collector.tokens);
  EXPECT_EQ(before, platform::GetCurrentDirectoryPath());
}

TEST(ArgumentFile, RelativeNameFromTheCurrentDirectory) {
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

TEST(ArgumentFile, CurrentDirectoryRestoredAfterFailure) {
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

TEST(ArgumentFile, ReuseOneAfterAnotherIsAllowed) {
  ScopedTempDir dir;
  dir.WriteFile("leaf.rsp", "x");
  dir.WriteFile("twice.rsp", "@leaf.rsp @leaf.rsp");
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@" + dir.PathOf("twice.rsp"), "@" + dir.PathOf("twice.rsp")}))
      << parser.GetErrorText();
  EXPECT_EQ((Tokens{"x", "x", "x", "x"}), parser.collector.tokens);
}

TEST(ArgumentFile, CyclesEndTheWalk) {
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
TEST(ArgumentFile, CyclesAreFoundByFileIdentity) {
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

TEST(ArgumentFile, DepthIsLimited) {
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

TEST(ArgumentFile, FilesPerWalkAreLimited) {
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

TEST(ArgumentFile, DoublingChainIsLimited) {
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
TEST(ArgumentFile, RequiredCheckRunsOnceAtTheEnd) {
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
TEST(ArgumentFile, ExceptionUnwindsCleanly) {
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
TEST(ArgumentFile, CyclesIgnoreLetterCaseOnWindows) {
  ScopedTempDir dir;
  const std::string path = dir.WriteFile("self.rsp", "@SELF.RSP");
  FileParser parser;
  EXPECT_FALSE(parser.ParseTokens({"@" + path}));
  EXPECT_EQ("File " + FullPath(dir.PathOf("SELF.RSP")) + " includes itself", parser.GetErrorText());
}

TEST(ArgumentFile, Utf16ArrivesInTheAnsiCodePage) {
  ScopedTempDir dir;
  // U+00E9 is 0xE9 in code page 1252, the code page here; U+4E2D is missing from it.
  const std::string path = dir.WriteFile("wide.rsp", Utf16(u"\u00E9 \u4E2D"));
  FileParser parser;
  EXPECT_TRUE(parser.ParseTokens({"@" + path}));
  EXPECT_EQ((Tokens{"\xE9", "?"}), parser.collector.tokens);
}

TEST(ArgumentFile, FullPathBeyond260IsRefused) {
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
