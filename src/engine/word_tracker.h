#pragma once
// WordTracker keeps the word that the user is typing in the focused window. It receives the
// low-level key events, mouse button presses and the window events of the hooks, keeps one
// record {window, word}, and reports every change through its notify function (TypingEngine
// reacts to it).
//
// The word is always the text just before the caret, or empty: anything that may move the
// caret or change the text other than by typing ends it (a mouse click, a navigation or
// editing key, a key pressed with Ctrl, Alt or the Windows key held), so that an insertion
// never erases text that was not its keystroke. AltGr characters are typed text; modifier
// keys alone and dead keys change nothing. In a password field no word is kept at all.
//
// Threads. The hook thread (the main dialog's thread, which installs both hooks and pumps
// their messages) calls OnKeyboardEvent, OnWinEvent, StartTracking and StopTracking. The
// engine's worker thread calls ClearCurrentWord after it typed an insertion and raises
// EndPrint. Every piece of shared state (records, currentWindow, previousClass, running) is
// therefore read and written under Lock(), a recursive mutex: the notify function runs with
// it held and may call back into the tracker on the same thread. The two ignore flags are
// plain atomics instead, because the worker flips ignorePhysical while the hook thread reads
// it for every key.
//
// Allocation. The hook path reuses its buffers: the key text goes through a fixed buffer and
// removed records keep their string storage for the next record, so a key event allocates
// only when a word grows past every length seen before.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_types.h"
#include "engine/hook_registrar.h"

namespace vellix {

// Classes of a key text.
enum class CharClass : int32_t { SeparatorClass = 0, WordClass = 1, PeriodClass = 2 };

// The codes of the tracker's notifications.
enum class TrackerEvent : int32_t {
  WindowEvent = 0,   // an accepted foreground, focus or caret event
  WordChanged = 1,   // a key text was processed, or Backspace removed a character
  EndPrint = 2,      // the worker finished one print request, typed or cancelled
  PrintPending = 3,  // an insertion has just been scheduled
  WordCleared = 4,   // the newest word was emptied (Backspace elsewhere, typed insertion)
};

// One window's typed word.
struct WindowWord {
  WindowHandle window = 0;
  std::u16string text;
};

class WordTracker : public WinEventListener, public KeyboardListener {
 public:
  // The text buffer of one key: 100 units, of which the translation fills at most 99.
  static constexpr size_t kKeyTextBufferSize = 100;
  // The longest program file name taken (a file name has at most 255 units).
  static constexpr size_t kProgramNameCapacity = 260;

  WordTracker(Desktop& desktop, HookRegistrar& hooks);
  WordTracker(const WordTracker&) = delete;
  WordTracker& operator=(const WordTracker&) = delete;
  virtual ~WordTracker();

  // Hook thread: one window event; updates currentWindow.
  void OnWinEvent(const WinEventInfo& info, uint32_t context) noexcept override;
  // Hook thread: one low-level key event; filters it and passes it on as a key text or a
  // Backspace, or ends the word.
  void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t context) noexcept override;
  // Hook thread: a mouse button was pressed somewhere; the caret may have moved.
  void OnMouseButton(const MouseEventInfo& info, uint32_t context) noexcept override;

  virtual CharClass ClassifyText(std::u16string_view text) const noexcept = 0;
  virtual size_t MaxTrackedWindows() const noexcept { return 1; }

  // Applies the text of one key press typed in window to the records.
  void OnKeyText(std::u16string_view text, WindowHandle window) noexcept;
  // Whether the last key text ended a word (a separator, or a full stop after a word): then
  // the word it ended and the key's text, valid under the lock until the next key text.
  // Answers each ended word once.
  bool TakeEndedWord(std::u16string_view& word, std::u16string_view& ender) noexcept;
  // Applies one Backspace press.
  void OnBackspace() noexcept;
  // Empties the newest record's word and raises WordChanged: the caret may be elsewhere now.
  void EndWord() noexcept;
  // Hook thread: the user asked for the last expansion to be undone (TypingEngine acts).
  virtual void OnUndoRequest() noexcept {}

  // The newest record's word, or empty when there is none (a copy, taken under the lock).
  std::u16string CurrentWord() const;
  // The newest record's window, or currentWindow when there is no record. The caret query
  // of the Win32 layer uses it from whichever thread raised PrintPending.
  WindowHandle CurrentWordWindow() const noexcept;
  // Empties the newest record's word and raises WordCleared; nothing without a record.
  void ClearCurrentWord() noexcept;
  // Removes every record whose window no longer exists; true when one was removed.
  bool PruneDeadWindows() noexcept;
  void ClearRecords() noexcept;
  size_t RecordCount() const noexcept;

  // Hook thread. Registers with the WinEvent hook manager for the focus, foreground and
  // caret events and, when installKeyboardHook is set, with the keyboard hook manager.
  // False, with every registration undone, when running already or a hook is missing.
  bool StartTracking(bool installKeyboardHook) noexcept;
  // Hook thread. Unregisters both listeners, clears the records and currentWindow. False
  // when not running, or when the WinEvent listener could not be removed (the keyboard
  // listener is then registered again and tracking goes on).
  bool StopTracking() noexcept;
  bool IsRunning() const noexcept;

  // The module handle that the keyboard hook is installed for.
  void SetInstanceHandle(uintptr_t instance) noexcept { instance_ = instance; }

  WindowHandle CurrentWindow() const noexcept;

  // Key events carrying the injected flag are ignored while set (always, in this program).
  std::atomic<uint32_t> ignoreInjected{1};

  // The number of the last user input this tracker has seen (see InputHoldGate).
  uint64_t LastInputSeq() const noexcept;
  // Whether the focused window is a password field (no word is kept there).
  bool InPasswordField() const noexcept;
  // While paused the user's keys and clicks only advance the input numbering.
  void PauseTracking(bool paused) noexcept;

  // Programs (executable file names, any case) in which no word is kept and nothing is
  // typed.
  void SetExcludedPrograms(const std::vector<std::u16string>& programs);
  // The executable file name of the focused window's program as the system gave it; empty
  // when it is not known.
  std::u16string CurrentProgram() const;
  // Whether the focused program is one of the excluded programs.
  bool InExcludedProgram() const noexcept;
  // The program that had the focus before the current one (another program, known by
  // name): clicking the notification area makes the shell the current program, and the
  // tray menu asks about the program the user was in.
  std::u16string PreviousProgram() const;

 protected:
  using NotifyFunction = void (*)(TrackerEvent code, void* context) noexcept;

  // Installs the receiver of every TrackerEvent (TypingEngine's constructor does).
  void SetTrackerNotify(NotifyFunction function, void* context) noexcept;
  // Calls the notify function; the caller holds the lock.
  void Raise(TrackerEvent code) noexcept;

  std::recursive_mutex& Lock() const noexcept { return lock_; }
  // The newest record's word without copying; valid while the lock is held and the records
  // are not changed.
  std::u16string_view CurrentWordView() const noexcept;
  Desktop& desktop() const noexcept { return desktop_; }
  // The focused program's file name in the invariant upper case; valid under the lock.
  std::u16string_view CurrentProgramKey() const noexcept { return programKey_; }
  // The invariant upper case of text, one unit at a time (as keystrokes compare).
  std::u16string UpperCased(std::u16string_view text) const;
  // Sets the newest record's word (an undone expansion gives the keystroke back).
  void ReplaceCurrentWord(std::u16string_view word) noexcept;

 private:
  // Index of the newest record belonging to window, or recordCount_ when there is none.
  size_t FindRecord(WindowHandle window) const noexcept;
  void AddRecord(WindowHandle window, std::u16string_view text);
  void RemoveRecord(size_t index) noexcept;
  void TranslateAndApply(const KeyboardEventInfo& info) noexcept;
  void ApplyKeyText(std::u16string_view text) noexcept;
  void RememberEndedWord(std::u16string_view word, std::u16string_view ender) noexcept;
  void SetCurrentWindow(WindowHandle window) noexcept;

  Desktop& desktop_;
  HookRegistrar& hooks_;
  mutable std::recursive_mutex lock_;
  NotifyFunction notify_ = nullptr;
  void* notifyContext_ = nullptr;

  // records_[0, recordCount_) are the live records, oldest first; the slots beyond keep
  // their string storage for reuse.
  std::vector<WindowWord> records_;
  size_t recordCount_ = 0;
  CharClass previousClass_ = CharClass::SeparatorClass;
  WindowHandle currentWindow_ = 0;
  bool passwordField_ = false;  // currentWindow_ is a password field
  std::u16string program_;      // the file name of currentWindow_'s program
  std::u16string programKey_;   // the same in the invariant upper case
  std::u16string previousProgram_;
  std::vector<std::u16string> excludedPrograms_;  // upper case
  bool excludedProgram_ = false;  // programKey_ is among excludedPrograms_
  // No word is kept in the focused window (a password field or an excluded program).
  bool KeepsNoWord() const noexcept { return passwordField_ || excludedProgram_; }
  void UpdateProgram() noexcept;
  // The spacing form of a dead key pressed last, combined with the next key's text.
  char16_t deadKey_ = 0;
  // Keys without a character that are held down now. Such a key may be a level shift the
  // layout does not show (Wine reports AltGr so): what is typed while it is held is not
  // known, and ends the word.
  std::array<uint32_t, 4> heldUnknown_{};
  void HoldUnknown(uint32_t vk) noexcept;
  void ReleaseUnknown(uint32_t vk) noexcept;
  bool AnyUnknownHeld() const noexcept;
  uint64_t lastInputSeq_ = 0;
  bool wordEnded_ = false;      // the last key text ended endedWord_
  bool paused_ = false;
  std::u16string endedWord_;    // storage reused from one word to the next
  std::u16string ender_;
  bool running_ = false;
  bool keyboardRegistered_ = false;
  uintptr_t instance_ = 0;
};

}  // namespace vellix
