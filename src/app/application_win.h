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

  // Does all the work of the process; answers false (no message loop is to run).
  bool Run();

 private:
  static CommandLineKeys ParseCommandLine();
  void Restart();

  InstanceGuard guard_;
};

}  // namespace vellix
