#pragma once
// Helpers of the Win32 component tests: message pumping, bringing a test window to the
// front, a temporary folder and whole-file reads and writes.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace vellix::testing {

// Dispatches what the thread's queue holds, a few rounds, so that messages posted while
// the first ones are handled run too.
void Pump();
// Dispatches the thread's messages as they come for the given time (for work that other
// threads or the system finish meanwhile).
void PumpFor(DWORD milliseconds);

// Makes window the foreground window and, when focus is given, gives it the keyboard
// focus, as a user's click would.
void ToForeground(HWND window, HWND focus = nullptr);

// A fresh folder under the temporary folder, removed with its files when the test ends.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() { RemoveTree(path_); }

  // Ends with a backslash.
  const std::wstring& Path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + name; }

  // The names of the files and folders in folder (with or without its closing backslash).
  std::vector<std::wstring> Names() const { return List(path_); }
  static std::vector<std::wstring> List(const std::wstring& folder);
  // Removes folder with everything in it, read-only files too.
  static void RemoveTree(const std::wstring& folder);

 private:
  std::wstring path_;
};

// The whole file as bytes; whenMissing when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path, std::string_view whenMissing = {});
// Replaces the file by bytes; false when it cannot be created.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace vellix::testing
