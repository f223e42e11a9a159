#include "services/autostart_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/wide.h"
#include "services/autostart.h"
#include "win32/program_folder.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Vellix";
// Longest value read; a quoted path of 260 characters with its key fits with room.
constexpr DWORD kMaxValueChars = 1024;

}  // namespace

bool IsAutostartOnFor(std::u16string_view programPath) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  UniqueRegKey key(raw);
  std::vector<wchar_t> buffer(kMaxValueChars + 1, L'\0');
  DWORD type = 0;
  DWORD bytes = kMaxValueChars * sizeof(wchar_t);
  if (RegQueryValueExW(key.get(), kValueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  const std::wstring value(buffer.data(), wcsnlen(buffer.data(), bytes / sizeof(wchar_t)));
  return AutostartNamesProgram(ToU16(value), programPath);
}

bool SetAutostartFor(std::u16string_view programPath, bool on) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                      nullptr) != ERROR_SUCCESS)
    return false;
  UniqueRegKey key(raw);
  if (!on) {
    const LONG result = RegDeleteValueW(key.get(), kValueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  const std::wstring command = ToWide(AutostartCommand(programPath));
  return RegSetValueExW(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        DWORD((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool IsAutostartOn() { return IsAutostartOnFor(ProgramFile()); }
bool SetAutostart(bool on) { return SetAutostartFor(ProgramFile(), on); }

}  // namespace vellix
