#pragma once
// The private-profile (INI) access that the settings and statistics rules need. The rules
// are written against this interface so that they run natively against an in-memory file;
// the Windows build implements it with the system's private-profile functions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellix {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // The value of key, or defaultValue when the key is absent. The value arrives through a
  // buffer of bufferChars characters including the terminating zero, so at most
  // bufferChars - 1 characters come back and a longer value is cut there.
  virtual std::u16string GetString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultValue, size_t bufferChars) = 0;
  // The value of key as a decimal integer, or defaultValue when absent or empty.
  virtual int32_t GetInt(std::u16string_view section, std::u16string_view key,
                         int32_t defaultValue) = 0;
  virtual bool WriteString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) = 0;
  // A binary structure stored as hexadecimal digits with a checksum. False (and data
  // untouched) when the key is absent or its value has the wrong length or checksum.
  virtual bool GetStruct(std::u16string_view section, std::u16string_view key, void* data,
                         size_t size) = 0;
  virtual bool WriteStruct(std::u16string_view section, std::u16string_view key,
                           const void* data, size_t size) = 0;
  // The lines of a section ("key=value" and whatever else it holds), in file order; none
  // when the section is absent.
  virtual std::vector<std::u16string> GetSectionLines(std::u16string_view section) = 0;
  // Replaces the whole section by the lines; no lines remove the section.
  virtual bool WriteSectionLines(std::u16string_view section, const std::vector<std::u16string>& lines) = 0;
  // Whether the file behind the store exists.
  virtual bool Exists() = 0;
};

// The text form of a profile structure: every byte as two upper-case hexadecimal digits,
// then two digits of the byte sum modulo 256.
std::u16string EncodeProfileStruct(const void* data, size_t size);
// Decodes text of exactly 2 * size + 2 hexadecimal digits whose checksum matches.
bool DecodeProfileStruct(std::u16string_view text, void* data, size_t size);

// Decimal text of a signed 32-bit integer ("%d").
std::u16string IntToText(int32_t value);

}  // namespace vellix
