// Until the phrase editor window is built, the editor commands open no window: they end
// at once as cancelled, leaving the collection and its path as they were.
#include "editor/phrase_editor.h"

namespace vellix {

int OpenEditor(PhraseDatabase&, std::u16string&, HWND, bool) { return 2; }

HWND PhraseEditorWindow() noexcept { return nullptr; }

}  // namespace vellix
