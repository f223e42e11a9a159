#include "services/system_description.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "base/wide.h"

namespace vellix {
namespace {

std::atomic<int> queries{0};

// RtlGetVersion reports the true version (GetVersionExW may be shimmed); both are looked
// up at run time so that a system lacking one still answers.
bool QueryVersion(OSVERSIONINFOEXW& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion && rtlGetVersion(&info) == 0) return true;
  }
  using GetVersionExFn = BOOL(WINAPI*)(OSVERSIONINFOEXW*);
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    auto getVersionEx =
        reinterpret_cast<GetVersionExFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetVersionExW")));
    if (getVersionEx && getVersionEx(&info)) return true;
  }
  return false;
}

// A 64-bit process always runs on 64-bit Windows; a 32-bit one does when it runs under
// WOW64.
bool RunsOn64BitWindows() {
#if defined(_WIN64)
  return true;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::u16string Describe() {
  ++queries;
  OSVERSIONINFOEXW info;
  WindowsVersion version;
  if (QueryVersion(info)) {
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    version.build = info.dwBuildNumber;
    version.ntPlatform = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    version.workstation = info.wProductType == VER_NT_WORKSTATION || info.wProductType == 0;
    version.servicePack = ToU16(std::wstring_view(info.szCSDVersion, wcsnlen(info.szCSDVersion, 128)));
  }
  return FormatSystemDescription(version, RunsOn64BitWindows());
}

}  // namespace

std::u16string GetSystemDescription() {
  static const std::u16string description = Describe();
  return description;
}

int SystemDescriptionQueries() { return queries.load(); }

}  // namespace vellix
