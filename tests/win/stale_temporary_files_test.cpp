// The temporary files that a save leaves beside the database when its process is killed:
// which names are such files, and which of them are removed at the next start.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "phrases/database_file_writer_win.h"
#include "win_test_support.h"

namespace vellix {
namespace {

struct NameCase {
  const wchar_t* name;
  DWORD process;  // 0: not a temporary file of C:\data\Database.xml
};

TEST(TemporaryFileProcessTest, ReadsTheProcessOfASavesTemporaryFileOnly) {
  const NameCase cases[] = {
      {L"Database.xml.1f4-0-0.tmp", 0x1f4},
      {L"Database.xml.ffffff00-2a-7.tmp", 0xffffff00},
      {L"DATABASE.XML.20-1-0.tmp", 0x20},       // file names compare without case
      {L"Database.xml.20-1.tmp", 0},            // a number missing
      {L"Database.xml.20-1-0-3.tmp", 0},        // one too many
      {L"Database.xml.2g-1-0.tmp", 0},          // not hexadecimal
      {L"Database.xml.-1-0.tmp", 0},            // empty process
      {L"Database.xml.20-1-0.tmp.bak", 0},
      {L"Database.xml.20-1-0.TMP.txt", 0},
      {L"Database.xml.123456789-0-0.tmp", 0},   // more than 32 bits
      {L"Other.xml.20-1-0.tmp", 0},
      {L"Database.xml", 0},
      {L"Database.xml.tmp", 0},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(TemporaryFileProcess(L"C:\\data\\Database.xml", c.name), c.process) << c.name;
  }
}

void Touch(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, "<Tessil", 7, &written, nullptr);
  CloseHandle(file);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Hex(DWORD value) {
  wchar_t text[16];
  wsprintfW(text, L"%lx", value);
  return text;
}

TEST(RemoveStaleTemporaryFilesTest, RemovesTheFilesOfEndedProcessesOnly) {
  testing::TempFolder folder;
  const std::wstring database = folder.File(L"Database.xml");
  Touch(database);
  // No process has an id this large: its save was cut off.
  const std::wstring ended = database + L".fffffff0-0-0.tmp";
  const std::wstring ended2 = database + L".fffffff4-3-1.tmp";
  // A save of this very process may be under way.
  const std::wstring own = database + L"." + Hex(GetCurrentProcessId()) + L"-5-0.tmp";
  const std::wstring otherDatabase = folder.File(L"Other.xml.fffffff0-0-0.tmp");
  const std::wstring userFile = database + L".notes.tmp";
  for (const std::wstring& path : {ended, ended2, own, otherDatabase, userFile}) Touch(path);

  EXPECT_EQ(RemoveStaleTemporaryFiles(database), 2);
  EXPECT_FALSE(Exists(ended));
  EXPECT_FALSE(Exists(ended2));
  EXPECT_TRUE(Exists(own));
  EXPECT_TRUE(Exists(otherDatabase));
  EXPECT_TRUE(Exists(userFile));
  EXPECT_TRUE(Exists(database));
  EXPECT_EQ(RemoveStaleTemporaryFiles(database), 0);
}

TEST(RemoveStaleTemporaryFilesTest, KeepsTheFileOfARunningProcess) {
  testing::TempFolder folder;
  const std::wstring database = folder.File(L"Database.xml");
  Touch(database);
  // Another process that runs while the test looks: a child that was never let go.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  wchar_t command[] = L"cmd.exe /c exit";
  ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &child));
  const std::wstring running = database + L"." + Hex(child.dwProcessId) + L"-0-0.tmp";
  Touch(running);
  EXPECT_EQ(RemoveStaleTemporaryFiles(database), 0);
  EXPECT_TRUE(Exists(running));
  // Ended (its handle still open here, so the id is not reused yet): the file goes.
  TerminateProcess(child.hProcess, 0);
  WaitForSingleObject(child.hProcess, 10000);
  EXPECT_EQ(RemoveStaleTemporaryFiles(database), 1);
  EXPECT_FALSE(Exists(running));
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

}  // namespace
}  // namespace vellix
