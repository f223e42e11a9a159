// Background saves that follow the database file on disk: they never write over a file that
// another program changed after the collection was loaded from it or last saved to it, and
// the counts typed since the last save are known for the reload that follows.

#include "phrases/database_sync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellix {
namespace {

using namespace std::chrono_literals;

// The files of a disk as their stamps; a write gives the file a new stamp.
struct FakeDisk {
  FileStamp Stamp(const std::u16string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    const auto it = files.find(path);
    return it == files.end() ? FileStamp{} : it->second;
  }
  void Change(const std::u16string& path, uint64_t size) {
    std::lock_guard<std::mutex> lock(mutex);
    files[path] = {true, size, ++clock};
  }
  int Write(const std::u16string& path, std::string_view text) {
    Change(path, text.size());
    std::lock_guard<std::mutex> lock(mutex);
    written.emplace_back(text);
    return 1;
  }

  std::mutex mutex;
  std::map<std::u16string, FileStamp> files;
  uint64_t clock = 0;
  std::vector<std::string> written;
};

struct Live {
  Live() {
    for (const char16_t* text : {u"by the way", u"best regards"}) {
      auto phrase = std::make_unique<Phrase>();
      phrase->SetWord(text);
      phrase->Prefixes()[text == std::u16string(u"by the way") ? u"btw" : u"br"] = 1;
      phrase->SetCountUsage(3);
      collection.Add(std::move(phrase));
    }
  }
  void Type(size_t index) {
    std::lock_guard<std::mutex> guard(lock);
    collection.IncrementUsageCount(collection.At(index).Id());
  }

  PhraseDatabase collection;
  std::mutex lock;
};

struct SyncFixture : ::testing::Test {
  SyncFixture() {
    disk.Change(kPath, 100);
    sync.Loaded(live.collection, disk.Stamp(kPath));
  }

  static constexpr const char16_t* kPath = u"Database.xml";
  FakeDisk disk;
  Live live;
  int changes = 0;
  DatabaseSync sync{[this](const std::u16string& path) { return disk.Stamp(path); }, [this] { ++changes; }};
};

// One save from taking its text to its write, as the saver runs it.
bool SaveOnce(DatabaseSync& sync, FakeDisk& disk, Live& live) {
  uint64_t token;
  {
    std::lock_guard<std::mutex> lock(live.lock);
    token = sync.Taken(live.collection);
  }
  if (!sync.MayReplace(SyncFixture::kPath, token)) return false;
  disk.Write(SyncFixture::kPath, "text");
  sync.Written(SyncFixture::kPath, token, 4);
  return true;
}

TEST_F(SyncFixture, OwnSavesFollowOneAnother) {
  live.Type(0);
  EXPECT_TRUE(SaveOnce(sync, disk, live));
  EXPECT_EQ(sync.Known(), disk.Stamp(kPath)) << "a save's own file is not a change";
  live.Type(0);
  EXPECT_TRUE(SaveOnce(sync, disk, live));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(disk.written.size(), 2u);
}

TEST_F(SyncFixture, AFileChangedOnDiskIsNotWrittenOver) {
  struct Case {
    const char* name;
    bool exists;
  } cases[] = {{"replaced by another program", true}, {"removed", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    changes = 0;
    disk.Change(kPath, 100);
    sync.Loaded(live.collection, disk.Stamp(kPath));
    live.Type(1);
    if (c.exists) {
      disk.Change(kPath, 120);
    } else {
      std::lock_guard<std::mutex> lock(disk.mutex);
      disk.files.erase(kPath);
    }
    const size_t before = disk.written.size();
    EXPECT_FALSE(SaveOnce(sync, disk, live));
    EXPECT_EQ(disk.written.size(), before);
    EXPECT_EQ(changes, 1) << "the host is told to reload";
  }
}

// The host reloaded after the save took its text: that text is older than the file.
TEST_F(SyncFixture, TextTakenBeforeAReloadIsDropped) {
  uint64_t token;
  {
    std::lock_guard<std::mutex> lock(live.lock);
    token = sync.Taken(live.collection);
  }
  disk.Change(kPath, 130);
  sync.Loaded(live.collection, disk.Stamp(kPath));
  EXPECT_FALSE(sync.MayReplace(kPath, token));
  EXPECT_EQ(changes, 0) << "the reload is done already";
}

TEST_F(SyncFixture, UnsavedCountsAreThoseSinceTheLastWrite) {
  live.Type(0);
  live.Type(0);
  ASSERT_TRUE(SaveOnce(sync, disk, live));
  EXPECT_TRUE(sync.Unsaved(live.collection).empty());
  live.Type(1);
  const std::vector<UnsavedUsage> unsaved = sync.Unsaved(live.collection);
  ASSERT_EQ(unsaved.size(), 1u);
  EXPECT_EQ(unsaved[0].text, u"best regards");
  EXPECT_EQ(unsaved[0].count, 1);
}

// Another program's file arrived in the moment after a write: it is not taken for the
// save's own, so that the next look at the disk sees it as a change.
TEST_F(SyncFixture, AFileReplacedRightAfterTheWriteIsNotTakenForIt) {
  live.Type(0);
  uint64_t token;
  {
    std::lock_guard<std::mutex> lock(live.lock);
    token = sync.Taken(live.collection);
  }
  ASSERT_TRUE(sync.MayReplace(kPath, token));
  disk.Write(kPath, "text");
  disk.Change(kPath, 999);  // the other program's file
  sync.Written(kPath, token, 4);
  EXPECT_NE(sync.Known(), disk.Stamp(kPath));
  EXPECT_EQ(sync.Unsaved(live.collection).size(), 1u);
}

// A write that the guard allowed but that failed leaves the counts unsaved.
TEST_F(SyncFixture, AFailedWriteLeavesTheCountsUnsaved) {
  live.Type(0);
  uint64_t token;
  {
    std::lock_guard<std::mutex> lock(live.lock);
    token = sync.Taken(live.collection);
  }
  EXPECT_TRUE(sync.MayReplace(kPath, token));
  ASSERT_EQ(sync.Unsaved(live.collection).size(), 1u);
  EXPECT_EQ(sync.Known(), disk.Stamp(kPath));
}

TEST_F(SyncFixture, AnAdoptedFileIsWrittenAgain) {
  {
    std::lock_guard<std::mutex> lock(disk.mutex);
    disk.files.erase(kPath);
  }
  sync.Adopt(disk.Stamp(kPath));
  live.Type(0);
  EXPECT_TRUE(SaveOnce(sync, disk, live));
  EXPECT_TRUE(disk.Stamp(kPath).exists);
  EXPECT_EQ(changes, 0);
}

// Through the saver: a refused save is not tried again, and nothing reaches the disk.
TEST_F(SyncFixture, TheSaverDropsARefusedSaveWithoutNewAttempts) {
  int writes = 0;
  PhraseSaver saver(
      [&](const std::u16string& path, std::string_view text) {
        ++writes;
        return disk.Write(path, text);
      },
      {.firstRetry = 1ms});
  live.Type(0);
  saver.SaveInBackground(live.collection, live.lock, kPath, &sync);
  ASSERT_TRUE(saver.Finish(10s));
  EXPECT_EQ(writes, 1);
  disk.Change(kPath, 500);
  live.Type(0);
  saver.SaveInBackground(live.collection, live.lock, kPath, &sync);
  ASSERT_TRUE(saver.Finish(10s));
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(changes, 1);
  // After the host's reload the saves go on.
  sync.Loaded(live.collection, disk.Stamp(kPath));
  live.Type(0);
  saver.SaveInBackground(live.collection, live.lock, kPath, &sync);
  ASSERT_TRUE(saver.Finish(10s));
  EXPECT_EQ(writes, 2);
}

}  // namespace
}  // namespace vellix
