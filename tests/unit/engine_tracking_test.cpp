// Starting and stopping the word tracker against a fake hook registrar, the engine's entry
// list built from a phrase collection, and the keystroke index against the plain walk.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/typing_engine.h"
#include "phrases/phrase_database.h"
#include "unit/engine_fakes.h"

namespace vellix {
namespace {

using namespace vellix::testing;

const std::string kFocus = "add:" + std::to_string(kEventObjectFocus) + "/0 ";
const std::string kForeground = "add:" + std::to_string(kEventSystemForeground) + "/0 ";
const std::string kLocation = "add:" + std::to_string(kEventObjectLocationChange) + "/0 ";
const std::string kAdds = kFocus + kForeground + "hooked? " + kLocation;

struct StartCase {
  const char* name;
  bool installKeyboard;
  bool winEventHookInstalls;
  bool keyboardRegisterSucceeds;
  bool expected;
  std::string calls;
};

class TrackingStartTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(TrackingStartTest, RegistersInOrderAndUndoesOnFailure) {
  const StartCase& c = GetParam();
  FakeDesktop desktop;
  FakeRegistrar hooks;
  hooks.winEventHookInstalls = c.winEventHookInstalls;
  hooks.keyboardRegisterSucceeds = c.keyboardRegisterSucceeds;
  TypingEngine engine(desktop, hooks);
  engine.SetInstanceHandle(0x400000);

  EXPECT_EQ(engine.StartTracking(c.installKeyboard), c.expected);
  EXPECT_EQ(hooks.calls, c.calls);
  EXPECT_EQ(engine.IsRunning(), c.expected);
  if (!c.expected) {
    EXPECT_TRUE(hooks.events.empty()) << "window events left registered";
  } else if (c.installKeyboard) {
    EXPECT_EQ(hooks.module, 0x400000u);
  }
}

const StartCase kStartCases[] = {
    {"WithKeyboard", true, true, true, true, kAdds + "module register/0 "},
    {"WithoutKeyboard", false, true, true, true, kAdds},
    {"WinEventHookMissing", true, false, true, false, kAdds + "remove "},
    {"KeyboardHookFails", true, true, false, false, kAdds + "module register/0 remove "},
};
INSTANTIATE_TEST_SUITE_P(Table, TrackingStartTest, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrackingStart, SecondStartFailsAndChangesNothing) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  ASSERT_TRUE(engine.StartTracking(true));
  hooks.calls.clear();
  EXPECT_FALSE(engine.StartTracking(true));
  EXPECT_EQ(hooks.calls, "");
  EXPECT_TRUE(engine.IsRunning());
}

TEST(TrackingStop, StopOnStoppedTrackerFails) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  EXPECT_FALSE(engine.StopTracking());
  EXPECT_EQ(hooks.calls, "");
}

TEST(TrackingStop, UnregistersAndForgetsEverything) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  ASSERT_TRUE(engine.StartTracking(true));
  engine.OnWinEvent({kEventSystemForeground, kWindowA, 0, 0, 0, 0}, 0);
  engine.OnKeyboardEvent({kWmKeyDown, u'a', 0, 0}, 0);
  hooks.calls.clear();

  EXPECT_TRUE(engine.StopTracking());
  EXPECT_EQ(hooks.calls, "unregister remove ");
  EXPECT_FALSE(engine.IsRunning());
  EXPECT_EQ(engine.RecordCount(), 0u);
  EXPECT_EQ(engine.CurrentWindow(), 0u);
  EXPECT_FALSE(hooks.keyboardRegistered);
}

TEST(TrackingStop, FailedWindowEventRemovalRegistersTheKeyboardAgain) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  ASSERT_TRUE(engine.StartTracking(true));
  engine.OnWinEvent({kEventSystemForeground, kWindowA, 0, 0, 0, 0}, 0);
  engine.OnKeyboardEvent({kWmKeyDown, u'a', 0, 0}, 0);
  hooks.winEventRemoveSucceeds = false;
  hooks.calls.clear();

  EXPECT_FALSE(engine.StopTracking());
  EXPECT_EQ(hooks.calls, "unregister remove register/0 ");
  EXPECT_TRUE(engine.IsRunning());
  EXPECT_TRUE(hooks.keyboardRegistered);
  EXPECT_EQ(engine.CurrentWord(), u"a");

  hooks.winEventRemoveSucceeds = true;
  EXPECT_TRUE(engine.StopTracking());
}

TEST(TrackingStop, WithoutKeyboardHookTouchesOnlyWindowEvents) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  ASSERT_TRUE(engine.StartTracking(false));
  hooks.winEventRemoveSucceeds = false;
  hooks.calls.clear();
  EXPECT_FALSE(engine.StopTracking());
  EXPECT_EQ(hooks.calls, "remove ");
  hooks.winEventRemoveSucceeds = true;
  hooks.calls.clear();
  EXPECT_TRUE(engine.StopTracking());
  EXPECT_EQ(hooks.calls, "remove ");
}

// --- entries built from the phrase collection

struct PhraseSpec {
  FlagMap prefixes;
  int32_t enabled = 1;
  std::u16string word = u"text";
};

struct LoadCase {
  const char* name;
  std::vector<PhraseSpec> phrases;
  size_t entryCount;
  // Words and the identifier of the phrase they find, 0 for none.
  std::vector<std::pair<std::u16string, uint32_t>> lookups;
};

const LoadCase kLoadCases[] = {
    {"DisabledPhrase", {{{{u"a", 1}}, 0}, {{{u"b", 1}}}}, 1, {{u"a", 0}, {u"b", 2}}},
    {"NoKeystrokes", {{{}}, {{{u"b", 1}}}}, 1, {{u"b", 2}}},
    {"AllKeystrokesDisabled", {{{{u"a", 0}, {u"b", 0}}}}, 0, {{u"a", 0}, {u"b", 0}}},
    {"OnlyEnabledKeystrokes", {{{{u"a", 0}, {u"b", 1}, {u"c", 1}}}}, 1,
     {{u"a", 0}, {u"b", 1}, {u"c", 1}}},
    {"CaseVariantsStayApart", {{{{u"Br", 1}, {u"br", 1}}}}, 1,
     {{u"Br", 1}, {u"br", 1}, {u"BR", 0}}},
    {"SameKeystrokeTwice", {{{{u"a", 1}}}, {{{u"a", 1}, {u"b", 1}}}}, 2, {{u"a", 1}, {u"b", 2}}},
    {"EmptyCollection", {}, 0, {{u"a", 0}, {u"stale", 0}}},
};

class LoadPhrasesTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadPhrasesTest, BuildsOneEntryPerUsablePhrase) {
  const LoadCase& c = GetParam();
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  // A previous load is replaced as a whole.
  PhraseDatabase old;
  auto stale = std::make_unique<Phrase>();
  stale->Prefixes()[u"stale"] = 1;
  old.Add(std::move(stale));
  engine.LoadPhrases(old);

  PhraseDatabase phrases;
  for (const PhraseSpec& spec : c.phrases) {
    auto phrase = std::make_unique<Phrase>();
    phrase->Prefixes() = spec.prefixes;
    phrase->SetEnabled(spec.enabled);
    phrase->SetWord(spec.word);
    phrases.Add(std::move(phrase));
  }
  EXPECT_TRUE(engine.LoadPhrases(phrases));
  EXPECT_EQ(engine.EntryCount(), c.entryCount);
  for (const auto& [word, id] : c.lookups) {
    const EngineEntry* entry = engine.FindEntry(word);
    EXPECT_EQ(entry == nullptr ? 0u : entry->lParam, id) << std::string(word.begin(), word.end());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, LoadPhrasesTest, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadPhrases, CopiesTheFieldsAndIgnoresLaterEdits) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  PhraseDatabase phrases;
  auto phrase = std::make_unique<Phrase>();
  phrase->Prefixes()[u"btw"] = 1;
  phrase->SetWord(u"by the way");
  phrase->SetCaseSensitive(1);
  phrase->SetAddOrReplace(kAppend);
  phrase->SetLeftAfter(3);
  phrase->SetId(7);
  phrases.AppendWithId(std::move(phrase));
  engine.LoadPhrases(phrases);

  phrases.At(0).SetWord(u"changed");
  phrases.At(0).Prefixes()[u"new"] = 1;
  const EngineEntry* entry = engine.FindEntry(u"btw");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text, u"by the way");
  EXPECT_EQ(entry->caseSensitive, 1);
  EXPECT_EQ(entry->addOrReplace, kAppend);
  EXPECT_EQ(entry->leftAfter, 3);
  EXPECT_EQ(entry->lParam, 7u);
  EXPECT_EQ(engine.FindEntry(u"new"), nullptr);
  EXPECT_EQ(engine.FindEntry(u"BTW"), nullptr);
}

// --- index and plain walk agree

TEST(EntryIndex, GivesThePlainWalksAnswerOnRandomData) {
  // Mixed case, and non-ASCII units whose upper-case form differs or is an ASCII letter.
  const std::u16string alphabet = u"aAbBiI\u0131sS\u017F\u00E9\u00C9\u00FF\u0178";
  std::mt19937 random(12345);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  auto randomText = [&] {
    std::u16string text;
    const size_t length = 1 + pick(3);
    for (size_t i = 0; i < length; ++i) text += alphabet[pick(alphabet.size())];
    return text;
  };

  FakeDesktop desktop;
  desktop.programs = {{kWindowA, u"Notepad.EXE"}, {kWindowB, u"word.exe"}};
  const std::u16string programs[] = {u"notepad.exe", u"WORD.EXE", u"other.exe"};
  FakeRegistrar hooks;
  for (int round = 0; round < 20; ++round) {
    TypingEngine engine(desktop, hooks);
    ASSERT_TRUE(engine.StartTracking(true));
    PhraseDatabase phrases;
    const size_t count = 1 + pick(60);
    for (size_t i = 0; i < count; ++i) {
      auto phrase = std::make_unique<Phrase>();
      const size_t keys = 1 + pick(3);
      for (size_t k = 0; k < keys; ++k) phrase->Prefixes()[randomText()] = 1;
      phrase->SetCaseSensitive(static_cast<int32_t>(pick(2)));
      // Program rules on a third of the phrases.
      phrase->SetUseWithList(static_cast<int32_t>(pick(2) == 0 ? pick(2) : 2));
      for (size_t k = pick(3); k > 0; --k) phrase->Include()[programs[pick(3)]] = pick(4) != 0;
      for (size_t k = pick(3); k > 0; --k) phrase->Exclude()[programs[pick(3)]] = pick(4) != 0;
      phrases.Add(std::move(phrase));
    }
    engine.LoadPhrases(phrases);
    size_t found = 0;
    for (int probe = 0; probe < 500; ++probe) {
      // The focus in Notepad, in Word, or in a program that cannot be known.
      const WindowHandle focus[] = {kWindowA, kWindowB, kDeadWindow};
      engine.OnWinEvent({kEventObjectLocationChange, focus[pick(3)], 0, kObjIdCaret}, 0);
      const std::u16string word = randomText();
      const EngineEntry* indexed = engine.FindEntry(word);
      EXPECT_EQ(indexed, engine.FindEntryPlain(word));
      if (indexed != nullptr) ++found;
    }
    EXPECT_GT(found, 0u) << "the probes should hit some keystrokes";
  }
}

}  // namespace
}  // namespace vellix
