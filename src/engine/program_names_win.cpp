#include "engine/program_names_win.h"

#include <algorithm>

namespace vellix {

ProgramNames::~ProgramNames() {
  for (Slot& slot : slots_) Release(slot);
}

void ProgramNames::Release(Slot& slot) noexcept {
  if (slot.handle) CloseHandle(slot.handle);
  slot = Slot{};
}

ProgramNames::Slot* ProgramNames::Find(DWORD process) noexcept {
  for (Slot& slot : slots_) {
    if (slot.handle && slot.process == process) return &slot;
  }
  return nullptr;
}

ProgramNames::Slot& ProgramNames::Oldest() noexcept {
  return *std::min_element(slots_.begin(), slots_.end(), [](const Slot& a, const Slot& b) {
    return a.lastUse < b.lastUse;
  });
}

size_t ProgramNames::FileNameOf(HWND window, char16_t* buffer, size_t capacity) noexcept {
  DWORD process = 0;
  if (!window || GetWindowThreadProcessId(window, &process) == 0 || process == 0) return 0;
  Slot* slot = Find(process);
  if (slot && WaitForSingleObject(slot->handle, 0) != WAIT_TIMEOUT) {
    Release(*slot);  // the process has ended; its id may belong to another one now
    slot = nullptr;
  }
  if (!slot) {
    const HANDLE handle =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process);
    if (!handle) return 0;
    wchar_t path[MAX_PATH * 4];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(handle, 0, path, &size) || size == 0) {
      CloseHandle(handle);
      return 0;
    }
    const wchar_t* name = path;
    for (DWORD i = 0; i < size; ++i) {
      if (path[i] == L'\\' || path[i] == L'/') name = path + i + 1;
    }
    slot = &Oldest();
    Release(*slot);
    slot->process = process;
    slot->handle = handle;
    slot->length = std::min<size_t>(static_cast<size_t>(path + size - name), kNameCapacity);
    std::copy_n(name, slot->length, slot->name.begin());
  }
  slot->lastUse = ++uses_;
  const size_t length = std::min(slot->length, capacity);
  std::copy_n(slot->name.begin(), length, buffer);
  return length;
}

}  // namespace vellix
