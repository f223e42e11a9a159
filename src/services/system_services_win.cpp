#include "services/system_services_win.h"

#include <windows.h>

#include <string>

#include "base/wide.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

// Suppresses the system's critical-error boxes (an empty drive, say) for its lifetime.
class ScopedErrorMode {
 public:
  ScopedErrorMode() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
  ~ScopedErrorMode() { SetErrorMode(previous_); }
  ScopedErrorMode(const ScopedErrorMode&) = delete;
  ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

 private:
  UINT previous_;
};

// The shell's answer: 1 exists, 0 does not, -1 when the library cannot be asked.
int ShellPathExists(const std::wstring& path) {
  UniqueModule shlwapi(LoadLibraryW(L"shlwapi.dll"));
  if (!shlwapi) return -1;
  using PathFileExistsFn = BOOL(WINAPI*)(const wchar_t*);
  auto pathFileExists = reinterpret_cast<PathFileExistsFn>(
      reinterpret_cast<void*>(GetProcAddress(shlwapi.get(), "PathFileExistsW")));
  if (!pathFileExists) return -1;
  return pathFileExists(path.c_str()) ? 1 : 0;
}

}  // namespace

bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

bool FileExists(std::u16string_view path) {
  if (path.empty()) return false;
  const std::wstring wide = ToWide(path);
  ScopedErrorMode quiet;
  if (ShellPathExists(wide) == 0) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_ACCESS_DENIED;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace vellix
