#pragma once
// The programs behind windows, named as the per-program rules name them: the executable's
// file name ("notepad.exe"). For the user-interface thread (the tray command, the list of
// programs that have windows open); the engine keeps its own cached lookup for the hooks.

#include <windows.h>

#include <string>
#include <vector>

namespace vellix {

// The file name of the program that owns window; empty when the process cannot be asked
// (elevated, protected, ended).
std::u16string ProgramFileNameOf(HWND window);

// The program of the taskbar, which owns the notification area ("explorer.exe"); empty
// when there is none.
std::u16string ShellProgramFileName();

// The programs that have visible top-level windows now, other than this one: each once
// (without regard to ASCII case), sorted without regard to case.
std::vector<std::u16string> ProgramsWithOpenWindows();

}  // namespace vellix
