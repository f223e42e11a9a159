#include "engine/word_tracker.h"

#include <algorithm>

namespace vellix {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// How many units one Backspace takes from the end of text: the edit controls erase a whole
// character, so a surrogate pair goes as one.
size_t LastCharacterLength(std::u16string_view text) {
  const size_t n = text.size();
  if (n >= 2 && IsLowSurrogate(text[n - 1]) && IsHighSurrogate(text[n - 2])) return 2;
  return n == 0 ? 0 : 1;
}

}  // namespace

WordTracker::WordTracker(Desktop& desktop, HookRegistrar& hooks)
    : desktop_(desktop), hooks_(hooks) {
  records_.reserve(2);
}

WordTracker::~WordTracker() = default;

void WordTracker::SetTrackerNotify(NotifyFunction function, void* context) noexcept {
  std::lock_guard guard(lock_);
  notify_ = function;
  notifyContext_ = context;
}

void WordTracker::Raise(TrackerEvent code) noexcept {
  if (notify_ != nullptr) notify_(code, notifyContext_);
}

void WordTracker::OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t) noexcept {
  if (info.message != kWmKeyDown) return;
  if ((info.flags & kLlkhfAltDown) != 0) return;
  const bool injected = (info.flags & kLlkhfInjected) != 0;
  if (injected ? ignoreInjected.load() != 0 : ignorePhysical.load() != 0) return;

  std::lock_guard guard(lock_);
  if (!running_) return;
  if (info.vkCode == kVkBack) {
    OnBackspace();
    return;
  }
  TranslateAndApply(info);
}

void WordTracker::TranslateAndApply(const KeyboardEventInfo& info) noexcept {
  // No window seen yet, or a Ctrl shortcut: the key yields no text and changes nothing.
  if (currentWindow_ == 0 || desktop_.IsControlDown()) return;
  char16_t buffer[kKeyTextBufferSize] = {};
  size_t length = desktop_.KeyText(info, currentWindow_, buffer, kKeyTextBufferSize - 1);
  std::u16string_view text(buffer, std::min(length, kKeyTextBufferSize - 1));
  // The text ends at its first zero unit, as the translation's buffer does.
  text = text.substr(0, text.find(u'\0'));
  OnKeyText(text, currentWindow_);
  Raise(TrackerEvent::WordChanged);
}

void WordTracker::OnWinEvent(const WinEventInfo& info, uint32_t) noexcept {
  std::lock_guard guard(lock_);
  if (!running_) return;
  switch (info.event) {
    case kEventSystemForeground:
      if (info.window == 0 || !desktop_.WindowExists(info.window)) return;
      currentWindow_ = info.window;
      break;
    case kEventObjectFocus:
      if (info.objectId != kObjIdWindow) return;
      if (desktop_.WindowExists(info.window)) {
        currentWindow_ = info.window;
      } else {
        PruneDeadWindows();
      }
      break;
    case kEventObjectLocationChange:
      if (info.objectId != kObjIdCaret) return;
      // The caret's own window, also when it is already gone: the next key shows it.
      currentWindow_ = info.window;
      break;
    default:
      return;
  }
  Raise(TrackerEvent::WindowEvent);
}

void WordTracker::OnKeyText(std::u16string_view text, WindowHandle window) noexcept {
  std::lock_guard guard(lock_);
  const CharClass c = ClassifyText(text);
  if (c == CharClass::SeparatorClass) {
    const size_t index = FindRecord(window);
    if (index < recordCount_) records_[index].text.clear();
    previousClass_ = CharClass::SeparatorClass;
    return;
  }
  if (recordCount_ == 0) {
    AddRecord(window, text);
  } else if (records_[recordCount_ - 1].window == window) {
    std::u16string& word = records_[recordCount_ - 1].text;
    // A full stop after anything but a full stop starts a new word with itself.
    if (c == CharClass::PeriodClass && previousClass_ != CharClass::PeriodClass) word.clear();
    word.append(text);
  } else {
    // A key in another window ends the old word: keep only the newest records, then drop
    // those whose window is gone (possibly the new one, leaving no record at all).
    AddRecord(window, text);
    while (recordCount_ > MaxTrackedWindows()) RemoveRecord(0);
    PruneDeadWindows();
  }
  previousClass_ = c;
}

void WordTracker::OnBackspace() noexcept {
  std::lock_guard guard(lock_);
  const size_t index = FindRecord(currentWindow_);
  if (index == recordCount_) {
    ClearCurrentWord();
    return;
  }
  std::u16string& word = records_[index].text;
  if (word.empty()) return;
  word.resize(word.size() - LastCharacterLength(word));
  Raise(TrackerEvent::WordChanged);
}

std::u16string WordTracker::CurrentWord() const {
  std::lock_guard guard(lock_);
  return std::u16string(CurrentWordView());
}

std::u16string_view WordTracker::CurrentWordView() const noexcept {
  if (recordCount_ == 0) return {};
  return records_[recordCount_ - 1].text;
}

WindowHandle WordTracker::CurrentWordWindow() const noexcept {
  std::lock_guard guard(lock_);
  return recordCount_ == 0 ? currentWindow_ : records_[recordCount_ - 1].window;
}

WindowHandle WordTracker::CurrentWindow() const noexcept {
  std::lock_guard guard(lock_);
  return currentWindow_;
}

void WordTracker::ClearCurrentWord() noexcept {
  std::lock_guard guard(lock_);
  if (recordCount_ == 0) return;
  records_[recordCount_ - 1].text.clear();
  Raise(TrackerEvent::WordCleared);
}

bool WordTracker::PruneDeadWindows() noexcept {
  std::lock_guard guard(lock_);
  bool removed = false;
  for (size_t i = recordCount_; i-- > 0;) {
    if (!desktop_.WindowExists(records_[i].window)) {
      RemoveRecord(i);
      removed = true;
    }
  }
  return removed;
}

void WordTracker::ClearRecords() noexcept {
  std::lock_guard guard(lock_);
  while (recordCount_ > 0) RemoveRecord(recordCount_ - 1);
}

size_t WordTracker::RecordCount() const noexcept {
  std::lock_guard guard(lock_);
  return recordCount_;
}

size_t WordTracker::FindRecord(WindowHandle window) const noexcept {
  for (size_t i = recordCount_; i-- > 0;) {
    if (records_[i].window == window) return i;
  }
  return recordCount_;
}

void WordTracker::AddRecord(WindowHandle window, std::u16string_view text) {
  if (recordCount_ < records_.size()) {
    WindowWord& slot = records_[recordCount_];
    slot.window = window;
    slot.text.assign(text);  // reuses the storage of a removed record
  } else {
    records_.push_back(WindowWord{window, std::u16string(text)});
  }
  ++recordCount_;
}

void WordTracker::RemoveRecord(size_t index) noexcept {
  // Slide the removed record behind the live ones; swapping keeps its storage.
  std::rotate(records_.begin() + static_cast<std::ptrdiff_t>(index),
              records_.begin() + static_cast<std::ptrdiff_t>(index) + 1,
              records_.begin() + static_cast<std::ptrdiff_t>(recordCount_));
  --recordCount_;
  records_[recordCount_].window = 0;
  records_[recordCount_].text.clear();
}

bool WordTracker::StartTracking(bool installKeyboardHook) noexcept {
  std::lock_guard guard(lock_);
  if (running_) return false;
  hooks_.AddWinEventListener(this, 0, kEventObjectFocus);
  hooks_.AddWinEventListener(this, 0, kEventSystemForeground);
  const bool hooked = hooks_.IsWinEventHooked();
  hooks_.AddWinEventListener(this, 0, kEventObjectLocationChange);
  if (!hooked) {
    hooks_.RemoveWinEventListener(this);
    return false;
  }
  if (installKeyboardHook) {
    hooks_.SetKeyboardModule(instance_);
    if (!hooks_.RegisterKeyboardListener(this, 0)) {
      hooks_.RemoveWinEventListener(this);
      return false;
    }
  }
  keyboardRegistered_ = installKeyboardHook;
  running_ = true;
  return true;
}

bool WordTracker::StopTracking() noexcept {
  std::lock_guard guard(lock_);
  if (!running_) return false;
  if (keyboardRegistered_) hooks_.UnregisterKeyboardListener(this);
  if (hooks_.RemoveWinEventListener(this)) {
    ClearRecords();
    currentWindow_ = 0;
    running_ = false;
    keyboardRegistered_ = false;
    return true;
  }
  // Still receiving window events: keep the keyboard side as it was, and keep running.
  if (keyboardRegistered_) keyboardRegistered_ = hooks_.RegisterKeyboardListener(this, 0);
  return false;
}

bool WordTracker::IsRunning() const noexcept {
  std::lock_guard guard(lock_);
  return running_;
}

}  // namespace vellix
