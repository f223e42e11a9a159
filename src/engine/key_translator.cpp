#include "engine/key_translator.h"

#include <algorithm>

namespace vellix {
namespace {

constexpr int kScratchUnits = 16;
// A layout answers a repeated dead key with its text; a few calls always disarm it.
constexpr int kMaxDisarmCalls = 4;

}  // namespace

int KeyTranslator::Call(uint32_t vk, uint32_t scan, const uint8_t* state, uintptr_t layout,
                        char16_t* out, int capacity) noexcept {
  return api_.ToUnicode(vk, scan, state, out, capacity, keepStateFlag_ ? kToUnicodeKeepState : 0,
                        layout);
}

int KeyTranslator::Translate(uint32_t vk, uint32_t scan, const uint8_t* state,
                             uintptr_t layout, char16_t* out, int capacity) noexcept {
  const int result = Call(vk, scan, state, layout, out, capacity);
  if (keepStateFlag_) return result;

  char16_t scratch[kScratchUnits] = {};
  if (result < 0) {
    // Our call armed the dead key; the target's own translation of this key must find
    // the state as it was, so disarm it again.
    for (int i = 0; i < kMaxDisarmCalls; ++i) {
      if (Call(vk, scan, state, layout, scratch, kScratchUnits - 1) >= 0) break;
    }
    deadKey_.armed = true;
    deadKey_.vk = vk;
    deadKey_.scan = scan;
    std::copy(state, state + 256, deadKey_.state.begin());
    deadKey_.layout = layout;
  } else if (result > 0 && deadKey_.armed) {
    // The target armed the dead key and our call consumed it while translating this
    // character: arm it again so that the target still combines the two.
    deadKey_.armed = false;
    if (deadKey_.layout == layout) {
      Call(deadKey_.vk, deadKey_.scan, deadKey_.state.data(), layout, scratch,
           kScratchUnits - 1);
    }
  }
  return result;
}

}  // namespace vellix
