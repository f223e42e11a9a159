// Rules of the phrase details panel: the default text of a new keystroke, the caret-left
// count, the frame caption and its "not used" mark, and storing keystroke items.

#include "editor/details_texts.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/utf.h"

namespace vellix {
namespace {

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(text); }

TEST(DetailsTextsTest, DefaultKeystrokeText) {
  const struct {
    std::optional<std::u16string> clipboard;
    std::u16string_view expected;
  } cases[] = {
      {std::nullopt, u"Keystroke"},                      // no text on the clipboard
      {u"", u"Keystroke"},                               // an empty text
      {u"ab\tcd\r\nmore text", u"ab"},                   // first field of the first line
      {u"\tab\tcd\r\nmore", u"\tab\tcd"},                // a leading tab is kept, line cut only
      {u"\r\nsecond line", u"Keystroke"},                // the first line is empty
      {u"brb", u"brb"},                                  // nothing to cut
      {u"line one\nstill one\r\ntwo", u"line one\nstill one"},  // a lone LF does not end it
      {u"a b\r\n", u"a b"},
      {u"x\t", u"x"},
  };
  for (const auto& c : cases) {
    const std::u16string* clipboard = c.clipboard ? &*c.clipboard : nullptr;
    EXPECT_EQ(DefaultKeystrokeText(clipboard), c.expected) << (c.clipboard ? Narrow(*c.clipboard) : "(none)");
  }
}

TEST(DetailsTextsTest, CaretLeftCount) {
  const struct {
    std::u16string_view text;
    int32_t expected;
  } cases[] = {
      {u"12abc", 12},
      {u"abc", 0},
      {u"", 0},
      {u"0", 0},
      {u"007", 7},
      {u"100", 100},
      {u"250", 250},                    // typing may exceed the spin range
      {u"-5", 0},                       // no sign: only leading digits count
      {u" 5", 0},
      {u"2147483647", 2147483647},
      {u"2147483648", 2147483647},      // saturates instead of overflowing
      {u"99999999999999999999999", 2147483647},
      {u"\u0663", 0},                   // other scripts' digits are not decimal digits here
  };
  for (const auto& c : cases) EXPECT_EQ(CaretLeftCount(c.text), c.expected) << Narrow(c.text);
}

TEST(DetailsTextsTest, CaptionAndNotUsedMark) {
  EXPECT_EQ(DetailsCaption(u"Details", u"Hello"), u"Details - [Hello]");
  EXPECT_EQ(DetailsCaption(u"Details", u""), u"Details - []");

  const struct {
    std::u16string_view caption, marked, unmarked;
  } cases[] = {
      {u"Details - [Hi]", u"Details - [Hi] - NOT USE", u"Details - [Hi]"},
      {u"Details - [Hi] - NOT USE", u"Details - [Hi] - NOT USE", u"Details - [Hi]"},  // marked once only
      {u"Details - [Hi] - NOT USE - NOT USE", u"Details - [Hi] - NOT USE", u"Details - [Hi]"},
      // The words inside the phrase text belong to the phrase.
      {u"Details - [a - NOT USE b]", u"Details - [a - NOT USE b] - NOT USE", u"Details - [a - NOT USE b]"},
      {u"Details", u"Details - NOT USE", u"Details"},
      {u"", u" - NOT USE", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MarkNotUsed(c.caption, u"NOT USE"), c.marked) << Narrow(c.caption);
    EXPECT_EQ(UnmarkNotUsed(c.caption, u"NOT USE"), c.unmarked) << Narrow(c.caption);
  }
  // A translation of the mark is removed as it was added.
  EXPECT_EQ(UnmarkNotUsed(MarkNotUsed(u"Details - [x]", u"AUS"), u"AUS"), u"Details - [x]");
}

TEST(DetailsTextsTest, StoreKeystrokes) {
  const struct {
    const char* name;
    std::vector<KeystrokeItem> items;
    FlagMap expected;
  } cases[] = {
      {"none", {}, {}},
      {"in list order", {{u"b", true}, {u"a", false}}, {{u"a", 0}, {u"b", 1}}},
      {"equal texts, last unchecked", {{u"brb", true}, {u"brb", false}}, {{u"brb", 0}}},
      {"equal texts, last checked", {{u"brb", false}, {u"x", true}, {u"brb", true}}, {{u"brb", 1}, {u"x", 1}}},
      {"case differs", {{u"BR", true}, {u"br", false}}, {{u"BR", 1}, {u"br", 0}}},
      {"empty keystroke", {{u"", true}}, {{u"", 1}}},
  };
  for (const auto& c : cases) {
    Phrase phrase;
    phrase.Prefixes() = {{u"old", 1}, {u"b", 0}};  // replaced, not merged
    phrase.SetLeftAfter(3);
    StoreKeystrokes(c.items, phrase);
    EXPECT_EQ(phrase.Prefixes(), c.expected) << c.name;
    EXPECT_EQ(phrase.LeftAfter(), 3) << c.name;  // keystrokes only
  }
}

}  // namespace
}  // namespace vellix
