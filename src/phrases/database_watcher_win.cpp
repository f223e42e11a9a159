#include "phrases/database_watcher_win.h"

#include "base/boundary.h"
#include "base/wide.h"

namespace vellix {
namespace {

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash == std::u16string::npos) return u".";
  // "C:\" stays a root; "C:\Data\Database.xml" gives "C:\Data".
  return path.substr(0, slash == 0 || (slash == 2 && path[1] == u':') ? slash + 1 : slash);
}

}  // namespace

DatabaseWatcher::~DatabaseWatcher() { Stop(); }

bool DatabaseWatcher::Watch(const std::u16string& path, const FileStamp& seen, HWND window, UINT message) {
  Stop();
  path_ = path;
  seen_ = seen;
  window_ = window;
  message_ = message;
  stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_) return false;
  // Names, sizes and write times in the folder: a replacement by renaming another file over
  // the database is a change of names.
  notification_.reset(FindFirstChangeNotificationW(
      AsWide(FolderOf(path).c_str()), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
  try {
    thread_ = std::thread(&DatabaseWatcher::Run, this);
  } catch (...) {
    notification_.reset();
    stop_.reset();
    return false;
  }
  return true;
}

void DatabaseWatcher::Stop() {
  if (stop_) SetEvent(stop_.get());
  if (thread_.joinable()) thread_.join();
  notification_.reset();
  stop_.reset();
}

void DatabaseWatcher::Run() noexcept {
  try {
    RunWatch();
  } catch (...) {
    ReportCaughtException("database watcher");
  }
}

bool DatabaseWatcher::Wait(std::chrono::milliseconds timeout, bool* notified) {
  HANDLE handles[2] = {stop_.get(), notification_.get()};
  const DWORD count = notification_ ? 2 : 1;
  const DWORD result = WaitForMultipleObjects(count, handles, FALSE, DWORD(timeout.count()));
  if (result == WAIT_OBJECT_0) return true;
  if (result == WAIT_OBJECT_0 + 1) {
    if (notified) *notified = true;
    if (!FindNextChangeNotification(notification_.get())) notification_.reset();
  } else if (result == WAIT_FAILED) {
    // A handle that cannot be waited for leaves the polling; the wait must not spin.
    notification_.reset();
    return WaitForSingleObject(stop_.get(), DWORD(timeout.count())) == WAIT_OBJECT_0;
  }
  return false;
}

void DatabaseWatcher::RunWatch() {
  FileStamp posted = seen_;
  for (bool first = true;; first = false) {
    if (!first && Wait(timing_.poll, nullptr)) return;
    FileStamp now = ReadFileStamp(path_);
    if (now == posted) continue;
    // Settled when the stamp stays the same through one settle time with no notification
    // in between.
    for (;;) {
      bool notified = false;
      if (Wait(timing_.settle, &notified)) return;
      const FileStamp later = ReadFileStamp(path_);
      if (!notified && later == now) break;
      now = later;
    }
    if (now == posted) continue;
    posted = now;
    PostMessageW(window_, message_, 0, 0);
  }
}

}  // namespace vellix
