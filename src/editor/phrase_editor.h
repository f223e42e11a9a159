#pragma once
// The phrase editor window's entry for the main dialog.
#include <windows.h>

#include <mutex>
#include <string>

namespace vellix {

class PhraseDatabase;

// OpenEditor's results.
inline constexpr int kEditorAlreadyOpen = 0;  // brought to the front instead
inline constexpr int kEditorAccepted = 1;     // live and path hold the editor's collection and path
inline constexpr int kEditorCancelled = 2;    // live and path are unchanged
// Cancelled after the user had saved from the editor (Open asks "Save changes?" before it
// loads another file): live and path hold what was saved last, which the file at path holds.
inline constexpr int kEditorCancelledAfterSave = 3;

// Runs the phrase editor modally on a copy of live; one of the results above. liveLock,
// when given, is held while live is copied and while it takes the editor's collection over
// (other threads may read live meanwhile); the editor itself runs without it.
int OpenEditor(PhraseDatabase& live, std::u16string& path, HWND foregroundHint, bool addOnOpen,
               std::mutex* liveLock = nullptr);

// The open editor's window, or null.
HWND GetOpenEditorWindow() noexcept;

// Registered messages to the open editor. The close request runs the save prompt and
// answers 1 when the user chose to keep the editor open, else 0; the language message is
// answered with 0.
UINT EditorCloseRequestMessage() noexcept;
UINT EditorLanguageMessage() noexcept;
// The database file changed on disk (lParam: its path, a zero-terminated UTF-16 text that
// lives for the call). When it is the editor's file, the editor shows it in its title and
// asks before its save overwrites the file. Answered with 1 when it is, else 0.
UINT EditorFileChangedMessage() noexcept;

}  // namespace vellix
