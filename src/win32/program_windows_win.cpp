#include "win32/program_windows_win.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "base/wide.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

std::u16string ProgramFileNameOfProcess(DWORD process) {
  if (process == 0) return {};
  const UniqueKernelHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!handle) return {};
  wchar_t path[MAX_PATH * 2];
  DWORD size = DWORD(std::size(path));
  if (!QueryFullProcessImageNameW(handle.get(), 0, path, &size)) return {};
  std::wstring_view full(path, size);
  const size_t slash = full.find_last_of(L"\\/");
  if (slash != std::wstring_view::npos) full.remove_prefix(slash + 1);
  return ToU16(full);
}

std::u16string Folded(std::u16string text) {
  for (char16_t& unit : text)
    if (unit >= u'A' && unit <= u'Z') unit = char16_t(unit + 32);
  return text;
}

struct Collected {
  std::set<DWORD> processes;
};

BOOL CALLBACK CollectProcess(HWND window, LPARAM context) {
  if (!IsWindowVisible(window)) return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != 0 && process != GetCurrentProcessId())
    reinterpret_cast<Collected*>(context)->processes.insert(process);
  return TRUE;
}

}  // namespace

std::u16string ProgramFileNameOf(HWND window) {
  DWORD process = 0;
  if (!window || !GetWindowThreadProcessId(window, &process)) return {};
  return ProgramFileNameOfProcess(process);
}

std::u16string ShellProgramFileName() { return ProgramFileNameOf(FindWindowW(L"Shell_TrayWnd", nullptr)); }

std::vector<std::u16string> ProgramsWithOpenWindows() {
  Collected collected;
  EnumWindows(&CollectProcess, reinterpret_cast<LPARAM>(&collected));
  std::vector<std::u16string> names;
  std::set<std::u16string> seen;
  for (DWORD process : collected.processes) {
    std::u16string name = ProgramFileNameOfProcess(process);
    if (!name.empty() && seen.insert(Folded(name)).second) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(),
            [](const std::u16string& a, const std::u16string& b) { return Folded(a) < Folded(b); });
  return names;
}

}  // namespace vellix
