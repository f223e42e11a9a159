#pragma once
// Which of the phrase editor's commands are enabled and checked. The editor evaluates the
// rules whenever a menu (menu bar, context menu or system menu) is about to open.

#include <cstdint>

namespace vellix {

// What the rules look at.
struct EditorCommandState {
  bool rowSelected = false;
  bool databasePathEmpty = true;
  bool isConfiguredDatabase = false;  // the editor's path is the configured database
  bool phraseOnClipboard = false;     // the private phrase format is on the clipboard
  bool checkedOnly = false;           // ShowCheckedPhrasesOnly
  bool hasDisabledPhrase = false;     // some phrase of the working collection is disabled
};

struct EditorCommandStatus {
  bool known = false;    // the id is one of the editor's commands
  bool enabled = false;
  bool checkable = false;
  bool checked = false;
};

EditorCommandStatus EditorCommandRule(uint32_t commandId, const EditorCommandState& state);

}  // namespace vellix
