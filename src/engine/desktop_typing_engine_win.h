#pragma once
// The typing engine as the program runs it on the desktop: the engine core with the real
// keyboard layout and window queries, the process-wide hooks, SendInput typing and the
// worker thread. The host switches it on with SetPrintDelay, SetPrintCallback,
// SetNotifyCallback and Start(true), and off with Stop, all on the thread that pumps the
// messages through which the hooks are delivered.

#include <cstdint>

#include "engine/desktop_win.h"
#include "engine/engine_worker_win.h"
#include "engine/hook_registrar_win.h"
#include "engine/key_injector_win.h"
#include "engine/typing_engine.h"

namespace vellix {

// The platform pieces, constructed before the engine core that refers to them.
struct DesktopEngineParts {
  Win32Desktop desktopPart;
  Win32HookRegistrar hooksPart;
  Win32KeyInjector injectorPart;
};

class DesktopTypingEngine : private DesktopEngineParts, public TypingEngine {
 public:
  DesktopTypingEngine();
  // Stops the engine when the host did not.
  ~DesktopTypingEngine() override;

  // False (nothing changed) when running already, or when a hook or the worker cannot be
  // set up; everything this call set up is then undone. On success the window that has
  // the focus is followed at once.
  bool Start(bool installKeyboardHook) noexcept;
  // False when not running, or when the window-event listener could not be removed (the
  // engine then keeps running). Once it has returned true nothing more is typed.
  bool Stop() noexcept;

  // Phrases of at least this many units are pasted through the clipboard; 0 types all.
  void SetPasteFromLength(uint32_t length) noexcept { worker_.SetPasteFromLength(length); }

  // The caret's bottom-right corner in screen coordinates, in the window of the word.
  bool GetCaretScreenPosition(int32_t& x, int32_t& y) const noexcept;

 private:
  // Makes the focused window of the foreground (when not this program's) the current one.
  void FollowFocusedWindow() noexcept;

  EngineWorker worker_;
};

}  // namespace vellix
