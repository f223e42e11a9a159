#include "phrases/phrase_database_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"
#include "win_test_support.h"

namespace vellix {
namespace {

using File = PhraseDatabaseFile;

using testing::TempFolder;

std::u16string FileIn(const TempFolder& folder, const wchar_t* name) {
  return ToU16(folder.File(name));
}

std::string ReadBytes(const std::u16string& path) { return testing::ReadFileBytes(ToWide(path), "<missing>"); }

void WriteBytes(const std::u16string& path, const std::string& bytes) {
  SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool IsReadOnly(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(AsWide(path.c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void Fill(PhraseDatabase& db, std::initializer_list<const char16_t*> words) {
  for (const char16_t* word : words) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(word);
    phrase->Prefixes()[u"k"] = 1;
    db.Add(std::move(phrase));
  }
}

TEST(PhraseDatabaseFileWin, SaveLoadsBackAndLeavesTheFileReadOnly) {
  for (bool readOnlyBefore : {false, true}) {
    TempFolder folder;
    const std::u16string path = FileIn(folder, L"Database.xml");
    WriteBytes(path, "old");
    if (readOnlyBefore) SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_READONLY);
    PhraseDatabase db;
    Fill(db, {u"one", u"two \u00e4\u20ac"});
    ASSERT_EQ(File::Save(db, path, nullptr, nullptr), 1) << readOnlyBefore;
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_EQ(ReadBytes(path), File::Serialize(db));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Database.xml"});
    PhraseDatabase loaded;
    ASSERT_EQ(File::Load(loaded, path), 1);
    ASSERT_EQ(loaded.Size(), 2u);
    EXPECT_EQ(loaded.At(1).Word(), u"two \u00e4\u20ac");
  }
}

TEST(PhraseDatabaseFileWin, SaveCreatesAMissingFileReadOnly) {
  TempFolder folder;
  const std::u16string path = FileIn(folder, L"New.xml");
  PhraseDatabase db;
  ASSERT_EQ(File::Save(db, path, nullptr, nullptr), 1);
  EXPECT_TRUE(IsReadOnly(path));
  EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\" ?>\r\n<Tessil_Phrase_Data />\r\n");
}

TEST(PhraseDatabaseFileWin, LoadFailuresLeaveTheCollectionUntouched) {
  TempFolder folder;
  WriteBytes(FileIn(folder, L"empty.xml"), "");
  WriteBytes(FileIn(folder, L"noroot.xml"), "<Other/>");
  WriteBytes(FileIn(folder, L"zero.xml"), std::string("\0<Tessil_Phrase_Data/>", 22));
  CreateDirectoryW(AsWide(FileIn(folder, L"dir.xml").c_str()), nullptr);
  for (const wchar_t* name : {L"missing.xml", L"empty.xml", L"noroot.xml", L"zero.xml", L"dir.xml"}) {
    PhraseDatabase db;
    Fill(db, {u"kept"});
    EXPECT_EQ(File::Load(db, FileIn(folder, name)), 0) << name;
    EXPECT_EQ(db.Size(), 1u) << name;
  }
  std::string bytes;
  EXPECT_EQ(File::ReadFileBytes(FileIn(folder, L"missing.xml"), bytes), FileReadStatus::kNotFound);
  EXPECT_EQ(File::ReadFileBytes(FileIn(folder, L"empty.xml"), bytes), FileReadStatus::kEmpty);
  EXPECT_EQ(File::ReadFileBytes(FileIn(folder, L"dir.xml"), bytes), FileReadStatus::kIsFolder);
}

// What Load reports for the host's message: a missing file is no message, an empty,
// unreadable or damaged one is, with where reading stopped when the text was read.
TEST(PhraseDatabaseFileWin, LoadReportsWhetherTheFileWasReadWhole) {
  TempFolder folder;
  PhraseDatabase whole;
  Fill(whole, {u"one", u"two"});
  ASSERT_EQ(File::Save(whole, FileIn(folder, L"whole.xml"), nullptr, nullptr), 1);
  WriteBytes(FileIn(folder, L"empty.xml"), "");
  WriteBytes(FileIn(folder, L"damaged.xml"),
             "<Tessil_Phrase_Data>\r\n<Phrase><Word>one</Word></Phrase>\r\n<Phrase><Word>two</Wrod></Phrase>\r\n"
             "<Phrase><Word>three</Word></Phrase>\r\n</Tessil_Phrase_Data>\r\n");
  const struct {
    const wchar_t* name;
    int loaded;
    FileReadStatus status;
    bool rootFound;
    bool whole;
    TextPosition stop;
  } cases[] = {
      {L"whole.xml", 1, FileReadStatus::kOk, true, true, {}},
      {L"missing.xml", 0, FileReadStatus::kNotFound, false, false, {}},
      {L"empty.xml", 0, FileReadStatus::kEmpty, false, false, {}},
      {L"damaged.xml", 1, FileReadStatus::kOk, true, false, {3, 18}},
  };
  for (const auto& c : cases) {
    PhraseDatabase db;
    LoadReport report;
    EXPECT_EQ(File::Load(db, FileIn(folder, c.name), &report), c.loaded) << c.name;
    EXPECT_EQ(report.status, c.status) << c.name;
    EXPECT_EQ(report.rootFound, c.rootFound) << c.name;
    EXPECT_EQ(report.ReadWhole(), c.whole) << c.name;
    EXPECT_EQ(report.parse.stop, c.stop) << c.name << ": line " << report.parse.stop.line << ", column "
                                         << report.parse.stop.column;
  }
  // A file open elsewhere without sharing cannot be read now.
  const std::u16string locked = FileIn(folder, L"whole.xml");
  HANDLE other = CreateFileW(AsWide(locked.c_str()), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  PhraseDatabase db;
  LoadReport report;
  EXPECT_EQ(File::Load(db, locked, &report), 0);
  EXPECT_EQ(report.status, FileReadStatus::kInUse);
  EXPECT_FALSE(report.ReadWhole());
  CloseHandle(other);
}

TEST(PhraseDatabaseFileWin, FileOpenElsewhereCannotBeLoadedOrSaved) {
  TempFolder folder;
  const std::u16string path = FileIn(folder, L"Database.xml");
  PhraseDatabase db;
  Fill(db, {u"first"});
  ASSERT_EQ(File::Save(db, path, nullptr, nullptr), 1);
  const std::string before = ReadBytes(path);
  for (DWORD share : {DWORD(0), DWORD(FILE_SHARE_READ)}) {
    HANDLE other = CreateFileW(AsWide(path.c_str()), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    PhraseDatabase loaded;
    Fill(loaded, {u"kept"});
    EXPECT_EQ(File::Load(loaded, path), 0);
    EXPECT_EQ(loaded.At(0).Word(), u"kept");
    PhraseDatabase changed;
    Fill(changed, {u"second"});
    EXPECT_EQ(File::Save(changed, path, nullptr, nullptr), 0);
    std::string bytes;
    EXPECT_EQ(File::ReadFileBytes(path, bytes), FileReadStatus::kInUse);
    CloseHandle(other);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Database.xml"});
  }
}

int CountingHook(const std::u16string&, void* argument) {
  int* calls = static_cast<int*>(argument);
  ++*calls;
  return *calls > 1;  // refuses the first save only
}

TEST(PhraseDatabaseFileWin, HookCanStopTheSave) {
  TempFolder folder;
  const std::u16string path = FileIn(folder, L"Database.xml");
  PhraseDatabase db;
  int calls = 0;
  EXPECT_EQ(File::Save(db, path, CountingHook, &calls), 0);
  EXPECT_EQ(ReadBytes(path), "<missing>");
  EXPECT_EQ(File::Save(db, path, CountingHook, &calls), 1);
  EXPECT_EQ(calls, 2);
}

// Waits, when needed, so that the next few hundred milliseconds fall within one second.
void StartOfASecond() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wMilliseconds > 500) Sleep(1050 - now.wMilliseconds);
}

TEST(PhraseDatabaseFileWin, BackupsBesideTheProgram) {
  const std::wstring backups = ToWide(File::BackupFolder());
  TempFolder::RemoveTree(backups);
  EXPECT_FALSE(File::OpenBackupFolder(nullptr));

  TempFolder folder;
  const std::u16string path = FileIn(folder, L"Data base.xml");
  PhraseDatabase db;
  Fill(db, {u"first"});
  ASSERT_EQ(File::Save(db, path, nullptr, nullptr), 1);  // read-only now
  const std::string first = ReadBytes(path);

  StartOfASecond();
  PhraseDatabase second;
  Fill(second, {u"second"});
  ASSERT_EQ(File::Save(second, path, File::MakeBackup, nullptr), 1);
  PhraseDatabase third;
  Fill(third, {u"third"});
  ASSERT_EQ(File::Save(third, path, File::MakeBackup, nullptr), 1);
  EXPECT_EQ(ReadBytes(path), File::Serialize(third));

  const std::vector<std::wstring> names = TempFolder::List(backups);
  ASSERT_EQ(names.size(), 1u);
  const std::wstring& name = names[0];
  EXPECT_EQ(name.rfind(L"Data base_", 0), 0u) << ToU16(name).size();
  EXPECT_EQ(name.substr(name.size() - 4), L".xml");
  EXPECT_EQ(name.find_first_of(L":/\\*?\"<>|", 10), std::wstring::npos);
  EXPECT_EQ(name.find(L' ', 10), std::wstring::npos);
  const std::u16string backup = ToU16(backups + L"\\" + name);
  EXPECT_EQ(ReadBytes(backup), first);
  EXPECT_TRUE(IsReadOnly(backup));
  TempFolder::RemoveTree(backups);
}

TEST(PhraseDatabaseFileWin, BackupOfAMissingDatabaseIsSkipped) {
  const std::wstring backups = ToWide(File::BackupFolder());
  TempFolder folder;
  PhraseDatabase db;
  ASSERT_EQ(File::Save(db, FileIn(folder, L"x.xml"), File::MakeBackup, nullptr), 1);
  EXPECT_TRUE(TempFolder::List(backups).empty());
  TempFolder::RemoveTree(backups);
}

// The real file operations with one step made to fail.
enum class Step { kCreate, kWrite, kFlush, kClose, kClearReadOnly, kReplace };

class FailingOperations final : public DatabaseFileOperations {
 public:
  explicit FailingOperations(Step failing) : failing_(failing) {}
  DWORD GetAttributes(const std::wstring& path) override { return real_.GetAttributes(path); }
  bool SetAttributes(const std::wstring& path, DWORD attributes) override {
    if (failing_ == Step::kClearReadOnly && !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
    return real_.SetAttributes(path, attributes);
  }
  HANDLE CreateNew(const std::wstring& path, DWORD attributes) override {
    return failing_ == Step::kCreate ? INVALID_HANDLE_VALUE : real_.CreateNew(path, attributes);
  }
  bool Write(HANDLE file, const char* data, DWORD size) override {
    if (failing_ == Step::kWrite) {  // the disk fills up half-way
      real_.Write(file, data, size / 2);
      return false;
    }
    return real_.Write(file, data, size);
  }
  bool Flush(HANDLE file) override { return failing_ != Step::kFlush && real_.Flush(file); }
  bool Close(HANDLE file) override { return real_.Close(file) && failing_ != Step::kClose; }
  bool Replace(const std::wstring& from, const std::wstring& to) override {
    return failing_ != Step::kReplace && real_.Replace(from, to);
  }
  bool Delete(const std::wstring& path) override { return real_.Delete(path); }

 private:
  Step failing_;
  DatabaseFileOperations& real_ = SystemFileOperations();
};

TEST(DatabaseFileWriter, InterruptedSaveLeavesTheOldFileIntact) {
  for (Step step : {Step::kCreate, Step::kWrite, Step::kFlush, Step::kClose,
                    Step::kClearReadOnly, Step::kReplace}) {
    for (bool readOnly : {false, true}) {
      TempFolder folder;
      const std::u16string path = FileIn(folder, L"Database.xml");
      const std::string old = "old content that must survive\r\n";
      WriteBytes(path, old);
      if (readOnly) SetFileAttributesW(AsWide(path.c_str()), FILE_ATTRIBUTE_READONLY);
      FailingOperations files(step);
      const int outcome = DatabaseFileWriter(files).Write(ToWide(path), std::string(5000, 'n'));
      const bool stepRuns = step != Step::kClearReadOnly || readOnly;
      const std::string label = "step " + std::to_string(int(step)) + " read-only " + std::to_string(readOnly);
      EXPECT_EQ(outcome, stepRuns ? 0 : 1) << label;
      if (stepRuns) {
        EXPECT_EQ(ReadBytes(path), old) << label;
      }
      EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Database.xml"}) << label;
      EXPECT_TRUE(IsReadOnly(path)) << label;
    }
  }
}

TEST(DatabaseFileWriter, RefusesAFolder) {
  TempFolder folder;
  const std::u16string path = FileIn(folder, L"dir");
  CreateDirectoryW(AsWide(path.c_str()), nullptr);
  EXPECT_EQ(DatabaseFileWriter(SystemFileOperations()).Write(ToWide(path), "x"), 0);
  EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"dir"});
}

}  // namespace
}  // namespace vellix
