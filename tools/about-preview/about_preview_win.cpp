// Shows the About dialog without owner, as the tray menu does, and ends when it is closed.
// The typed-character figure can be given as the first argument ("about-preview 1234567").

#include <windows.h>

#include <cwchar>

#include "about/about_dialog_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  vellix::AboutInputs inputs = vellix::CurrentAboutInputs();
  if (command_line && *command_line) inputs.printedChars = static_cast<uint32_t>(wcstoul(command_line, nullptr, 10));
  vellix::ShowAbout(nullptr, inputs);
  return 0;
}
