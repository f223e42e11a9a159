// startup-probe: how long a program takes from its start to its first window and, for
// Vellix.exe, to its notification-area icon; and how long the data steps of Vellix's
// start-up take in this process. Times come from QueryPerformanceCounter.
//
//   startup-probe.exe run RUNS PATTERN icon|window PROGRAM [ARGS...]
//       starts PROGRAM (in its own folder) RUNS times; each time waits for a top-level
//       window of the new process whose text matches PATTERN ('*' = any run of
//       characters) and, with "icon", for that window's icon 1 in the notification area;
//       then closes the window (SC_CLOSE) and waits for the process to end. Prints one
//       line per run and the medians in milliseconds.
//   startup-probe.exe window TITLE
//       the empty program of the baseline: one top-level window titled TITLE, ended by
//       closing it.
//   startup-probe.exe steps DATABASE RUNS
//       times loading DATABASE, renumbering, filling the typing engine, starting it and
//       adding a tray icon with its start balloon, RUNS times; prints the medians.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/tray_icon_win.h"
#include "base/wide.h"
#include "common/window_search_win.h"
#include "engine/desktop_typing_engine_win.h"
#include "phrases/phrase_database.h"
#include "phrases/phrase_database_file.h"

namespace vellix {
namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool IconAdded(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 1;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring Quoted(const wchar_t* argument) { return L"\"" + std::wstring(argument) + L"\""; }

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

struct RunTimes {
  double window = -1;
  double icon = -1;
};

// One start of the program; false when it did not show its window within 30 s.
bool RunOnce(const std::wstring& commandLine, const std::wstring& folder, const wchar_t* pattern,
             bool waitIcon, RunTimes& times) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  const double start = Now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", commandLine.c_str(), GetLastError());
    return false;
  }
  HWND found = nullptr;
  bool ok = false;
  while (Now() - start < 30000) {
    if (!found) {
      found = vellix::tools::FindTopLevelWindow(pattern, process.dwProcessId);
      if (found) times.window = Now() - start;
    }
    if (found && (!waitIcon || IconAdded(found))) {
      if (waitIcon) times.icon = Now() - start;
      ok = true;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (found) PostMessageW(found, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ok;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  const int runs = _wtoi(argv[2]);
  const wchar_t* pattern = argv[3];
  const bool waitIcon = std::wstring(argv[4]) == L"icon";
  std::wstring commandLine = Quoted(argv[5]);
  for (int i = 6; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);
  const std::wstring folder = FolderOf(argv[5]);
  std::vector<double> windows;
  std::vector<double> icons;
  for (int run = 1; run <= runs; ++run) {
    RunTimes times;
    if (!RunOnce(commandLine, folder, pattern, waitIcon, times)) return 1;
    windows.push_back(times.window);
    if (waitIcon) icons.push_back(times.icon);
    if (waitIcon) {
      std::wprintf(L"run %d: window %.1f ms, icon %.1f ms\n", run, times.window, times.icon);
    } else {
      std::wprintf(L"run %d: window %.1f ms\n", run, times.window);
    }
    std::fflush(stdout);
  }
  std::wprintf(L"median: window %.1f ms", Median(windows));
  if (waitIcon) std::wprintf(L", icon %.1f ms", Median(icons));
  std::wprintf(L"\n");
  return 0;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

int Window(const wchar_t* title) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &BaselineProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"StartupProbeBaseline";
  RegisterClassW(&windowClass);
  // Hidden, like Vellix's main window.
  CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                  windowClass.hInstance, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

int Steps(const wchar_t* database, int runs) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &QuietProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"StartupProbeSteps";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"startup steps", WS_OVERLAPPEDWINDOW, 0, 0,
                                      100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  const std::u16string path = AsU16(database);
  std::vector<double> load, renumber, fill, start, tray;
  size_t count = 0;
  for (int run = 0; run < runs; ++run) {
    PhraseDatabase phrases;
    DesktopTypingEngine engine;
    double t = Now();
    if (!PhraseDatabaseFile::Load(phrases, path)) {
      std::fwprintf(stderr, L"cannot load %ls\n", database);
      return 1;
    }
    load.push_back(Now() - t);
    t = Now();
    phrases.Renumber();
    renumber.push_back(Now() - t);
    t = Now();
    engine.LoadPhrases(phrases);
    fill.push_back(Now() - t);
    t = Now();
    engine.Start(true);
    start.push_back(Now() - t);
    {
      const std::u16string shown = path;
      TrayIcon icon(engine, shown);
      t = Now();
      icon.AddWithStartBalloon(window, 1, 1);
      tray.push_back(Now() - t);
    }
    engine.Stop();
    count = engine.EntryCount();
  }
  // The first load runs in fresh memory, as the program's only load does.
  std::wprintf(L"%zu entries, medians of %d runs: load %.1f ms (first %.1f ms), renumber %.1f ms, engine fill "
               L"%.1f ms, engine start %.1f ms, tray icon with balloon %.1f ms\n",
               count, runs, Median(load), load.empty() ? 0.0 : load.front(), Median(renumber), Median(fill),
               Median(start), Median(tray));
  DestroyWindow(window);
  return 0;
}

}  // namespace
}  // namespace vellix

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"run") return vellix::Run(argc, argv);
  if (mode == L"window" && argc > 2) return vellix::Window(argv[2]);
  if (mode == L"steps" && argc > 3) return vellix::Steps(argv[2], _wtoi(argv[3]));
  std::fwprintf(stderr, L"usage: startup-probe run RUNS PATTERN icon|window PROGRAM [ARGS...]\n"
                        L"       startup-probe window TITLE\n"
                        L"       startup-probe steps DATABASE RUNS\n");
  return 2;
}
