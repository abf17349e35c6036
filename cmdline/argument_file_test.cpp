#include "cmdline/argument_file.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/text_encoding.h"
#include "test_support/scoped_temp_dir.h"

namespace {

using Tokens = std::vector<std::string>;

Tokens Split(const std::string& text) {
  ArgumentFileTokens source(text);
  Tokens tokens;
  std::string token;
  while (source.Next(&token))
    tokens.push_back(token);
  return tokens;
}

// The file at `path` read as an argument file, named by its full path as the parser names it.
struct Loaded {
  explicit Loaded(const std::string& path) {
    platform::PathName full;
    platform::PathName folder;
    EXPECT_TRUE(platform::GetFullPath(path, &full, &folder)) << path;
    fullPath = full.text;
    text = "previous";
    ok = LoadArgumentFileText(fullPath, text, error);
  }
  std::string fullPath;
  std::string text;
  std::string error;
  bool ok;
};

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
    bool ok;
    std::string expected;
  } cases[] = {
      {u"", true, ""},
      {u"-note 42", true, "-note 42"},
      {std::u16string(u"a\0b", 3), true, BYTES("a\0b")},
      {std::u16string{u'a', 0xDC00}, false, ""},
#ifdef _WIN32
      // Code page 1252 has e-acute but no CJK: that is refused, never a replacement.
      {u"\u00E9", true, "\xE9"},
      {u"\u4E2D", false, ""},
#endif
  };
  for (const auto& c : cases) {
    std::string out = "previous";
    const bool ok = ConvertWideToAnsi(c.units.data(), c.units.size(), out);
    EXPECT_EQ(c.ok, ok) << Printable(c.expected);
    if (c.ok) {
      EXPECT_EQ(c.expected, out) << Printable(c.expected);
    }
  }
}

TEST(ArgumentFileTokens, Split) {
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
    EXPECT_EQ(c.expected, Split(c.text)) << Printable(c.text);
  }
}

// Each file's bytes, and the tokens they give.
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
    const Loaded file(dir.WriteFile("args.rsp", c.bytes));
    EXPECT_TRUE(file.ok) << Printable(c.bytes) << ": " << file.error;
    EXPECT_EQ(c.expected, Split(file.text)) << Printable(c.bytes);
  }
}

TEST(ArgumentFile, LoadKeepsEveryByte) {
  ScopedTempDir dir;
  const Loaded file(dir.WriteFile("args.rsp", BYTES("a\0\"b\r\nc\"\rd\ne\x80")));
  EXPECT_TRUE(file.ok) << file.error;
  EXPECT_EQ(BYTES("a\0\"b  c\" d e\x80"), file.text);
}

TEST(ArgumentFile, Utf16GivesTheSameTokensAsAnsi) {
  ScopedTempDir dir;
  const Loaded ansi(dir.WriteFile("ansi.rsp", "-input \"x y.bin\"\r\n-note 42\r\n"));
  const Loaded wide(dir.WriteFile("wide.rsp", Utf16(u"-input \"x y.bin\"\r\n-note 42\r\n")));
  EXPECT_EQ((Tokens{"-input", "x y.bin", "-note", "42"}), Split(wide.text));
  EXPECT_EQ(Split(ansi.text), Split(wide.text));
}

// The files that cannot be read, and why.
TEST(ArgumentFile, LoadMessages) {
  ScopedTempDir dir;
  const Loaded bigEndian(dir.WriteFile("big.rsp", BYTES("\xFE\xFF\0a\0 \0b")));
  EXPECT_FALSE(bigEndian.ok);
  EXPECT_EQ("File " + bigEndian.fullPath + " is in big-endian unicode format", bigEndian.error);

  const std::string path = dir.WriteFile("held.rsp", "-note 1");
  platform::ScopedFileHandle holder =
      platform::OpenFileExclusive(path, platform::FileAccess::kReadWrite);
  ASSERT_TRUE(holder.IsValid());
  const Loaded held(path);
  EXPECT_FALSE(held.ok);
  EXPECT_EQ("Failed to open file " + held.fullPath, held.error);
}

// A UTF-16 file reaches the parser exactly, or not at all: a "?" for a character the narrow
// encoding lacks would make "M?ller.dat" or "/?" (another file, the help switch) of it.
TEST(ArgumentFile, Utf16IsExactOrRefused) {
#ifndef _WIN32
  // No locale, as package scripts, cron and services run: UTF-8, the encoding of the file names.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
    unsetenv(variable);
  const std::string kMueller = "M\xC3\xBCller.dat";
#else
  const std::string kMueller = "M\xFCller.dat";
#endif
  ScopedTempDir dir;
  const Loaded exact(dir.WriteFile("exact.rsp", Utf16(u"/input M\u00FCller.dat")));
  EXPECT_EQ((Tokens{"/input", kMueller}), Split(exact.text)) << exact.error;
  // Code page 1252 lacks omega; UTF-8 has no form for a lone surrogate.
  for (const std::u16string& refused : {std::u16string(u"/\u03A9"), std::u16string{u'/', 0xD800}}) {
    if (refused[1] == u'\u03A9' && platform::NarrowEncodingName() == "UTF-8")
      continue;
    const Loaded file(dir.WriteFile("refused.rsp", Utf16(refused)));
    EXPECT_FALSE(file.ok);
    EXPECT_EQ("", file.text);
    EXPECT_EQ("File " + file.fullPath + " holds text that " + platform::NarrowEncodingName() +
                  " cannot represent.",
              file.error);
  }
#ifndef _WIN32
  setenv("LC_ALL", "de_DE.ISO-8859-1", 1);
  EXPECT_FALSE(Loaded(dir.WriteFile("latin.rsp", Utf16(u"M\u00FCller.dat"))).ok);
  unsetenv("LC_ALL");
#endif
}

}  // namespace
