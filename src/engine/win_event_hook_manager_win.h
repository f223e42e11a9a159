#pragma once
// The process-wide out-of-context WinEvent hook over the whole event range. Installed when
// the first listener is added, released when the last one is removed; each listener's set
// of event codes filters what it receives. Created on first use, lives until the process
// ends; all calls on the thread that installs the hook, which must pump messages.

#include <windows.h>

#include "engine/engine_types.h"
#include "engine/win_event_listener_registry.h"
#include "win32/unique_handle.h"

namespace vellix {

class WinEventHookManager final : private HookSwitch {
 public:
  static WinEventHookManager& Instance();
  // Adds event to the listener's set; false when already there. Answers true also when the
  // hook could not be installed: test IsHooked.
  static bool Add(WinEventListener* listener, uint32_t context, uint32_t event);
  // False when the listener has no entry.
  static bool Remove(WinEventListener* listener);
  static bool IsHooked();
  // Whether events raised by this process's own windows are skipped; takes effect at the
  // next installation.
  static void SetSkipOwnProcess(bool skip);
  // The WinEvent procedure: queues an event that a listener wants for the HookEventPump,
  // behind the key events that came before it.
  static void CALLBACK HookProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG objectId,
                                LONG childId, DWORD eventThread, DWORD eventTime) noexcept;
  // The HookEventPump: hands the event to every listener whose set holds it.
  static void Deliver(const WinEventInfo& info) noexcept;

  virtual ~WinEventHookManager();

 private:
  WinEventHookManager() : registry_(*this) {}
  bool Install() noexcept override;
  bool Release() noexcept override;

  WinEventListenerRegistry registry_;
  UniqueWinEventHook hook_;
};

}  // namespace vellix
