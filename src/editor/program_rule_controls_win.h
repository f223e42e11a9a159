#pragma once
// The details panel's part for a phrase's program rule: the mode (in every program, only in
// the programs of the list, never in them), the list of program file names with their
// enabled checks, "Add…" (a menu: type a file name, or choose a program that has a window
// open now), "Remove", and a note when the phrase would fire nowhere. It keeps the phrase's
// include and exclude lists both: the mode decides which one the list shows and edits, and
// the other is stored back unchanged.
//
// Runs on the editor's thread. The panel forwards the controls' commands and notifications
// and reports every change this part answers with true.

#include <windows.h>

#include <string>
#include <vector>

#include "controls/keystroke_list_win.h"
#include "editor/program_rules.h"
#include "phrases/phrase.h"
#include "win32/unique_handle.h"

namespace vellix {

class ProgramRuleControls {
 public:
  // The controls of the panel (template 135); the list gets its column and check boxes.
  void SetUp(HWND panel);

  void Show(const Phrase& phrase);
  void StoreInto(Phrase& phrase) const;
  // With the panel's enabled state: the list and its buttons only while a list applies.
  void Enable(bool on);
  void RefreshCommandStates();

  // The programs the Add menu offers: those with windows open now. Tests replace it.
  using OpenProgramsSource = std::vector<std::u16string> (*)();
  void SetOpenProgramsSource(OpenProgramsSource source) { openPrograms_ = source; }

  // True when the command changed the rule (the panel then reports the change).
  bool OnCommand(WORD id, WORD code);
  // Notifications of the list; handled tells whether the message was one of them.
  LRESULT OnNotify(const NMHDR& hdr, bool& handled, bool& changed);
  // The list's context menu at a screen position (-1: from the keyboard).
  void ShowContextMenu(LPARAM position);

  ProgramRuleMode Mode() const { return mode_; }
  const KeystrokeList& programs() const { return list_; }
  int SelectedProgram() const;
  // Adds a program by name as the Add menu does (an existing entry is checked and
  // selected instead); false for a name that cannot be a program's.
  bool AddProgram(std::u16string_view typed);
  // Appends an empty entry and opens its name for typing.
  void BeginTypedProgram();
  void RemoveSelectedProgram();
  // After a new entry's name was refused: the empty entry goes (the panel hands it on from
  // kPanelRemoveEmptyProgramMessage).
  void RemoveEmptyProgram(int item);
  // The Add menu's entries: "Type a File Name…", and the open programs (greyed when listed).
  UniqueMenu CreateAddMenu(const std::vector<std::u16string>& openPrograms) const;

 private:
  void FillList();
  // The list's items into the map of the current mode.
  void KeepList();
  void RefreshNote();
  bool ListApplies() const { return mode_ != ProgramRuleMode::kEverywhere; }
  bool OnEndLabelEdit(const NMLVDISPINFOW& info, bool& changed);
  // The Add menu below "Add…"; true when a program was added.
  bool ShowAddMenu();
  int FindProgram(std::u16string_view name) const;
  void Select(int item);

  HWND panel_ = nullptr;
  HWND mode_box_ = nullptr;
  KeystrokeList list_;
  ProgramRuleMode mode_ = ProgramRuleMode::kEverywhere;
  FlagMap include_;
  FlagMap exclude_;
  bool enabled_ = false;
  bool adding_ = false;
  OpenProgramsSource openPrograms_ = nullptr;
};

}  // namespace vellix
