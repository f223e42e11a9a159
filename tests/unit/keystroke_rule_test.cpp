// Which keystrokes can ever fire, checked against the engine itself: a keystroke can fire
// exactly when typing its characters one key each leaves it as the word.

#include "engine/keystroke_rule.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/utf.h"
#include "engine/typing_engine.h"
#include "unit/engine_fakes.h"

namespace vellix {
namespace {

using namespace vellix::testing;

// The word the engine holds after each character of text was typed as one key.
std::u16string WordAfterTyping(std::u16string_view text) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  for (size_t i = 0; i < text.size(); ++i) engine.OnKeyText(text.substr(i, 1), kWindowA);
  return engine.CurrentWord();
}

TEST(KeystrokeRule, SeparatorsAndFullStopsAfterOtherCharacters) {
  const struct {
    std::u16string keystroke;
    bool fires;
  } cases[] = {
      {u"btw", true},       {u"x", true},           {u"\U0001F600s", true}, {u";-)", true},
      {u"ab-cd", true},     {u"..", true},          {u".sig", true},        {u"...x", true},
      {u"", false},         {u"by the", false},     {u"a,b", false},        {u"#1", false},
      {u"why?", false},     {u"\"q", false},        {u"it's", false},       {u"a\rb", false},
      {u"a\nb", false},     {u"a\tb", false},       {u"a=b", false},        {u"and/or", false},
      {u"C:\\", false},     {u" lead", false},      {u"trail ", false},     {u"e.g", false},
      {u"sig.", false},     {u".a.", false},        {u"x..", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeystrokeCanFire(c.keystroke), c.fires) << Utf16ToUtf8(c.keystroke);
    EXPECT_EQ(!c.keystroke.empty() && WordAfterTyping(c.keystroke) == c.keystroke, c.fires)
        << Utf16ToUtf8(c.keystroke);
  }
}

// Random keystrokes over letters, full stops and every separator character, with a fixed
// seed: the rule and the engine agree on each.
TEST(KeystrokeRule, AgreesWithTheEngineOnRandomKeystrokes) {
  const std::u16string alphabet = u"ab.,#?\"'\r\n\t=/\\ ;-";
  std::mt19937 random(20261205);
  for (int round = 0; round < 3000; ++round) {
    std::u16string keystroke;
    const int length = 1 + int(random() % 6);
    for (int i = 0; i < length; ++i) keystroke += alphabet[random() % alphabet.size()];
    ASSERT_EQ(KeystrokeCanFire(keystroke), WordAfterTyping(keystroke) == keystroke) << Utf16ToUtf8(keystroke);
  }
}

}  // namespace
}  // namespace vellix
