#include "engine/hook_event_queue.h"

namespace vellix {

bool HookEventQueue::Push(const HookEvent& event) noexcept {
  const bool wasEmpty = Empty();
  if (count_ == kCapacity || lost_) {
    // Once something was lost, later events must not overtake the loss marker.
    lost_ = true;
    return !wasEmpty;
  }
  events_[(head_ + count_) % kCapacity] = event;
  ++count_;
  return !wasEmpty;
}

bool HookEventQueue::Pop(HookEvent& event) noexcept {
  if (count_ > 0) {
    event = events_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    return true;
  }
  if (lost_) {
    lost_ = false;
    event = HookEvent{};
    event.kind = HookEvent::Kind::kLost;
    return true;
  }
  return false;
}

}  // namespace vellix
