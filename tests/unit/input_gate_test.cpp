// The hold gate between the user's input and the engine's typing, and the modifier state
// that the hook follows from the key events.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/input_hold_gate.h"
#include "engine/modifier_tracker.h"

namespace vellix {
namespace {

KeyboardEventInfo Down(uint32_t vk) { return {kWmKeyDown, vk, 0, 0}; }
KeyboardEventInfo Up(uint32_t vk) { return {kWmKeyUp, vk, 0, kLlkhfUp}; }

TEST(InputHoldGate, PressesAndClicksAreNumberedReleasesAreNot) {
  InputHoldGate gate;
  uint64_t seq = 0;
  EXPECT_EQ(gate.OnUserKey(Down('A'), 0, seq), InputHoldGate::Verdict::kPass);
  EXPECT_EQ(seq, 1u);
  EXPECT_EQ(gate.OnUserKey(Up('A'), 0, seq), InputHoldGate::Verdict::kPass);
  EXPECT_EQ(seq, 1u);
  EXPECT_EQ(gate.OnUserKey({kWmSysKeyDown, 'B', 0, kLlkhfAltDown}, 0, seq),
            InputHoldGate::Verdict::kPass);
  EXPECT_EQ(seq, 2u);
  EXPECT_EQ(gate.CountInput(), 3u);
  EXPECT_EQ(gate.LastInput(), 3u);
}

TEST(InputHoldGate, AnInsertionBeginsOnlyWhenNoInputFollowedWhatItSaw) {
  InputHoldGate gate;
  uint64_t seq = 0;
  gate.OnUserKey(Down('W'), 0, seq);
  gate.OnUserKey(Down(' '), 0, seq);  // a key the engine has not seen yet
  EXPECT_FALSE(gate.TryBeginInsertion(1, 0));
  EXPECT_FALSE(gate.IsHolding());
  EXPECT_TRUE(gate.TryBeginInsertion(2, 0));
  EXPECT_TRUE(gate.IsHolding());
  EXPECT_FALSE(gate.TryBeginInsertion(2, 0)) << "one insertion at a time";
}

TEST(InputHoldGate, KeysDuringAnInsertionAreHeldAndGivenBackInOrder) {
  InputHoldGate gate;
  uint64_t seq = 0;
  ASSERT_TRUE(gate.TryBeginInsertion(0, 1000));
  for (uint32_t vk : {'X', 'Y'}) {
    EXPECT_EQ(gate.OnUserKey(Down(vk), 1001, seq), InputHoldGate::Verdict::kHold);
    EXPECT_EQ(gate.OnUserKey(Up(vk), 1002, seq), InputHoldGate::Verdict::kHold);
  }
  EXPECT_EQ(gate.LastInput(), 0u) << "held keys have not reached the system";
  EXPECT_EQ(gate.CountInput(), 1u) << "a click passes while keys are held";

  std::vector<KeyboardEventInfo> held;
  ASSERT_TRUE(gate.TakeHeld(held));
  ASSERT_EQ(held.size(), 4u);
  EXPECT_EQ(held[0].vkCode, uint32_t{'X'});
  EXPECT_EQ(held[1].message, kWmKeyUp);
  EXPECT_EQ(held[2].vkCode, uint32_t{'Y'});
  // A key pressed while the first batch is replayed is held behind it.
  EXPECT_EQ(gate.OnUserKey(Down('Z'), 1003, seq), InputHoldGate::Verdict::kHold);
  ASSERT_TRUE(gate.TakeHeld(held));
  ASSERT_EQ(held.size(), 1u);
  EXPECT_EQ(held[0].vkCode, uint32_t{'Z'});
  EXPECT_FALSE(gate.TakeHeld(held));
  EXPECT_FALSE(gate.IsHolding());
  EXPECT_EQ(gate.OnUserKey(Down('Q'), 1004, seq), InputHoldGate::Verdict::kPass);
}

TEST(InputHoldGate, AHoldThatLastsTooLongLetsKeysPass) {
  InputHoldGate gate;
  uint64_t seq = 0;
  ASSERT_TRUE(gate.TryBeginInsertion(0, 1000));
  EXPECT_EQ(gate.OnUserKey(Down('X'), 1000 + InputHoldGate::kMaxHoldMs, seq),
            InputHoldGate::Verdict::kHold);
  EXPECT_EQ(gate.OnUserKey(Down('Y'), 1001 + InputHoldGate::kMaxHoldMs, seq),
            InputHoldGate::Verdict::kPass);
}

// The hook thread and the worker race: every key is either passed (and numbered) or held
// and handed back exactly once, in order.
TEST(InputHoldGate, NoKeyIsLostOrDoubledUnderRaces) {
  InputHoldGate gate;
  constexpr uint32_t kKeys = 20000;
  std::atomic<bool> done{false};
  std::vector<uint32_t> replayed;
  std::thread worker([&] {
    std::vector<KeyboardEventInfo> held;
    while (!done.load()) {
      if (!gate.TryBeginInsertion(gate.LastInput(), 0)) continue;
      while (gate.TakeHeld(held)) {
        for (const auto& key : held) replayed.push_back(key.vkCode);
      }
    }
  });
  std::vector<uint32_t> passed;
  for (uint32_t i = 0; i < kKeys; ++i) {
    uint64_t seq = 0;
    if (gate.OnUserKey(Down(i), 0, seq) == InputHoldGate::Verdict::kPass) passed.push_back(i);
  }
  done.store(true);
  worker.join();
  std::vector<KeyboardEventInfo> rest;
  while (gate.TakeHeld(rest)) {
    for (const auto& key : rest) replayed.push_back(key.vkCode);
  }
  EXPECT_EQ(passed.size() + replayed.size(), size_t{kKeys});
  EXPECT_TRUE(std::is_sorted(replayed.begin(), replayed.end()));
  EXPECT_EQ(gate.LastInput(), passed.size());
}

TEST(InputHoldGate, ABackspaceRightAfterAnExpansionAsksForTheUndo) {
  using Verdict = InputHoldGate::Verdict;
  InputHoldGate gate;
  uint64_t seq = 0;
  gate.ArmUndo(1000);
  EXPECT_EQ(gate.OnUserKey(Down(kVkBack), 1500, seq), Verdict::kUndo);
  EXPECT_EQ(gate.OnUserKey(Up(kVkBack), 1600, seq), Verdict::kSwallow);
  // Only once: the next Backspace is the user's own.
  EXPECT_EQ(gate.OnUserKey(Down(kVkBack), 1700, seq), Verdict::kPass);
  EXPECT_EQ(gate.OnUserKey(Up(kVkBack), 1700, seq), Verdict::kPass);

  const struct {
    const char* name;
    KeyboardEventInfo first;  // pressed after the expansion, before a Backspace
    uint64_t backspaceAt;
  } finalising[] = {
      {"another key", Down('A'), 1100},
      {"Ctrl+Backspace", {kWmKeyDown, kVkBack, 0, 0, kModLeftControl}, 1100},
      {"nothing, but too late", {}, 1000 + InputHoldGate::kUndoWindowMs + 1},
  };
  for (const auto& c : finalising) {
    gate.ArmUndo(1000);
    if (c.first.message != 0) gate.OnUserKey(c.first, 1050, seq);
    EXPECT_EQ(gate.OnUserKey(Down(kVkBack), c.backspaceAt, seq), Verdict::kPass) << c.name;
  }
  gate.ArmUndo(1000);
  gate.CountInput();  // a click
  EXPECT_EQ(gate.OnUserKey(Down(kVkBack), 1100, seq), Verdict::kPass) << "after a click";
  gate.ArmUndo(1000);
  gate.DisarmUndo();  // the focus moved on
  EXPECT_EQ(gate.OnUserKey(Down(kVkBack), 1100, seq), Verdict::kPass) << "after a window change";
}

TEST(ModifierTracker, FollowsPressesReleasesAndLockToggles) {
  ModifierTracker tracker;
  tracker.Seed(kModNumLock);
  tracker.Update(Down(kVkLShift));
  tracker.Update(Down(kVkRMenu));
  EXPECT_EQ(tracker.Bits(), kModNumLock | kModLeftShift | kModRightAlt);
  tracker.Update(Up(kVkLShift));
  tracker.Update(Up(kVkRMenu));
  EXPECT_EQ(tracker.Bits(), uint32_t{kModNumLock});
  // Caps Lock toggles on the press; the repeats while it is held change nothing.
  tracker.Update(Down(kVkCapital));
  tracker.Update(Down(kVkCapital));
  tracker.Update(Up(kVkCapital));
  EXPECT_EQ(tracker.Bits(), kModNumLock | kModCapsLock);
  tracker.Update(Down(kVkCapital));
  tracker.Update(Up(kVkCapital));
  tracker.Update(Down(kVkNumLock));
  EXPECT_EQ(tracker.Bits(), 0u);
  tracker.Update({kWmSysKeyDown, kVkLMenu, 0, kLlkhfAltDown});
  tracker.Update(Down(kVkLWin));
  tracker.Update(Down(kVkControlKey));
  EXPECT_EQ(tracker.Bits(), kModLeftAlt | kModLeftWin | kModLeftControl);
  tracker.Update({kWmSysKeyUp, kVkLMenu, 0, kLlkhfUp});
  EXPECT_EQ(tracker.Bits(), kModLeftWin | kModLeftControl);
}

TEST(ModifierTracker, KeyStateTableForTheLayout) {
  uint8_t state[256];
  FillKeyState(kModRightShift | kModLeftControl | kModRightAlt | kModCapsLock, state);
  EXPECT_EQ(state[kVkShiftKey], 0x80);
  EXPECT_EQ(state[kVkRShift], 0x80);
  EXPECT_EQ(state[kVkLShift], 0);
  EXPECT_EQ(state[kVkControlKey], 0x80);
  EXPECT_EQ(state[kVkLControl], 0x80);
  EXPECT_EQ(state[kVkMenuKey], 0x80);
  EXPECT_EQ(state[kVkRMenu], 0x80);
  EXPECT_EQ(state[kVkCapital], 0x01);
  EXPECT_EQ(state[kVkNumLock], 0);
  EXPECT_EQ(state['A'], 0);
  EXPECT_TRUE(IsModifierKey(kVkCapital));
  EXPECT_TRUE(IsModifierKey(kVkRWin));
  EXPECT_FALSE(IsModifierKey('A'));
  EXPECT_FALSE(IsModifierKey(0x25));
}

}  // namespace
}  // namespace vellix
