// engine-hook-bench: the time that the desktop engine's keyboard listener takes per key
// event (down and up), with the real Win32Desktop (ToUnicodeEx with the window's layout)
// and 10 000 entries. The events are replayed through OnKeyboardEvent, as the hook
// procedure calls it, into a window of this process. Every tenth word equals a keystroke;
// the print callback refuses it, so that matching runs to the host's answer but nothing is
// typed. Prints the median, the 99th percentile and the maximum in microseconds.
// With --calls it times each system call that the translation of one key down makes, one by
// one, to show where the listener's time goes. With --hook it times the hook procedure
// itself (what every key on the desktop waits for): the engine runs with its hooks
// installed, the records go through KeyboardHookManager::HookProc, and the listener's work
// runs afterwards when the queued events are drained (not timed).
//
//   engine-hook-bench.exe [entries] [words]
//   engine-hook-bench.exe --calls [repetitions]
//   engine-hook-bench.exe --hook [entries] [words]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/desktop_typing_engine_win.h"
#include "engine/hook_event_pump_win.h"
#include "engine/keyboard_hook_manager_win.h"
#include "phrases/phrase_database.h"

namespace vellix {
namespace {

// A keystroke of five letters for number i: "q" then i in base 26 over a..z.
std::u16string Keystroke(int i) {
  std::u16string keystroke = u"q";
  for (int digit = 0; digit < 4; ++digit) {
    keystroke += static_cast<char16_t>(u'a' + i % 26);
    i /= 26;
  }
  return keystroke;
}

int32_t Refuse(int32_t, const EngineEntry*, const char16_t*, void*) { return 1; }

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void Report(const char* name, const std::vector<double>& values) {
  std::printf("%-10s median %7.2f us  p99 %7.2f us  max %8.2f us  (n=%zu)\n", name,
              Percentile(values, 0.5), Percentile(values, 0.99),
              *std::max_element(values.begin(), values.end()), values.size());
}

// The engine with `entries` phrases (keystroke i types "phrase number " and it), switched
// on with or without its hooks, following an edit window of this process; every match is
// refused by the print callback.
struct Bench {
  PhraseDatabase phrases;
  HWND window = nullptr;
  DesktopTypingEngine engine;

  bool Start(int entries, bool installHooks) {
    for (int i = 0; i < entries; ++i) {
      auto phrase = std::make_unique<Phrase>();
      phrase->SetWord(u"phrase number " + Keystroke(i));
      phrase->Prefixes()[Keystroke(i)] = 1;
      phrases.AppendWithId(std::move(phrase));
    }
    phrases.Renumber();
    window = CreateWindowExW(0, L"EDIT", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    engine.LoadPhrases(phrases);
    engine.SetPrintCallback(&Refuse, nullptr);
    if (!engine.Start(installHooks)) {
      std::printf("Start failed\n");
      return false;
    }
    WinEventInfo focus;
    focus.event = kEventSystemForeground;
    focus.window = reinterpret_cast<WindowHandle>(window);
    engine.OnWinEvent(focus, 0);
    return true;
  }
  ~Bench() {
    if (engine.IsRunning()) engine.Stop();
    if (window) DestroyWindow(window);
  }
};

// Words of the benchmark: one in ten is a keystroke, the others end in a digit, which no
// keystroke has.
std::u16string BenchWord(int w, int entries) {
  std::u16string word = Keystroke(w * 7919 % entries);
  if (w % 10 != 0) word.back() = u'0' + static_cast<char16_t>(w % 10);
  return word;
}

int Run(int entries, int words) {
  Bench bench;
  if (!bench.Start(entries, false)) return 1;
  DesktopTypingEngine& engine = bench.engine;

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> downTimes, upTimes;
  downTimes.reserve(static_cast<size_t>(words) * 6);
  upTimes.reserve(static_cast<size_t>(words) * 6);
  auto timeEvent = [&](uint32_t message, uint32_t vk, std::vector<double>& into) {
    const KeyboardEventInfo info{message, vk, MapVirtualKeyW(vk, MAPVK_VK_TO_VSC), 0};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    engine.OnKeyboardEvent(info, 0);
    QueryPerformanceCounter(&end);
    into.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                   static_cast<double>(frequency.QuadPart));
  };
  for (int w = 0; w < words; ++w) {
    for (char16_t unit : BenchWord(w, entries)) {
      const uint32_t vk = unit >= u'a' ? static_cast<uint32_t>(unit - u'a' + 'A') : unit;
      timeEvent(kWmKeyDown, vk, downTimes);
      timeEvent(kWmKeyUp, vk, upTimes);
    }
    timeEvent(kWmKeyDown, VK_SPACE, downTimes);
    timeEvent(kWmKeyUp, VK_SPACE, upTimes);
  }

  std::vector<double> all = downTimes;
  all.insert(all.end(), upTimes.begin(), upTimes.end());
  std::printf("entries %d, words %d, key events %zu\n", entries, words, all.size());
  Report("key down", downTimes);
  Report("key up", upTimes);
  Report("all", all);
  return 0;
}

void PumpPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

int RunHook(int entries, int words) {
  Bench bench;
  if (!bench.Start(entries, true)) return 1;

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> downTimes, upTimes, ownTimes;
  auto microseconds = [&](const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
  };
  auto timeRecord = [&](WPARAM message, uint32_t vk, std::vector<double>& into) {
    KBDLLHOOKSTRUCT record{};
    record.vkCode = vk;
    record.scanCode = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    record.flags = message == WM_KEYUP ? LLKHF_UP : 0;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    KeyboardHookManager::HookProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&record));
    QueryPerformanceCounter(&end);
    into.push_back(microseconds(start, end));
    PumpPending();  // the listener's work, as it runs between two keys of a typist
    // The hook's own work alone, without the pass-on and the drain request.
    QueryPerformanceCounter(&start);
    KeyboardHookManager::Intercept(message, record);
    QueryPerformanceCounter(&end);
    ownTimes.push_back(microseconds(start, end));
    HookEventPump::Instance().RequestDrain();
    PumpPending();
  };
  for (int w = 0; w < words; ++w) {
    for (char16_t unit : BenchWord(w, entries)) {
      const uint32_t vk = unit >= u'a' ? static_cast<uint32_t>(unit - u'a' + 'A') : unit;
      timeRecord(WM_KEYDOWN, vk, downTimes);
      timeRecord(WM_KEYUP, vk, upTimes);
    }
    timeRecord(WM_KEYDOWN, VK_SPACE, downTimes);
    timeRecord(WM_KEYUP, VK_SPACE, upTimes);
  }
  std::vector<double> all = downTimes;
  all.insert(all.end(), upTimes.begin(), upTimes.end());
  std::printf("hook procedure: entries %d, words %d, key events %zu\n", entries, words,
              all.size());
  Report("key down", downTimes);
  Report("key up", upTimes);
  Report("all", all);
  std::printf("the hook's own work (Intercept: modifiers, gate, queue), without CallNextHookEx and PostMessageW:\n");
  Report("own work", ownTimes);
  return 0;
}

template <typename Call>
void TimeCall(const char* name, int repetitions, Call call) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  times.reserve(static_cast<size_t>(repetitions));
  for (int i = 0; i < repetitions; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    call();
    QueryPerformanceCounter(&end);
    times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::printf("%-28s median %7.2f us  p99 %7.2f us  max %8.2f us\n", name,
              Percentile(times, 0.5), Percentile(times, 0.99),
              *std::max_element(times.begin(), times.end()));
}

int RunCalls(int repetitions) {
  HWND window = CreateWindowExW(0, L"EDIT", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  BYTE state[256] = {};
  const HKL layout = GetKeyboardLayout(0);
  const UINT scan = MapVirtualKeyW('A', MAPVK_VK_TO_VSC);
  wchar_t text[16];
  std::printf("%d repetitions per call\n", repetitions);
  TimeCall("GetAsyncKeyState", repetitions, [] { GetAsyncKeyState(VK_SHIFT); });
  TimeCall("GetKeyState", repetitions, [] { GetKeyState(VK_CAPITAL); });
  TimeCall("GetKeyboardState", repetitions, [&] { GetKeyboardState(state); });
  TimeCall("GetWindowThreadProcessId", repetitions,
           [&] { GetWindowThreadProcessId(window, nullptr); });
  TimeCall("GetKeyboardLayout(thread)", repetitions,
           [&] { GetKeyboardLayout(GetCurrentThreadId()); });
  TimeCall("ToUnicodeEx", repetitions,
           [&] { ToUnicodeEx('A', scan, state, text, 15, 0, layout); });
  TimeCall("IsWindow", repetitions, [&] { IsWindow(window); });
  TimeCall("PostMessageW", repetitions, [&] {
    PostMessageW(window, WM_NULL, 0, 0);
    MSG message;
    PeekMessageW(&message, window, WM_NULL, WM_NULL, PM_REMOVE);
  });
  TimeCall("GetTickCount64", repetitions, [] { GetTickCount64(); });
  KBDLLHOOKSTRUCT record{};
  record.vkCode = 'A';
  TimeCall("CallNextHookEx", repetitions,
           [&] { CallNextHookEx(nullptr, HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&record)); });
  TimeCall("LCMapStringW upper case", repetitions, [] {
    const wchar_t in = L'a';
    wchar_t out = 0;
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1);
  });
  DestroyWindow(window);
  return 0;
}

}  // namespace
}  // namespace vellix

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--hook") {
    return vellix::RunHook(argc > 2 ? _wtoi(argv[2]) : 10000, argc > 3 ? _wtoi(argv[3]) : 5000);
  }
  if (argc > 1 && std::wstring(argv[1]) == L"--calls") {
    return vellix::RunCalls(argc > 2 ? _wtoi(argv[2]) : 20000);
  }
  const int entries = argc > 1 ? _wtoi(argv[1]) : 10000;
  const int words = argc > 2 ? _wtoi(argv[2]) : 20000;
  return vellix::Run(entries, words);
}
