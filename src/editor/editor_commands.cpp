#include "editor/editor_commands.h"

#include "resource.h"

namespace vellix {
namespace {

EditorCommandStatus Plain(bool enabled) { return {true, enabled, false, false}; }
EditorCommandStatus Checkable(bool enabled, bool checked) { return {true, enabled, true, checked}; }

}  // namespace

EditorCommandStatus EditorCommandRule(uint32_t commandId, const EditorCommandState& state) {
  switch (commandId) {
    case ID_OPEN_DATABASE:
    case ID_IMPORT_PHRASES:
    case ID_OPEN_BACKUP_FOLDER:
    case ID_SAVE_AND_CLOSE:
    case ID_ADD_PHRASE:
    case ID_COMMAND_LINE_KEYS:
    case ID_EDITOR_ABOUT:
      return Plain(true);
    case ID_USE_AS_DEFAULT:
      return Checkable(!state.databasePathEmpty, state.isConfiguredDatabase);
    case ID_EDIT_PHRASE:
    case ID_DELETE_PHRASE:
    case ID_COPY_PHRASE:
      return Plain(state.rowSelected);
    case ID_PASTE_PHRASE:
      return Plain(state.phraseOnClipboard);
    case ID_CHECKED_ONLY:
      // Filtering is offered only when it would hide something, and can always be undone.
      return Checkable(state.checkedOnly || state.hasDisabledPhrase, state.checkedOnly);
    default:
      return {};
  }
}

}  // namespace vellix
