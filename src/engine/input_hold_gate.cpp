#include "engine/input_hold_gate.h"

namespace vellix {
namespace {

bool IsPress(const KeyboardEventInfo& key) noexcept {
  return key.message == kWmKeyDown || key.message == kWmSysKeyDown;
}

}  // namespace

InputHoldGate::Verdict InputHoldGate::OnUserKey(const KeyboardEventInfo& key, uint64_t nowMs,
                                                uint64_t& seq) {
  std::lock_guard guard(lock_);
  if (holding_ && nowMs - holdStart_ <= kMaxHoldMs) {
    // Growing the reserved room allocates only when a user types hundreds of keys during
    // one insertion; losing a key instead would change the user's text.
    held_.push_back(key);
    seq = seq_;
    return Verdict::kHold;
  }
  if (IsPress(key)) {
    ++seq_;
    const bool undoKey = undoArmed_ && key.vkCode == kVkBack && nowMs <= undoDeadline_ &&
                         (key.modifiers & (kModControl | kModAlt | kModWin)) == 0;
    undoArmed_ = false;
    seq = seq_;
    if (undoKey) {
      swallowBackspaceUp_ = true;
      return Verdict::kUndo;
    }
    return Verdict::kPass;
  }
  seq = seq_;
  if (swallowBackspaceUp_ && key.vkCode == kVkBack) {
    swallowBackspaceUp_ = false;
    return Verdict::kSwallow;
  }
  return Verdict::kPass;
}

uint64_t InputHoldGate::CountInput() noexcept {
  std::lock_guard guard(lock_);
  undoArmed_ = false;
  return ++seq_;
}

void InputHoldGate::ArmUndo(uint64_t nowMs) noexcept {
  std::lock_guard guard(lock_);
  undoArmed_ = true;
  undoDeadline_ = nowMs + kUndoWindowMs;
}

void InputHoldGate::DisarmUndo() noexcept {
  std::lock_guard guard(lock_);
  undoArmed_ = false;
}

bool InputHoldGate::TryBeginInsertion(uint64_t lastSeen, uint64_t nowMs) noexcept {
  std::lock_guard guard(lock_);
  if (holding_ || seq_ != lastSeen) return false;
  holding_ = true;
  holdStart_ = nowMs;
  return true;
}

bool InputHoldGate::TakeHeld(std::vector<KeyboardEventInfo>& out) {
  out.clear();
  std::lock_guard guard(lock_);
  if (held_.empty()) {
    holding_ = false;
    return false;
  }
  out.swap(held_);
  held_.reserve(256);
  return true;
}

uint64_t InputHoldGate::LastInput() const noexcept {
  std::lock_guard guard(lock_);
  return seq_;
}

bool InputHoldGate::IsHolding() const noexcept {
  std::lock_guard guard(lock_);
  return holding_;
}

}  // namespace vellix
