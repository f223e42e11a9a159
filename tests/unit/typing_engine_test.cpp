// The engine core driven by sequences of key and window events. Each case lists the events
// and what must come out: the word, its window, the pending insertion, lastWord and the
// trace of everything the engine told the world, in order:
//   nC   notify callback with code C (0 WindowEvent ... 4 WordCleared)
//   S C  insertion started / cancelled (InsertionSignals)
//   pC:word/id  print callback with code C, the word and the entry's lParam
// A Mark step empties the trace, so that a case checks only what follows it.

#include "engine/typing_engine.h"

// The case tables name only the fields that matter for each case.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
// GCC 12 gives false alarms at -O2 on the constant case table (maybe uninitialized) and
// on the trace strings built by concatenation (restrict).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "phrases/phrase_database.h"
#include "unit/engine_fakes.h"

namespace vellix {
namespace {

using namespace vellix::testing;

struct EntrySpec {
  std::vector<std::u16string> keystrokes;
  std::u16string text;
  int32_t caseSensitive = 0;
  int32_t addOrReplace = kReplace;
  int32_t leftAfter = 0;
};

enum class Op {
  Keys,         // each unit of text typed as one physical key
  Key,          // one key event: vk, flags, message
  Tap,          // a key pressed and released: vk, flags
  Win,          // one window event
  Kill,         // window stops existing
  Modifiers,    // the modifiers held for the following keys (vk holds the bits)
  Mouse,        // a mouse button pressed
  Refuse,       // the print callback refuses (flag)
  NoCallback,   // no print callback registered
  WorkerTyped,  // a worker cycle that typed: injected records of pending fed back, then the
                // user's keys that were held back meanwhile (text) replayed
  WorkerCancelled,  // a worker cycle that was cancelled: EndPrint only
  Undo,         // the hook held back a Backspace right after an expansion
  Mark,
};

struct Step {
  Op op;
  std::u16string text;
  uint32_t vk = 0;
  uint32_t flags = 0;
  uint32_t message = kWmKeyDown;
  WinEventInfo event;
  WindowHandle window = 0;
  bool flag = false;
};

Step Type(std::u16string text) { return {.op = Op::Keys, .text = std::move(text)}; }
Step Key(uint32_t vk, uint32_t flags = 0, uint32_t message = kWmKeyDown) {
  return {.op = Op::Key, .vk = vk, .flags = flags, .message = message};
}
// A press and its release.
Step Tap(uint32_t vk, uint32_t flags = 0) { return {.op = Op::Tap, .vk = vk, .flags = flags}; }
Step Back() { return Key(kVkBack); }
Step Win(uint32_t event, WindowHandle window, int32_t objectId) {
  return {.op = Op::Win, .event = {.event = event, .window = window, .objectId = objectId}};
}
Step Foreground(WindowHandle w) { return Win(kEventSystemForeground, w, kObjIdWindow); }
Step Focus(WindowHandle w, int32_t objectId = kObjIdWindow) {
  return Win(kEventObjectFocus, w, objectId);
}
Step Caret(WindowHandle w) { return Win(kEventObjectLocationChange, w, kObjIdCaret); }
Step Kill(WindowHandle w) { return {.op = Op::Kill, .window = w}; }
Step Hold(uint32_t modifiers) { return {.op = Op::Modifiers, .vk = modifiers}; }
Step Control(bool on) { return Hold(on ? uint32_t{kModLeftControl} : 0u); }
Step Click() { return {.op = Op::Mouse}; }
Step Refuse(bool on) { return {.op = Op::Refuse, .flag = on}; }
Step NoCallback() { return {.op = Op::NoCallback}; }
// The user's keys typed while the worker types go in text; they reach the engine after it.
Step WorkerTyped(std::u16string userKeys = u"") {
  return {.op = Op::WorkerTyped, .text = std::move(userKeys)};
}
Step WorkerCancelled() { return {.op = Op::WorkerCancelled}; }
Step Undo() { return {.op = Op::Undo}; }
Step Mark() { return {.op = Op::Mark}; }

struct PendingSpec {
  std::u16string text;
  WindowHandle window = 0;
  int32_t eraseCount = 0;
  int32_t leftAfter = 0;
  uint32_t lParam = 0;
  bool immediate = false;
  int32_t rightBefore = 0;
  bool undo = false;
};

struct EngineCase {
  const char* name;
  std::vector<EntrySpec> entries;  // empty: btw -> "by the way", replace, any case
  std::vector<Step> steps;
  std::u16string word;
  WindowHandle wordWindow = 0;
  size_t records = 0;
  std::optional<std::string> trace;  // not checked when absent
  PendingSpec pending;  // all empty: nothing was ever scheduled
  std::u16string lastWord;
  ExpansionOptions options;
};

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; *text != 0; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
  return out;
}

class EngineHarness {
 public:
  FakeDesktop desktop;
  FakeRegistrar hooks;
  std::string trace;
  FakeSignals signals{trace};
  TypingEngine engine{desktop, hooks};
  PhraseDatabase phrases;
  bool refuse = false;
  uint32_t modifiers = 0;

  explicit EngineHarness(const std::vector<EntrySpec>& entries,
                         const ExpansionOptions& options = {}) {
    engine.SetOptions(options);
    for (const EntrySpec& spec : entries) {
      auto phrase = std::make_unique<Phrase>();
      phrase->SetWord(spec.text);
      for (const auto& keystroke : spec.keystrokes) phrase->Prefixes()[keystroke] = 1;
      phrase->SetCaseSensitive(spec.caseSensitive);
      phrase->SetAddOrReplace(spec.addOrReplace);
      phrase->SetLeftAfter(spec.leftAfter);
      phrases.Add(std::move(phrase));
    }
    engine.LoadPhrases(phrases);
    engine.SetInsertionSignals(&signals);
    engine.SetPrintCallback(&EngineHarness::OnPrint, this);
    engine.SetNotifyCallback(&EngineHarness::OnNotify, this);
    EXPECT_TRUE(engine.StartTracking(true));
  }

  static int32_t OnPrint(int32_t code, const EngineEntry* entry, const char16_t* word,
                         void* context) {
    auto* self = static_cast<EngineHarness*>(context);
    self->trace += "p" + std::to_string(code) + ":" + Narrow(word) + "/" +
                   std::to_string(entry->lParam) + " ";
    return code == TAC_IS_ALLOW_PRINT_WORD && self->refuse ? 1 : 0;
  }

  static int32_t OnNotify(int32_t code, const EngineEntry* entry, void* context) {
    auto* self = static_cast<EngineHarness*>(context);
    self->trace += "n" + std::to_string(code) + " ";
    // The scratch record carries nothing.
    EXPECT_TRUE(entry->keystrokes.empty() && entry->text.empty() && entry->lParam == 0);
    return 0;
  }

  void Press(uint32_t vk, uint32_t flags = 0, uint32_t scanCode = 0) {
    engine.OnKeyboardEvent({kWmKeyDown, vk, scanCode, flags, modifiers}, 0);
    engine.OnKeyboardEvent({kWmKeyUp, vk, scanCode, flags, modifiers}, 0);
  }

  // What the synthetic typing sends for the pending insertion, all of it marked injected.
  void FeedInjectedRecords() {
    const PendingInsertion pending = engine.Pending();
    for (int32_t i = 0; i < pending.eraseCount; ++i) Press(kVkBack, kLlkhfInjected);
    for (char16_t unit : pending.text) Press(kVkPacket, kLlkhfInjected, unit);
    for (int32_t i = 0; i < pending.leftAfter; ++i) Press(kVkLeftArrow, kLlkhfInjected);
  }

  void Run(const Step& step) {
    switch (step.op) {
      case Op::Keys:
        for (char16_t unit : step.text) Press(CharKey(unit));
        break;
      case Op::Key:
        engine.OnKeyboardEvent({step.message, step.vk, 0, step.flags, modifiers}, 0);
        break;
      case Op::Tap:
        Press(step.vk, step.flags);
        break;
      case Op::Mouse:
        engine.OnMouseButton({kWmLButtonDown}, 0);
        break;
      case Op::Win:
        engine.OnWinEvent(step.event, 0);
        break;
      case Op::Kill:
        desktop.windows.erase(step.window);
        break;
      case Op::Modifiers:
        modifiers = step.vk;
        break;
      case Op::Refuse:
        refuse = step.flag;
        break;
      case Op::NoCallback:
        engine.SetPrintCallback(nullptr, nullptr);
        break;
      case Op::WorkerTyped:
        FeedInjectedRecords();
        engine.OnInsertionTyped();
        for (char16_t unit : step.text) Press(CharKey(unit));
        engine.RaiseEndPrint();
        break;
      case Op::WorkerCancelled:
        engine.RaiseEndPrint();
        break;
      case Op::Undo:
        engine.OnKeyboardEvent({kWmKeyDown, kVkBack, 0, kUndoRequestFlag, modifiers}, 0);
        break;
      case Op::Mark:
        trace.clear();
        break;
    }
  }
};

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

const std::vector<EntrySpec> kBtw = {{{u"btw"}, u"by the way"}};
const PendingSpec kBtwPending = {u"by the way", kWindowA, 3, 0, 1};
// btw, sig (two Left presses after a line break), hel (append) and a case-sensitive Ok.
const std::vector<EntrySpec> kMixed = {{{u"btw"}, u"by the way"},
                                       {{u"sig"}, u"Best,\r\nme", 0, kReplace, 2},
                                       {{u"hel"}, u"hello world", 0, kAppend},
                                       {{u"ok"}, u"okay", 1}};
constexpr ExpansionOptions kWordEnd{.expandOnWordEnd = true};
constexpr ExpansionOptions kUndo{.undoWithBackspace = true};
constexpr ExpansionOptions kCase{.caseFollowsKeystroke = true};
constexpr ExpansionOptions kAll{true, true, true};

const EngineCase kCases[] = {
    {.name = "keystroke typed in replace mode is scheduled",
     .steps = {Foreground(kWindowA), Type(u"btw")},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "append mode types the rest of the phrase and erases nothing",
     .entries = {{{u"hel"}, u"hello world", 1, kAppend}},
     .steps = {Foreground(kWindowA), Type(u"hel")},
     .word = u"hel", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C p0:hel/1 n3 S",
     .pending = {u"lo world", kWindowA, 0, 0, 1}, .lastWord = u"hel"},
    {.name = "append mode with a phrase shorter than the word types nothing",
     .entries = {{{u"hello"}, u"hi", 1, kAppend}},
     .steps = {Foreground(kWindowA), Type(u"hello"), Mark()},
     .word = u"hello", .wordWindow = kWindowA, .records = 1,
     .pending = {u"", kWindowA, 0, 0, 1}, .lastWord = u"hello"},
    {.name = "upper-case keystroke matches a lower-case word when case does not matter",
     .entries = {{{u"BTW"}, u"by the way", 0}},
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "upper-case keystroke does not match when case matters",
     .entries = {{{u"BTW"}, u"by the way", 1}},
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1},
    {.name = "case folding maps each unit alone, also beyond ASCII",
     .entries = {{{u"\u00C9T\u00C9"}, u"summer", 0}},
     .steps = {Foreground(kWindowA), Type(u"\u00E9t\u00E9"), Mark()},
     .word = u"\u00E9t\u00E9", .wordWindow = kWindowA, .records = 1,
     .pending = {u"summer", kWindowA, 3, 0, 1}, .lastWord = u"\u00E9t\u00E9"},
    {.name = "the earlier of two entries with the same keystroke wins",
     .entries = {{{u"btw"}, u"first"}, {{u"btw"}, u"second"}},
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .pending = {u"first", kWindowA, 3, 0, 1}, .lastWord = u"btw"},
    {.name = "a keystroke never matches the end of a longer word",
     .steps = {Foreground(kWindowA), Type(u"xbtw"), Mark()},
     .word = u"xbtw", .wordWindow = kWindowA, .records = 1},
    {.name = "a letter after the keystroke cancels and matches nothing",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Type(u"x")},
     .word = u"btwx", .wordWindow = kWindowA, .records = 1, .trace = "n1 C",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a space after the keystroke empties the word and cancels",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Type(u" ")},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n1 C",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a full stop starts a new word that begins with it",
     .steps = {Foreground(kWindowA), Type(u"a.b")},
     .word = u".b", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C"},
    {.name = "consecutive full stops accumulate",
     .steps = {Foreground(kWindowA), Type(u"x...")},
     .word = u"...", .wordWindow = kWindowA, .records = 1, .trace = "n0 C n1 C n1 C n1 C n1 C"},
    {.name = "a comma ends the word",
     .steps = {Foreground(kWindowA), Type(u"a,b")},
     .word = u"b", .wordWindow = kWindowA, .records = 1, .trace = "n0 C n1 C n1 C n1 C"},
    {.name = "a separator creates no record",
     .steps = {Foreground(kWindowA), Type(u" ")},
     .word = u"", .wordWindow = kWindowA, .records = 0, .trace = "n0 C n1 C"},
    {.name = "CR LF from one key is a separator; a semicolon is a word unit",
     .steps = {Foreground(kWindowA), Type(u"ab"), Key(kVkCrLf), Type(u";")},
     .word = u";", .wordWindow = kWindowA, .records = 1},
    {.name = "a key producing several units appends all of them",
     .steps = {Foreground(kWindowA), Type(u"x"), Key(kVkTwoUnits)},
     .word = u"xab", .wordWindow = kWindowA, .records = 1},
    {.name = "Backspace with an empty word raises nothing",
     .steps = {Foreground(kWindowA), Type(u"a"), Back(), Mark(), Back()},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = ""},
    {.name = "Backspace removes the last unit",
     .steps = {Foreground(kWindowA), Type(u"abc"), Mark(), Back()},
     .word = u"ab", .wordWindow = kWindowA, .records = 1, .trace = "n1 C"},
    {.name = "Backspace removes a surrogate pair as one character",
     .steps = {Foreground(kWindowA), Type(u"a"), Key(kVkSmiley), Mark(), Back()},
     .word = u"a", .wordWindow = kWindowA, .records = 1, .trace = "n1 C"},
    {.name = "Ctrl+Backspace ends the word: it erases a whole word in most editors",
     .steps = {Foreground(kWindowA), Type(u"abc"), Control(true), Back(), Control(false)},
     .word = u"", .wordWindow = kWindowA, .records = 1},
    {.name = "a surrogate pair counts as one Backspace to erase",
     .entries = {{{u"\U0001F600x"}, u"smile"}},
     .steps = {Foreground(kWindowA), Key(kVkSmiley), Type(u"x"), Mark()},
     .word = u"\U0001F600x", .wordWindow = kWindowA, .records = 1,
     .pending = {u"smile", kWindowA, 2, 0, 1}, .lastWord = u"\U0001F600x"},
    {.name = "a key in another window starts that window's word and drops the old one",
     .steps = {Foreground(kWindowA), Type(u"ab"), Foreground(kWindowB), Type(u"c")},
     .word = u"c", .wordWindow = kWindowB, .records = 1},
    {.name = "a key typed into a window that is already gone leaves no record",
     .steps = {Foreground(kWindowA), Type(u"ab"), Caret(kDeadWindow), Type(u"c")},
     .word = u"", .wordWindow = kDeadWindow, .records = 0},
    {.name = "switching windows and back keeps the word",
     .steps = {Foreground(kWindowA), Type(u"ab"), Foreground(kWindowB), Foreground(kWindowA),
               Type(u"c")},
     .word = u"abc", .wordWindow = kWindowA, .records = 1},
    {.name = "a separator typed in another window leaves the word alone",
     .steps = {Foreground(kWindowA), Type(u"ab"), Foreground(kWindowB), Type(u" ")},
     .word = u"ab", .wordWindow = kWindowA, .records = 1},
    {.name = "Backspace in another window empties the word and raises WordCleared",
     .steps = {Foreground(kWindowA), Type(u"ab"), Foreground(kWindowB), Mark(), Back()},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n4"},
    {.name = "switching windows while an insertion waits cancels it; coming back resumes",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Foreground(kWindowB), WorkerCancelled(),
               Foreground(kWindowA)},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n0 C n2 n0 p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a caret move matches again and overwrites pending with the same values",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Caret(kWindowA)},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n0 p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "an arrow key ends the word: bt, Left, w is the word w",
     .steps = {Foreground(kWindowA), Type(u"bt"), Key(kVkLeftArrow), Type(u"w"), Mark()},
     .word = u"w", .wordWindow = kWindowA, .records = 1},
    {.name = "caret and editing keys end the word and cancel a waiting insertion",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Key(kVkHomeKey), Type(u"btw"),
               Key(kVkDeleteKey), Type(u"btw"), Key(kVkEscapeKey)},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .trace = "n1 C n1 C n1 C n1 C p0:btw/1 n3 S n1 C n1 C n1 C n1 C p0:btw/1 n3 S n1 C",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a key without a character ends the word",
     .steps = {Foreground(kWindowA), Type(u"bt"), Tap(kVkF24), Type(u"w")},
     .word = u"w", .wordWindow = kWindowA, .records = 1},
    {.name = "keys typed while a key without a character is held end the word",
     .steps = {Foreground(kWindowA), Type(u"a"), Key(kVkF24), Type(u"qb"),
               Key(kVkF24, 0, kWmKeyUp), Type(u"tw"), Mark()},
     .word = u"tw", .wordWindow = kWindowA, .records = 1},
    {.name = "a key that yields a control character ends the word",
     .steps = {Foreground(kWindowA), Type(u"bt"), Key(kVkControlChar), Type(u"w")},
     .word = u"w", .wordWindow = kWindowA, .records = 1},
    {.name = "a mouse click ends the word and cancels a waiting insertion",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Click(), Type(u"w")},
     .word = u"w", .wordWindow = kWindowA, .records = 1, .trace = "n1 C n1 C",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "Ctrl+B ends the word and cancels",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Control(true), Key(CharKey(u'b')),
               Control(false)},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n1 C",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "Alt+B and Win+B end the word; key releases are ignored",
     .steps = {Foreground(kWindowA), Type(u"bt"), Mark(), Key(CharKey(u'b'), kLlkhfAltDown),
               Type(u"x"), Key(CharKey(u'b'), 0, kWmSysKeyDown), Type(u"y"),
               Hold(kModRightWin), Key(CharKey(u'b')), Hold(0), Type(u"z"),
               Key(CharKey(u'b'), 0, kWmSysKeyUp), Key(CharKey(u'b'), 0, kWmKeyUp)},
     .word = u"z", .wordWindow = kWindowA, .records = 1,
     .trace = "n1 C n1 C n1 C n1 C n1 C n1 C"},
    {.name = "AltGr types its character into the word",
     .entries = {{{u"a@b"}, u"mail"}},
     .steps = {Foreground(kWindowA), Type(u"a"), Hold(kModLeftControl | kModRightAlt),
               Key(CharKey(u'q'), kLlkhfAltDown), Hold(0), Type(u"b"), Mark()},
     .word = u"a@b", .wordWindow = kWindowA, .records = 1,
     .pending = {u"mail", kWindowA, 3, 0, 1}, .lastWord = u"a@b"},
    {.name = "Ctrl+Alt with a key that has no AltGr character ends the word",
     .steps = {Foreground(kWindowA), Type(u"bt"), Hold(kModLeftControl | kModLeftAlt),
               Tap(CharKey(u'x'), kLlkhfAltDown), Hold(0), Type(u"w")},
     .word = u"w", .wordWindow = kWindowA, .records = 1},
    {.name = "Shift+B appends a capital letter",
     .steps = {Foreground(kWindowA), Type(u"bt"), Key(kVkShiftKey), Key(CharKey(u'B'))},
     .word = u"btB", .wordWindow = kWindowA, .records = 1},
    {.name = "modifier keys alone leave the word",
     .steps = {Foreground(kWindowA), Type(u"bt"), Key(kVkCtrlKey), Key(0xA5, kLlkhfAltDown),
               Key(0x5B), Key(0x14), Key(0x90), Type(u"w"), Mark()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a dead key and a letter give the composed character",
     .entries = {{{u"t\u00EAte"}, u"head"}},
     .steps = {Foreground(kWindowA), Type(u"t"), Key(kVkDeadCircumflex), Type(u"ete"), Mark()},
     .word = u"t\u00EAte", .wordWindow = kWindowA, .records = 1,
     .pending = {u"head", kWindowA, 4, 0, 1}, .lastWord = u"t\u00EAte"},
    {.name = "a dead key before a letter it does not compose with gives both",
     .steps = {Foreground(kWindowA), Type(u"a"), Key(kVkDeadCircumflex), Type(u"x"),
               Key(kVkDeadCircumflex), Key(kVkDeadCircumflex), Key(kVkDeadCircumflex),
               Type(u" ")},
     .word = u"a^x^^^", .wordWindow = kWindowA, .records = 1},
    {.name = "Backspace after a dead key ends the word",
     .steps = {Foreground(kWindowA), Type(u"ab"), Key(kVkDeadCircumflex), Back(), Type(u"e")},
     .word = u"e", .wordWindow = kWindowA, .records = 1},
    {.name = "Shift alone while an insertion waits cancels and schedules it again",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Key(kVkShiftKey)},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n1 C p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "injected keys never change the word",
     .steps = {Foreground(kWindowA), Type(u"a"), Mark(), Key(CharKey(u'x'), kLlkhfInjected),
               Key(kVkBack, kLlkhfInjected), Key(kVkLeftArrow, kLlkhfInjected)},
     .word = u"a", .wordWindow = kWindowA, .records = 1, .trace = ""},
    {.name = "no window seen yet: letters are not tracked, Backspace finds no word",
     .steps = {Type(u"ab"), Back()},
     .word = u"", .wordWindow = 0, .records = 0, .trace = ""},
    {.name = "a caret event of window 0 stops letters, Backspace clears the word",
     .steps = {Foreground(kWindowA), Type(u"ab"), Caret(0), Mark(), Type(u"c"), Back()},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n4"},
    {.name = "a focus event for a window that is gone prunes its record",
     .steps = {Foreground(kWindowA), Type(u"ab"), Kill(kWindowA), Mark(), Focus(kWindowA)},
     .word = u"", .wordWindow = kWindowA, .records = 0, .trace = "n0 C"},
    {.name = "focus of a child object and location of a non-caret object change nothing",
     .steps = {Foreground(kWindowA), Mark(), Focus(kWindowB, 5),
               Win(kEventObjectLocationChange, kWindowB, kObjIdWindow), Win(0x8002, kWindowB, 0)},
     .word = u"", .wordWindow = kWindowA, .records = 0, .trace = ""},
    {.name = "foreground of window 0 or of a window that is gone is ignored",
     .steps = {Foreground(kWindowA), Mark(), Foreground(0), Foreground(kDeadWindow)},
     .word = u"", .wordWindow = kWindowA, .records = 0, .trace = ""},
    {.name = "the caret's window is taken without testing that it exists",
     .steps = {Foreground(kWindowA), Mark(), Caret(kDeadWindow), Type(u"x")},
     .word = u"x", .wordWindow = kDeadWindow, .records = 1, .trace = "n0 C n1 C"},
    {.name = "leftAfter is copied into the pending insertion",
     .entries = {{{u"sig"}, u"Best,\r\nme", 1, kReplace, 2}},
     .steps = {Foreground(kWindowA), Type(u"sig"), Mark()},
     .word = u"sig", .wordWindow = kWindowA, .records = 1,
     .pending = {u"Best,\r\nme", kWindowA, 3, 2, 1}, .lastWord = u"sig"},
    {.name = "a negative caret-left count types no Left press",
     .entries = {{{u"sig"}, u"x", 1, kReplace, -1}},
     .steps = {Foreground(kWindowA), Type(u"sig"), Mark()},
     .word = u"sig", .wordWindow = kWindowA, .records = 1,
     .pending = {u"x", kWindowA, 3, 0, 1}, .lastWord = u"sig"},
    {.name = "a huge caret-left count is cut to the most an insertion sends",
     .entries = {{{u"sig"}, u"x", 1, kReplace, 2147483647}},
     .steps = {Foreground(kWindowA), Type(u"sig"), Mark()},
     .word = u"sig", .wordWindow = kWindowA, .records = 1,
     .pending = {u"x", kWindowA, 3, kMaxLeftAfter, 1}, .lastWord = u"sig"},
    {.name = "notify sees 3 before typing and 2 after; injected records change nothing",
     .steps = {Foreground(kWindowA), Type(u"btw"), WorkerTyped()},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C p0:btw/1 n3 S n4 p1:btw/1 n2",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "keys held back while the insertion is typed count for the next word",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), WorkerTyped(u"zz")},
     .word = u"zz", .wordWindow = kWindowA, .records = 1,
     .trace = "n4 p1:btw/1 n1 C n1 C n2",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "append mode with an empty rest still ends in a cleared word",
     .entries = {{{u"hello"}, u"hi", 1, kAppend}},
     .steps = {Foreground(kWindowA), Type(u"hello"), Mark(), WorkerTyped()},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n4 p1:hello/1 n2",
     .pending = {u"", kWindowA, 0, 0, 1}, .lastWord = u"hello"},
    {.name = "a cancelled cycle ends in EndPrint and matches again",
     .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), WorkerCancelled()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n2 p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a refused insertion leaves pending, lastWord and lastEntry as they were",
     .entries = {{{u"btw"}, u"by the way"}, {{u"omw"}, u"on my way"}},
     .steps = {Foreground(kWindowA), Type(u"btw "), Refuse(true), Mark(), Type(u"omw")},
     .word = u"omw", .wordWindow = kWindowA, .records = 1,
     .trace = "n1 C n1 C n1 C p0:omw/2",
     .pending = kBtwPending, .lastWord = u"btw"},
    {.name = "a refused word is asked again on the next window event",
     .steps = {Foreground(kWindowA), Refuse(true), Type(u"btw"), Refuse(false), Mark(),
               Caret(kWindowA)},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n0 C p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
    // Expand when the word ends.
    {.name = "word end: the keystroke alone waits for a separator",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"btw")},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C", .options = kWordEnd},
    {.name = "word end: a blank ends it; keystroke and blank go, phrase and blank come",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"btw"), Mark(), Type(u" ")},
     .word = u"", .wordWindow = kWindowA, .records = 1, .trace = "n1 C p0:btw/1 n3 S",
     .pending = {u"by the way ", kWindowA, 4, 0, 1, true}, .lastWord = u"btw",
     .options = kWordEnd},
    {.name = "word end: a keystroke that starts a longer word never fires inside it",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"signal "), Type(u"btwx,")},
     .word = u"", .wordWindow = kWindowA, .records = 1, .options = kWordEnd},
    {.name = "word end: a phrase with caret-left steps is typed without the separator",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"sig,")},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"Best,\r\nme", kWindowA, 4, 2, 2, true}, .lastWord = u"sig",
     .options = kWordEnd},
    {.name = "word end: append mode erases only the separator",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"hel\t")},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"lo world\t", kWindowA, 1, 0, 3, true}, .lastWord = u"hel",
     .options = kWordEnd},
    {.name = "word end: a full stop ends the word too, and comes back",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"btw.")},
     .word = u".", .wordWindow = kWindowA, .records = 1,
     .pending = {u"by the way.", kWindowA, 4, 0, 1, true}, .lastWord = u"btw",
     .options = kWordEnd},
    {.name = "word end: caret movements and the end of a cycle do not fire the word",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"btw"), Caret(kWindowA), WorkerCancelled()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .options = kWordEnd},
    // Case that follows the keystroke.
    {.name = "case: a capital first letter gives a capital first letter",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"Btw"), Mark()},
     .word = u"Btw", .wordWindow = kWindowA, .records = 1,
     .pending = {u"By the way", kWindowA, 3, 0, 1}, .lastWord = u"Btw", .options = kCase},
    {.name = "case: a keystroke in capitals gives the phrase in capitals",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"BTW"), Mark()},
     .word = u"BTW", .wordWindow = kWindowA, .records = 1,
     .pending = {u"BY THE WAY", kWindowA, 3, 0, 1}, .lastWord = u"BTW", .options = kCase},
    {.name = "case: mixed capitals give the phrase as stored",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"bTw"), Mark()},
     .word = u"bTw", .wordWindow = kWindowA, .records = 1,
     .pending = {u"by the way", kWindowA, 3, 0, 1}, .lastWord = u"bTw", .options = kCase},
    {.name = "case: append mode types the rest in capitals",
     .entries = kMixed, .steps = {Foreground(kWindowA), Type(u"HEL"), Mark()},
     .word = u"HEL", .wordWindow = kWindowA, .records = 1,
     .pending = {u"LO WORLD", kWindowA, 0, 0, 3}, .lastWord = u"HEL", .options = kCase},
    {.name = "case: a case-sensitive phrase is typed as stored",
     .entries = {{{u"OK"}, u"okay", 1}},
     .steps = {Foreground(kWindowA), Type(u"OK"), Mark()},
     .word = u"OK", .wordWindow = kWindowA, .records = 1,
     .pending = {u"okay", kWindowA, 2, 0, 1}, .lastWord = u"OK", .options = kCase},
    {.name = "case: letters beyond ASCII follow, characters without case stay",
     .entries = {{{u"\u00E9t\u00E9"}, u"\u00E9t\u00E9 1 \U0001F600", 0}},
     .steps = {Foreground(kWindowA), Type(u"\u00C9T\u00C9"), Mark()},
     .word = u"\u00C9T\u00C9", .wordWindow = kWindowA, .records = 1,
     .pending = {u"\u00C9T\u00C9 1 \U0001F600", kWindowA, 3, 0, 1},
     .lastWord = u"\u00C9T\u00C9", .options = kCase},
    // Undo with Backspace.
    {.name = "undo: the phrase goes, the keystroke comes back and does not fire again",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"btw"), WorkerTyped(), Mark(), Undo(), WorkerTyped(),
               Caret(kWindowA)},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n3 S n2 n0",
     .pending = {u"btw", kWindowA, 10, 0, 1, true, 0, true}, .lastWord = u"btw",
     .options = kUndo},
    {.name = "undo: once the word changes the keystroke fires again",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"btw"), WorkerTyped(), Undo(), WorkerTyped(),
               Type(u"x"), Mark(), Back()},
     .word = u"btw", .wordWindow = kWindowA, .records = 1, .trace = "n1 C p0:btw/1 n3 S",
     .pending = kBtwPending, .lastWord = u"btw", .options = kUndo},
    {.name = "undo: Right presses first, a CR LF pair is one character",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"sig"), WorkerTyped(), Undo()},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"sig", kWindowA, 8, 0, 2, true, 2, true}, .lastWord = u"sig",
     .options = kUndo},
    {.name = "undo: append mode erases what was typed and leaves the keystroke",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"hel"), WorkerTyped(), Undo(), WorkerTyped()},
     .word = u"hel", .wordWindow = kWindowA, .records = 1,
     .pending = {u"", kWindowA, 8, 0, 3, true, 0, true}, .lastWord = u"hel",
     .options = kUndo},
    {.name = "undo: after a case-following expansion the keystroke comes back as typed",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"BTW"), WorkerTyped(), Undo()},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"BTW", kWindowA, 10, 0, 1, true, 0, true}, .lastWord = u"BTW",
     .options = {.undoWithBackspace = true, .caseFollowsKeystroke = true}},
    {.name = "undo in the word-end mode gives back keystroke and separator",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"btw "), WorkerTyped(), Undo(), WorkerTyped()},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"btw ", kWindowA, 11, 0, 1, true, 0, true}, .lastWord = u"btw",
     .options = kAll},
    {.name = "undo: another window first makes the expansion final; the Backspace comes back",
     .entries = kMixed,
     .steps = {Foreground(kWindowA), Type(u"btw"), WorkerTyped(), Foreground(kWindowB),
               Foreground(kWindowA), Undo()},
     .word = u"", .wordWindow = kWindowA, .records = 1,
     .pending = {u"", kWindowA, 1, 0, 1, true, 0, true}, .lastWord = u"btw",
     .options = kUndo},
    {.name = "without a print callback every insertion is allowed",
     .steps = {NoCallback(), Foreground(kWindowA), Type(u"btw")},
     .word = u"btw", .wordWindow = kWindowA, .records = 1,
     .trace = "n0 C n1 C n1 C n1 C n3 S",
     .pending = kBtwPending, .lastWord = u"btw"},
};

void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.name; }

class EngineCaseTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(EngineCaseTest, EventsGiveExpectedState) {
  const EngineCase& c = GetParam();
  EngineHarness h(c.entries.empty() ? kBtw : c.entries, c.options);
  for (const Step& step : c.steps) h.Run(step);

  EXPECT_EQ(h.engine.CurrentWord(), c.word);
  EXPECT_EQ(h.engine.CurrentWordWindow(), c.wordWindow);
  EXPECT_EQ(h.engine.RecordCount(), c.records);
  if (c.trace) {
    EXPECT_EQ(Trimmed(h.trace), *c.trace);
  }
  const PendingInsertion pending = h.engine.Pending();
  EXPECT_EQ(pending.text, c.pending.text);
  EXPECT_EQ(pending.window, c.pending.window);
  EXPECT_EQ(pending.eraseCount, c.pending.eraseCount);
  EXPECT_EQ(pending.leftAfter, c.pending.leftAfter);
  EXPECT_EQ(pending.entry.lParam, c.pending.lParam);
  EXPECT_EQ(pending.immediate, c.pending.immediate);
  EXPECT_EQ(pending.rightBefore, c.pending.rightBefore);
  EXPECT_EQ(pending.undo, c.pending.undo);
  EXPECT_EQ(h.engine.LastWord(), c.lastWord);
  EXPECT_EQ(h.engine.LastEntry().lParam, c.pending.lParam);
  EXPECT_EQ(h.engine.LastEntry().text, pending.entry.text);
}

INSTANTIATE_TEST_SUITE_P(Table, EngineCaseTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<EngineCase>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != 0; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return std::to_string(info.index) + "_" + name.substr(0, 60);
                         });

TEST(TypingEngine, ClassifiesTheThirteenSeparatorsAndTheFullStop) {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine(desktop, hooks);
  const std::u16string_view separators[] = {u",", u"#", u"?", u"\"", u"'", u"\r", u"\n",
                                            u"\r\n", u"\t", u"=", u"/", u"\\", u" "};
  for (auto text : separators) EXPECT_EQ(engine.ClassifyText(text), CharClass::SeparatorClass);
  EXPECT_EQ(engine.ClassifyText(u"."), CharClass::PeriodClass);
  const std::u16string_view words[] = {u"", u"a", u"..", u";", u":", u"!", u"-", u"(",
                                       u"\x1b", u", ", u"\n\r", u"ab"};
  for (auto text : words) EXPECT_EQ(engine.ClassifyText(text), CharClass::WordClass);
}

TEST(TypingEngine, PrintDelayIsHalvedWithoutCaretMovement) {
  EXPECT_EQ(TypingEngine::InsertionDelay(100, 0), 50u);
  EXPECT_EQ(TypingEngine::InsertionDelay(100, 2), 100u);
  EXPECT_EQ(TypingEngine::InsertionDelay(400, 0), 200u);
  EXPECT_EQ(TypingEngine::InsertionDelay(401, 0), 200u);

  EngineHarness h({{{u"btw"}, u"x", 0, kReplace, 0}, {{u"sig"}, u"y", 0, kReplace, 2}});
  EXPECT_EQ(h.engine.PrintDelay(), TypingEngine::kDefaultPrintDelay);
  h.engine.SetPrintDelay(100);
  EXPECT_EQ(h.engine.PrintDelay(), 100u);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.engine.PendingDelay(100), 50u);
  h.Run(Type(u" sig"));
  EXPECT_EQ(h.engine.PendingDelay(100), 100u);
}

TEST(TypingEngine, APasswordFieldKeepsNoWordAndExpandsNothing) {
  EngineHarness h(kBtw);
  h.desktop.passwordFields = {kWindowB};
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"bt"));
  h.Run(Foreground(kWindowB));
  EXPECT_TRUE(h.engine.InPasswordField());
  h.trace.clear();
  h.Run(Type(u"btw"));
  h.Run(Back());
  EXPECT_EQ(h.engine.RecordCount(), 0u) << "no password character is kept";
  EXPECT_EQ(Trimmed(h.trace), "n1 C n1 C n1 C n1 C");
  // The field is asked once per change of window, not for every caret event.
  const int queries = h.desktop.passwordQueries;
  h.Run(Caret(kWindowB));
  h.Run(Caret(kWindowB));
  EXPECT_EQ(h.desktop.passwordQueries, queries);
  h.Run(Foreground(kWindowA));
  EXPECT_FALSE(h.engine.InPasswordField());
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.engine.Pending().text, u"by the way");
}

TEST(TypingEngine, TheInsertionRemembersTheLastInputItFollows) {
  EngineHarness h(kBtw);
  h.Run(Foreground(kWindowA));
  for (char16_t unit : std::u16string(u"btw")) {
    h.engine.OnKeyboardEvent({kWmKeyDown, CharKey(unit), 0, 0, 0, 40u + unit}, 0);
  }
  EXPECT_EQ(h.engine.Pending().inputSeq, 40u + u'w');
  h.engine.OnMouseButton({kWmLButtonDown, 0, 0, false, 500}, 0);
  EXPECT_EQ(h.engine.LastInputSeq(), 500u);
}

TEST(TypingEngine, InsertNowTypesAChosenPhraseWithoutErasing) {
  EngineHarness h(kMixed);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"xy"));
  h.trace.clear();
  ASSERT_TRUE(h.engine.InsertNow(2, kWindowA));  // sig
  const PendingInsertion pending = h.engine.Pending();
  EXPECT_EQ(pending.text, u"Best,\r\nme");
  EXPECT_EQ(pending.eraseCount, 0);
  EXPECT_EQ(pending.leftAfter, 2);
  EXPECT_TRUE(pending.immediate);
  EXPECT_TRUE(pending.awaitFocus);
  EXPECT_EQ(Trimmed(h.trace), "n3 S");
  h.Run(WorkerTyped());
  EXPECT_NE(h.trace.find("p1:/2"), std::string::npos) << "counted as a typed phrase: " << h.trace;
  EXPECT_FALSE(h.engine.InsertNow(99, kWindowA)) << "no such phrase";
}

TEST(TypingEngine, PausedTrackingKeepsNoWordButFollowsTheInputNumbers) {
  EngineHarness h(kBtw);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"bt"));
  h.engine.SetTrackingPaused(true);
  EXPECT_EQ(h.engine.RecordCount(), 0u);
  h.trace.clear();
  h.engine.OnKeyboardEvent({kWmKeyDown, CharKey(u'w'), 0, 0, 0, 77}, 0);
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.trace, "") << "keys typed into the program's own window are not tracked";
  EXPECT_EQ(h.engine.LastInputSeq(), 77u);
  h.engine.SetTrackingPaused(false);
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.engine.Pending().text, u"by the way");
}

TEST(TypingEngine, ThePreviousProgramIsTheOneBeforeTheCurrent) {
  EngineHarness h(kBtw);
  h.desktop.programs = {{kWindowA, u"notepad.exe"}, {kWindowB, u"explorer.exe"}};
  h.Run(Foreground(kWindowA));
  h.Run(Foreground(kWindowB));
  EXPECT_EQ(h.engine.CurrentProgram(), u"explorer.exe");
  EXPECT_EQ(h.engine.PreviousProgram(), u"notepad.exe");
  h.Run(Foreground(kDeadWindow));  // gone: not a focus change
  h.Run(Caret(0xC0));              // a window whose program is not known
  EXPECT_EQ(h.engine.PreviousProgram(), u"notepad.exe");
}

TEST(TypingEngine, ScheduleSetsIgnoreInjected) {
  EngineHarness h(kBtw);
  h.engine.ignoreInjected.store(0);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.engine.ignoreInjected.load(), 1u);
}

TEST(TypingEngine, StoppedTrackerIgnoresEventsAndForgetsTheWord) {
  EngineHarness h(kBtw);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"ab"));
  ASSERT_TRUE(h.engine.StopTracking());
  EXPECT_EQ(h.engine.RecordCount(), 0u);
  EXPECT_EQ(h.engine.CurrentWindow(), 0u);
  h.trace.clear();
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"btw"));
  EXPECT_EQ(h.trace, "");
  ASSERT_TRUE(h.engine.StartTracking(true));
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"c"));
  EXPECT_EQ(h.engine.CurrentWord(), u"c");
}

// The host reads the engine from inside its callbacks, as it does for the caret position and
// for lastEntry: the engine lock lets the same thread back in.
struct CallbackProbe {
  TypingEngine* engine = nullptr;
  std::vector<const EngineEntry*> allowEntries;
  std::vector<uint32_t> printedIds;
  std::vector<WindowHandle> pendingWindows;
};

int32_t ProbePrint(int32_t code, const EngineEntry* entry, const char16_t*, void* context) {
  auto* probe = static_cast<CallbackProbe*>(context);
  if (code == TAC_IS_ALLOW_PRINT_WORD) probe->allowEntries.push_back(entry);
  if (code == TAC_WORD_IS_PRINTED) probe->printedIds.push_back(probe->engine->LastEntry().lParam);
  return 0;
}

int32_t ProbeNotify(int32_t code, const EngineEntry*, void* context) {
  auto* probe = static_cast<CallbackProbe*>(context);
  if (code == static_cast<int32_t>(TrackerEvent::PrintPending)) {
    probe->pendingWindows.push_back(probe->engine->CurrentWordWindow());
  }
  return 0;
}

TEST(TypingEngine, CallbacksMayReadTheEngine) {
  EngineHarness h(std::vector<EntrySpec>{{{u"x"}, u"first"}, {{u"btw"}, u"by the way"}});
  CallbackProbe probe{&h.engine};
  h.engine.SetPrintCallback(&ProbePrint, &probe);
  h.engine.SetNotifyCallback(&ProbeNotify, &probe);
  h.Run(Foreground(kWindowA));
  h.Run(Type(u"btw"));
  h.Run(WorkerTyped());

  // The allow question names the entry in the list itself, the printed report its copy.
  ASSERT_EQ(probe.allowEntries.size(), 1u);
  EXPECT_EQ(probe.allowEntries[0], h.engine.FindEntry(u"btw"));
  EXPECT_EQ(probe.printedIds, std::vector<uint32_t>{2});
  EXPECT_EQ(probe.pendingWindows, std::vector<WindowHandle>{kWindowA});
}

// The hook thread types while a worker runs its cycles: every access goes through the
// engine lock, so the sanitizers see no race on the shared state and the word stays sane.
TEST(TypingEngine, HookThreadAndWorkerShareTheState) {
  EngineHarness h(kBtw);
  h.Run(Foreground(kWindowA));
  std::atomic<bool> done{false};
  std::thread worker([&] {
    while (!done.load()) {
      h.engine.OnInsertionTyped();
      h.engine.RaiseEndPrint();
      (void)h.engine.Pending();
    }
  });
  for (int i = 0; i < 2000; ++i) h.Run(Type(u"btw "));
  done.store(true);
  worker.join();
  const std::u16string word = h.engine.CurrentWord();
  EXPECT_LE(word.size(), 3u);
}

}  // namespace
}  // namespace vellix
