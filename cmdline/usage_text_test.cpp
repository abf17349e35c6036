#include "cmdline/usage_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplaceAllTest, Table) {
  const struct {
    const char* subject;
    const char* search;
    const char* replacement;
    bool all;
    const char* expected;
  } cases[] = {
      {"a(c)b(c)", "(c)", "X", false, "aXb(c)"},
      {"a(c)b(c)", "(c)", "X", true, "aXbX"},
      {"(c)(c)", "(c)", "X", true, "XX"},
      {"aaaa", "aa", "b", true, "bb"},
      {"aaa", "a", "aa", true, "aaaaaa"},
      {"x(c)", "(c)", "(c)(c)", true, "x(c)(c)"},
      {"", "(c)", "X", true, ""},
      {"abc", "(c)", "X", true, "abc"},
      {"abc", "b", "", true, "ac"},
      // An empty search matches everywhere, inserted text included; the subject comes back as is.
      {"abc", "", "X", false, "abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, ReplaceAll(c.subject, c.search, c.replacement, c.all))
        << c.subject << " / " << c.search << " / " << c.replacement << " / " << c.all;
  }
}

TEST(VersionBannerTest, Table) {
  const LegalSigns cp1252{"\xA9", "\xAE"};
  const struct {
    const char* description;
    const char* version;
    const char* copyright;
    const char* expected;
  } cases[] = {
      {"Ostra", "1.0", "Copyright (c) 2026 Ostra",
       "Ostra version 1.0\nCopyright \xA9 2026 Ostra. All rights reserved.\n"},
      {"Ostra", "1.0", "(c) (c)", "Ostra version 1.0\n\xA9 \xA9. All rights reserved.\n"},
      {"Ostra", "1.0", "Ostra(r) Team (c)",
       "Ostra version 1.0\nOstra\xAE Team \xA9. All rights reserved.\n"},
      {"Ostra", "1.0", "Ostra Inc.", "Ostra version 1.0\nOstra Inc. All rights reserved.\n"},
      {"Ostra", "1.0", "(C) (R)", "Ostra version 1.0\n(C) (R). All rights reserved.\n"},
      {"Ostra", "1.0", ".", "Ostra version 1.0\n. All rights reserved.\n"},
      {"Ostra", "1.0", "", "Ostra version 1.0\n"},
      {"", "", "Ostra", " version \nOstra. All rights reserved.\n"},
      {"", "", "", " version \n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, BuildVersionBanner(c.description, c.version, c.copyright, cp1252))
        << c.copyright;
  }
}

// A code page without the signs (932, 936, 950) keeps the letters; a multi-byte one writes its own
// bytes whole.
TEST(VersionBannerTest, SignsOfOtherCodePages) {
  const struct {
    LegalSigns signs;
    const char* expected;
  } cases[] = {
      {{"(c)", "(r)"}, "O version 1\n(c) O(r) (C). All rights reserved.\n"},
      {{"\xA8\xCF", "\xA8\xDE"}, "O version 1\n\xA8\xCF O\xA8\xDE (C). All rights reserved.\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, BuildVersionBanner("O", "1", "(c) O(r) (C)", c.signs));
}

#ifdef _WIN32
TEST(VersionBannerTest, CodePage1252HasTheSigns) {
  const LegalSigns signs = GetCodePageLegalSigns();
  EXPECT_EQ("\xA9", signs.copyright);
  EXPECT_EQ("\xAE", signs.registered);
}
#endif

}  // namespace
