// LogReport.txt through LogWriter: layout, byte-order mark, line breaks, the cross-process
// lock with its 5000 ms rule, and two processes appending at once.

#include "services/log_writer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "base/wide.h"
#include "win_test_support.h"
#include "win32/program_folder.h"

namespace vellix {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;

// The file's text after its byte-order mark; "<no BOM>" when the mark is missing.
std::wstring ReadLog(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path);
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return L"<no BOM>";
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

class LogWriterTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::wstring path = folder.File(L"LogReport.txt");
};

TEST_F(LogWriterTest, RecordLayoutAndByteOrderMark) {
  LogWriter log;
  EXPECT_FALSE(log.IsOpen());
  EXPECT_FALSE(log.Write(u"before open"));
  ASSERT_TRUE(log.Open(ToU16(path)));
  EXPECT_TRUE(log.IsOpen());
  EXPECT_FALSE(log.Open(ToU16(path)));
  EXPECT_TRUE(log.Write(u"OnCallBack_ENDPRINT"));
  EXPECT_FALSE(log.Write(u""));
  log.Flush();
  const std::wstring text = ReadLog(path);
  EXPECT_TRUE(std::regex_match(text, std::wregex(LR"(Vellix: \[\d\d/\d\d/\d\d \d\d:\d\d:\d\d\] OnCallBack_ENDPRINT\r\n)")))
      << ToU16(text).size();
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[16];
  wsprintfW(date, L"[%02d/%02d/%02d ", now.wMonth, now.wDay, now.wYear % 100);
  EXPECT_NE(text.find(date), std::wstring::npos);
}

TEST_F(LogWriterTest, LineBreakRuleAndOrder) {
  LogWriter log;
  ASSERT_TRUE(log.Open(ToU16(path)));
  log.WriteAsync(u"ends already\r\n");
  log.WriteAsync(u"x");
  log.WriteAsync(u"y\r\n");
  for (int i = 0; i < 300; ++i) log.WriteAsync(ToU16(L"line " + std::to_wstring(i)));
  log.Flush();
  const std::wstring text = ReadLog(path);
  ASSERT_EQ(text.rfind(L"ends already\r\nxy\r\nline 0\r\nline 1\r\n", 0), 0u);
  const std::vector<std::wstring> lines = Lines(text);
  ASSERT_EQ(lines.size(), 302u);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(lines[2 + i], L"line " + std::to_wstring(i));
}

TEST_F(LogWriterTest, DeletedFileIsCreatedAgainWithMark) {
  LogWriter log;
  ASSERT_TRUE(log.Open(ToU16(path)));
  log.Write(u"first");
  log.Flush();
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  log.Write(u"second");
  log.Flush();
  const std::wstring text = ReadLog(path);
  EXPECT_EQ(text.find(L"first"), std::wstring::npos);
  EXPECT_NE(text.find(L"] second\r\n"), std::wstring::npos);
}

TEST_F(LogWriterTest, YesNoTextsComeFromTheSource) {
  LogWriter log;
  ASSERT_TRUE(log.Open(ToU16(path)));
  log.WriteYesNo(u"Install Engine", true);
  log.WriteYesNo(u"Uninstall Engine", false);
  log.SetYesNoSource([](bool yes) { return std::u16string(yes ? u"Ja" : u"Nein"); });
  log.WriteYesNo(u"Install Engine", true);
  log.WriteYesNo(u"Uninstall Engine", false);
  log.Flush();
  const std::vector<std::wstring> lines = Lines(ReadLog(path));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[0].ends_with(L"] Install Engine: Yes"));
  EXPECT_TRUE(lines[1].ends_with(L"] Uninstall Engine: NO"));
  EXPECT_TRUE(lines[2].ends_with(L"] Install Engine: Ja"));
  EXPECT_TRUE(lines[3].ends_with(L"] Uninstall Engine: NEIN"));
}

TEST_F(LogWriterTest, StartRecordsFollowTheLayout) {
  LogWriter log;
  ASSERT_TRUE(log.Open(ToU16(path)));
  WriteStartRecords(log);
  log.Flush();
  const std::vector<std::wstring> lines = Lines(ReadLog(path));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[0].starts_with(L"Vellix: ["));
  EXPECT_EQ(lines[1], L"");
  EXPECT_TRUE(lines[2].starts_with(L"======================Start Vellix 1.00 build 1 with cmdline ["));
  EXPECT_NE(lines[2].find(L", admin privilegies: "), std::wstring::npos);
  EXPECT_NE(lines[3].find(L"] This version released "), std::wstring::npos);
}

TEST_F(LogWriterTest, StuckLockDropsTheRecordAndIsFreed) {
  LogWriter log;
  ASSERT_TRUE(log.Open(ToU16(path)));
  HANDLE lock = OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, L"Local\\Vellix_SyncEven");
  ASSERT_NE(lock, nullptr);
  ResetEvent(lock);  // another process holds the lock and never gives it back
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(log.Write(u"lost record"));  // the caller does not wait
  EXPECT_LT(GetTickCount64() - start, 1000u);
  log.Flush();
  EXPECT_GE(GetTickCount64() - start, 4900u);
  EXPECT_EQ(WaitForSingleObject(lock, 0), WAIT_OBJECT_0);
  log.Write(u"later record");
  log.Flush();
  const std::wstring text = ReadLog(path);
  EXPECT_EQ(text.find(L"lost record"), std::wstring::npos);
  EXPECT_NE(text.find(L"later record"), std::wstring::npos);
  CloseHandle(lock);
}

// Starts log_stress (beside this test program) and returns its process handle.
HANDLE StartLogger(const std::wstring& log, const wchar_t* tag, int count, int width) {
  const std::wstring exe = ToWide(ProgramFolder()) + L"log_stress.exe";
  std::wstring command = L"\"" + exe + L"\" \"" + log + L"\" " + std::to_wstring(count) + L" " + tag +
                         L" " + std::to_wstring(width);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return nullptr;
  CloseHandle(process.hThread);
  return process.hProcess;
}

TEST_F(LogWriterTest, TwoProcessesNeverInterleaveWithinARecord) {
  constexpr int kCount = 300;
  constexpr int kWidth = 3000;
  HANDLE processes[] = {StartLogger(path, L"A", kCount, kWidth), StartLogger(path, L"B", kCount, kWidth)};
  ASSERT_NE(processes[0], nullptr);
  ASSERT_NE(processes[1], nullptr);
  ASSERT_EQ(WaitForMultipleObjects(2, processes, TRUE, 120000), WAIT_OBJECT_0);
  for (HANDLE p : processes) {
    DWORD code = 99;
    GetExitCodeProcess(p, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(p);
  }
  const std::wregex record(LR"(Vellix: \[\d\d/\d\d/\d\d \d\d:\d\d:\d\d\] ([AB]) (\d+) ([a-z])\3*)");
  std::map<wchar_t, int> next{{L'A', 0}, {L'B', 0}};
  bool mixed = false;
  wchar_t previous = 0;
  for (const std::wstring& line : Lines(ReadLog(path))) {
    std::wsmatch m;
    ASSERT_TRUE(std::regex_match(line, m, record)) << "damaged record of " << line.size() << " characters";
    ASSERT_EQ(size_t(m.length(0) - m.position(3)), size_t(kWidth));
    const wchar_t tag = m.str(1)[0];
    EXPECT_EQ(std::stoi(m.str(2)), next[tag]++);  // each process's records in order
    if (previous && previous != tag) mixed = true;
    previous = tag;
  }
  EXPECT_EQ(next[L'A'], kCount);
  EXPECT_EQ(next[L'B'], kCount);
  std::printf("records of the two processes alternate in the file: %s\n", mixed ? "yes" : "no");
}

}  // namespace
}  // namespace vellix
