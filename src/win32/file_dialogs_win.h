#pragma once
// The common open and save dialogs, with the library that holds them loaded on first use.
// That library brings the printing spooler and its helpers with it (several megabytes of
// resident memory for a program that otherwise idles in the notification area), and a user
// may never open a file dialog in a whole session.

#include <windows.h>
#include <commdlg.h>

namespace vellix {

// As GetOpenFileNameW and GetSaveFileNameW; false also when the library cannot be loaded.
bool ShowOpenFileDialog(OPENFILENAMEW& dialog);
bool ShowSaveFileDialog(OPENFILENAMEW& dialog);

}  // namespace vellix
