#include "language_test_support.h"

namespace vellix::testing {
namespace {

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

void LanguageTest::SetUp() {
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"vellix_lang_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                              std::to_wstring(++counter) + L"\\";
  RemoveFolder(folder);
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  folder_ = ToU16(folder);
}

void LanguageTest::TearDown() {
  if (language_) language_->WaitForBackgroundWrites();
  Language::Install(nullptr);
  language_.reset();
  RemoveFolder(ToWide(folder_));
}

Language& LanguageTest::StartLanguage(const std::u16string& lang_file) {
  if (language_) language_->WaitForBackgroundWrites();
  settings_.lang_file = lang_file;
  language_ = std::make_unique<Language>(settings_, folder_);
  language_->SetPromptDelay(0);
  Language::Install(language_.get());
  language_->Load();
  return *language_;
}

void LanguageTest::WriteBytes(const std::u16string& name, const std::string& bytes) const {
  HANDLE file = CreateFileW(AsWide(PathOf(name).c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void LanguageTest::WriteUnicode(const std::u16string& name, const std::u16string& text) const {
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  WriteBytes(name, bytes);
}

std::string LanguageTest::ReadBytes(const std::u16string& name) const {
  HANDLE file = CreateFileW(AsWide(PathOf(name).c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool LanguageTest::Exists(const std::u16string& name) const {
  return GetFileAttributesW(AsWide(PathOf(name).c_str())) != INVALID_FILE_ATTRIBUTES;
}

std::u16string LanguageTest::Value(const std::u16string& name, const std::u16string& section,
                                   const std::u16string& key) const {
  std::vector<wchar_t> buffer(40000);
  const DWORD length = GetPrivateProfileStringW(AsWide(section.c_str()), AsWide(key.c_str()), L"<missing>",
                                                buffer.data(), DWORD(buffer.size()), AsWide(PathOf(name).c_str()));
  return ToU16(std::wstring_view(buffer.data(), length));
}

std::vector<std::u16string> LanguageTest::Keys(const std::u16string& name, const std::u16string& section) const {
  std::vector<wchar_t> buffer(65536);
  const DWORD length = GetPrivateProfileStringW(AsWide(section.c_str()), nullptr, L"", buffer.data(),
                                                DWORD(buffer.size()), AsWide(PathOf(name).c_str()));
  std::vector<std::u16string> keys;
  for (size_t start = 0; start < length;) {
    const std::wstring key(buffer.data() + start);
    if (key.empty()) break;
    keys.push_back(ToU16(key));
    start += key.size() + 1;
  }
  return keys;
}

}  // namespace vellix::testing
