#pragma once
// The program's start-up routine: log, command line, language, the one-shot keys, the
// single-instance decision, the hidden main dialog and the restart. It runs no message
// loop of its own; the main dialog's modal loop is the program's only one.
#include <windows.h>

#include <string>

#include "services/command_line_keys.h"
#include "services/instance_guard_win.h"

namespace vellix {

class Application {
 public:
  Application() = default;
  ~Application() { guard_.Release(); }
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The process-wide application; null before Run.
  static Application* Current() noexcept;

  // Does all the work of the process; answers false (no message loop is to run).
  bool Run();

  const InstanceGuard& Guard() const { return guard_; }

 private:
  static CommandLineKeys ParseCommandLine();
  void Restart();

  InstanceGuard guard_;
};

// The instance event: the stop signal of the instance's long-lived threads (null when
// there is none).
HANDLE ApplicationStopEvent() noexcept;

// The key list message box; no owner makes it top-most.
void ShowKeyList(HWND owner);

}  // namespace vellix
