#pragma once
// Appends one-line records to the log file, shared by every instance of the session.
//
// Callers on any thread only copy the line into a queue; one writer thread per process
// takes the lines in order, waits for the cross-process lock event "Local\Vellix_SyncEven"
// (at most 5000 ms, after which the line is dropped and the lock forced free) and appends
// them as UTF-16 with a byte-order mark at the start of a new file.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vellix {

class LogWriter {
 public:
  // The translated "Yes" (yes = true) or "No" text; WriteYesNo capitalises "No".
  using YesNoSource = std::function<std::u16string(bool yes)>;

  static constexpr unsigned kLockTimeoutMs = 5000;

  LogWriter();
  // Writes what is still queued, then ends the writer thread.
  ~LogWriter();
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  // The process-wide log (Windows build).
  static LogWriter& Instance();

  // Starts logging to path; false when already logging or the lock event is unavailable.
  bool Open(std::u16string_view path);
  bool IsOpen() const;
  // WriteRecord with the product name as prefix.
  bool Write(std::u16string_view text);
  // label + ": " + "Yes", or "NO".
  bool WriteYesNo(std::u16string_view label, bool flag);
  // Composes the time-stamped record and queues it; false for an empty text.
  bool WriteRecord(std::u16string_view text, std::u16string_view prefix);
  // Queues a finished line; false when logging is off, the line is empty or the queue is
  // full (a stuck lock must not make the queue grow without end).
  bool WriteAsync(std::u16string_view line);
  // Blocks until every queued line was appended or dropped.
  void Flush();

  void SetYesNoSource(YesNoSource source);
  // The text WriteYesNo uses for flag.
  std::u16string YesNoText(bool flag) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The start record and the release record of a program start.
void WriteStartRecords(LogWriter& log);

}  // namespace vellix
