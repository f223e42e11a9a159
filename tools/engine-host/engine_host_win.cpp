// engine-host: loads a phrase database file and switches the desktop typing engine on as
// the main dialog does (print delay 100 ms, print and notify callbacks, Start(true)), then
// pumps messages on its main thread, through which the hooks are delivered.
//
//   engine-host.exe --db FILE --log FILE --cmd FILE [--refuse] [--no-start] [--delay MS]
//
// --log  every callback and command result, one line each, written at once:
//          <us> ready <entries> <start result>
//          <us> notify <code> <the word as UTF-8>
//          <us> print <code> <lParam> <word as UTF-8>
//          <us> cmd <command> <result>
//        <us> is QueryPerformanceCounter in microseconds.
// --cmd  polled every 10 ms; when it exists its first line is run and the file deleted
//        (write it elsewhere and rename it into place). Commands: start, stop, running,
//        refuse, allow, quit, clear (empties the edit of the window "Vellix Target"),
//        "paste N" (phrases of N units and more are pasted; 0 types all, the start value),
//        "options W U C" (each 0 or 1: expand on a word's end, undo with Backspace, case
//        that follows the keystroke; all 0 at start),
//        and "inject N": types phrase N (from 1) as an expansion of its
//        first keystroke would, on this thread, logging "inject begin" first; with the
//        engine stopped this measures the target window's own share of an expansion.
// --refuse  the print callback answers 1 (refuses every insertion) from the start.

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "base/utf.h"
#include "base/wide.h"
#include "engine/desktop_typing_engine_win.h"
#include "engine/key_injector_win.h"
#include "engine/synthetic_typing.h"
#include "phrases/phrase_database.h"
#include "phrases/phrase_database_file.h"

namespace vellix {
namespace {

class HostLog {
 public:
  bool Open(const std::wstring& path) {
    file_ = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    QueryPerformanceFrequency(&frequency_);
    return file_ != INVALID_HANDLE_VALUE;
  }
  // Called from both threads; one WriteFile per line keeps lines whole.
  void Line(const std::string& text) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const long long micros = now.QuadPart * 1000000 / frequency_.QuadPart;
    const std::string line = std::to_string(micros) + " " + text + "\n";
    std::lock_guard guard(lock_);
    DWORD written = 0;
    WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  LARGE_INTEGER frequency_{};
  std::mutex lock_;
};

HostLog g_log;
std::atomic<bool> g_refuse{false};

int32_t OnPrint(int32_t code, const EngineEntry* entry, const char16_t* word, void*) {
  g_log.Line("print " + std::to_string(code) + " " + std::to_string(entry->lParam) + " " +
             Utf16ToUtf8(word));
  return code == TAC_IS_ALLOW_PRINT_WORD && g_refuse.load() ? 1 : 0;
}

// The engine lock is held here (recursive), so the word can be read.
int32_t OnNotify(int32_t code, const EngineEntry*, void* context) {
  const auto* engine = static_cast<const DesktopTypingEngine*>(context);
  g_log.Line("notify " + std::to_string(code) + " " + Utf16ToUtf8(engine->CurrentWord()));
  return 0;
}

// Reads and deletes the command file; empty when there is none.
std::string TakeCommand(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[256] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
  CloseHandle(file);
  DeleteFileW(path.c_str());
  std::string command(buffer, read);
  const size_t end = command.find_first_of("\r\n");
  if (end != std::string::npos) command.resize(end);
  return command.empty() ? std::string("?") : command;
}

// Types phrase number (from 1) after erasing its first keystroke; false when there is none.
bool InjectPhrase(const PhraseDatabase& phrases, size_t number) {
  if (number == 0 || number > phrases.Items().size()) return false;
  const Phrase& phrase = *phrases.Items()[number - 1];
  if (phrase.Prefixes().empty()) return false;
  const uint32_t erase = static_cast<uint32_t>(phrase.Prefixes().begin()->first.size());
  Win32KeyInjector injector;
  BYTE noKeysDown[256] = {};
  SetKeyboardState(noKeysDown);
  g_log.Line("inject begin");
  return TypeText(injector, phrase.Word(), erase, static_cast<uint32_t>(phrase.LeftAfter()));
}

// Empties the target window's edit control; false when there is none.
bool ClearTarget() {
  const HWND target = FindWindowW(nullptr, L"Vellix Target");
  const HWND edit = target ? FindWindowExW(target, nullptr, L"EDIT", nullptr) : nullptr;
  if (edit == nullptr) return false;
  // Select all and replace: unlike WM_SETTEXT this raises EN_CHANGE, on which the target
  // writes its text file.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  return true;
}

// Runs one command; false for quit.
bool RunCommand(DesktopTypingEngine& engine, const PhraseDatabase& phrases,
                const std::string& command) {
  int result = -1;
  if (command.rfind("options ", 0) == 0) {
    // "options W U C": expand on word end, undo with Backspace, case follows (0 or 1 each).
    const char* digits = command.c_str() + 8;
    ExpansionOptions options;
    options.expandOnWordEnd = digits[0] == '1';
    options.undoWithBackspace = digits[0] != 0 && digits[1] == ' ' && digits[2] == '1';
    options.caseFollowsKeystroke =
        digits[0] != 0 && digits[1] != 0 && digits[2] != 0 && digits[3] == ' ' && digits[4] == '1';
    engine.SetOptions(options);
    result = 1;
  } else if (command.rfind("paste ", 0) == 0) {
    engine.SetPasteFromLength(static_cast<uint32_t>(std::atoi(command.c_str() + 6)));
    result = true;
  } else if (command.rfind("inject ", 0) == 0) {
    result = InjectPhrase(phrases, static_cast<size_t>(std::atoi(command.c_str() + 7)));
  } else if (command == "clear") {
    result = ClearTarget();
  } else if (command == "start") {
    result = engine.Start(true);
  } else if (command == "stop") {
    result = engine.Stop();
  } else if (command == "running") {
    result = engine.IsRunning();
  } else if (command == "refuse" || command == "allow") {
    g_refuse = command == "refuse";
    result = 1;
  } else if (command == "quit") {
    if (engine.IsRunning()) engine.Stop();
    g_log.Line("cmd quit 1");
    return false;
  }
  g_log.Line("cmd " + command + " " + std::to_string(result));
  return true;
}

std::wstring Argument(int argc, wchar_t** argv, const wchar_t* key) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wstring(argv[i]) == key) return argv[i + 1];
  }
  return {};
}

bool HasFlag(int argc, wchar_t** argv, const wchar_t* key) {
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == key) return true;
  }
  return false;
}

int Run(int argc, wchar_t** argv) {
  const std::wstring dbPath = Argument(argc, argv, L"--db");
  const std::wstring commandPath = Argument(argc, argv, L"--cmd");
  if (!g_log.Open(Argument(argc, argv, L"--log"))) return 2;
  g_refuse = HasFlag(argc, argv, L"--refuse");
  const std::wstring delay = Argument(argc, argv, L"--delay");

  PhraseDatabase phrases;
  if (PhraseDatabaseFile::Load(phrases, ToU16(dbPath)) != 1) {
    g_log.Line("error load");
    return 3;
  }
  phrases.Renumber();

  DesktopTypingEngine engine;
  engine.LoadPhrases(phrases);
  engine.SetPrintDelay(delay.empty() ? 100 : static_cast<uint32_t>(_wtoi(delay.c_str())));
  engine.SetPrintCallback(&OnPrint, nullptr);
  engine.SetNotifyCallback(&OnNotify, &engine);
  const bool started = HasFlag(argc, argv, L"--no-start") ? false : engine.Start(true);
  g_log.Line("ready " + std::to_string(engine.EntryCount()) + " " + std::to_string(started));

  SetTimer(nullptr, 0, 10, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr) {
      const std::string command = TakeCommand(commandPath);
      if (!command.empty() && !RunCommand(engine, phrases, command)) break;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (engine.IsRunning()) engine.Stop();
  return 0;
}

}  // namespace
}  // namespace vellix

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return 1;
  const int result = vellix::Run(argc, argv);
  LocalFree(argv);
  return result;
}
