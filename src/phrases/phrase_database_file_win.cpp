// The file side of the phrase database on Windows: reading with no sharing, saving through
// DatabaseFileWriter, backups beside the program and the backup folder in the shell.

#include <windows.h>
#include <shellapi.h>

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"
#include "phrases/phrase_database_file.h"
#include "win32/program_folder.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

std::wstring FormatLocal(const SYSTEMTIME& time, bool date) {
  wchar_t buffer[128];
  const int length = date
      ? GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, 128)
      : GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, 128);
  return length > 0 ? std::wstring(buffer, size_t(length - 1)) : std::wstring();
}

// The local date and time as the user's locale writes them together: the short date, a
// blank and the time; at midnight exactly the date alone, as the system's date-to-text
// conversion gives it.
std::u16string LocalTimeStamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wMilliseconds = 0;
  std::wstring stamp = FormatLocal(now, true);
  if (now.wHour || now.wMinute || now.wSecond) stamp += L" " + FormatLocal(now, false);
  return ToU16(stamp);
}

}  // namespace

FileReadStatus PhraseDatabaseFile::ReadFileBytes(const std::u16string& path, std::string& bytes) {
  bytes.clear();
  UniqueFileHandle file(CreateFileW(AsWide(path.c_str()), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FileReadStatus::kNotFound;
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return FileReadStatus::kInUse;
    const DWORD attributes = GetFileAttributesW(AsWide(path.c_str()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return FileReadStatus::kIsFolder;
    }
    return FileReadStatus::kCannotOpen;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return FileReadStatus::kReadFailed;
  if (size.QuadPart == 0) return FileReadStatus::kEmpty;
  if (uint64_t(size.QuadPart) > kMaxFileSize) return FileReadStatus::kTooLarge;
  try {
    bytes.resize(size_t(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return FileReadStatus::kTooLarge;
  }
  size_t total = 0;
  while (total < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + total, DWORD(bytes.size() - total), &read, nullptr) ||
        read == 0) {
      bytes.clear();
      return FileReadStatus::kReadFailed;
    }
    total += read;
  }
  return FileReadStatus::kOk;
}

int PhraseDatabaseFile::Load(PhraseDatabase& collection, const std::u16string& path, LoadReport* report) {
  std::string bytes;
  const FileReadStatus status = ReadFileBytes(path, bytes);
  if (report) *report = LoadReport{status, false, {}};
  if (status != FileReadStatus::kOk) return 0;
  const int loaded = ParseFileBytes(collection, bytes, report ? &report->parse : nullptr);
  if (report) report->rootFound = loaded == 1;
  return loaded;
}

int PhraseDatabaseFile::Save(const PhraseDatabase& collection, const std::u16string& path,
                             BeforeWriteHook hook, void* hookArgument) {
  const std::string text = Serialize(collection);
  if (text.empty()) return 0;
  if (hook && !hook(path, hookArgument)) return 0;
  return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(path), text);
}

std::u16string PhraseDatabaseFile::BackupFolder() { return ProgramFolder() + u"Phrases_Backup"; }

int PhraseDatabaseFile::MakeBackup(const std::u16string& path, void*) {
  const std::u16string folder = BackupFolder();
  if (GetFileAttributesW(AsWide(folder.c_str())) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryW(AsWide(folder.c_str()), nullptr);
  }
  const std::u16string target = folder + u"\\" + BackupName(path, LocalTimeStamp());
  // Fails when there is no database yet or a backup of this second exists: both are fine.
  CopyFileW(AsWide(path.c_str()), AsWide(target.c_str()), TRUE);
  return 1;
}

bool PhraseDatabaseFile::OpenBackupFolder(HWND__* owner) {
  const std::u16string folder = BackupFolder();
  const HINSTANCE result =
      ShellExecuteW(owner, L"open", AsWide(folder.c_str()), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace vellix
