#include "engine/key_injector_win.h"

#include <windows.h>

#include <array>
#include <vector>

namespace vellix {
namespace {

INPUT ToInput(const KeyRecord& record) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = record.vk;
  input.ki.wScan = record.scan;
  input.ki.dwFlags = record.flags;
  input.ki.time = record.time;
  input.ki.dwExtraInfo = record.extraInfo;
  return input;
}

}  // namespace

size_t Win32KeyInjector::Send(std::span<const KeyRecord> records) noexcept {
  if (records.empty()) return 0;
  // Short batches (Ctrl release, Backspace pairs) stay on the stack.
  std::array<INPUT, 8> small{};
  std::vector<INPUT> large;
  INPUT* inputs = small.data();
  if (records.size() > small.size()) {
    try {
      large.resize(records.size());
    } catch (...) {
      return 0;
    }
    inputs = large.data();
  }
  for (size_t i = 0; i < records.size(); ++i) inputs[i] = ToInput(records[i]);
  return SendInput(static_cast<UINT>(records.size()), inputs, sizeof(INPUT));
}

uint16_t Win32KeyInjector::ScanCode(uint16_t vk) noexcept {
  return static_cast<uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
}

void Win32KeyInjector::Pause(uint32_t milliseconds) noexcept { Sleep(milliseconds); }

}  // namespace vellix
