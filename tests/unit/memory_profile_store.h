#pragma once
// An INI file in memory with the reading rules of the system's private-profile functions:
// section and key names compare without regard to ASCII case, text values are cut to the
// reader's buffer, integers are the leading decimal digits, structures carry a checksum.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "services/profile_store.h"

namespace vellix::testing {

class MemoryProfileStore : public ProfileStore {
 public:
  struct Data {
    std::map<std::u16string, std::map<std::u16string, std::u16string>> sections;
    // Sections written whole: their lines as written, apart from the keyed values above.
    std::map<std::u16string, std::vector<std::u16string>> lines;
    bool exists = false;
    bool failWrites = false;
    int writes = 0;
  };

  // The store writes into data, which the test keeps and inspects.
  explicit MemoryProfileStore(Data& data) : data_(data) {}

  std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const {
    const auto s = data_.sections.find(Fold(section));
    if (s == data_.sections.end()) return std::nullopt;
    const auto k = s->second.find(Fold(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
  }

  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultValue, size_t bufferChars) override {
    if (bufferChars == 0) return {};
    std::u16string value(Value(section, key).value_or(std::u16string(defaultValue)));
    if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
    return value;
  }

  int32_t GetInt(std::u16string_view section, std::u16string_view key,
                 int32_t defaultValue) override {
    const auto value = Value(section, key);
    if (!value || value->empty()) return defaultValue;
    size_t i = 0;
    while (i < value->size() && (*value)[i] == u' ') ++i;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == u'-' || (*value)[i] == u'+')) negative = (*value)[i++] == u'-';
    uint32_t number = 0;
    for (; i < value->size() && (*value)[i] >= u'0' && (*value)[i] <= u'9'; ++i)
      number = number * 10 + uint32_t((*value)[i] - u'0');
    return static_cast<int32_t>(negative ? 0u - number : number);
  }

  bool WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override {
    if (data_.failWrites) return false;
    ++data_.writes;
    data_.sections[Fold(section)][Fold(key)] = std::u16string(value);
    data_.exists = true;
    return true;
  }

  bool GetStruct(std::u16string_view section, std::u16string_view key, void* data,
                 size_t size) override {
    const auto value = Value(section, key);
    return value && DecodeProfileStruct(*value, data, size);
  }

  bool WriteStruct(std::u16string_view section, std::u16string_view key, const void* data,
                   size_t size) override {
    return WriteString(section, key, EncodeProfileStruct(data, size));
  }

  std::vector<std::u16string> GetSectionLines(std::u16string_view section) override {
    const auto s = data_.lines.find(Fold(section));
    return s == data_.lines.end() ? std::vector<std::u16string>{} : s->second;
  }

  bool WriteSectionLines(std::u16string_view section, const std::vector<std::u16string>& lines) override {
    if (data_.failWrites) return false;
    ++data_.writes;
    if (lines.empty()) data_.lines.erase(Fold(section));
    else data_.lines[Fold(section)] = lines;
    data_.exists = true;
    return true;
  }

  bool Exists() override { return data_.exists; }

  static std::u16string Fold(std::u16string_view name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; });
    return folded;
  }

 private:
  Data& data_;
};

}  // namespace vellix::testing
