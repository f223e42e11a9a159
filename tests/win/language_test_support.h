#pragma once
// Shared fixture of the language tests: a private program folder, a fake settings store
// and an installed Language over them.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/wide.h"
#include "lang/language_settings.h"
#include "lang/language_win.h"
#include "win_test_support.h"

namespace vellix::testing {

class FakeLanguageSettings : public LanguageSettings {
 public:
  std::u16string LangFile() const override { return lang_file; }
  void SetLangFile(const std::u16string& file_name) override { lang_file = file_name; }
  bool Save() override {
    ++saves;
    return true;
  }
  std::u16string lang_file;
  int saves = 0;
};

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Installs a fresh Language for the folder with the given `LangFile` and loads it.
  Language& StartLanguage(const std::u16string& lang_file);

  std::u16string PathOf(const std::u16string& name) const { return folder_ + name; }
  // Writes raw bytes, or UTF-16 text after FF FE.
  void WriteBytes(const std::u16string& name, const std::string& bytes) const;
  void WriteUnicode(const std::u16string& name, const std::u16string& text) const;
  std::string ReadBytes(const std::u16string& name) const;
  bool Exists(const std::u16string& name) const;

  // A value read with the profile functions themselves; "<missing>" when absent.
  std::u16string Value(const std::u16string& name, const std::u16string& section, const std::u16string& key) const;
  // The keys of a section, in file order.
  std::vector<std::u16string> Keys(const std::u16string& name, const std::u16string& section) const;

  std::unique_ptr<TempFolder> folder_owner_;
  std::u16string folder_;  // the program folder, ending in "\\"
  FakeLanguageSettings settings_;
  std::unique_ptr<Language> language_;
};

}  // namespace vellix::testing
