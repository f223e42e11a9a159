#pragma once
// The registrations of the process-wide WinEvent hook: listeners in registration order,
// each with its context and the set of event codes it wants, and when the hook is
// installed or released. Runs on the hook's thread only; no lock.

#include <cstdint>
#include <set>
#include <vector>

#include "engine/engine_types.h"
#include "engine/hook_switch.h"

namespace vellix {

class WinEventListenerRegistry {
 public:
  explicit WinEventListenerRegistry(HookSwitch& hook) : hook_(hook) {}
  WinEventListenerRegistry(const WinEventListenerRegistry&) = delete;
  WinEventListenerRegistry& operator=(const WinEventListenerRegistry&) = delete;

  // Adds event to the listener's set (a new listener keeps context); false when the set
  // already holds it. The first listener installs the hook; a failed installation still
  // answers true, and callers test IsHooked.
  bool Add(WinEventListener* listener, uint32_t context, uint32_t event);
  // Removes the listener's entry; false when it had none. The last one releases the hook.
  bool Remove(WinEventListener* listener);
  bool IsHooked() const { return hooked_; }
  size_t size() const { return entries_.size(); }

  // Hands the event to every listener whose set holds it, in registration order.
  void Dispatch(const WinEventInfo& info) const noexcept;
  // Whether any listener's set holds the event.
  bool Wants(uint32_t event) const noexcept;

 private:
  struct Entry {
    WinEventListener* listener;
    uint32_t context;
    std::set<uint32_t> events;
  };

  HookSwitch& hook_;
  bool hooked_ = false;
  std::vector<Entry> entries_;
};

}  // namespace vellix
