// Vellix.exe: the whole process is the application's start-up routine.
#include <windows.h>

#include "app/application_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  static vellix::Application application;
  application.Run();
  return 0;
}
