#pragma once
// Hands the hooks' events to their listeners right after the hook procedures return. The
// keyboard, mouse and window-event hooks push into one HookEventQueue (so keys and window
// changes keep the order in which they came) and post one message to a message-only
// window of the hooks' thread; that window drains the queue into the keyboard and
// window-event listener registries. Created on first use on the hooks' thread, which must
// pump messages (every modal loop of the program does).

#include <windows.h>

#include "engine/hook_event_queue.h"

namespace vellix {

class HookEventPump {
 public:
  static HookEventPump& Instance();

  // Creates the window; true when it exists. Called when a hook is installed.
  bool Open() noexcept;
  // Hook procedures: queues the event and asks for a drain when the queue was empty.
  void Push(const HookEvent& event) noexcept {
    Queue(event);
    RequestDrain();
  }
  // The two halves of Push: the copy into the queue (no system call), and the message
  // that makes this thread drain it once the hook has returned (posted only when none is
  // on its way already).
  void Queue(const HookEvent& event) noexcept { queue_.Push(event); }
  void RequestDrain() noexcept;
  size_t Backlog() const noexcept { return queue_.Size(); }
  // Events that may wait without a drain request (key releases) before one is made.
  static constexpr size_t kReleaseBacklog = 64;
  // Hands every queued event to the listeners, oldest first (also events pushed meanwhile).
  void Drain() noexcept;

 private:
  HookEventPump() = default;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  HookEventQueue queue_;
  HWND window_ = nullptr;
  bool drainPosted_ = false;
  bool draining_ = false;  // a listener that pumps messages must not start a second drain
};

}  // namespace vellix
