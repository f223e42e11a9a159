#pragma once
// The phrase editor window's entry for the main dialog.
#include <windows.h>

#include <string>

namespace vellix {

class PhraseDatabase;

// Runs the phrase editor modally on a copy of live. 1 (accepted): live's contents and path
// have been replaced by the editor's; 2 (cancelled): both are unchanged.
int OpenEditor(PhraseDatabase& live, std::u16string& path, HWND foregroundHint, bool addOnOpen);

// The open editor's window, or null.
HWND PhraseEditorWindow() noexcept;

}  // namespace vellix
