#pragma once
// The executable file name of the program that owns a window ("notepad.exe"), as the
// per-program rules name programs. Looked up when the focused window changes, never per
// key, and kept per process: the process handle stays open with the name, so that its id
// cannot be given to another process while the name is cached, and a process that has
// ended is looked up afresh. A process that cannot be opened (elevated, protected) has no
// name. Used on the hooks' thread only.

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellix {

class ProgramNames {
 public:
  static constexpr size_t kSlots = 32;
  static constexpr size_t kNameCapacity = 260;

  ProgramNames() = default;
  ~ProgramNames();
  ProgramNames(const ProgramNames&) = delete;
  ProgramNames& operator=(const ProgramNames&) = delete;

  // Writes the file name into buffer and answers its length; 0 when it is not known.
  size_t FileNameOf(HWND window, char16_t* buffer, size_t capacity) noexcept;

 private:
  struct Slot {
    DWORD process = 0;
    HANDLE handle = nullptr;  // open while the slot is in use
    uint64_t lastUse = 0;
    size_t length = 0;
    std::array<char16_t, kNameCapacity> name{};
  };
  Slot* Find(DWORD process) noexcept;
  Slot& Oldest() noexcept;
  static void Release(Slot& slot) noexcept;

  std::array<Slot, kSlots> slots_{};
  uint64_t uses_ = 0;
};

}  // namespace vellix
