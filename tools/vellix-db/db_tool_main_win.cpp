// vellix-db on Windows: the program's own Load rules (no sharing) and its Save.

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "base/wide.h"
#include "db_tool.h"

namespace vellix {

char16_t ToolUpperCase(char16_t unit) {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

namespace {

class ProgramFiles final : public DbToolFiles {
 public:
  FileReadStatus Read(const std::u16string& path, std::string& bytes) override {
    return PhraseDatabaseFile::ReadFileBytes(path, bytes);
  }
  bool Save(const PhraseDatabase& collection, const std::u16string& path) override {
    return PhraseDatabaseFile::Save(collection, path, nullptr, nullptr) == 1;
  }
  bool Exists(const std::u16string& path) override {
    return GetFileAttributesW(AsWide(path.c_str())) != INVALID_FILE_ATTRIBUTES;
  }
  bool WriteFile(const std::u16string& path, std::string_view bytes) override {
    const std::wstring target = ToWide(path);
    const std::wstring temporary = target + L".vellix-db.tmp";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
  }
};

}  // namespace
}  // namespace vellix

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(vellix::ToU16(argv[i]));
  if (argv) LocalFree(argv);
  // UTF-8 bytes with "\n" line ends on every platform.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  vellix::ProgramFiles files;
  vellix::DbToolOutput output;
  const int status = vellix::RunDbTool(arguments, files, output);
  std::fwrite(output.out.data(), 1, output.out.size(), stdout);
  std::fwrite(output.err.data(), 1, output.err.size(), stderr);
  return status;
}
