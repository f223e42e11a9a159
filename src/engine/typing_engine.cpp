#include "engine/typing_engine.h"

#include <array>

#include "engine/keystroke_rule.h"
#include <mutex>

#include "phrases/phrase_database.h"

namespace vellix {
namespace {

// Key texts that end a word, compared whole.
constexpr std::array<std::u16string_view, 13> kSeparators = {
    u",", u"#", u"?", u"\"", u"'", u"\r", u"\n", u"\r\n", u"\t", u"=", u"/", u"\\", u" ",
};

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

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
      // Switching away from the word's window does not cancel: the record still names it.
      if (CurrentWordWindow() != pending_.window) CancelPending();
      Match();
      break;
    case TrackerEvent::WordChanged:
      CancelPending();
      Match();
      break;
    case TrackerEvent::EndPrint:
      Match();
      break;
    case TrackerEvent::PrintPending:
    case TrackerEvent::WordCleared:
      break;
  }
}

void TypingEngine::Match() noexcept {
  const std::u16string_view word = CurrentWordView();
  if (entries_.empty() || word.empty()) return;
  const size_t index = index_.Find(entries_, word, desktop());
  if (index == entries_.size()) return;
  matchWord_.assign(word);
  Schedule(matchWord_, entries_[index]);
}

const EngineEntry* TypingEngine::FindEntry(std::u16string_view word) const noexcept {
  std::lock_guard guard(Lock());
  const size_t index = index_.Find(entries_, word, desktop());
  return index == entries_.size() ? nullptr : &entries_[index];
}

const EngineEntry* TypingEngine::FindEntryPlain(std::u16string_view word) const noexcept {
  std::lock_guard guard(Lock());
  const size_t index = vellix::FindEntryPlain(entries_, word, desktop());
  return index == entries_.size() ? nullptr : &entries_[index];
}

void TypingEngine::Schedule(const std::u16string& word, const EngineEntry& entry) noexcept {
  std::lock_guard guard(Lock());
  if (CallPrintCallback(TAC_IS_ALLOW_PRINT_WORD, &entry, word.c_str()) == 1) return;

  ignoreInjected.store(1);
  const size_t n = word.size();
  if (entry.addOrReplace == kReplace) {
    pending_.text = entry.text;
    pending_.eraseCount = CharacterCount(word);
  } else {
    // Append: the word stays and the phrase is typed without its first n units.
    if (n < entry.text.size()) {
      pending_.text.assign(entry.text, n);
    } else {
      pending_.text.clear();
    }
    pending_.eraseCount = 0;
  }
  pending_.window = CurrentWordWindow();
  pending_.leftAfter = entry.leftAfter;
  pending_.entry = entry;
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
  ClearCurrentWord();
  CallPrintCallback(TAC_WORD_IS_PRINTED, &pending_.entry, lastWord_.c_str());
}

void TypingEngine::RaiseEndPrint() noexcept {
  std::lock_guard guard(Lock());
  Raise(TrackerEvent::EndPrint);
}

}  // namespace vellix
