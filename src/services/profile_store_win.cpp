#include "services/profile_store_win.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "base/wide.h"
#include "win32/program_folder.h"

namespace vellix {
namespace {

constexpr size_t kMaxSectionChars = size_t{1} << 20;

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

  std::vector<std::u16string> GetSectionLines(std::u16string_view section) override {
    // The call answers the buffer size less 2 when the section did not fit: grow and ask
    // again, up to a size no hand-edited file reaches.
    const std::wstring name = ToWide(section);
    std::vector<wchar_t> buffer(4096);
    DWORD length = 0;
    for (;;) {
      length = GetPrivateProfileSectionW(name.c_str(), buffer.data(), DWORD(buffer.size()), path_.c_str());
      if (length + 2 < buffer.size() || buffer.size() >= kMaxSectionChars) break;
      buffer.assign(buffer.size() * 4, L'\0');
    }
    std::vector<std::u16string> lines;
    const wchar_t* end = buffer.data() + std::min<size_t>(length, buffer.size());
    for (const wchar_t* line = buffer.data(); line < end && *line;) {
      const size_t size = wcsnlen(line, size_t(end - line));
      lines.push_back(ToU16(std::wstring_view(line, size)));
      line += size + 1;
    }
    return lines;
  }

  bool WriteSectionLines(std::u16string_view section, const std::vector<std::u16string>& lines) override {
    const std::wstring name = ToWide(section);
    if (lines.empty()) {
      // A missing section is already what no lines mean.
      return WritePrivateProfileStringW(name.c_str(), nullptr, nullptr, path_.c_str()) != FALSE ||
             GetSectionLines(section).empty();
    }
    std::wstring block;
    for (const std::u16string& line : lines) {
      block += ToWide(line);
      block += L'\0';
    }
    block += L'\0';
    return WritePrivateProfileSectionW(name.c_str(), block.c_str(), path_.c_str()) != FALSE;
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
