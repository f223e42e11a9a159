#pragma once
// The part of the settings store that the language code needs: the `LangFile` value (a bare
// file name in the program folder, empty for the built-in English texts) and saving.
// The program passes an adapter over its settings; tests pass a fake.

#include <string>

namespace vellix {

class LanguageSettings {
 public:
  virtual ~LanguageSettings() = default;
  virtual std::u16string LangFile() const = 0;
  virtual void SetLangFile(const std::u16string& file_name) = 0;
  virtual bool Save() = 0;
};

}  // namespace vellix
