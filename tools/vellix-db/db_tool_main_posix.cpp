// vellix-db on Linux and other systems without Win32: plain streams, the same rules as the
// program's Load (all or nothing, nothing from folders, a size limit) and the same bytes
// as its Save, written through a temporary file and a rename.

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/utf.h"
#include "db_tool.h"

namespace vellix {

char16_t ToolUpperCase(char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) return unit;  // half of a pair has no case
  const wint_t upper = std::towupper(static_cast<wint_t>(unit));
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

namespace {

class StreamFiles final : public DbToolFiles {
 public:
  FileReadStatus Read(const std::u16string& path, std::string& bytes) override {
    const std::filesystem::path file(Utf16ToUtf8(path));
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status)) return FileReadStatus::kNotFound;
    if (std::filesystem::is_directory(status)) return FileReadStatus::kIsFolder;
    std::ifstream in(file, std::ios::binary);
    if (!in) return FileReadStatus::kCannotOpen;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return FileReadStatus::kReadFailed;
    if (size == 0) return FileReadStatus::kEmpty;
    if (uint64_t(size) > PhraseDatabaseFile::kMaxFileSize) return FileReadStatus::kTooLarge;
    in.seekg(0);
    bytes.resize(size_t(size));
    in.read(bytes.data(), size);
    if (in.gcount() != size) return FileReadStatus::kReadFailed;
    return FileReadStatus::kOk;
  }

  bool Save(const PhraseDatabase& collection, const std::u16string& path) override {
    const std::string text = PhraseDatabaseFile::Serialize(collection);
    if (text.empty()) return false;
    return WriteFile(path, text);
  }

  bool Exists(const std::u16string& path) override {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(Utf16ToUtf8(path)), error);
  }

  bool WriteFile(const std::u16string& path, std::string_view text) override {
    const std::filesystem::path target(Utf16ToUtf8(path));
    std::filesystem::path temporary = target;
    temporary += ".vellix-db-" + std::to_string(getpid()) + ".tmp";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out.write(text.data(), std::streamsize(text.size()));
      out.flush();
      if (!out) {
        out.close();
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
      }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
  }
};

}  // namespace
}  // namespace vellix

int main(int argc, char** argv) {
  // Upper case beyond ASCII needs a UTF-8 character type.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(vellix::Utf8ToUtf16(argv[i]));
  vellix::StreamFiles files;
  vellix::DbToolOutput output;
  const int status = vellix::RunDbTool(arguments, files, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  return status;
}
