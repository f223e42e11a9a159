// The About dialog's rows and its Copy text.

#include "about/about_rows.h"

#include <gtest/gtest.h>

#include <map>

#include "base/utf.h"
#include "services/web_links.h"

namespace vellix {
namespace {

// The built-in English texts the rows use.
std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {34, u"Show information about command line keys"},
      {35, u"Command Line Keys"},
      {43, u"Released"},
      {44, u"Home Page"},
      {45, u"Technical Support"},
      {46, u"News RSS feed in English"},
      {47, u"News RSS feed in Russian"},
      {48, u"Facebook User`s Group"},
      {49, u"Clip: history"},
      {50, u"Clip tip"},
      {51, u"Other Our Products"},
      {52, u"Notes: notes"},
      {53, u"Notes tip"},
      {54, u"Timer: breaks"},
      {55, u"Timer tip"},
      {58, u"This is about %d pages of the Great British Encyclopedia"},
      {32784, u"Visit to official forum"},
      {57668, u"Chars typed"},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? u"?" + std::u16string(1, char16_t(u'0' + id % 10)) : found->second;
}

AboutInputs Inputs(uint32_t printedChars = 1234567, bool russian = false) {
  AboutInputs in;
  in.longTitle = u"Vellix 1.38 build 56";
  in.administrator = false;
  in.buildStamp = u"Dec 1 2026 10:00:00";
  in.legalNotice = u"Copyright (C) 2026";
  in.printedChars = printedChars;
  in.russian = russian;
  return in;
}

std::u16string S(std::u16string_view view) { return std::u16string(view); }

TEST(AboutRowsTest, RowsInOrder) {
  using K = AboutRowKind;
  const std::vector<AboutRow> expected = {
      {K::kPlain, u"Vellix 1.38 build 56 [Admin privilegies: No]", u"", u""},
      {K::kPlain, u"Released: Dec 1 2026 10:00:00", u"", u""},
      {K::kPlain, u"Copyright (C) 2026", u"", u""},
      {K::kLink, u"Command Line Keys", u"#cmd_commandlinekeys", u"Show information about command line keys"},
      {K::kHeader, u"WWW", u"", u""},
      {K::kIndentedLink, u"Home Page", S(HomePageAddress()), S(HomePageAddress())},
      {K::kIndentedLink, u"Technical Support", S(SupportAddress()), S(SupportAddress())},
      {K::kIndentedLink, u"Visit to official forum", S(ForumAddress()), S(ForumAddress())},
      {K::kIndentedLink, u"News RSS feed in English", S(NewsFeedAddress(false)), S(NewsFeedAddress(false))},
      {K::kIndentedLink, u"News RSS feed in Russian", S(NewsFeedAddress(true)), S(NewsFeedAddress(true))},
      {K::kIndentedLink, u"Facebook User`s Group", S(SocialPageAddress()), S(SocialPageAddress())},
      {K::kHeader, u"Other Our Products", u"", u""},
      {K::kIndentedLink, u"Clip: history", S(ProductPageAddress(1)), u"Clip tip"},
      {K::kIndentedLink, u"Notes: notes", S(ProductPageAddress(0)), u"Notes tip"},
      {K::kIndentedLink, u"Timer: breaks", S(ProductPageAddress(2)), u"Timer tip"},
      {K::kHeader, u"Chars typed: 1 234 567", u"", u""},
      {K::kIndentedLink, u"This is about 685 pages of the Great British Encyclopedia\u2026",
       S(EncyclopediaAddress(false)), S(EncyclopediaAddress(false))},
  };
  const std::vector<AboutRow> rows = BuildAboutRows(Inputs(), English);
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], expected[i]) << "row " << i;
}

TEST(AboutRowsTest, AdministratorFlag) {
  AboutInputs in = Inputs();
  in.administrator = true;
  EXPECT_EQ(BuildAboutRows(in, English).front().text, u"Vellix 1.38 build 56 [Admin privilegies: Yes]");
}

TEST(AboutRowsTest, TypedCharactersAndPages) {
  const struct {
    uint32_t chars;
    bool russian;
    std::u16string_view header, pages;
  } cases[] = {
      {0, false, u"Chars typed: 0", u"This is about 0 pages"},
      {999, false, u"Chars typed: 999", u"This is about 0 pages"},
      {1799, false, u"Chars typed: 1 799", u"This is about 0 pages"},
      {1800, true, u"Chars typed: 1 800", u"This is about 1 pages"},
      {3600, false, u"Chars typed: 3 600", u"This is about 2 pages"},
      {4294967295u, true, u"Chars typed: 4 294 967 295", u"This is about 2386092 pages"},
  };
  for (const auto& c : cases) {
    const std::vector<AboutRow> rows = BuildAboutRows(Inputs(c.chars, c.russian), English);
    const AboutRow& header = rows[rows.size() - 2];
    const AboutRow& pages = rows.back();
    EXPECT_EQ(header.kind, AboutRowKind::kHeader);
    EXPECT_EQ(header.text, c.header) << c.chars;
    EXPECT_EQ(pages.text.substr(0, c.pages.size()), c.pages) << c.chars;
    EXPECT_EQ(pages.target, EncyclopediaAddress(c.russian)) << c.chars;
  }
  EXPECT_NE(EncyclopediaAddress(true), EncyclopediaAddress(false));
}

TEST(AboutRowsTest, CopyText) {
  using K = AboutRowKind;
  const std::vector<AboutRow> rows = {
      {K::kPlain, u"Vellix 1.38", u"", u""},
      {K::kLink, u"Command Line Keys", u"#cmd_commandlinekeys", u"tip"},
      {K::kHeader, u"WWW", u"", u""},
      {K::kIndentedLink, u"Home Page", u"https://a/", u"https://a/"},
      {K::kHeader, u"", u"", u""},
      {K::kPlain, u"", u"", u""},
  };
  EXPECT_EQ(AboutCopyText(rows),
            u"Vellix 1.38\r\nCommand Line Keys\r\n===WWW===\r\n\tHome Page\r\n=======\r\n\r\n");
  EXPECT_EQ(AboutCopyText({}), u"");
}

TEST(AboutRowsTest, FillNumberTakesOnlyTheFirstDecimal) {
  const struct {
    std::u16string_view format, text;
  } cases[] = {
      {u"about %d pages", u"about 42 pages"},
      {u"%d", u"42"},
      {u"no number", u"no number"},
      {u"%d and %d", u"42 and %d"},
      {u"100%% %d", u"100% 42"},
      {u"%s %n %d", u"%s %n 42"},
      {u"trailing %", u"trailing %"},
  };
  for (const auto& c : cases) EXPECT_EQ(FillNumber(c.format, 42), c.text) << Utf16ToUtf8(c.format);
}

TEST(AboutRowsTest, InfoTipFitsTheBuffer) {
  const struct {
    std::u16string_view tip;
    size_t buffer;
    std::u16string_view shown;
  } cases[] = {
      {u"abcdef", 7, u"abcdef"},
      {u"abcdefg", 7, u"abcde\u2026"},
      {u"abc", 0, u""},
      {u"abc", 1, u""},
      {u"abc", 2, u"\u2026"},
      {u"abcd", 4, u"ab\u2026"},
      {u"ab\U0001F600cd", 5, u"ab\u2026"},  // the pair is not split
  };
  for (const auto& c : cases) {
    const std::u16string shown = FitInfoTip(c.tip, c.buffer);
    EXPECT_EQ(shown, c.shown) << Utf16ToUtf8(c.tip) << " in " << c.buffer;
    if (c.buffer > 0) {
      EXPECT_LT(shown.size(), c.buffer);
    }
  }
}

}  // namespace
}  // namespace vellix
