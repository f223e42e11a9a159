#include "phrases/database_file_writer_win.h"

#include <atomic>

namespace vellix {
namespace {

class SystemOperations final : public DatabaseFileOperations {
 public:
  DWORD GetAttributes(const std::wstring& path) override { return GetFileAttributesW(path.c_str()); }
  bool SetAttributes(const std::wstring& path, DWORD attributes) override {
    return SetFileAttributesW(path.c_str(), attributes) != 0;
  }
  HANDLE CreateNew(const std::wstring& path, DWORD attributes) override {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  }
  bool Write(HANDLE file, const char* data, DWORD size) override {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
  }
  bool Flush(HANDLE file) override { return FlushFileBuffers(file) != 0; }
  bool Close(HANDLE file) override { return CloseHandle(file) != 0; }
  bool Replace(const std::wstring& from, const std::wstring& to) override {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  bool Delete(const std::wstring& path) override { return DeleteFileW(path.c_str()) != 0; }
};

// Sets the read-only attribute when it goes out of scope, so that the database is
// read-only after every save attempt, however the attempt ends.
class ReadOnlyGuard {
 public:
  ReadOnlyGuard(DatabaseFileOperations& files, const std::wstring& path)
      : files_(files), path_(path) {}
  ReadOnlyGuard(const ReadOnlyGuard&) = delete;
  ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;
  ~ReadOnlyGuard() {
    const DWORD attributes = files_.GetAttributes(path_);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_READONLY)) {
      files_.SetAttributes(path_, attributes | FILE_ATTRIBUTE_READONLY);
    }
  }

 private:
  DatabaseFileOperations& files_;
  const std::wstring& path_;
};

// Attributes of the old file that the new one keeps (a hidden database stays hidden).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::atomic<unsigned> temporaryCounter{0};

// A name beside the database that no other save of this or another process uses.
std::wstring TemporaryName(const std::wstring& path, unsigned attempt) {
  wchar_t suffix[48];
  wsprintfW(suffix, L".%lx-%x-%x.tmp", GetCurrentProcessId(), temporaryCounter.fetch_add(1), attempt);
  return path + suffix;
}

}  // namespace

namespace {

// Reads hexadecimal digits up to stop; false when there are none or others.
bool ReadHex(const std::wstring& text, size_t& at, wchar_t stop, DWORD& value) {
  value = 0;
  const size_t first = at;
  for (; at < text.size() && text[at] != stop; ++at) {
    const wchar_t c = text[at];
    DWORD digit;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else return false;
    if (value > 0x0FFFFFFF) return false;
    value = value * 16 + digit;
  }
  if (at == first || at == text.size()) return false;
  ++at;  // the stop character
  return true;
}

bool ProcessRuns(DWORD process) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return GetLastError() == ERROR_ACCESS_DENIED;  // it exists, but is not ours
  DWORD code = 0;
  const bool runs = GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
  CloseHandle(handle);
  return runs;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

DWORD TemporaryFileProcess(const std::wstring& path, const std::wstring& name) {
  const std::wstring base = FileNameOf(path) + L".";
  if (name.size() <= base.size() || _wcsnicmp(name.c_str(), base.c_str(), base.size()) != 0) return 0;
  const std::wstring rest = name.substr(base.size());
  size_t at = 0;
  DWORD process = 0;
  DWORD number = 0;
  if (!ReadHex(rest, at, L'-', process) || !ReadHex(rest, at, L'-', number) || !ReadHex(rest, at, L'.', number))
    return 0;
  return rest.substr(at) == L"tmp" ? process : 0;
}

int RemoveStaleTemporaryFiles(const std::wstring& path) {
  const std::wstring name = FileNameOf(path);
  const std::wstring folder = path.substr(0, path.size() - name.size());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((path + L".*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const DWORD process = TemporaryFileProcess(path, found.cFileName);
    if (process == 0 || process == GetCurrentProcessId() || ProcessRuns(process)) continue;
    if (DeleteFileW((folder + found.cFileName).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

DatabaseFileOperations& SystemFileOperations() {
  static SystemOperations operations;
  return operations;
}

int DatabaseFileWriter::Write(const std::wstring& path, std::string_view text) {
  ReadOnlyGuard guard(files_, path);
  return WriteReplacing(path, text);
}

int DatabaseFileWriter::WriteReplacing(const std::wstring& path, std::string_view text) {
  if (text.size() > MAXDWORD) return 0;
  const DWORD old = files_.GetAttributes(path);
  const bool exists = old != INVALID_FILE_ATTRIBUTES;
  if (exists && (old & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  const DWORD attributes = exists && (old & kKeptAttributes) ? (old & kKeptAttributes) : FILE_ATTRIBUTE_NORMAL;
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    const std::wstring temporary = TemporaryName(path, attempt);
    if (files_.GetAttributes(temporary) != INVALID_FILE_ATTRIBUTES) continue;
    if (!WriteTemporary(temporary, text, attributes)) return 0;
    // A read-only file cannot be replaced: the attribute goes for the moment of the move
    // and the guard sets it again.
    if (exists && (old & FILE_ATTRIBUTE_READONLY) &&
        !files_.SetAttributes(path, old & ~DWORD(FILE_ATTRIBUTE_READONLY))) {
      files_.Delete(temporary);
      return 0;
    }
    if (!files_.Replace(temporary, path)) {
      files_.Delete(temporary);
      return 0;
    }
    return 1;
  }
  return 0;
}

bool DatabaseFileWriter::WriteTemporary(const std::wstring& temporary, std::string_view text,
                                        DWORD attributes) {
  HANDLE file = files_.CreateNew(temporary, attributes);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = files_.Write(file, text.data(), DWORD(text.size()));
  ok = ok && files_.Flush(file);
  ok = files_.Close(file) && ok;
  if (!ok) files_.Delete(temporary);
  return ok;
}

}  // namespace vellix
