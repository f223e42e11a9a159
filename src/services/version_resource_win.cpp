#include "services/version_resource_win.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "base/wide.h"
#include "win32/program_folder.h"

namespace vellix {

std::u16string ReadVersionString(const wchar_t* name) {
  const std::wstring file = ToWide(ProgramFile());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length) ||
      length < sizeof(Translation)) {
    return {};
  }
  wchar_t language[16];
  wsprintfW(language, L"%04x%04x", translations[0].language, translations[0].codePage);
  const std::wstring query = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + name;
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  // The length may or may not count the terminator; the text ends at the first one.
  return ToU16(std::wstring_view(value, length)).c_str();
}

}  // namespace vellix
