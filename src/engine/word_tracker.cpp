#include "engine/word_tracker.h"

#include <algorithm>

#include "base/utf.h"
#include "engine/modifier_tracker.h"

namespace vellix {
namespace {

// How many units one Backspace takes from the end of text: the edit controls erase a whole
// character, so a surrogate pair goes as one.
size_t LastCharacterLength(std::u16string_view text) {
  const size_t n = text.size();
  if (n >= 2 && IsLowSurrogate(text[n - 1]) && IsHighSurrogate(text[n - 2])) return 2;
  return n == 0 ? 0 : 1;
}

// Virtual keys that move the caret or edit the text without typing.
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkPageUp = 0x21;
constexpr uint32_t kVkDown = 0x28;  // Page Down, End, Home, Left, Up, Right lie between
constexpr uint32_t kVkInsert = 0x2D;
constexpr uint32_t kVkDelete = 0x2E;

bool IsNavigationKey(uint32_t vk) {
  return vk == kVkEscape || (vk >= kVkPageUp && vk <= kVkDown) || vk == kVkInsert ||
         vk == kVkDelete;
}

bool HasAlt(const KeyboardEventInfo& info) {
  return (info.modifiers & kModAlt) != 0 || (info.flags & kLlkhfAltDown) != 0;
}

// Keys that end the word whatever they would type: caret and editing keys, and shortcuts
// (Ctrl, Alt or the Windows key held). Ctrl together with Alt may be AltGr, which types a
// character: the translation decides.
bool EndsWordBeforeTranslation(const KeyboardEventInfo& info) {
  // A system key press comes with Alt, or is F10 (the menu bar).
  if (info.message == kWmSysKeyDown) return true;
  if (IsNavigationKey(info.vkCode)) return true;
  if ((info.modifiers & kModWin) != 0) return true;
  const bool ctrl = (info.modifiers & kModControl) != 0;
  const bool alt = HasAlt(info);
  if (ctrl != alt) return true;
  return ctrl && alt && info.vkCode == kVkBack;
}

// Text that a key types into a field: at least one unit, and no control character but the
// Tab, CR and LF that the separators hold.
bool IsTypedText(std::u16string_view text) {
  if (text.empty()) return false;
  for (char16_t unit : text) {
    if (unit == u'\t' || unit == u'\r' || unit == u'\n') continue;
    if (unit < 0x20 || unit == 0x7F) return false;
  }
  return true;
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
  if ((info.flags & kLlkhfInjected) != 0 && ignoreInjected.load() != 0) return;
  if (info.message == kWmKeyUp || info.message == kWmSysKeyUp) {
    std::lock_guard guard(lock_);
    ReleaseUnknown(info.vkCode);
    return;
  }
  if (info.message != kWmKeyDown && info.message != kWmSysKeyDown) return;

  std::lock_guard guard(lock_);
  if (!running_) return;
  lastInputSeq_ = std::max(lastInputSeq_, info.inputSeq);
  if (paused_) return;
  if ((info.flags & kUndoRequestFlag) != 0) {
    OnUndoRequest();
    return;
  }
  if (IsModifierKey(info.vkCode)) {
    // A modifier alone changes no text; the key still restarts a waiting insertion's delay.
    Raise(TrackerEvent::WordChanged);
    return;
  }
  if (KeepsNoWord()) {
    // Nothing typed into a password field or an excluded program is kept, not even the
    // word of another window (a key in another window ends that word anyway).
    ClearRecords();
    deadKey_ = 0;
    Raise(TrackerEvent::WordChanged);
    return;
  }
  if (EndsWordBeforeTranslation(info)) {
    EndWord();
  } else if (info.vkCode == kVkBack) {
    // Whether a Backspace disarms a dead key differs between layouts: start afresh.
    if (deadKey_ != 0) {
      EndWord();
    } else {
      OnBackspace();
    }
  } else {
    TranslateAndApply(info);
  }
}

void WordTracker::OnMouseButton(const MouseEventInfo& info, uint32_t) noexcept {
  std::lock_guard guard(lock_);
  if (!running_) return;
  lastInputSeq_ = std::max(lastInputSeq_, info.inputSeq);
  if (paused_) return;
  EndWord();
}

void WordTracker::PauseTracking(bool paused) noexcept {
  std::lock_guard guard(lock_);
  paused_ = paused;
  deadKey_ = 0;
}

void WordTracker::TranslateAndApply(const KeyboardEventInfo& info) noexcept {
  if (currentWindow_ == 0) return;  // no window seen yet: the key cannot be placed
  char16_t buffer[kKeyTextBufferSize] = {};
  const int result = desktop_.KeyText(info, currentWindow_, buffer, kKeyTextBufferSize - 1);
  const size_t length =
      std::min(static_cast<size_t>(result < 0 ? -result : result), kKeyTextBufferSize - 1);
  std::u16string_view text(buffer, length);
  // The text ends at its first zero unit, as the translation's buffer does.
  text = text.substr(0, text.find(u'\0'));

  if (result < 0 && deadKey_ == 0 && !text.empty()) {
    // The target shows nothing yet; the next key decides what the dead key gives.
    deadKey_ = text[0];
    Raise(TrackerEvent::WordChanged);
    return;
  }
  // (A second dead key types both spacing forms: it goes on as text below.)
  if (!IsTypedText(text)) {
    // No character, or a control character: the key may have moved the caret or edited
    // the text in ways the word cannot follow (with Ctrl+Alt it was a shortcut, not AltGr).
    if (text.empty()) HoldUnknown(info.vkCode);
    EndWord();
    return;
  }
  if (AnyUnknownHeld()) {
    // Typed under a shift the layout does not show: its character is not known.
    EndWord();
    return;
  }
  if (deadKey_ != 0) {
    char16_t composed[kKeyTextBufferSize] = {};
    const size_t n = desktop_.ComposeDeadKey(deadKey_, text, composed, kKeyTextBufferSize - 1);
    deadKey_ = 0;
    ApplyKeyText(std::u16string_view(composed, std::min(n, kKeyTextBufferSize - 1)));
    return;
  }
  ApplyKeyText(text);
}

void WordTracker::HoldUnknown(uint32_t vk) noexcept {
  for (uint32_t& slot : heldUnknown_) {
    if (slot == vk) return;
  }
  for (uint32_t& slot : heldUnknown_) {
    if (slot == 0) {
      slot = vk;
      return;
    }
  }
}

void WordTracker::ReleaseUnknown(uint32_t vk) noexcept {
  for (uint32_t& slot : heldUnknown_) {
    if (slot == vk) slot = 0;
  }
}

bool WordTracker::AnyUnknownHeld() const noexcept {
  for (uint32_t slot : heldUnknown_) {
    if (slot != 0) return true;
  }
  return false;
}

void WordTracker::ReplaceCurrentWord(std::u16string_view word) noexcept {
  std::lock_guard guard(lock_);
  try {
    if (recordCount_ == 0) {
      if (currentWindow_ == 0) return;
      AddRecord(currentWindow_, word);
    } else {
      records_[recordCount_ - 1].text.assign(word);
    }
  } catch (...) {
    if (recordCount_ > 0) records_[recordCount_ - 1].text.clear();
  }
  previousClass_ = CharClass::WordClass;
}

void WordTracker::ApplyKeyText(std::u16string_view text) noexcept {
  OnKeyText(text, currentWindow_);
  Raise(TrackerEvent::WordChanged);
}

void WordTracker::EndWord() noexcept {
  std::lock_guard guard(lock_);
  if (recordCount_ > 0) records_[recordCount_ - 1].text.clear();
  previousClass_ = CharClass::SeparatorClass;
  deadKey_ = 0;
  Raise(TrackerEvent::WordChanged);
}

void WordTracker::SetCurrentWindow(WindowHandle window) noexcept {
  if (window != currentWindow_) {
    // Asked only when the window changes: caret events come with every typed character.
    currentWindow_ = window;
    passwordField_ = window != 0 && desktop_.IsPasswordField(window);
    UpdateProgram();
    if (KeepsNoWord()) deadKey_ = 0;
  }
}

void WordTracker::UpdateProgram() noexcept {
  char16_t name[kProgramNameCapacity];
  const size_t length = currentWindow_ == 0
                            ? 0
                            : std::min(desktop_.ProgramFileName(currentWindow_, name,
                                                                kProgramNameCapacity),
                                       kProgramNameCapacity);
  try {
    const std::u16string_view now(name, length);
    if (!now.empty() && !program_.empty() && now != program_) previousProgram_ = program_;
    program_.assign(now);
    programKey_ = UpperCased(program_);
  } catch (...) {
    program_.clear();  // out of memory: the program is not known
    programKey_.clear();
  }
  excludedProgram_ = !programKey_.empty() &&
                     std::find(excludedPrograms_.begin(), excludedPrograms_.end(), programKey_) !=
                         excludedPrograms_.end();
}

std::u16string WordTracker::UpperCased(std::u16string_view text) const {
  std::u16string upper(text);
  for (char16_t& unit : upper) unit = desktop_.UpperCase(unit);
  return upper;
}

void WordTracker::SetExcludedPrograms(const std::vector<std::u16string>& programs) {
  std::vector<std::u16string> keys;
  keys.reserve(programs.size());
  for (const std::u16string& program : programs) {
    if (!program.empty()) keys.push_back(UpperCased(program));
  }
  std::lock_guard guard(lock_);
  excludedPrograms_ = std::move(keys);
  UpdateProgram();
  if (KeepsNoWord()) ClearRecords();
}

std::u16string WordTracker::CurrentProgram() const {
  std::lock_guard guard(lock_);
  return program_;
}

std::u16string WordTracker::PreviousProgram() const {
  std::lock_guard guard(lock_);
  return previousProgram_;
}

bool WordTracker::InExcludedProgram() const noexcept {
  std::lock_guard guard(lock_);
  return excludedProgram_;
}

void WordTracker::OnWinEvent(const WinEventInfo& info, uint32_t) noexcept {
  std::lock_guard guard(lock_);
  if (!running_) return;
  switch (info.event) {
    case kEventSystemForeground:
      if (info.window == 0 || !desktop_.WindowExists(info.window)) return;
      SetCurrentWindow(info.window);
      break;
    case kEventObjectFocus:
      if (info.objectId != kObjIdWindow) return;
      if (desktop_.WindowExists(info.window)) {
        SetCurrentWindow(info.window);
      } else {
        PruneDeadWindows();
      }
      break;
    case kEventObjectLocationChange:
      if (info.objectId != kObjIdCaret) return;
      // The caret's own window, also when it is already gone: the next key shows it.
      SetCurrentWindow(info.window);
      break;
    default:
      return;
  }
  Raise(TrackerEvent::WindowEvent);
}

void WordTracker::OnKeyText(std::u16string_view text, WindowHandle window) noexcept {
  std::lock_guard guard(lock_);
  const CharClass c = ClassifyText(text);
  wordEnded_ = false;
  if (c == CharClass::SeparatorClass) {
    const size_t index = FindRecord(window);
    if (index < recordCount_) {
      RememberEndedWord(records_[index].text, text);
      records_[index].text.clear();
    }
    previousClass_ = CharClass::SeparatorClass;
    return;
  }
  if (recordCount_ == 0) {
    AddRecord(window, text);
  } else if (records_[recordCount_ - 1].window == window) {
    std::u16string& word = records_[recordCount_ - 1].text;
    // A full stop after anything but a full stop starts a new word with itself.
    if (c == CharClass::PeriodClass && previousClass_ != CharClass::PeriodClass) {
      RememberEndedWord(word, text);
      word.clear();
    }
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

void WordTracker::RememberEndedWord(std::u16string_view word, std::u16string_view ender) noexcept {
  if (word.empty()) return;
  try {
    endedWord_.assign(word);
    ender_.assign(ender);
    wordEnded_ = true;
  } catch (...) {
    // Out of memory: the word ends without a chance to expand.
  }
}

bool WordTracker::TakeEndedWord(std::u16string_view& word, std::u16string_view& ender) noexcept {
  if (!wordEnded_) return false;
  wordEnded_ = false;
  word = endedWord_;
  ender = ender_;
  return true;
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

uint64_t WordTracker::LastInputSeq() const noexcept {
  std::lock_guard guard(lock_);
  return lastInputSeq_;
}

bool WordTracker::InPasswordField() const noexcept {
  std::lock_guard guard(lock_);
  return passwordField_;
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
    passwordField_ = false;
    program_.clear();
    programKey_.clear();
    excludedProgram_ = false;
    deadKey_ = 0;
    heldUnknown_ = {};
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
