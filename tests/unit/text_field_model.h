#pragma once
// A model of the world the typing engine lives in: text fields with a caret, driven by the
// user's keys and clicks, checked against the engine after every step. The invariant: the
// engine's word is always the text just before the caret of its window (or empty), so that
// when an insertion erases n characters they are exactly the keystroke the user typed.
//
// The model drives the platform-free engine with the fakes of engine_fakes.h. It takes its
// choices from a ChoiceSource (a seeded generator in the unit tests, the fuzzer's bytes in
// the fuzzing step) and reports the first broken invariant as a text.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/typing_engine.h"
#include "phrases/phrase_database.h"
#include "unit/engine_fakes.h"

namespace vellix::testing {

class ChoiceSource {
 public:
  virtual ~ChoiceSource() = default;
  // A number in [0, bound); bound > 0.
  virtual uint32_t Next(uint32_t bound) = 0;
  virtual bool Exhausted() const { return false; }
};

// An editor's text field: text and a caret (a position between characters).
struct TextField {
  std::u16string text;
  size_t caret = 0;
  std::u16string previous;  // what Ctrl+Z brings back

  static bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
  static bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
  // Code units of the character just before position (a surrogate pair and a line break
  // of CR LF are one character, as in an edit control).
  size_t CharBefore(size_t position) const {
    if (position >= 2 && IsLow(text[position - 1]) && IsHigh(text[position - 2])) return 2;
    if (position >= 2 && text[position - 1] == u'\n' && text[position - 2] == u'\r') return 2;
    return position == 0 ? 0 : 1;
  }
  size_t CharAfter(size_t position) const {
    if (position + 1 < text.size() && IsHigh(text[position]) && IsLow(text[position + 1])) {
      return 2;
    }
    if (position + 1 < text.size() && text[position] == u'\r' && text[position + 1] == u'\n') {
      return 2;
    }
    return position < text.size() ? 1 : 0;
  }
  void Remember() { previous = text; }
  void Insert(std::u16string_view s) {
    Remember();
    text.insert(caret, s);
    caret += s.size();
  }
  void Backspace() {
    Remember();
    const size_t n = CharBefore(caret);
    text.erase(caret - n, n);
    caret -= n;
  }
  void Delete() {
    Remember();
    text.erase(caret, CharAfter(caret));
  }
  void Left() { caret -= CharBefore(caret); }
  void Right() { caret += CharAfter(caret); }
  // Ctrl+Backspace: the blanks before the caret, then the word before them.
  void EraseWordBefore() {
    Remember();
    size_t start = caret;
    while (start > 0 && text[start - 1] == u' ') --start;
    while (start > 0 && text[start - 1] != u' ') --start;
    text.erase(start, caret - start);
    caret = start;
  }
  void Undo() {
    std::swap(text, previous);
    MoveTo(caret);
  }
  void MoveTo(size_t position) {
    caret = std::min(position, text.size());
    // Never inside a surrogate pair or a CR LF pair.
    if (caret > 0 && caret < text.size() && IsLow(text[caret]) && IsHigh(text[caret - 1])) --caret;
    if (caret > 0 && caret < text.size() && text[caret] == u'\n' && text[caret - 1] == u'\r') {
      --caret;
    }
  }
  std::u16string_view BeforeCaret() const { return std::u16string_view(text).substr(0, caret); }
};

// Insertion signals that remember whether an insertion is waiting out its delay.
class ArmedSignals : public InsertionSignals {
 public:
  bool armed = false;
  void StartDelayed() noexcept override { armed = true; }
  void Cancel() noexcept override { armed = false; }
};

class TextFieldModel {
 public:
  static constexpr WindowHandle kWindows[2] = {kWindowA, kWindowB};

  explicit TextFieldModel(const ExpansionOptions& options = {}) : options_(options) {
    Add({u"btw"}, u"by the way", 0, kReplace, 0);
    Add({u"xy"}, u"xylophone", 1, kAppend, 0);
    Add({u"t@b"}, u"at bar", 1, kReplace, 0);
    Add({u"\u00EAt\u00EA", u"e^"}, u"summer", 0, kReplace, 0);
    Add({u"sig"}, u"(me)\r\nx", 0, kReplace, 3);
    Add({u"\U0001F600b"}, u"smile", 1, kReplace, 0);
    Add({u".b"}, u"dot b", 1, kReplace, 1);
    engine_.LoadPhrases(phrases_);
    engine_.SetOptions(options_);
    engine_.SetInsertionSignals(&signals_);
    engine_.StartTracking(true);
    Focus(0);
  }

  // Runs steps until the source is exhausted or steps are done; the first broken invariant,
  // or empty.
  std::string Run(ChoiceSource& source, int steps) {
    // The last steps, to say how the text came about: what was done, the text before the
    // caret and the engine's word after it.
    struct Done {
      std::string step;
      std::u16string before;
      std::u16string word;
    };
    std::vector<Done> history;
    for (int i = 0; i < steps && !source.Exhausted(); ++i) {
      Step(source);
      if (history.size() == 12) history.erase(history.begin());
      history.push_back({last_, std::u16string(Field().BeforeCaret()), engine_.CurrentWord()});
      std::string error = Check();
      if (!error.empty()) {
        std::string report = "step " + std::to_string(i) + " (" + last_ + "): " + error;
        for (const Done& done : history) {
          report += "\n  " + done.step + " -> \"" + Narrow(done.before) + "|\", word \"" +
                    Narrow(done.word) + "\"";
        }
        return report;
      }
    }
    return {};
  }

  int insertions() const { return insertions_; }

 private:
  void Add(std::vector<std::u16string> keystrokes, std::u16string text, int32_t caseSensitive,
           int32_t mode, int32_t leftAfter) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(std::move(text));
    for (auto& k : keystrokes) phrase->Prefixes()[k] = 1;
    phrase->SetCaseSensitive(caseSensitive);
    phrase->SetAddOrReplace(mode);
    phrase->SetLeftAfter(leftAfter);
    phrases_.Add(std::move(phrase));
  }

  TextField& Field() { return fields_[focus_]; }

  // Every press and click of the user gets the next number, as the hook's gate gives them.
  void Key(uint32_t vk, uint32_t modifiers = 0, uint32_t flags = 0,
           uint32_t message = kWmKeyDown) {
    const uint32_t up = message == kWmSysKeyDown ? kWmSysKeyUp : kWmKeyUp;
    engine_.OnKeyboardEvent({message, vk, 0, flags, modifiers, ++inputSeq_}, 0);
    engine_.OnKeyboardEvent({up, vk, 0, flags, modifiers, inputSeq_}, 0);
  }
  void TypeUnit(char16_t unit) {
    Key(CharKey(unit));
    Field().Insert(std::u16string(1, unit));
  }
  void Focus(size_t index) {
    focus_ = index;
    engine_.OnWinEvent({kEventSystemForeground, kWindows[index], 0, kObjIdWindow}, 0);
  }

  void Step(ChoiceSource& source) {
    static constexpr char16_t kLetters[] = u"btwxyseig.@ ,";
    TextField& field = Field();
    // Any step but a Backspace makes the last expansion final, as the hook's gate does.
    const bool undoArmed = undoArmed_;
    undoArmed_ = false;
    switch (source.Next(24)) {
      case 19: case 20: case 21: {
        // Most keystrokes are typed whole; the other steps fall between them.
        static constexpr const char16_t* kTyped[] = {u"btw", u"BTw", u"xy", u"sig", u".b",
                                                     u"btwx", u"s"};
        const std::u16string_view keystroke = kTyped[source.Next(7)];
        last_ = "type a keystroke";
        for (char16_t unit : keystroke) TypeUnit(unit);
        if (source.Next(2) == 0) {
          last_ = "type a keystroke and wait";
          LetDelayRunOut();
        }
        break;
      }
      case 0: case 1: case 2: case 3: case 4: {
        const char16_t unit = kLetters[source.Next(13)];
        if (unit == u'@') {
          last_ = "AltGr+q";
          Key(CharKey(u'q'), kModLeftControl | kModRightAlt, kLlkhfAltDown);
          field.Insert(u"@");
        } else {
          last_ = "type " + std::string(1, static_cast<char>(unit));
          TypeUnit(unit);
        }
        break;
      }
      case 5:
        if (undoArmed) {
          last_ = "Backspace right after an expansion";
          engine_.OnKeyboardEvent({kWmKeyDown, kVkBack, 0, kUndoRequestFlag, 0, ++inputSeq_}, 0);
          break;
        }
        last_ = "Backspace";
        Key(kVkBack);
        field.Backspace();
        break;
      case 6:
        last_ = "click";
        engine_.OnMouseButton({kWmLButtonDown, 0, 0, false, ++inputSeq_}, 0);
        if (source.Next(4) == 0) {
          // The click went to the other field.
          Focus(1 - focus_);
        } else {
          field.MoveTo(source.Next(static_cast<uint32_t>(field.text.size() + 1)));
        }
        break;
      case 7: {
        static constexpr uint32_t kMoves[] = {kVkLeftArrow, kVkRightArrow, kVkHomeKey,
                                              kVkEndKey, kVkDeleteKey};
        const uint32_t vk = kMoves[source.Next(5)];
        last_ = "navigation key " + std::to_string(vk);
        Key(vk);
        if (vk == kVkLeftArrow) field.Left();
        if (vk == kVkRightArrow) field.Right();
        if (vk == kVkHomeKey) field.MoveTo(0);
        if (vk == kVkEndKey) field.MoveTo(field.text.size());
        if (vk == kVkDeleteKey) field.Delete();
        break;
      }
      case 8:
        last_ = "Ctrl+Backspace";
        Key(kVkCtrlKey, 0);
        Key(kVkBack, kModLeftControl);
        field.EraseWordBefore();
        break;
      case 9:
        last_ = "Ctrl+Z";
        Key(CharKey(u'z'), kModLeftControl);
        field.Undo();
        break;
      case 10:
        last_ = "Ctrl+V";
        Key(CharKey(u'v'), kModRightControl);
        field.Insert(source.Next(2) == 0 ? u"bt" : u"w x");
        break;
      case 11: {
        last_ = "dead key";
        Key(kVkDeadCircumflex);
        const char16_t next = source.Next(2) == 0 ? u'e' : u'x';
        Key(CharKey(next));
        field.Insert(next == u'e' ? u"\u00EA" : u"^x");
        break;
      }
      case 12:
        last_ = "Alt+numpad";
        Key(0xA4, 0, kLlkhfAltDown, kWmSysKeyDown);
        Key(0x60 + source.Next(10), kModLeftAlt, kLlkhfAltDown, kWmSysKeyDown);
        field.Insert(u"\u00E9");  // appears when Alt is let go
        break;
      case 13:
        last_ = "Shift alone";
        Key(kVkShiftKey);
        break;
      case 14:
        last_ = "a character outside the BMP";
        Key(kVkSmiley);
        field.Insert(u"\U0001F600");
        break;
      case 22: {
        // A level shift that the layout does not show, as Wine reports AltGr: the key has
        // no character and the letter typed under it gives another one.
        last_ = "hidden level shift";
        engine_.OnKeyboardEvent({kWmKeyDown, 0xDF, 0x65, 0, 0, ++inputSeq_}, 0);
        Key(CharKey(u'q'));
        engine_.OnKeyboardEvent({kWmKeyUp, 0xDF, 0x65, kLlkhfUp, 0, inputSeq_}, 0);
        field.Insert(u"@");
        break;
      }
      case 15:
        last_ = "focus moves without input";
        Focus(1 - focus_);
        break;
      case 23:
        last_ = "Shift+T";
        Key(kVkShiftKey);
        Key(CharKey(u'T'), kModLeftShift);
        field.Insert(u"T");
        break;
      case 16:
        last_ = "Enter";
        Key(kVkCrLf);
        field.Insert(u"\r\n");
        break;
      case 17: case 18:
        last_ = "delay runs out";
        LetDelayRunOut();
        break;
    }
  }

  void LetDelayRunOut() {
    if (!signals_.armed) return;
    // The worker begins only when no input came after the one the insertion follows.
    if (engine_.Pending().inputSeq == inputSeq_) {
      TypeInsertion();
    } else {
      signals_.armed = false;
      engine_.RaiseEndPrint();
    }
  }

  // The worker's cycle: the insertion goes into the focused field (the synthetic keys
  // address no window), then the word is cleared and matching runs again.
  void TypeInsertion() {
    signals_.armed = false;
    const PendingInsertion pending = engine_.Pending();
    TextField& field = Field();
    const std::u16string word = engine_.LastWord();
    for (int32_t i = 0; i < pending.rightBefore; ++i) field.Right();
    if (pending.eraseCount > 0) {
      size_t start = field.caret;
      for (int32_t i = 0; i < pending.eraseCount; ++i) start -= field.CharBefore(start);
      const std::u16string erased = field.text.substr(start, field.caret - start);
      if (pending.undo) {
        // An undo erases exactly what the expansion typed (a held-back Backspace that
        // no longer applies erases one character, as the user's Backspace would).
        if (!pending.text.empty() && erased != lastTyped_) {
          broken_ = "undo erases \"" + Narrow(erased) + "\" for \"" + Narrow(lastTyped_) + "\"";
        }
      } else if (pending.entry.addOrReplace == kReplace
                     ? !erased.starts_with(word) ||
                           erased.size() - word.size() > (pending.immediate ? 2u : 0u)
                     : !pending.immediate || erased.size() > 2 ||
                           !field.BeforeCaret().ends_with(word + erased)) {
        // The erased characters are exactly the keystroke as the user typed it (in append
        // mode it stays), and the separator that ended it when words expand at their end.
        broken_ = "erases \"" + Narrow(erased) + "\" for \"" + Narrow(word) + "\"";
      }
      field.Remember();
      field.text.erase(start, field.caret - start);
      field.caret = start;
    } else if (!pending.undo && !field.BeforeCaret().ends_with(word)) {
      broken_ = "completes \"" + Narrow(word) + "\" after \"" + Narrow(field.BeforeCaret()) + "\"";
    }
    field.Insert(pending.text);
    for (int32_t i = 0; i < pending.leftAfter; ++i) field.Left();
    if (!pending.undo) lastTyped_ = pending.text;
    ++insertions_;
    engine_.OnInsertionTyped();
    undoArmed_ = !pending.undo && engine_.UndoArmed();
    engine_.RaiseEndPrint();
  }

  std::string Check() {
    if (!broken_.empty()) return broken_;
    const std::u16string word = engine_.CurrentWord();
    if (word.empty()) return {};
    const WindowHandle window = engine_.CurrentWordWindow();
    const TextField& field = fields_[window == kWindowA ? 0 : 1];
    if (!field.BeforeCaret().ends_with(word)) {
      return "word \"" + Narrow(word) + "\" is not before the caret: \"" +
             Narrow(field.BeforeCaret()) + "|\"";
    }
    return {};
  }

  static std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
      if (u >= 0x20 && u < 0x7F) {
        out += static_cast<char>(u);
      } else {
        out += "\\u" + std::to_string(static_cast<unsigned>(u));
      }
    }
    return out;
  }

  ExpansionOptions options_;
  uint64_t inputSeq_ = 0;
  bool undoArmed_ = false;
  std::u16string lastTyped_;
  FakeDesktop desktop_;
  FakeRegistrar hooks_;
  ArmedSignals signals_;
  TypingEngine engine_{desktop_, hooks_};
  PhraseDatabase phrases_;
  TextField fields_[2];
  size_t focus_ = 0;
  std::string last_;
  std::string broken_;
  int insertions_ = 0;
};

}  // namespace vellix::testing
