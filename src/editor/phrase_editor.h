#pragma once
// The phrase editor window's entry for the main dialog.
#include <windows.h>

#include <string>

namespace vellix {

class PhraseDatabase;

// Runs the phrase editor modally on a copy of live. 1 (accepted): live's contents and path
// have been replaced by the editor's; 2 (cancelled): both are unchanged; 0: an editor was
// already open and has been brought to the front instead.
int OpenEditor(PhraseDatabase& live, std::u16string& path, HWND foregroundHint, bool addOnOpen);

// The open editor's window, or null.
HWND GetOpenEditorWindow() noexcept;

// Registered messages to the open editor. The close request runs the save prompt and
// answers 1 when the user chose to keep the editor open, else 0; the language message is
// answered with 0.
UINT EditorCloseRequestMessage() noexcept;
UINT EditorLanguageMessage() noexcept;

}  // namespace vellix
