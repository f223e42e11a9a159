#pragma once
// "Create Language File": a complete template of every text of the program, written into a
// file the user chooses and then opened for editing.

#include <windows.h>

#include <functional>
#include <string>

namespace vellix {

// Opens the finished file for the translator; the program uses Notepad.
using LanguageFileOpener = std::function<void(const std::u16string& path)>;
void OpenInNotepad(const std::u16string& path);

// Asks for the file with the save dialog owned by the owner window and exports into it.
// False when the user cancelled or no language is installed.
bool CreateLanguageFile(HWND owner, const LanguageFileOpener& open = OpenInNotepad);

// Exports every menu, string-table entry and dialog text into the file (keys that exist
// keep their values), opens it, and restores the current language.
bool ExportLanguageFile(const std::u16string& path, const LanguageFileOpener& open);

}  // namespace vellix
