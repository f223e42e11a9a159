#include "engine/win_event_listener_registry.h"

#include <algorithm>

namespace vellix {

bool WinEventListenerRegistry::Add(WinEventListener* listener, uint32_t context,
                                   uint32_t event) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& e) { return e.listener == listener; });
  if (found != entries_.end()) return found->events.insert(event).second;
  entries_.push_back({listener, context, {event}});
  if (!hooked_) hooked_ = hook_.Install();
  return true;
}

bool WinEventListenerRegistry::Remove(WinEventListener* listener) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& e) { return e.listener == listener; });
  if (found == entries_.end()) return false;
  entries_.erase(found);
  if (entries_.empty() && hooked_ && hook_.Release()) hooked_ = false;
  return true;
}

void WinEventListenerRegistry::Dispatch(const WinEventInfo& info) const noexcept {
  // By index, checked on every step, so that a listener may remove an entry while it is
  // called: when the entry at i is no longer the one just called, the next one moved there.
  for (size_t i = 0; i < entries_.size();) {
    WinEventListener* const listener = entries_[i].listener;
    if (entries_[i].events.contains(info.event)) listener->OnWinEvent(info, entries_[i].context);
    if (i < entries_.size() && entries_[i].listener == listener) ++i;
  }
}

}  // namespace vellix

namespace vellix {

bool WinEventListenerRegistry::Wants(uint32_t event) const noexcept {
  for (const Entry& entry : entries_) {
    if (entry.events.contains(event)) return true;
  }
  return false;
}

}  // namespace vellix
