#include "app/program_title.h"

#include <windows.h>

#include <vector>

#include "base/wide.h"
#include "win32/program_folder.h"

#ifndef VELLIX_PRODUCT_VERSION
#define VELLIX_PRODUCT_VERSION "1.0.0.1"
#endif

namespace vellix {
namespace {

// "ProductVersion" of the first language of the executable's version resource.
std::u16string ReadProductVersion() {
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
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return {};
  wchar_t query[64];
  wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translations[0].language,
            translations[0].codePage);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value)
    return {};
  return ToU16(std::wstring_view(value, length > 0 ? length - 1 : 0)).c_str();
}

}  // namespace

std::u16string ProgramTitle(bool longForm) {
  static const std::u16string version = [] {
    std::u16string text = ReadProductVersion();
    if (text.empty()) {
      const std::string fallback = VELLIX_PRODUCT_VERSION;
      text.assign(fallback.begin(), fallback.end());
    }
    return text;
  }();
  return FormatProgramTitle(version, longForm);
}

}  // namespace vellix
