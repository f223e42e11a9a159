#pragma once
// The KeyInjector of the Windows build: SendInput, MapVirtualKeyW and Sleep.

#include "engine/synthetic_typing.h"

namespace vellix {

class Win32KeyInjector final : public KeyInjector {
 public:
  size_t Send(std::span<const KeyRecord> records) noexcept override;
  uint16_t ScanCode(uint16_t vk) noexcept override;
  void Pause(uint32_t milliseconds) noexcept override;
};

}  // namespace vellix
