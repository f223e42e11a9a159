// The shared fixture of the language tests.
#include "language_test_support.h"

namespace vellix::testing {

void LanguageTest::SetUp() {
  folder_owner_ = std::make_unique<TempFolder>();
  folder_ = ToU16(folder_owner_->Path());
  ASSERT_NE(GetFileAttributesW(folder_owner_->Path().c_str()), INVALID_FILE_ATTRIBUTES);
}

void LanguageTest::TearDown() {
  if (language_) language_->WaitForBackgroundWrites();
  Language::Install(nullptr);
  language_.reset();
  folder_owner_.reset();
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
  ASSERT_TRUE(WriteFileBytes(ToWide(PathOf(name)), bytes));
}

void LanguageTest::WriteUnicode(const std::u16string& name, const std::u16string& text) const {
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  WriteBytes(name, bytes);
}

std::string LanguageTest::ReadBytes(const std::u16string& name) const { return ReadFileBytes(ToWide(PathOf(name))); }

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
