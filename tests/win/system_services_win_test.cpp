// Autostart in the current user's Run key, the file test and the administrator check.

#include <gtest/gtest.h>

#include <windows.h>

#include "base/wide.h"
#include "services/autostart_win.h"
#include "services/system_services_win.h"
#include "win_test_support.h"
#include "win32/program_folder.h"

namespace vellix {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring ReadRunValue() {
  wchar_t buffer[1024] = {};
  DWORD bytes = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vellix", RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS)
    return L"<absent>";
  return buffer;
}

void WriteRunValue(const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vellix", REG_SZ, value.c_str(),
                  DWORD((value.size() + 1) * sizeof(wchar_t)));
}

class AutostartTest : public ::testing::Test {
 protected:
  void TearDown() override { SetAutostart(false); }
};

TEST_F(AutostartTest, WritesTheQuotedPathAndDeletesTheEntry) {
  const std::u16string self = ProgramFile();
  ASSERT_TRUE(SetAutostart(true));
  EXPECT_EQ(ReadRunValue(), L"\"" + ToWide(self) + L"\" /autoload");
  EXPECT_TRUE(IsAutostartOn());
  ASSERT_TRUE(SetAutostart(false));
  EXPECT_EQ(ReadRunValue(), L"<absent>");
  EXPECT_FALSE(IsAutostartOn());
  EXPECT_TRUE(SetAutostart(false));  // deleting a missing entry is no failure
}

TEST_F(AutostartTest, RecognisesBothFormsAndIgnoresOtherPrograms) {
  const std::u16string path = u"c:\\program\\app.exe";
  struct Case {
    const wchar_t* value;
    bool on;
  } cases[] = {
      {L"C:\\PROGRAM\\APP.EXE /autoload", true},
      {L"\"C:\\Program\\App.exe\" /autoload", true},
      {L"C:\\Other\\App.exe /autoload", false},
      {L"C:\\Program Files\\App.exe /autoload", false},
  };
  for (const Case& c : cases) {
    WriteRunValue(c.value);
    EXPECT_EQ(IsAutostartOnFor(path), c.on) << ToU16(c.value).size();
  }
  ASSERT_TRUE(SetAutostartFor(u"C:\\Program Files\\Vellix\\Vellix.exe", true));
  EXPECT_EQ(ReadRunValue(), L"\"C:\\Program Files\\Vellix\\Vellix.exe\" /autoload");
  EXPECT_TRUE(IsAutostartOnFor(u"c:\\program files\\vellix\\vellix.exe"));
  EXPECT_FALSE(IsAutostartOnFor(u"C:\\Program"));
}

TEST(FileExistsTest, FilesFoldersAndMissingPaths) {
  testing::TempFolder folder;
  const std::wstring file = folder.File(L"present.txt");
  testing::WriteFileBytes(file, "x");
  EXPECT_TRUE(FileExists(ToU16(file)));
  EXPECT_FALSE(FileExists(ToU16(folder.Path())));
  EXPECT_FALSE(FileExists(ToU16(folder.File(L"sub"))));
  CreateDirectoryW(folder.File(L"sub").c_str(), nullptr);
  EXPECT_FALSE(FileExists(ToU16(folder.File(L"sub"))));
  EXPECT_FALSE(FileExists(ToU16(folder.File(L"missing.txt"))));
  EXPECT_FALSE(FileExists(ToU16(folder.File(L"missing\\deeper.txt"))));
  EXPECT_FALSE(FileExists(u""));
  EXPECT_TRUE(FileExists(ProgramFile()));
}

TEST(AdministratorTest, AnswersWithoutFailing) {
  // Wine's default user counts as an administrator; the call must simply agree with itself.
  EXPECT_EQ(IsAdministrator(), IsAdministrator());
}

}  // namespace
}  // namespace vellix
