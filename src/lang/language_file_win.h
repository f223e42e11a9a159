#pragma once
// One language file: a UTF-16 INI file read and written through the profile-string
// functions. The profile functions keep a file in UTF-16 only when it already starts with
// the byte-order mark FF FE, so every write first makes sure the file carries it.

#include <optional>
#include <string>
#include <string_view>

namespace vellix {

class LanguageFile {
 public:
  explicit LanguageFile(std::u16string path) : path_(std::move(path)) {}

  const std::u16string& path() const { return path_; }
  bool Exists() const;

  // Creates the file holding only FF FE when it does not exist (create-new: an existing
  // file is never truncated); an existing empty file receives the mark. Answers true when
  // this call created the file.
  bool CreateIfMissing() const;

  // The value of a key cut to buffer_size - 1 characters, or none when the key is missing.
  std::optional<std::u16string> Read(std::u16string_view section, std::u16string_view key,
                                     size_t buffer_size) const;
  // Writes one key (replacing its value); the file is created with its mark first.
  bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) const;

 private:
  std::u16string path_;
};

}  // namespace vellix
