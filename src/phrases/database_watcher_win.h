#pragma once
// Watches the database file for changes that any program makes (a synchronisation client
// replacing it, a text editor saving it) and posts a message to a window once a change has
// settled: the file's stamp has stayed the same for a moment, so that a file written in
// several steps is read once it is complete rather than at every step.
//
// The watch runs on a thread of its own: it waits for the folder's change notification,
// and looks at the file's stamp every few seconds as well, for folders whose changes are
// not notified (some network shares). Vellix's own saves are seen too; the window tells them
// apart by the stamp the save left (DatabaseSync::Known).

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "phrases/file_stamp.h"
#include "win32/unique_handle.h"

namespace vellix {

class DatabaseWatcher {
 public:
  struct Timing {
    // How long the file's stamp must stay the same before the change is posted.
    std::chrono::milliseconds settle{300};
    // How often the stamp is looked at without a notification.
    std::chrono::milliseconds poll{2000};
  };

  DatabaseWatcher() = default;
  explicit DatabaseWatcher(Timing timing) : timing_(timing) {}
  DatabaseWatcher(const DatabaseWatcher&) = delete;
  DatabaseWatcher& operator=(const DatabaseWatcher&) = delete;
  ~DatabaseWatcher();

  // Watches path (ending the watch of another file first): message is posted to window,
  // with wParam and lParam 0, after each settled change; seen is the stamp the caller
  // knows, so that a change before the watch began is posted too. False when no thread
  // could be started.
  bool Watch(const std::u16string& path, const FileStamp& seen, HWND window, UINT message);
  void Stop();
  const std::u16string& path() const { return path_; }

 private:
  void Run() noexcept;
  void RunWatch();
  // Waits for the stop event (true) or, when notification is valid, a notification (which is
  // re-armed), at most timeout.
  bool Wait(std::chrono::milliseconds timeout, bool* notified);

  const Timing timing_;
  std::u16string path_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  FileStamp seen_;
  UniqueKernelHandle stop_;
  UniqueChangeNotification notification_;
  std::thread thread_;
};

}  // namespace vellix
