#pragma once
// The events of the input and window-event hooks, in the order the hooks received them,
// waiting to be handed to the listeners. The hook procedures only copy their record into
// the queue and return at once (a low-level hook that takes too long is removed by the
// system, and every key on the desktop waits for it); the listeners run right after, on
// the same thread, when the queue is drained.
//
// One thread (the hooks' thread) pushes and drains, so there is no lock. The storage is
// fixed: a hook never allocates. When the listeners fall so far behind that the queue is
// full, the events that do not fit are replaced by one kLost event, which tells the word
// tracker that it missed input.

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/engine_types.h"

namespace vellix {

struct HookEvent {
  enum class Kind : uint8_t { kKey, kMouse, kWindow, kLost };
  Kind kind = Kind::kKey;
  KeyboardEventInfo key;
  MouseEventInfo mouse;
  WinEventInfo window;
};

class HookEventQueue {
 public:
  static constexpr size_t kCapacity = 1024;

  // False when the queue was empty before: the caller then asks for a drain.
  bool Push(const HookEvent& event) noexcept;
  // Takes the oldest event; false when none is left.
  bool Pop(HookEvent& event) noexcept;
  bool Empty() const noexcept { return count_ == 0 && !lost_; }
  size_t Size() const noexcept { return count_; }

 private:
  std::array<HookEvent, kCapacity> events_{};
  size_t head_ = 0;
  size_t count_ = 0;
  bool lost_ = false;  // events were dropped after the ones queued
};

}  // namespace vellix
