#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

#ifndef _WIN32
// The conversion takes its code set from the environment; pin it to plain ASCII so that the
// expectations below hold whatever locale the tests are started in. Windows' ANSI code page under
// Wine is 1252.
const bool kLocalePinned = setenv("LC_ALL", "C", 1) == 0;
#endif

TEST(ConvertUtf16ToNarrow, ConvertsAndReplaces) {
  const struct {
    std::u16string units;
    std::string narrow;
  } kCases[] = {
      {u"", ""},
      {u"-burnfile C:\\x.bin", "-burnfile C:\\x.bin"},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {u"\u4E2D", "?"},
      {u"a\u4E2Db", "a?b"},
      {std::u16string{0xD800, u'x'}, "?x"},          // Unpaired high surrogate.
      {std::u16string{u'x', 0xDC00, u'y'}, "x?y"},   // Unpaired low surrogate.
      {std::u16string{0xDC00, 0xD800, u'z'}, "??z"}, // A pair in the wrong order.
      {std::u16string{u'a', 0xD800}, "a?"},          // Cut off after a high surrogate.
#ifdef _WIN32
      {u"caf\u00E9 \u20AC", "caf\xE9 \x80"},          // Code page 1252 has both.
      {u"\U0001F600!", "?\?!"},                      // Each half of a pair becomes "?".
#else
      {u"caf\u00E9", "caf?"},
      {u"\U0001F600!", "?!"},                        // A pair is one character: one "?".
#endif
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.narrow, ConvertUtf16ToNarrow(c.units.data(), c.units.size()));
}

TEST(ConvertUtf16ToNarrow, LongTextComesThroughWhole) {
  std::u16string units;
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    units += (i % 7 == 0) ? u'\u4E2D' : static_cast<char16_t>(u'a' + i % 26);
    expected += (i % 7 == 0) ? '?' : static_cast<char>('a' + i % 26);
  }
  EXPECT_EQ(expected, ConvertUtf16ToNarrow(units.data(), units.size()));
}

#ifndef _WIN32
// UTF-8 when the locale's name says UTF-8, whether or not the system has the locale; ASCII
// otherwise, whatever 8-bit or multibyte code set the locale names.
TEST(ConvertUtf16ToNarrow, FollowsTheLocalesCodeSet) {
  const struct {
    const char* lcAll;
    const char* lang;
    std::u16string units;
    std::string narrow;
  } kCases[] = {
      {"C.UTF-8", "", u"caf\u00E9 \u20AC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"C.UTF-8", "", u"\U0001F600!", "\xF0\x9F\x98\x80!"},
      {"C.UTF-8", "", std::u16string{0xD800, u'x', 0xDC00}, "?x?"},
      {"C.UTF-8", "", std::u16string(u"\uFFFF\0", 2), std::string("\xEF\xBF\xBF\0", 4)},
      {"xx_YY.utf8", "", u"\u00E9", "\xC3\xA9"},
      {"", "xx_YY.UTF-8@euro", u"\u00E9", "\xC3\xA9"},
      {"xx_YY.ISO-8859-1", "xx_YY.UTF-8", u"\u00E9", "?"},   // LC_ALL comes first.
      {"xx_YY.EUC-JP", "", u"\u4E2D", "?"},
      {"C", "", u"\U000E0041x", "?x"},                      // An invisible tag character too.
  };
  unsetenv("LC_CTYPE");
  for (const auto& c : kCases) {
    setenv("LC_ALL", c.lcAll, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(c.narrow, ConvertUtf16ToNarrow(c.units.data(), c.units.size())) << c.lcAll << c.lang;
  }
  setenv("LC_ALL", "C", 1);
}
#endif

#ifdef _WIN32
TEST(ConvertUtf16ToNarrow, RefusesCountsBeyondAnInt) {
  // The units are never read: the count is refused first.
  char16_t unit = u'a';
  EXPECT_THROW(ConvertUtf16ToNarrow(&unit, static_cast<std::size_t>(0x80000000u)), std::length_error);
}
#endif

}  // namespace
}  // namespace platform
