#pragma once
// Writes the database file so that it is either fully replaced or left exactly as it was:
// the text goes to a new temporary file in the same folder, is flushed to the disk, and
// the temporary file then replaces the database in one step. The file operations go
// through an interface so that tests can make any step fail.

#include <windows.h>

#include <string>
#include <string_view>

namespace vellix {

class DatabaseFileOperations {
 public:
  virtual ~DatabaseFileOperations() = default;
  virtual DWORD GetAttributes(const std::wstring& path) = 0;
  virtual bool SetAttributes(const std::wstring& path, DWORD attributes) = 0;
  // A new file for writing with no sharing; INVALID_HANDLE_VALUE when it exists or fails.
  virtual HANDLE CreateNew(const std::wstring& path, DWORD attributes) = 0;
  // True when every byte was written.
  virtual bool Write(HANDLE file, const char* data, DWORD size) = 0;
  virtual bool Flush(HANDLE file) = 0;
  virtual bool Close(HANDLE file) = 0;
  // Moves from over to, replacing it, in one step.
  virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool Delete(const std::wstring& path) = 0;
};

// The real Win32 calls.
DatabaseFileOperations& SystemFileOperations();

// The process id in the name of a save's temporary file beside path ("<path>.<process>-
// <n>-<n>.tmp", hexadecimal), or 0 when name is no such name.
DWORD TemporaryFileProcess(const std::wstring& path, const std::wstring& name);

// Removes the temporary files that saves of path left behind when their process ended in
// the middle of a save (killed, power cut): those whose process no longer runs. Files of
// running processes (a save may be under way) and all other names stay. Answers how many
// files were removed.
int RemoveStaleTemporaryFiles(const std::wstring& path);

class DatabaseFileWriter {
 public:
  explicit DatabaseFileWriter(DatabaseFileOperations& files) : files_(files) {}

  // Replaces the file at path with text: 1 written, 0 not. On 0 the old file's content is
  // unchanged and no temporary file is left. Either way the file is read-only afterwards.
  int Write(const std::wstring& path, std::string_view text);

 private:
  int WriteReplacing(const std::wstring& path, std::string_view text);
  bool WriteTemporary(const std::wstring& temporary, std::string_view text, DWORD attributes);

  DatabaseFileOperations& files_;
};

}  // namespace vellix
