// DatabaseWatcher on a file in a temporary folder: a change by another program is posted
// once it has settled, a file replaced by renaming another over it is seen, and a file
// written in steps is posted once, after its last step. Also the stamps that tell one
// version of a file from another.

#include "phrases/database_watcher_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/wide.h"
#include "phrases/file_stamp.h"
#include "win_test_support.h"

namespace vellix {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;
using testing::WriteFileBytes;

constexpr UINT kChanged = WM_APP + 7;

// Counts the watcher's messages for up to timeout, on a message-only window of this thread.
class Receiver {
 public:
  Receiver() : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~Receiver() { DestroyWindow(window_); }
  HWND window() const { return window_; }

  int Wait(std::chrono::milliseconds timeout, int enough = 1000) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end && received_ < enough) {
      MSG msg;
      while (PeekMessageW(&msg, window_, kChanged, kChanged, PM_REMOVE)) ++received_;
      Sleep(20);
    }
    return received_;
  }

 private:
  HWND window_;
  int received_ = 0;
};

TEST(FileStampWin, TellsVersionsOfAFileApart) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  EXPECT_FALSE(ReadFileStamp(path).exists);
  WriteFileBytes(ToWide(path), "first");
  const FileStamp first = ReadFileStamp(path);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(first.size, 5u);
  EXPECT_EQ(ReadFileStamp(path), first);
  Sleep(20);
  WriteFileBytes(ToWide(path), "other");  // the same size
  EXPECT_NE(ReadFileStamp(path), first);
  EXPECT_FALSE(ReadFileStamp(ToU16(folder.Path())).exists) << "a folder is no database file";
}

TEST(DatabaseWatcherWin, PostsAChangeOnceItHasSettled) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  WriteFileBytes(ToWide(path), "first");
  Receiver receiver;
  DatabaseWatcher watcher({.settle = 200ms, .poll = 500ms});
  ASSERT_TRUE(watcher.Watch(path, ReadFileStamp(path), receiver.window(), kChanged));
  EXPECT_EQ(receiver.Wait(800ms), 0) << "nothing changed";

  // Written in three steps, each within the settle time of the last: one message.
  for (const char* text : {"sec", "second ver", "second version"}) {
    WriteFileBytes(ToWide(path), text);
    Sleep(60);
  }
  EXPECT_EQ(receiver.Wait(3s, 1), 1);
  EXPECT_EQ(receiver.Wait(1s), 1) << "one change, one message";

  // Replaced by renaming another file over it, as synchronisation clients do.
  const std::wstring fresh = folder.File(L"Database.xml.partial");
  WriteFileBytes(fresh, "third version, longer");
  ASSERT_TRUE(MoveFileExW(fresh.c_str(), ToWide(path).c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(receiver.Wait(3s, 2), 2);

  // Another file of the folder is not the database.
  WriteFileBytes(folder.File(L"notes.txt"), "unrelated");
  EXPECT_EQ(receiver.Wait(1500ms), 2);
  watcher.Stop();
}

// A change made before the watch began, against the stamp the caller knows, is posted.
TEST(DatabaseWatcherWin, PostsAChangeTheCallerHasNotSeen) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  WriteFileBytes(ToWide(path), "first");
  const FileStamp known = ReadFileStamp(path);
  Sleep(20);
  WriteFileBytes(ToWide(path), "changed before the watch");
  Receiver receiver;
  DatabaseWatcher watcher({.settle = 100ms, .poll = 300ms});
  ASSERT_TRUE(watcher.Watch(path, known, receiver.window(), kChanged));
  EXPECT_EQ(receiver.Wait(3s, 1), 1);
}

// A file that does not exist yet is watched too: its arrival is a change.
TEST(DatabaseWatcherWin, PostsTheArrivalOfAMissingFile) {
  TempFolder folder;
  const std::u16string path = ToU16(folder.File(L"Database.xml"));
  Receiver receiver;
  DatabaseWatcher watcher({.settle = 100ms, .poll = 300ms});
  ASSERT_TRUE(watcher.Watch(path, ReadFileStamp(path), receiver.window(), kChanged));
  WriteFileBytes(ToWide(path), "arrived");
  EXPECT_EQ(receiver.Wait(3s, 1), 1);
}

}  // namespace
}  // namespace vellix
