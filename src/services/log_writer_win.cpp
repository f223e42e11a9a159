#include "services/log_writer.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "base/messages.h"
#include "base/wide.h"
#include "services/log_record.h"
#include "services/open_security_win.h"
#include "services/program_title.h"
#include "services/system_description.h"
#include "services/system_services_win.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

constexpr size_t kMaxPath = 260;
constexpr size_t kMaxQueued = 4096;
constexpr DWORD kShareRetryMs = 10;

SystemTime LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

bool WriteAll(HANDLE file, const void* data, DWORD bytes) {
  DWORD written = 0;
  return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

// Opens the log for appending. The file is opened for writing by one process at a time
// (other processes may only read it), so a record is never interleaved with another
// one; while another instance has it open, retry until the deadline. A missing file is
// created with the byte-order mark; an existing file is never replaced.
UniqueFileHandle OpenForAppend(const std::wstring& path, ULONGLONG deadline) {
  for (;;) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return file;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, OpenSecurity(), CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file) {
        const wchar_t bom = 0xFEFF;
        if (!WriteAll(file.get(), &bom, sizeof bom)) return {};
        return file;
      }
      error = GetLastError();
    }
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_EXISTS ||
                      error == ERROR_LOCK_VIOLATION;
    if (!busy || GetTickCount64() >= deadline) return {};
    Sleep(kShareRetryMs);
  }
}

bool Append(const std::wstring& path, std::wstring line, ULONGLONG deadline) {
  UniqueFileHandle file = OpenForAppend(path, deadline);
  if (!file) return false;
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(file.get(), end, nullptr, FILE_END)) return false;
  if (LogLineNeedsBreak(AsU16(line.c_str()))) line += L"\r\n";
  return WriteAll(file.get(), line.data(), DWORD(line.size() * sizeof(wchar_t)));
}

}  // namespace

struct LogWriter::State {
  mutable std::mutex lock;
  std::condition_variable changed;
  std::deque<std::wstring> queue;
  size_t busy = 0;  // lines taken by the writer and not yet finished
  bool stopping = false;
  std::wstring path;
  UniqueKernelHandle logLock;
  std::thread writer;
  YesNoSource yesNo;

  // The writer thread. Its only work that can fail by an exception, writing one line, is
  // caught here: the line is lost and the writer goes on (reporting through the log itself
  // could fail the same way again and again).
  void Run() noexcept {
    std::unique_lock guard(lock);
    for (;;) {
      changed.wait(guard, [&] { return stopping || !queue.empty(); });
      if (queue.empty()) return;  // stopping with nothing left
      std::wstring line = std::move(queue.front());
      queue.pop_front();
      ++busy;
      const std::wstring file = path;
      guard.unlock();
      try {
        WriteLine(file, std::move(line));
      } catch (...) {
      }
      guard.lock();
      --busy;
      changed.notify_all();
    }
  }

  void WriteLine(const std::wstring& file, std::wstring line) {
    const ULONGLONG deadline = GetTickCount64() + kLockTimeoutMs;
    if (WaitForSingleObject(logLock.get(), kLockTimeoutMs) != WAIT_OBJECT_0) {
      SetEvent(logLock.get());  // a stuck lock is freed for later writers; this line is lost
      return;
    }
    ResetEvent(logLock.get());
    Append(file, std::move(line), deadline);
    SetEvent(logLock.get());
  }
};

LogWriter::LogWriter() : state_(std::make_unique<State>()) {}

LogWriter::~LogWriter() {
  {
    std::lock_guard guard(state_->lock);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  if (state_->writer.joinable()) state_->writer.join();
}

LogWriter& LogWriter::Instance() {
  static LogWriter instance;
  return instance;
}

bool LogWriter::Open(std::u16string_view path) {
  std::lock_guard guard(state_->lock);
  if (!state_->path.empty() || path.empty()) return false;
  HANDLE event = CreateEventW(OpenSecurity(), TRUE, TRUE, AsWide(kLogLockName));
  if (!event) event = OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, AsWide(kLogLockName));
  if (!event) return false;
  state_->logLock.reset(event);
  state_->path = ToWide(path.substr(0, kMaxPath));
  return true;
}

bool LogWriter::IsOpen() const {
  std::lock_guard guard(state_->lock);
  return !state_->path.empty();
}

bool LogWriter::Write(std::u16string_view text) { return WriteRecord(text, u"Vellix"); }

std::u16string LogWriter::YesNoText(bool flag) const {
  YesNoSource source;
  {
    std::lock_guard guard(state_->lock);
    source = state_->yesNo;
  }
  std::u16string text = source ? source(flag) : std::u16string(flag ? u"Yes" : u"No");
  if (!flag && !text.empty()) CharUpperBuffW(AsWide(text.data()), DWORD(text.size()));
  return text;
}

bool LogWriter::WriteYesNo(std::u16string_view label, bool flag) {
  return Write(std::u16string(label) + u": " + YesNoText(flag));
}

bool LogWriter::WriteRecord(std::u16string_view text, std::u16string_view prefix) {
  if (text.empty()) return false;
  return WriteAsync(FormatLogRecord(text, prefix, LocalNow()));
}

bool LogWriter::WriteAsync(std::u16string_view line) {
  if (line.empty()) return false;
  std::lock_guard guard(state_->lock);
  if (state_->path.empty() || state_->stopping || state_->queue.size() >= kMaxQueued) return false;
  if (!state_->writer.joinable()) {
    try {
      state_->writer = std::thread([state = state_.get()] { state->Run(); });
    } catch (...) {
      return false;
    }
  }
  try {
    state_->queue.push_back(ToWide(line));
  } catch (...) {
    return false;
  }
  state_->changed.notify_all();
  return true;
}

void LogWriter::Flush() {
  std::unique_lock guard(state_->lock);
  state_->changed.wait(guard, [&] { return state_->queue.empty() && state_->busy == 0; });
}

void LogWriter::SetYesNoSource(YesNoSource source) {
  std::lock_guard guard(state_->lock);
  state_->yesNo = std::move(source);
}

void WriteStartRecords(LogWriter& log) {
  log.Write(BuildStartRecord(ProgramTitle(true), AsU16(GetCommandLineW()), GetSystemDescription(),
                             log.YesNoText(IsAdministrator())));
  log.Write(BuildReleaseRecord(GetBuildStamp()));
}

}  // namespace vellix
