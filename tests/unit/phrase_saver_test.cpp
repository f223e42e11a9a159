#include "phrases/phrase_saver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellix {
namespace {

using namespace std::chrono_literals;

// A writer that records what it was given and can be held at its next write until the
// test lets it go (a slow or stuck disk).
class GatedWriter {
 public:
  struct Write {
    std::u16string path;
    std::string text;
  };

  PhraseSaver::Writer Function() {
    return [this](const std::u16string& path, std::string_view text) {
      std::unique_lock<std::mutex> lock(mutex_);
      ++entered_;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !held_; });
      writes_.push_back({path, std::string(text)});
      if (failures_ == 0) return 1;
      --failures_;
      return 0;
    };
  }

  void Hold() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = true;
  }
  void Release() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }
  // The next count writes fail (the file is held by another program).
  void Fail(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    failures_ = count;
  }
  // Waits until the writer has been entered count times in all.
  bool WaitEntered(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return entered_ >= count; });
  }
  std::vector<Write> Writes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  int failures_ = 0;
  int entered_ = 0;
  std::vector<Write> writes_;
};

// One phrase whose usage count the test raises as typing would.
struct Counted {
  Counted() {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(u"Best regards");
    phrase->Prefixes()[u"br"] = 1;
    collection.Add(std::move(phrase));
  }
  void Type() {
    std::lock_guard<std::mutex> guard(lock);
    collection.IncrementUsageCount(collection.At(0).Id());
  }

  PhraseDatabase collection;
  std::mutex lock;
};

// The usage count of the first phrase in a written document; -1 when it does not read.
int32_t CountIn(const std::string& text) {
  PhraseDatabase read;
  if (!PhraseDatabaseFile::Parse(read, text, 1) || read.Empty()) return -1;
  return read.At(0).CountUsage();
}

TEST(PhraseSaver, PhrasesTypedDuringASlowSaveGiveExactlyOneMoreSave) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function());
  writer.Hold();
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(writer.WaitEntered(1));
  for (int i = 0; i < 50; ++i) {
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  }
  writer.Release();
  ASSERT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CountIn(writes[0].text), 1);
  EXPECT_EQ(CountIn(writes[1].text), 51);
  EXPECT_EQ(writes[1].text, PhraseDatabaseFile::Serialize(counted.collection));
}

TEST(PhraseSaver, FinishWaitsUntilEveryMarkIsWritten) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function());
  writer.Hold();
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(writer.WaitEntered(1));
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  std::atomic<bool> finished{false};
  std::thread finisher([&] {
    EXPECT_TRUE(saver.Finish(10s));
    finished = true;
  });
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(finished);  // the first write is held, the second not yet made
  writer.Release();
  finisher.join();
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CountIn(writes.back().text), 2);
}

TEST(PhraseSaver, EachFileGetsItsOwnCollection) {
  GatedWriter writer;
  Counted first;
  Counted second;
  PhraseSaver saver(writer.Function());
  writer.Hold();
  first.Type();
  saver.SaveInBackground(first.collection, first.lock, u"first.xml");
  ASSERT_TRUE(writer.WaitEntered(1));
  second.Type();
  second.Type();
  saver.SaveInBackground(second.collection, second.lock, u"second.xml");
  first.Type();
  saver.SaveInBackground(first.collection, first.lock, u"first.xml");
  saver.SaveInBackground(second.collection, second.lock, u"second.xml");
  writer.Release();
  ASSERT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[1].path, u"second.xml");
  EXPECT_EQ(CountIn(writes[1].text), 2);
  EXPECT_EQ(writes[2].path, u"first.xml");
  EXPECT_EQ(CountIn(writes[2].text), 2);
}

// Another program holds the file for a moment: the write is tried again until it goes
// through, and Finish waits for that.
TEST(PhraseSaver, AFailedWriteIsTriedAgain) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function(), {.firstRetry = 5ms});
  writer.Fail(3);
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(CountIn(writes[3].text), 1);
}

// A file that cannot be written at all: the saver stops trying after its attempts, and the
// next typed phrase tries again.
TEST(PhraseSaver, GivesUpAfterItsAttemptsUntilTheNextMark) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function(), {.firstRetry = 1ms, .retries = 2});
  writer.Fail(100);
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(saver.Finish(10s));
  EXPECT_EQ(writer.Writes().size(), 3u);
  writer.Fail(0);
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(CountIn(writes[3].text), 2);
}

// A typed phrase while a failed write waits for its next attempt: one write at once, with
// the new count, and no further attempt of the old text.
TEST(PhraseSaver, AMarkDuringTheWaitWritesAtOnce) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function(), {.firstRetry = 60s});
  writer.Fail(1);
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(writer.WaitEntered(1));
  counted.Type();
  saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
  ASSERT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CountIn(writes[1].text), 2);
}

TEST(PhraseSaver, SavesAgainAfterTheThreadHasEnded) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function(), {.linger = 20ms});
  for (int round = 1; round <= 3; ++round) {
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
    ASSERT_TRUE(saver.Finish(10s));
    std::this_thread::sleep_for(60ms);  // longer than the saver waits for work
  }
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(CountIn(writes[2].text), 3);
}

// A disk that does not answer: Finish gives up, drops what was not begun and lets the
// collection go (AddressSanitizer would catch the saver reading it afterwards).
TEST(PhraseSaver, FinishGivesUpOnAStuckWriteAndLetsTheCollectionGo) {
  GatedWriter writer;
  PhraseSaver saver(writer.Function());
  writer.Hold();
  {
    Counted counted;
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
    ASSERT_TRUE(writer.WaitEntered(1));
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
    EXPECT_FALSE(saver.Finish(50ms));
  }
  writer.Release();
  EXPECT_TRUE(saver.Finish(10s));
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(CountIn(writes[0].text), 1);
}

TEST(PhraseSaver, TheEndWritesWhatIsStillMarked) {
  GatedWriter writer;
  Counted counted;
  {
    PhraseSaver saver(writer.Function());
    writer.Hold();
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
    ASSERT_TRUE(writer.WaitEntered(1));
    counted.Type();
    saver.SaveInBackground(counted.collection, counted.lock, u"db.xml");
    writer.Release();
  }
  const auto writes = writer.Writes();
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(CountIn(writes[1].text), 2);
}

int RefuseWrite(const std::u16string&, void* asked) {
  ++*static_cast<int*>(asked);
  return 0;
}

int AllowWrite(const std::u16string&, void* asked) {
  ++*static_cast<int*>(asked);
  return 1;
}

TEST(PhraseSaver, SaveNowAsksTheHookFirst) {
  GatedWriter writer;
  Counted counted;
  PhraseSaver saver(writer.Function());
  int asked = 0;
  EXPECT_EQ(saver.SaveNow(counted.collection, counted.lock, u"db.xml", &RefuseWrite, &asked), 0);
  EXPECT_TRUE(writer.Writes().empty());
  EXPECT_EQ(saver.SaveNow(counted.collection, counted.lock, u"db.xml", &AllowWrite, &asked), 1);
  EXPECT_EQ(asked, 2);
  ASSERT_EQ(writer.Writes().size(), 1u);
  EXPECT_EQ(saver.SaveNow(counted.collection, counted.lock, u"", nullptr, nullptr), 0);
}

}  // namespace
}  // namespace vellix
