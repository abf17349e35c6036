#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

#ifndef _WIN32
// The conversion takes its code set from the environment once; pin it to plain ASCII so that the
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

#ifdef _WIN32
TEST(ConvertUtf16ToNarrow, RefusesCountsBeyondAnInt) {
  // The units are never read: the count is refused first.
  char16_t unit = u'a';
  EXPECT_THROW(ConvertUtf16ToNarrow(&unit, static_cast<std::size_t>(0x80000000u)), std::length_error);
}
#endif

}  // namespace
}  // namespace platform
