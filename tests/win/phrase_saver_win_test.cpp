#include "phrases/phrase_saver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"
#include "phrases/database_sync.h"
#include "phrases/file_stamp.h"
#include "win_test_support.h"

namespace vellix {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

// Typing goes on while the first save sits in a slow write; the database file on the disk
// must end with the last count, written by exactly one more save, through the real writer.
TEST(PhraseSaverWin, CountsTypedDuringASlowSaveReachTheFile) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  std::mutex mutex;
  std::condition_variable changed;
  bool held = true;
  int writes = 0;
  PhraseDatabase collection;
  std::mutex collectionLock;
  for (const char16_t* word : {u"Best regards", u"Kind regards"}) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(word);
    collection.Add(std::move(phrase));
  }
  PhraseSaver saver([&](const std::u16string& target, std::string_view text) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      ++writes;
      changed.notify_all();
      changed.wait(lock, [&] { return !held; });
    }
    return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(target), text);
  });

  auto type = [&](size_t index) {
    {
      std::lock_guard<std::mutex> lock(collectionLock);
      collection.IncrementUsageCount(collection.At(index).Id());
    }
    saver.SaveInBackground(collection, collectionLock, path);
  };
  type(0);
  {
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return writes == 1; }));
  }
  for (int i = 0; i < 20; ++i) type(size_t(i % 2));
  {
    std::lock_guard<std::mutex> lock(mutex);
    held = false;
  }
  changed.notify_all();
  ASSERT_TRUE(saver.Finish(10s));

  EXPECT_EQ(writes, 2);
  PhraseDatabase loaded;
  ASSERT_EQ(PhraseDatabaseFile::Load(loaded, path), 1);
  ASSERT_EQ(loaded.Size(), 2u);
  EXPECT_EQ(loaded.At(0).CountUsage(), 11);
  EXPECT_EQ(loaded.At(1).CountUsage(), 10);
  // Replaced in one step each time: no temporary file stays behind.
  EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Database.xml"});
}

// Another program reads the database (with no sharing, as Vellix and vellix-db open it)
// just when a save wants to replace it: the save goes through once the file is free again.
TEST(PhraseSaverWin, ASaveWhileAnotherProgramHoldsTheFileLandsAfterwards) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  PhraseDatabase collection;
  std::mutex collectionLock;
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(u"Best regards");
  collection.Add(std::move(phrase));
  ASSERT_EQ(PhraseDatabaseFile::Save(collection, path, nullptr, nullptr), 1);

  PhraseSaver saver([](const std::u16string& target, std::string_view text) {
    return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(target), text);
  });
  HANDLE reader = CreateFileW(AsWide(path.c_str()), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  {
    std::lock_guard<std::mutex> lock(collectionLock);
    collection.IncrementUsageCount(collection.At(0).Id());
  }
  saver.SaveInBackground(collection, collectionLock, path);
  Sleep(400);  // the first attempt and a few more find the file held
  CloseHandle(reader);
  ASSERT_TRUE(saver.Finish(10s));

  PhraseDatabase loaded;
  ASSERT_EQ(PhraseDatabaseFile::Load(loaded, path), 1);
  EXPECT_EQ(loaded.At(0).CountUsage(), 1);
  EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Database.xml"});
}

// Saves under the guard that follows the file on disk, through the real writer: a save's
// own file is not taken for a change (the read-only attribute the writer sets included),
// and a file another program put there stops the next save.
TEST(PhraseSaverWin, GuardedSavesFollowTheirOwnWritesAndStopAtAnotherFile) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  PhraseDatabase collection;
  std::mutex collectionLock;
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(u"Best regards");
  collection.Add(std::move(phrase));
  ASSERT_EQ(PhraseDatabaseFile::Save(collection, path, nullptr, nullptr), 1);
  int changes = 0;
  DatabaseSync sync(&ReadFileStamp, [&] { ++changes; });
  sync.Loaded(collection, ReadFileStamp(path));
  PhraseSaver saver([](const std::u16string& target, std::string_view text) {
    return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(target), text);
  });
  for (int use = 1; use <= 3; ++use) {
    {
      std::lock_guard<std::mutex> lock(collectionLock);
      collection.IncrementUsageCount(collection.At(0).Id());
    }
    saver.SaveInBackground(collection, collectionLock, path, &sync);
    ASSERT_TRUE(saver.Finish(10s));
    EXPECT_EQ(sync.Known(), ReadFileStamp(path)) << use;
  }
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(sync.Unsaved(collection).empty());

  const std::wstring incoming = folder.File(L"incoming.xml");
  testing::WriteFileBytes(incoming, "<?xml version=\"1.0\" ?>\r\n<Tessil_Phrase_Data />\r\n");
  ASSERT_TRUE(MoveFileExW(incoming.c_str(), ToWide(path).c_str(), MOVEFILE_REPLACE_EXISTING));
  {
    std::lock_guard<std::mutex> lock(collectionLock);
    collection.IncrementUsageCount(collection.At(0).Id());
  }
  saver.SaveInBackground(collection, collectionLock, path, &sync);
  ASSERT_TRUE(saver.Finish(10s));
  EXPECT_EQ(changes, 1);
  PhraseDatabase loaded;
  ASSERT_EQ(PhraseDatabaseFile::Load(loaded, path), 1);
  EXPECT_TRUE(loaded.Empty()) << "the other program's file stays";
}

}  // namespace
}  // namespace vellix
