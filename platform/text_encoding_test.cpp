#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

#ifndef _WIN32
// The conversion takes its code set from the environment; pin it to the C locale (UTF-8 here) so
// that the expectations below hold whatever locale the tests are started in. Windows' ANSI code
// page under Wine is 1252.
const bool kLocalePinned = setenv("LC_ALL", "C", 1) == 0;
#endif

// What the exact conversion gives, or kRefused, and what display text shows.
const char kRefused[] = "(refused)";

std::string Exactly(const std::u16string& units) {
  std::string out;
  return ConvertUtf16ToNarrowExactly(units.data(), units.size(), &out) ? out : kRefused;
}

// A character the encoding lacks, or an unpaired surrogate, is refused, never replaced: "?" or a
// look-alike would name another file, value or option.
TEST(ConvertUtf16ToNarrow, ExactOrRefused) {
  const struct {
    std::u16string units;
    std::string exact;
    std::string display;
  } kCases[] = {
      {u"", "", ""},
      {u"-burnfile C:\\x.bin", "-burnfile C:\\x.bin", "-burnfile C:\\x.bin"},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
      {std::u16string{0xD800, u'x'}, kRefused, "?x"},          // Unpaired high surrogate.
      {std::u16string{u'x', 0xDC00, u'y'}, kRefused, "x?y"},   // Unpaired low surrogate.
      {std::u16string{0xDC00, 0xD800, u'z'}, kRefused, "??z"}, // A pair in the wrong order.
      {std::u16string{u'a', 0xD800}, kRefused, "a?"},          // Cut off after a high surrogate.
#ifdef _WIN32
      {u"M\u00FCller.dat \u20AC", "M\xFCller.dat \x80", "M\xFCller.dat \x80"},  // 1252 has both.
      {u"SN-\u03A9-2026", kRefused, "SN-?-2026"},
      {u"\uFF02\u2212\u3000\u03B1", kRefused, "????"},  // Best fit would give `"- a`.
      {u"\u4E2D", kRefused, "?"},
#else
      {u"M\u00FCller.dat", "M\xC3\xBCller.dat", "M\xC3\xBCller.dat"},
      {u"SN-\u03A9 \U0001F600", "SN-\xCE\xA9 \xF0\x9F\x98\x80", "SN-\xCE\xA9 \xF0\x9F\x98\x80"},
#endif
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.exact, Exactly(c.units)) << c.display;
    EXPECT_EQ(c.display, ConvertUtf16ToNarrow(c.units.data(), c.units.size()));
  }
}

TEST(ConvertUtf16ToNarrow, LongTextComesThroughWhole) {
  std::u16string units;
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    units += (i % 7 == 0) ? u'\u00E9' : static_cast<char16_t>(u'a' + i % 26);
#ifdef _WIN32
    expected += (i % 7 == 0) ? std::string("\xE9") : std::string(1, 'a' + i % 26);
#else
    expected += (i % 7 == 0) ? std::string("\xC3\xA9") : std::string(1, 'a' + i % 26);
#endif
  }
  EXPECT_EQ(expected, Exactly(units));
}

#ifndef _WIN32
// UTF-8 with no locale, the C or POSIX one, or one whose name says UTF-8, whether or not the
// system has it; ASCII under any other, whatever 8-bit or multibyte code set it names.
TEST(ConvertUtf16ToNarrow, FollowsTheLocale) {
  const struct {
    const char* lcAll;
    const char* lcCtype;
    const char* lang;
    std::u16string units;
    std::string exact;
    const char* encoding;
  } kCases[] = {
      {nullptr, nullptr, nullptr, u"M\u00FCller", "M\xC3\xBCller", "UTF-8"},
      {"POSIX", nullptr, nullptr, u"/\u00E9", "/\xC3\xA9", "UTF-8"},
      {"C.UTF-8", nullptr, nullptr, u"\U0001F600!", "\xF0\x9F\x98\x80!", "UTF-8"},
      {"C.UTF-8", nullptr, nullptr, std::u16string(u"\uFFFF\0", 2),
       std::string("\xEF\xBF\xBF\0", 4), "UTF-8"},
      {nullptr, "xx_YY.utf8", nullptr, u"\u00E9", "\xC3\xA9", "UTF-8"},
      {"", nullptr, "xx_YY.UTF-8@euro", u"\u00E9", "\xC3\xA9", "UTF-8"},
      {"de_DE.ISO-8859-1", nullptr, nullptr, u"M\u00FCller.dat", kRefused, "ASCII"},
      {"xx_YY.ISO-8859-1", nullptr, "xx_YY.UTF-8", u"\u00E9", kRefused, "ASCII"},  // LC_ALL first.
      {nullptr, "en_US", "C.UTF-8", u"\u00E9", kRefused, "ASCII"},  // Then LC_CTYPE.
      {"C.ASCII", nullptr, nullptr, u"\U000E0041x", kRefused, "ASCII"},  // A tag character too.
  };
  const auto put = [](const char* variable, const char* value) {
    value != nullptr ? setenv(variable, value, 1) : unsetenv(variable);
  };
  for (const auto& c : kCases) {
    put("LC_ALL", c.lcAll);
    put("LC_CTYPE", c.lcCtype);
    put("LANG", c.lang);
    EXPECT_EQ(c.exact, Exactly(c.units)) << (c.lcAll ? c.lcAll : "-") << (c.lang ? c.lang : "-");
    EXPECT_EQ(c.encoding, NarrowEncodingName());
  }
  setenv("LC_ALL", "C", 1);
}
#endif

#ifdef _WIN32
TEST(ConvertUtf16ToNarrow, RefusesCountsBeyondAnInt) {
  // The units are never read: the count is refused first.
  char16_t unit = u'a';
  std::string out;
  EXPECT_THROW(ConvertUtf16ToNarrowExactly(&unit, static_cast<std::size_t>(0x80000000u), &out),
               std::length_error);
  EXPECT_EQ("code page 1252", NarrowEncodingName());
}
#endif

}  // namespace
}  // namespace platform
