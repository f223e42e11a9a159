#include "services/profile_store_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/wide.h"
#include "win32/program_folder.h"

namespace vellix {
namespace {

class IniProfileStore final : public ProfileStore {
 public:
  explicit IniProfileStore(std::u16string path) : path_(ToWide(path)) {}

  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultValue, size_t bufferChars) override {
    if (bufferChars == 0) return {};
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(),
                                 ToWide(defaultValue).c_str(), buffer.data(),
                                 DWORD(buffer.size()), path_.c_str());
    return ToU16(std::wstring_view(buffer.data(), std::min<size_t>(length, bufferChars - 1)));
  }

  int32_t GetInt(std::u16string_view section, std::u16string_view key,
                 int32_t defaultValue) override {
    return static_cast<int32_t>(GetPrivateProfileIntW(ToWide(section).c_str(), ToWide(key).c_str(),
                                                      defaultValue, path_.c_str()));
  }

  bool WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override {
    return WritePrivateProfileStringW(ToWide(section).c_str(), ToWide(key).c_str(),
                                      ToWide(value).c_str(), path_.c_str()) != FALSE;
  }

  bool GetStruct(std::u16string_view section, std::u16string_view key, void* data,
                 size_t size) override {
    return GetPrivateProfileStructW(ToWide(section).c_str(), ToWide(key).c_str(), data, UINT(size),
                                    path_.c_str()) != FALSE;
  }

  bool WriteStruct(std::u16string_view section, std::u16string_view key, const void* data,
                   size_t size) override {
    return WritePrivateProfileStructW(ToWide(section).c_str(), ToWide(key).c_str(),
                                      const_cast<void*>(data), UINT(size), path_.c_str()) != FALSE;
  }

  bool Exists() override { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::wstring path_;
};

}  // namespace

std::unique_ptr<ProfileStore> MakeIniProfileStore(std::u16string path) {
  return std::make_unique<IniProfileStore>(std::move(path));
}

std::u16string SettingsFilePath() { return ProgramFolder() + u"settings.ini"; }

}  // namespace vellix
