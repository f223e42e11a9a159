#include "win32/file_dialogs_win.h"

namespace vellix {
namespace {

using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);

FileDialogFunction Lookup(const char* name) {
  // Loaded once and kept: the dialogs are wanted again once they have been used.
  static const HMODULE library = LoadLibraryW(L"comdlg32.dll");
  if (!library) return nullptr;
  return reinterpret_cast<FileDialogFunction>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool ShowOpenFileDialog(OPENFILENAMEW& dialog) {
  static const FileDialogFunction show = Lookup("GetOpenFileNameW");
  return show && show(&dialog);
}

bool ShowSaveFileDialog(OPENFILENAMEW& dialog) {
  static const FileDialogFunction show = Lookup("GetSaveFileNameW");
  return show && show(&dialog);
}

}  // namespace vellix
