// Vellix.exe: the whole process is the application's start-up routine.
#include <windows.h>

#include "app/application_win.h"
#include "base/boundary.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  static vellix::Application application;
  try {
    application.Run();
  } catch (...) {
    // The main thread's edge: reported, and the process ends as it would have anyway,
    // releasing the instance event on its way out.
    vellix::ReportCaughtException("start-up");
  }
  return 0;
}
