#include "lang/language_file_win.h"

#include <windows.h>

#include <vector>

#include "base/wide.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

// Returned by the profile functions for a missing key; no translation holds it.
constexpr wchar_t kMissing[] = L"{25D447B2-EA72-4999-BE79-DB8DF18BDE0B}";
constexpr BYTE kByteOrderMark[] = {0xFF, 0xFE};

bool WriteMark(HANDLE file) {
  DWORD written = 0;
  return WriteFile(file, kByteOrderMark, sizeof kByteOrderMark, &written, nullptr) && written == sizeof kByteOrderMark;
}

}  // namespace

bool LanguageFile::Exists() const {
  const DWORD attributes = GetFileAttributesW(AsWide(path_.c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LanguageFile::CreateIfMissing() const {
  UniqueFileHandle created(CreateFileW(AsWide(path_.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (created) {
    WriteMark(created.get());
    return true;
  }
  // An existing file that is still empty would otherwise be written in the ANSI code page.
  UniqueFileHandle existing(CreateFileW(AsWide(path_.c_str()), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (existing && GetFileSizeEx(existing.get(), &size) && size.QuadPart == 0) WriteMark(existing.get());
  return false;
}

std::optional<std::u16string> LanguageFile::Read(std::u16string_view section, std::u16string_view key,
                                                 size_t buffer_size) const {
  std::vector<wchar_t> buffer(buffer_size < sizeof kMissing / sizeof kMissing[0] ? sizeof kMissing : buffer_size);
  const std::wstring wsection = ToWide(section);
  const std::wstring wkey = ToWide(key);
  const DWORD length = GetPrivateProfileStringW(wsection.c_str(), wkey.c_str(), kMissing, buffer.data(),
                                                DWORD(buffer.size()), AsWide(path_.c_str()));
  std::wstring value(buffer.data(), length);
  if (value == kMissing) return std::nullopt;
  if (value.size() >= buffer_size) value.resize(buffer_size - 1);
  return ToU16(value);
}

bool LanguageFile::Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) const {
  CreateIfMissing();
  const std::wstring wsection = ToWide(section);
  const std::wstring wkey = ToWide(key);
  const std::wstring wvalue = ToWide(value);
  return WritePrivateProfileStringW(wsection.c_str(), wkey.c_str(), wvalue.c_str(), AsWide(path_.c_str())) != FALSE;
}

}  // namespace vellix
