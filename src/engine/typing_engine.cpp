#include "engine/typing_engine.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "base/utf.h"
#include "engine/keystroke_rule.h"
#include "phrases/phrase_database.h"

namespace vellix {
namespace {

// Key texts that end a word, compared whole.
constexpr std::array<std::u16string_view, 13> kSeparators = {
    u",", u"#", u"?", u"\"", u"'", u"\r", u"\n", u"\r\n", u"\t", u"=", u"/", u"\\", u" ",
};

// Backspaces that erase word in the target: one per character, a surrogate pair being one
// character there.
int32_t CharacterCount(std::u16string_view word) {
  int32_t count = 0;
  for (size_t i = 0; i < word.size(); ++i) {
    if (IsHighSurrogate(word[i]) && i + 1 < word.size() && IsLowSurrogate(word[i + 1])) ++i;
    ++count;
  }
  return count;
}

// Backspaces that erase a typed text in an editor: a surrogate pair and a CR LF pair are
// one character each there.
int32_t EditorCharacterCount(std::u16string_view text) {
  int32_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = i + 1 < text.size() &&
                      ((IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) ||
                       (text[i] == u'\r' && text[i + 1] == u'\n'));
    if (pair) ++i;
    ++count;
  }
  return count;
}

}  // namespace

TypingEngine::TypingEngine(Desktop& desktop, HookRegistrar& hooks) : WordTracker(desktop, hooks) {
  SetTrackerNotify(&TypingEngine::NotifyTrampoline, this);
}

TypingEngine::~TypingEngine() = default;

void TypingEngine::NotifyTrampoline(TrackerEvent code, void* context) noexcept {
  static_cast<TypingEngine*>(context)->OnTrackerEvent(code);
}

CharClass TypingEngine::ClassifyText(std::u16string_view text) const noexcept {
  for (std::u16string_view separator : kSeparators) {
    if (text == separator) return CharClass::SeparatorClass;
  }
  if (text == u".") return CharClass::PeriodClass;
  return CharClass::WordClass;
}

bool KeystrokeCanFire(std::u16string_view keystroke) noexcept {
  if (keystroke.empty()) return false;
  bool periodsOnly = true;  // the characters so far are all full stops
  for (const char16_t c : keystroke) {
    // A key's text is classified whole; every separator but CR LF is one character, and
    // CR LF holds two of them.
    for (std::u16string_view separator : kSeparators) {
      if (separator.size() == 1 && separator[0] == c) return false;
    }
    if (c == u'.') {
      if (!periodsOnly) return false;
    } else {
      periodsOnly = false;
    }
  }
  return true;
}

void TypingEngine::OnTrackerEvent(TrackerEvent code) noexcept {
  std::lock_guard guard(Lock());
  if (notifyCallback_ != nullptr) {
    notifyCallback_(static_cast<int32_t>(code), &scratchEntry_, notifyContext_);
  }
  switch (code) {
    case TrackerEvent::WindowEvent:
      // The synthetic keys go to whatever window has the focus: an insertion waits only
      // while the window it belongs to keeps it.
      if (CurrentWindow() != pending_.window) CancelPending();
      if (undoable_.valid && CurrentWindow() != undoable_.window) ForgetUndo();
      Match();
      break;
    case TrackerEvent::WordChanged: {
      CancelPending();
      std::u16string_view ended;
      std::u16string_view ender;
      if (!options_.expandOnWordEnd) {
        Match();
      } else if (TakeEndedWord(ended, ender)) {
        MatchEnded(ended, ender);
      }
      break;
    }
    case TrackerEvent::EndPrint:
      Match();
      break;
    case TrackerEvent::PrintPending:
    case TrackerEvent::WordCleared:
      break;
  }
}

void TypingEngine::Match() noexcept {
  // When words expand at their end, the word being typed may still grow into another.
  if (options_.expandOnWordEnd) return;
  const std::u16string_view word = CurrentWordView();
  if (entries_.empty() || word.empty()) return;
  // A word of a window that no longer has the focus is kept, but typing now would land in
  // the focused window instead.
  if (CurrentWordWindow() != CurrentWindow()) return;
  // An undone expansion's keystroke stays as it is until the word changes.
  if (!suppressedWord_.empty()) {
    if (word == suppressedWord_) return;
    suppressedWord_.clear();
  }
  const size_t index = index_.Find(entries_, word, desktop(), CurrentProgramKey());
  if (index == entries_.size()) return;
  matchWord_.assign(word);
  Schedule(matchWord_, entries_[index]);
}

void TypingEngine::MatchEnded(std::u16string_view word, std::u16string_view ender) noexcept {
  if (entries_.empty() || CurrentWordWindow() != CurrentWindow()) return;
  const size_t index = index_.Find(entries_, word, desktop(), CurrentProgramKey());
  if (index == entries_.size()) return;
  try {
    matchWord_.assign(word);
    const std::u16string endedBy(ender);
    Schedule(matchWord_, entries_[index], endedBy);
  } catch (...) {
    // Out of memory: this word is not expanded.
  }
}

std::u16string TypingEngine::CasedText(std::u16string_view word, const EngineEntry& entry) const {
  std::u16string text = entry.text;
  if (!options_.caseFollowsKeystroke || entry.caseSensitive != 0) return text;
  Desktop& d = desktop();
  auto isLetter = [&](char16_t u) { return d.UpperCase(u) != d.LowerCase(u); };
  auto isCapital = [&](char16_t u) { return isLetter(u) && d.UpperCase(u) == u; };
  size_t letters = 0;
  size_t capitals = 0;
  bool firstIsCapital = false;
  bool restSmall = true;
  for (char16_t u : word) {
    if (!isLetter(u)) continue;
    if (letters == 0) {
      firstIsCapital = isCapital(u);
    } else if (isCapital(u)) {
      restSmall = false;
    }
    ++letters;
    if (isCapital(u)) ++capitals;
  }
  if (letters >= 2 && capitals == letters) {
    for (char16_t& u : text) u = d.UpperCase(u);  // surrogates map to themselves
  } else if (firstIsCapital && restSmall) {
    for (char16_t& u : text) {
      if (isLetter(u)) {
        u = d.UpperCase(u);
        break;
      }
    }
  }
  return text;
}

const EngineEntry* TypingEngine::FindEntry(std::u16string_view word) const noexcept {
  std::lock_guard guard(Lock());
  const size_t index = index_.Find(entries_, word, desktop(), CurrentProgramKey());
  return index == entries_.size() ? nullptr : &entries_[index];
}

const EngineEntry* TypingEngine::FindEntryPlain(std::u16string_view word) const noexcept {
  std::lock_guard guard(Lock());
  const size_t index = vellix::FindEntryPlain(entries_, word, desktop(), CurrentProgramKey());
  return index == entries_.size() ? nullptr : &entries_[index];
}

void TypingEngine::Schedule(const std::u16string& word, const EngineEntry& entry,
                            const std::u16string& ender) noexcept {
  std::lock_guard guard(Lock());
  if (CallPrintCallback(TAC_IS_ALLOW_PRINT_WORD, &entry, word.c_str()) == 1) return;

  ignoreInjected.store(1);
  const size_t n = word.size();
  std::u16string text;
  try {
    text = CasedText(word, entry);
  } catch (...) {
    return;  // out of memory: nothing is typed
  }
  if (entry.addOrReplace == kReplace) {
    pending_.text = std::move(text);
    pending_.eraseCount = CharacterCount(word);
  } else {
    // Append: the word stays and the phrase is typed without its first n units.
    if (n < text.size()) {
      pending_.text.assign(text, n);
    } else {
      pending_.text.clear();
    }
    pending_.eraseCount = 0;
  }
  pending_.leftAfter = std::clamp(entry.leftAfter, 0, kMaxLeftAfter);
  if (!ender.empty()) {
    // The separator that ended the word goes too, and comes back after the phrase unless
    // the caret moves into the phrase afterwards (the user goes on typing there).
    pending_.eraseCount += 1;
    if (pending_.leftAfter == 0) pending_.text += ender;
  }
  pending_.immediate = !ender.empty();
  pending_.rightBefore = 0;
  pending_.undo = false;
  pending_.awaitFocus = false;
  pending_.window = CurrentWordWindow();
  pending_.inputSeq = LastInputSeq();
  pending_.entry = entry;
  lastEnder_ = ender;
  lastWord_ = word;
  lastEntry_ = entry;
  Raise(TrackerEvent::PrintPending);
  if (signals_ != nullptr) signals_->StartDelayed();
}

void TypingEngine::CancelPending() noexcept {
  if (signals_ != nullptr) signals_->Cancel();
}

int32_t TypingEngine::CallPrintCallback(int32_t code, const EngineEntry* entry,
                                        const char16_t* word) noexcept {
  std::lock_guard guard(Lock());
  if (printCallback_ == nullptr) return 0;
  return printCallback_(code, entry, word, printContext_);
}

void TypingEngine::SetProgramRule(const Phrase& phrase, EngineEntry& entry) const {
  const int32_t mode = phrase.UseWithList();
  if (mode != kUseIncludeList && mode != kUseExcludeList) return;  // any other value: none
  entry.programRule = mode == kUseIncludeList ? kOnlyIn : kNeverIn;
  const auto& list = mode == kUseIncludeList ? phrase.Include() : phrase.Exclude();
  for (const auto& [program, enabled] : list) {
    if (enabled == 1 && !program.empty()) entry.programs.push_back(UpperCased(program));
  }
}

bool TypingEngine::LoadPhrases(const PhraseDatabase& phrases) {
  std::lock_guard guard(Lock());
  index_.Clear();
  entries_.clear();
  for (const auto& phrase : phrases.Items()) {
    if (phrase->Enabled() == 0 || phrase->Prefixes().empty()) continue;
    EngineEntry entry;
    entry.text = phrase->Word();
    entry.caseSensitive = phrase->CaseSensitive();
    entry.addOrReplace = phrase->AddOrReplace();
    entry.leftAfter = phrase->LeftAfter();
    entry.lParam = phrase->Id();
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (enabled == 1) entry.keystrokes.insert(keystroke);
    }
    SetProgramRule(*phrase, entry);
    if (!entry.keystrokes.empty()) entries_.push_back(std::move(entry));
  }
  index_.Build(entries_, desktop());
  return true;
}

size_t TypingEngine::EntryCount() const noexcept {
  std::lock_guard guard(Lock());
  return entries_.size();
}

uint32_t TypingEngine::PendingDelay(uint32_t delay) const noexcept {
  std::lock_guard guard(Lock());
  if (pending_.immediate) return 0;
  return InsertionDelay(delay, pending_.leftAfter);
}

void TypingEngine::SetPrintCallback(PrintCallback callback, void* context) noexcept {
  // Under the lock: waits until a running callback has returned.
  std::lock_guard guard(Lock());
  printCallback_ = callback;
  printContext_ = context;
}

void TypingEngine::SetNotifyCallback(NotifyCallback callback, void* context) noexcept {
  std::lock_guard guard(Lock());
  notifyCallback_ = callback;
  notifyContext_ = context;
}

void TypingEngine::SetInsertionSignals(InsertionSignals* signals) noexcept {
  std::lock_guard guard(Lock());
  signals_ = signals;
}

PendingInsertion TypingEngine::Pending() const {
  std::lock_guard guard(Lock());
  return pending_;
}

std::u16string TypingEngine::LastWord() const {
  std::lock_guard guard(Lock());
  return lastWord_;
}

EngineEntry TypingEngine::LastEntry() const {
  std::lock_guard guard(Lock());
  return lastEntry_;
}

void TypingEngine::OnInsertionTyped() noexcept {
  std::lock_guard guard(Lock());
  if (pending_.undo) {
    // The keystroke is back (and the separator, which ends the word again). It stays as it
    // is until the word changes.
    if (undoRestoresWord_) {
      ReplaceCurrentWord(lastWord_);
      suppressedWord_ = lastWord_;
    } else {
      ClearCurrentWord();
    }
    return;
  }
  ClearCurrentWord();
  CallPrintCallback(TAC_WORD_IS_PRINTED, &pending_.entry, lastWord_.c_str());
  if (options_.undoWithBackspace) {
    undoable_.valid = true;
    undoable_.window = pending_.window;
    undoable_.typedCharacters = EditorCharacterCount(pending_.text);
    undoable_.leftAfter = pending_.leftAfter;
    undoable_.addOrReplace = pending_.entry.addOrReplace;
  }
}

bool TypingEngine::UndoArmed() const noexcept {
  std::lock_guard guard(Lock());
  return undoable_.valid;
}

void TypingEngine::ForgetUndo() noexcept {
  undoable_.valid = false;
  if (signals_ != nullptr) signals_->DisarmUndo();
}

void TypingEngine::OnUndoRequest() noexcept {
  std::lock_guard guard(Lock());
  if (!undoable_.valid || undoable_.window != CurrentWindow()) {
    // The Backspace was held back for an undo that no longer applies: give it back as a
    // Backspace; the word cannot follow it.
    undoable_.valid = false;
    EndWord();
    undoRestoresWord_ = false;
    ScheduleUndo(u"", 1, 0);
    return;
  }
  undoable_.valid = false;
  // Replace mode erased the keystroke, which comes back; append mode left it in place.
  std::u16string back;
  try {
    if (undoable_.addOrReplace == kReplace) back = lastWord_;
    back += lastEnder_;
  } catch (...) {
    return;
  }
  // Without a separator the keystroke is the word again.
  undoRestoresWord_ = lastEnder_.empty();
  ScheduleUndo(back, undoable_.typedCharacters, undoable_.leftAfter);
}

void TypingEngine::ScheduleUndo(const std::u16string& text, int32_t eraseCount,
                                int32_t rightBefore) noexcept {
  ignoreInjected.store(1);
  pending_.text = text;
  pending_.eraseCount = eraseCount;
  pending_.leftAfter = 0;
  pending_.rightBefore = rightBefore;
  pending_.immediate = true;
  pending_.undo = true;
  pending_.awaitFocus = false;
  pending_.window = CurrentWindow();
  pending_.inputSeq = LastInputSeq();
  Raise(TrackerEvent::PrintPending);
  if (signals_ != nullptr) signals_->StartDelayed();
}

bool TypingEngine::InsertNow(uint32_t lParam, WindowHandle window) noexcept {
  std::lock_guard guard(Lock());
  const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const EngineEntry& e) { return e.lParam == lParam; });
  if (entry == entries_.end()) return false;
  try {
    ignoreInjected.store(1);
    pending_.text = entry->text;
    pending_.eraseCount = 0;
    pending_.leftAfter = std::clamp(entry->leftAfter, 0, kMaxLeftAfter);
    pending_.rightBefore = 0;
    pending_.immediate = true;
    pending_.undo = false;
    pending_.window = window;
    pending_.awaitFocus = true;
    pending_.inputSeq = LastInputSeq();
    pending_.entry = *entry;
    lastWord_.clear();
    lastEnder_.clear();
    lastEntry_ = *entry;
  } catch (...) {
    return false;
  }
  Raise(TrackerEvent::PrintPending);
  if (signals_ != nullptr) signals_->StartDelayed();
  return true;
}

void TypingEngine::SetTrackingPaused(bool paused) noexcept {
  std::lock_guard guard(Lock());
  if (paused) {
    ClearRecords();
    CancelPending();
  }
  PauseTracking(paused);
}

void TypingEngine::SetOptions(const ExpansionOptions& options) noexcept {
  std::lock_guard guard(Lock());
  options_ = options;
  if (!options.undoWithBackspace) ForgetUndo();
}

ExpansionOptions TypingEngine::Options() const noexcept {
  std::lock_guard guard(Lock());
  return options_;
}

void TypingEngine::RaiseEndPrint() noexcept {
  std::lock_guard guard(Lock());
  Raise(TrackerEvent::EndPrint);
}

}  // namespace vellix
