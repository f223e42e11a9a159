#include "win_test_support.h"

namespace vellix::testing {
namespace {

std::wstring WithSlash(const std::wstring& folder) {
  return (!folder.empty() && folder.back() == L'\\') ? folder : folder + L"\\";
}

void DispatchQueued() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

void Pump() {
  for (int round = 0; round < 3; ++round) DispatchQueued();
}

void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    DispatchQueued();
  }
}

void ToForeground(HWND window, HWND focus) {
  SetForegroundWindow(window);
  if (focus) SetFocus(focus);
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static int counter = 0;
  path_ = std::wstring(base) + L"vellix_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(++counter) + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

std::vector<std::wstring> TempFolder::List(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((WithSlash(folder) + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

void TempFolder::RemoveTree(const std::wstring& folder) {
  const std::wstring base = WithSlash(folder);
  for (const std::wstring& name : List(base)) {
    const std::wstring full = base + name;
    if (GetFileAttributesW(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(full);
    } else {
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(full.c_str());
    }
  }
  RemoveDirectoryW(base.c_str());
}

std::string ReadFileBytes(const std::wstring& path, std::string_view whenMissing) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string(whenMissing);
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace vellix::testing
