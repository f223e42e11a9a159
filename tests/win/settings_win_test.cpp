// settings.ini through the system's private-profile functions.

#include <gtest/gtest.h>

#include <windows.h>

#include "base/wide.h"
#include "services/profile_store_win.h"
#include "services/settings.h"
#include "win_test_support.h"

namespace vellix {
namespace {

using testing::TempFolder;

class SettingsFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> Start() { return std::make_unique<Settings>(MakeIniProfileStore(ToU16(ini))); }
  std::wstring Read(const wchar_t* section, const wchar_t* key) {
    wchar_t buffer[1024];
    GetPrivateProfileStringW(section, key, L"<absent>", buffer, 1024, ini.c_str());
    return buffer;
  }
  void Put(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), ini.c_str());
  }
  TempFolder folder;
  std::wstring ini = folder.File(L"settings.ini");
};

TEST_F(SettingsFileTest, FirstAndSecondStart) {
  auto first = Start();
  EXPECT_TRUE(first->firstRun);
  EXPECT_EQ(Read(L"Settings", L"AlreadyRunning2"), L"1");
  EXPECT_EQ(Read(L"Settings", L"LaunchCount"), L"1");
  EXPECT_EQ(Read(L"Settings", L"LaunchCountPerDay"), L"1");
  EXPECT_EQ(Read(L"Statistics", L"PrintedChars"), L"0");
  const std::wstring last = Read(L"Settings", L"LastLaunch");
  ASSERT_EQ(last.size(), 34u);
  SYSTEMTIME stored{}, now{};
  ASSERT_TRUE(GetPrivateProfileStructW(L"Settings", L"LastLaunch", &stored, sizeof stored, ini.c_str()));
  GetSystemTime(&now);
  EXPECT_EQ(stored.wYear, now.wYear);
  EXPECT_EQ(stored.wDay, now.wDay);
  // The structure text is our own encoding of the same bytes, checksum included.
  EXPECT_EQ(ToU16(last), EncodeProfileStruct(&stored, sizeof stored));

  auto second = Start();
  EXPECT_FALSE(second->firstRun);
  EXPECT_EQ(Read(L"Settings", L"LaunchCount"), L"2");
  EXPECT_EQ(Read(L"Settings", L"LaunchCountPerDay"), L"1");
  EXPECT_EQ(Read(L"Settings", L"LastLaunch"), last);
}

TEST_F(SettingsFileTest, DamagedLastLaunchCountsAsNewDay) {
  Start();
  std::wstring last = Read(L"Settings", L"LastLaunch");
  last[33] = last[33] == L'0' ? L'1' : L'0';
  Put(L"Settings", L"LastLaunch", last);
  Start();
  EXPECT_EQ(Read(L"Settings", L"LaunchCountPerDay"), L"2");
  EXPECT_EQ(Read(L"Settings", L"LastLaunch").size(), 34u);
  EXPECT_NE(Read(L"Settings", L"LastLaunch"), last);
}

TEST_F(SettingsFileTest, MigratesOldCount) {
  Put(L"Settings", L"Statistics_Count", L"5000");
  auto settings = Start();
  EXPECT_EQ(settings->statistics.PrintedChars(), 5000u);
  EXPECT_EQ(Read(L"Statistics", L"PrintedChars"), L"5000");
}

TEST_F(SettingsFileTest, RecordsWithMarkerAndCut) {
  auto settings = Start();
  settings->statistics.OfferKeystroke(u"ab", u"first\r\nsecond", 3);
  settings->statistics.OfferKeystroke(u"abcdef", std::u16string(300, u'z'), 1);
  ASSERT_TRUE(settings->Save());
  EXPECT_EQ(Read(L"Statistics", L"Phrase_Min"), L"first{!!!^^^4AA3DFB4^^^^PREFIX!!!!second");
  const std::string file = testing::ReadFileBytes(ini);
  EXPECT_EQ(file.find("second\r\nsecond"), std::string::npos);

  auto again = Start();
  EXPECT_EQ(again->statistics.Shortest().text, u"first\nsecond");
  EXPECT_EQ(again->statistics.Shortest().usageCount, 3);
  EXPECT_EQ(again->statistics.Longest().text, std::u16string(259, u'z'));
}

TEST_F(SettingsFileTest, LimitsAndPlacement) {
  Put(L"Settings", L"LangFile", std::wstring(150, L'L'));
  Put(L"Settings", L"DatabasePath", std::wstring(400, L'D'));
  Put(L"Settings", L"Sounds", L"5");
  auto settings = Start();
  EXPECT_EQ(settings->langFile, std::u16string(100, u'L'));
  EXPECT_EQ(settings->databasePath, std::u16string(259, u'D'));
  EXPECT_EQ(settings->sounds, 5);

  ASSERT_TRUE(settings->SavePlacement({-5, 7, 800, 600}, u"EditorWindowPos"));
  WindowPlacement rect;
  EXPECT_TRUE(settings->LoadPlacement(rect, u"EditorWindowPos"));
  EXPECT_EQ(rect, (WindowPlacement{-5, 7, 800, 600}));
  WritePrivateProfileStringW(L"Settings", L"EditorWindowPos_RIGHT", nullptr, ini.c_str());
  EXPECT_FALSE(settings->LoadPlacement(rect, u"EditorWindowPos"));
}

// A file in the system's UTF-16 form, with its byte-order mark.
std::string Utf16File(const std::wstring& text) {
  std::string bytes("\xFF\xFE");
  bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return bytes;
}

// Damaged files: 8-bit text, binary bytes, huge numbers, no sections. Loading never fails
// hard and saving keeps the keys it does not own.
TEST_F(SettingsFileTest, DamagedFilesKeepForeignKeys) {
  const std::string cases[] = {
      "[Settings]\r\nForeign=kept\r\nSounds=99999999999999999999\r\nLangFile=Deutsch.lng\r\n",
      std::string("\x01\x02\xff\xfe\x00garbage\r\n[Settings]\r\nForeign=kept\r\n\x80\x81\r\n", 44),
      "Foreign=orphan\r\n[Settings]\r\nForeign=kept\r\nDatabasePath=" + std::string(5000, 'p') + "\r\n",
      Utf16File(L"[Settings]\r\nForeign=kept\r\nLangFile=\u0420\u0443\u0441\u0441\u043A\u0438\u0439.lng\r\n"),
  };
  for (const std::string& bytes : cases) {
    testing::WriteFileBytes(ini, bytes);
    auto settings = Start();
    EXPECT_TRUE(settings->firstRun);  // no AlreadyRunning2 in these files
    EXPECT_LE(settings->databasePath.size(), 259u);
    EXPECT_LE(settings->langFile.size(), 100u);
    settings->langFile = u"English.lng";
    settings->Save();
    EXPECT_EQ(Read(L"Settings", L"Foreign"), L"kept");
    EXPECT_EQ(Read(L"Settings", L"LangFile"), L"English.lng");
    EXPECT_EQ(Read(L"Settings", L"AlreadyRunning2"), L"1");
  }
}

TEST(SettingsInstanceTest, IsCreatedOnceOnSettingsIniInTheProgramFolder) {
  const std::wstring path = ToWide(SettingsFilePath());
  DeleteFileW(path.c_str());
  Settings& settings = Settings::Instance();
  EXPECT_EQ(&settings, &Settings::Instance());
  EXPECT_TRUE(settings.firstRun);
  EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  wchar_t count[16];
  GetPrivateProfileStringW(L"Settings", L"LaunchCount", L"", count, 16, path.c_str());
  EXPECT_STREQ(count, L"1");
  Settings::Instance();  // later calls neither load nor count again
  GetPrivateProfileStringW(L"Settings", L"LaunchCount", L"", count, 16, path.c_str());
  EXPECT_STREQ(count, L"1");
  DeleteFileW(path.c_str());
}

// Section "ExcludedPrograms" as a user or another program may leave it: damaged lines are
// skipped at start, the tray command rewrites the section with what was read, and the next
// start reads exactly that; the other sections stay as they were.
TEST_F(SettingsFileTest, ExcludedProgramsRoundTripSkipsDamagedEntries) {
  {
    // Written as bytes: the private-profile functions cannot write most of this damage.
    const char text[] =
        "[Settings]\r\nSounds=0\r\n"
        "[ExcludedPrograms]\r\n"
        "notepad.exe=1\r\n"
        "  WinWord.EXE = 0 \r\n"
        "no equals sign\r\n"
        "=1\r\n"
        "game.exe=maybe\r\n"
        "C:\\Tools\\putty.exe=1\r\n"
        "NOTEPAD.EXE=0\r\n"
        "; a comment\r\n"
        "mstsc.exe=1\r\n"
        "[Statistics]\r\nPrintedChars=42\r\n";
    HANDLE file = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text, DWORD(sizeof text - 1), &written, nullptr);
    CloseHandle(file);
  }
  auto settings = Start();
  const std::vector<ExcludedProgram> read = {{u"notepad.exe", true}, {u"WinWord.EXE", false}, {u"mstsc.exe", true}};
  EXPECT_EQ(settings->excludedPrograms, read);
  EXPECT_TRUE(settings->IsProgramExcluded(u"Notepad.exe"));
  EXPECT_FALSE(settings->IsProgramExcluded(u"winword.exe"));

  // Choosing the command for notepad takes it out; for winword, switches it on; for a new
  // program, adds it.
  EXPECT_FALSE(settings->ToggleExcludedProgram(u"NOTEPAD.exe"));
  EXPECT_TRUE(settings->ToggleExcludedProgram(u"winword.exe"));
  EXPECT_TRUE(settings->ToggleExcludedProgram(u"Caf\u00e9 Term.exe"));
  EXPECT_EQ(Read(L"ExcludedPrograms", L"notepad.exe"), L"<absent>");
  EXPECT_EQ(Read(L"ExcludedPrograms", L"winword.exe"), L"1");
  EXPECT_EQ(Read(L"ExcludedPrograms", L"no equals sign"), L"<absent>");
  EXPECT_EQ(Read(L"Settings", L"Sounds"), L"0");
  EXPECT_EQ(Read(L"Statistics", L"PrintedChars"), L"42");

  auto again = Start();
  const std::vector<ExcludedProgram> saved = {
      {u"WinWord.EXE", true}, {u"mstsc.exe", true}, {u"Caf\u00e9 Term.exe", true}};
  EXPECT_EQ(again->excludedPrograms, saved);

  // The last program taken out leaves no section behind, and a start without one has none.
  for (const std::u16string_view name : {u"winword.exe", u"MSTSC.EXE", u"caf\u00e9 term.exe"})
    EXPECT_FALSE(again->ToggleExcludedProgram(name));
  EXPECT_TRUE(again->excludedPrograms.empty());
  wchar_t names[64] = L"x";
  EXPECT_EQ(GetPrivateProfileSectionW(L"ExcludedPrograms", names, 64, ini.c_str()), 0u);
  EXPECT_TRUE(Start()->excludedPrograms.empty());
  EXPECT_EQ(Read(L"Statistics", L"PrintedChars"), L"42");
}

// A section longer than the first buffer the store reads with arrives whole.
TEST_F(SettingsFileTest, LongExcludedProgramsSection) {
  std::vector<ExcludedProgram> many;
  for (int i = 0; i < 400; ++i)
    many.push_back({u"a-program-with-a-rather-long-name-" + ToU16(std::to_wstring(i)) + u".exe", i % 3 != 0});
  {
    auto settings = Start();
    settings->excludedPrograms = many;
    ASSERT_TRUE(settings->SaveExcludedPrograms());
  }
  EXPECT_EQ(Start()->excludedPrograms, many);
}

TEST(SettingsPathTest, IsSettingsIniInTheProgramFolder) {
  const std::u16string path = SettingsFilePath();
  ASSERT_GT(path.size(), 13u);
  EXPECT_EQ(path.substr(path.size() - 13), u"\\settings.ini");
}

}  // namespace
}  // namespace vellix
