#pragma once
// A fresh folder under the temporary folder, removed with its files when the test ends.

#include <windows.h>

#include <string>
#include <vector>

namespace vellix::testing {

class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"vellix_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { RemoveTree(path_); }

  const std::wstring& Path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + name; }

 // The names of the files and folders in folder (with or without its closing backslash).
  std::vector<std::wstring> Names() const { return List(path_); }
  static std::vector<std::wstring> List(const std::wstring& folder) {
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

  // Removes folder with everything in it, read-only files too.
  static void RemoveTree(const std::wstring& folder) {
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

 private:
  static std::wstring WithSlash(const std::wstring& folder) {
    return (!folder.empty() && folder.back() == L'\\') ? folder : folder + L"\\";
  }

  std::wstring path_;
};

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace vellix::testing
