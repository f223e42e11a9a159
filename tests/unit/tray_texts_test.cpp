// Texts of the tray icon: the line rule, the header, balloons and tooltip.

#include "app/tray_texts.h"

#include <gtest/gtest.h>

#include <map>

#include "base/utf.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {1, u"has been started"}, {4, u"Snippets"}, {5, u"Turn On"}, {6, u"Turn Off"}, {57668, u"Chars typed"},
      {100, u"Do Not Expand in %1"}, {101, u"Expansion is off in %1"}, {102, u"Expansion is on again in %1"}};
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string() : found->second;
}

const TrayStringLookup kEnglish = English;
constexpr std::u16string_view kTitle = u"Vellix 1.38 build 56";

TEST(TrayTextsTest, AppendLine) {
  const struct {
    std::u16string_view text, part, result;
  } cases[] = {
      {u"", u"b", u"b"},
      {u"a", u"b", u"a\r\nb"},
      {u"a\n", u"b", u"a\nb"},
      {u"a\r\n", u"b", u"a\r\nb"},
      {u"a\r", u"b", u"a\r\r\nb"},
      {u"a", u"", u"a\r\n"},
  };
  for (const auto& c : cases) {
    std::u16string text(c.text);
    AppendLine(text, c.part);
    EXPECT_EQ(text, c.result) << Utf16ToUtf8(c.text);
  }
}

TEST(TrayTextsTest, HeaderAndStatisticsLine) {
  EXPECT_EQ(TrayHeader(kTitle, true, kEnglish), u"Vellix 1.38 build 56 : Turn On");
  EXPECT_EQ(TrayHeader(kTitle, false, kEnglish), u"Vellix 1.38 build 56 : Turn Off");
  EXPECT_EQ(StatisticsLine(0, kEnglish), u"Chars typed");
  EXPECT_EQ(StatisticsLine(12, kEnglish), u"Chars typed: 12");
  EXPECT_EQ(StatisticsLine(1234567, kEnglish), u"Chars typed: 1 234 567");
}

TEST(TrayTextsTest, StartBalloonLinesAndSeparators) {
  EXPECT_EQ(BalloonText(TrayBalloonKind::kStarted, true, 3, 5, u"C:\\data\\Database.xml", 1234567, kEnglish),
            u"Vellix has been started\u2026\rSnippets: 3/5\r\nC:\\data\\Database.xml\nChars typed: 1 234 567");
}

TEST(TrayTextsTest, StateBalloonNamesTheNewState) {
  EXPECT_EQ(BalloonText(TrayBalloonKind::kState, true, 1, 2, u"D.xml", 5, kEnglish),
            u"Vellix Turn On\u2026\rSnippets: 1/2\r\nD.xml\nChars typed: 5");
  EXPECT_EQ(BalloonText(TrayBalloonKind::kState, false, 0, 0, u"D.xml", 5, kEnglish),
            u"Vellix Turn Off\u2026\rSnippets: 0/0\r\nD.xml\nChars typed: 5");
}

TEST(TrayTextsTest, NoCharactersTypedYet) {
  const std::u16string balloon = BalloonText(TrayBalloonKind::kStarted, true, 3, 5, u"C:\\D.xml", 0, kEnglish);
  EXPECT_EQ(balloon.substr(balloon.rfind(u'\n') + 1), u"Chars typed");
  const std::u16string tip = TooltipText(TrayHeader(kTitle, true, kEnglish), 5, u"C:\\D.xml", 0, kEnglish);
  EXPECT_EQ(tip, u"Vellix 1.38 build 56 : Turn On\r\nSnippets: 5\r\nC:\\D.xml\r\nChars typed: 0");
}

TEST(TrayTextsTest, EmptyDatabasePath) {
  // The path line stays, empty: the balloon keeps "\r\n" before the "\n".
  EXPECT_EQ(BalloonText(TrayBalloonKind::kStarted, true, 0, 0, u"", 0, kEnglish),
            u"Vellix has been started\u2026\rSnippets: 0/0\r\n\nChars typed");
  EXPECT_EQ(TooltipText(u"H", 0, u"", 3, kEnglish), u"H\r\nSnippets: 0\r\nChars typed: 3");
  EXPECT_EQ(AddedTipText(u"H", u"", 0, kEnglish), u"H\nChars typed\r\n");
}

TEST(TrayTextsTest, TipOfTheAddedIcon) {
  EXPECT_EQ(AddedTipText(u"H", u"C:\\D.xml", 1000, kEnglish), u"H\nChars typed: 1 000\r\nC:\\D.xml");
}

TEST(TrayTextsTest, ExcludedProgramTexts) {
  // The line comes right after the header, so that a long database path cannot cut it off.
  const std::u16string tip =
      TooltipText(TrayHeader(kTitle, true, kEnglish), 5, std::u16string(200, u'p'), 0, kEnglish, u"notepad.exe");
  EXPECT_EQ(CutText(tip, kMaxTipLength).substr(0, 78),
            u"Vellix 1.38 build 56 : Turn On\r\nExpansion is off in notepad.exe\r\nSnippets: 5\r\n");
  EXPECT_EQ(DoNotExpandInText(u"winword.exe", kEnglish), u"Do Not Expand in winword.exe");
  EXPECT_EQ(ExclusionChangedText(u"a.exe", true, kEnglish), u"Expansion is off in a.exe");
  EXPECT_EQ(ExclusionChangedText(u"a.exe", false, kEnglish), u"Expansion is on again in a.exe");
}

TEST(TrayTextsTest, Cuts) {
  const std::u16string longPath(200, u'p');
  const std::u16string tip = TooltipText(TrayHeader(kTitle, true, kEnglish), 5, longPath, 0, kEnglish);
  ASSERT_GT(tip.size(), kMaxTipLength);
  EXPECT_EQ(CutText(tip, kMaxTipLength), tip.substr(0, 127));
  EXPECT_EQ(CutText(u"short", kMaxTipLength), u"short");
  EXPECT_EQ(CutText(std::u16string(300, u'x'), kMaxBalloonTextLength).size(), 255u);
  EXPECT_EQ(CutText(std::u16string(64, u'x'), kMaxBalloonTitleLength).size(), 63u);
  // A surrogate pair across the limit is dropped whole.
  const std::u16string pair = std::u16string(62, u'x') + u"\U0001F600";
  EXPECT_EQ(CutText(pair, kMaxBalloonTitleLength), std::u16string(62, u'x'));
}

}  // namespace
}  // namespace vellix
