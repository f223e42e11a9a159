#pragma once
// PhraseEditor: the resizable modal window (template 133, menu 134) in which the user
// maintains a working copy of the phrase collection: the phrase list, the details panel in
// the "Details" frame, two links, OK and Cancel. It is the hub of the window's commands and
// notifications: the list (PhraseList) shows the collection, EditorWindowLayout sizes and
// places the window, and the editor changes the phrases. It never writes the collection's
// file; the host takes the working copy over when the editor ends with OK. Everything runs
// on the user-interface thread.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "controls/details_frame_win.h"
#include "controls/hyperlink_win.h"
#include "controls/phrase_grid_win.h"
#include "editor/editor_window_layout_win.h"
#include "editor/phrase_details_panel_win.h"
#include "editor/phrase_list_win.h"
#include "lang/localized_dialog_win.h"
#include "phrases/phrase_database.h"
#include "picker/phrase_search.h"
#include "win32/unique_handle.h"
#include "win32/window_helpers_win.h"

namespace vellix {

// The file chosen for an import, and the entry of the dialog's filter (1-based).
struct ImportChoice {
  std::u16string path;
  unsigned filterIndex = 1;
};

// The editor's questions to the user. The default shows message boxes and the open-file
// dialog; tests answer them without a modal loop.
class EditorPrompts {
 public:
  virtual ~EditorPrompts() = default;
  // The save prompt: IDYES, IDNO or IDCANCEL.
  virtual int AskSave(HWND owner, const std::u16string& text);
  virtual void WarnDuplicates(HWND owner, const std::u16string& text);
  // A keystroke that can never fire.
  virtual void WarnKeystroke(HWND owner, const std::u16string& text);
  // A database file that was not read whole (the owner may not be visible yet).
  virtual void WarnDatabase(HWND owner, const std::u16string& text);
  // Saving over a file that another program changed: IDYES or IDNO.
  virtual int AskOverwrite(HWND owner, const std::u16string& text);
  // The file chosen in the open-file dialog, or nothing.
  virtual std::optional<std::u16string> ChooseDatabase(HWND owner, const std::u16string& initialFolder);
  // The file to import from, or nothing.
  virtual std::optional<ImportChoice> ChooseImport(HWND owner, const std::u16string& initialFolder);
  // What an import brought; problem: something was left out, collides or failed.
  virtual void ReportImport(HWND owner, const std::u16string& text, bool problem);
};

class PhraseEditor : public LocalizedDialog {
 public:
  // The wParam of kEditorNewPhraseMessage (base/messages.h), which the editor posts to itself.
  static constexpr WPARAM kDiscardNew = 0;               // lParam: the new phrase's id
  static constexpr WPARAM kEditRow = 1;                  // lParam: the row
  static constexpr WPARAM kAddKeystroke = 2;            // lParam: the new phrase's id

  // working: the collection the user edits (the caller's copy); path: the file it came
  // from. prompts: null for the default message boxes.
  PhraseEditor(PhraseDatabase& working, std::u16string path, HWND foregroundHint, bool addOnOpen,
               EditorPrompts* prompts = nullptr);
  ~PhraseEditor() override;

  bool HasCaption() const override { return false; }  // the editor builds its title itself

  const std::u16string& databasePath() const { return path_; }
  bool modified() const { return modified_; }
  bool changedOnDisk() const { return changedOnDisk_; }
  uint32_t newPhraseId() const { return newPhraseId_; }
  const DuplicateSet& duplicates() const { return list_.duplicates(); }
  // Whether the phrase has an enabled keystroke that begins another enabled one, or is
  // begun by one; its Phrase cell is then drawn in a colour of its own.
  bool HasPrefixConflict(uint32_t id) const { return list_.HasPrefixConflict(id); }
  PhraseGrid& grid() { return list_.grid(); }
  PhraseDetailsPanel& panel() { return panel_; }
  // The value the dialog ended with (IDOK / IDCANCEL), 0 while it runs.
  INT_PTR result() const { return result_; }
  // What the editor itself saved last (Open's "Save changes?" answered Yes) and where; null
  // when it saved nothing.
  PhraseDatabase* savedCollection() const { return saved_.get(); }
  const std::u16string& savedPath() const { return savedPath_; }

  HWND linkTips() const { return linkTips_; }
  // The list's context menu for the selected row.
  UniqueMenu CreateContextMenu() const;

  // The id of the phrase last selected in any editor of this process.
  static uint32_t LastSelectedPhraseId();

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;
  void OnCancel() override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnDestroy() override;

 private:
  // Opening.
  void ForceForeground();
  void SetUpPanel();
  void SetUpLinks();

  // Refills the list and shows the selected row's phrase in the panel.
  void FillList(uint32_t selectId);
  void OnRowSelected(int row);
  // Marks the phrases with a keystroke that begins another one (none when words expand
  // at their end) in the list and the shown phrase's keystrokes in the panel.
  void RefreshPrefixConflicts();

  // Title and state.
  void RefreshTitle();
  void MarkModified();
  bool IsConfigured(const std::u16string& path) const;
  std::u16string ConfiguredPath() const;

  // Commands.
  void RunCommand(UINT id);
  void AddPhrase();
  void EditPhrase();
  void DeletePhrase();
  void CopyPhrase();
  void PastePhrase();
  void OpenDatabase();
  // File > Import: phrases of another program's file appended to the working collection.
  void ImportFromFile();
  // Replaces the working collection by the file's phrases; false (nothing changed) when the
  // file could not be loaded. A file not read whole leaves its message in loadWarning_ and,
  // with keepWhenNotWhole, is not loaded either.
  bool LoadDatabase(const std::u16string& path, bool keepWhenNotWhole = false);
  void ShowLoadWarning();
  void UseAsDefault();
  void ToggleCheckedOnly();
  void OnNewPhraseMessage(WPARAM what, LPARAM value);
  void DiscardNewPhrase(uint32_t id);

  // Grid and panel notifications.
  INT_PTR OnNotify(NMHDR* header);
  INT_PTR OnGridNotify(const GridNotify& notify);
  bool OnCheckChanged(int row, int column, bool check);
  void OnEndCellEdit(const GridNotify& notify);
  void OnChoiceChanged(int row, int column, int choice);
  void RefuseLockedCell(int row, int column);
  void OnPanelNotify(const PanelNotify& notify);
  // A keystroke added, edited or switched on: warns when it can never fire, marks and
  // reports the phrases that share it.
  void CheckKeystroke(uint32_t phraseId, const std::u16string& keystroke);

  // Menus.
  void UpdateMenu(HMENU menu);
  void PrepareSystemMenu(HMENU menu);
  void ShowContextMenu(POINT screen);

  // The file changed on disk: marks it when it is the editor's file.
  LRESULT OnFileChanged(const char16_t* path);
  // Before a save to path: true when it may go on (path did not change on disk since it
  // was loaded, or the user chose to save over it).
  bool MayOverwrite(const std::u16string& path);

  // Closing.
  bool AskToClose(INT_PTR& result);
  LRESULT OnCloseRequest();
  // Applies the open text edit of the grid and the open keystroke edit of the panel, as
  // losing the focus would: menus and the close box leave the focus where it is.
  void ApplyOpenEdits();
  void Finish(INT_PTR result);

  // The search box above the list (phrase_editor_search_win.cpp).
  void SetUpSearch();
  void OnSearchChanged();
  // Whether the row of phrase is shown under the search box's query (the phrase to select
  // always is: a new or pasted phrase matches no query yet).
  bool PassesSearch(const Phrase& phrase, uint32_t selectId);
  // Rebuilds the matches of the query from the working collection before a refill.
  void PrepareSearch();
  std::u16string SearchQuery() const;
  static LRESULT CALLBACK SearchBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR data) noexcept;
  static LRESULT CALLBACK FindKeyHook(int code, WPARAM wparam, LPARAM lparam) noexcept;

  PhraseDatabase& working_;
  std::u16string path_;
  HWND foregroundHint_;
  bool addOnOpen_;
  EditorPrompts defaultPrompts_;
  EditorPrompts* prompts_;

  bool modified_ = false;
  bool changedOnDisk_ = false;  // path_ was changed by another program after it was loaded
  bool modifiedBeforeAdd_ = false;
  uint32_t newPhraseId_ = 0;
  uint32_t enabledForEditId_ = 0;
  INT_PTR result_ = 0;
  std::unique_ptr<PhraseDatabase> saved_;
  std::u16string savedPath_;
  std::u16string loadWarning_;  // the message of the last load, shown by ShowLoadWarning

  PhraseList list_;
  DetailsFrame frame_;
  PhraseDetailsPanel panel_;
  HyperLink homeLink_;
  HyperLink productLink_;
  HWND linkTips_ = nullptr;
  UniqueFont boldFont_;
  WindowIcons icons_;
  EditorWindowLayout windowLayout_;
  HWND searchBox_ = nullptr;
  PhraseSearch search_;            // every phrase, switched off ones too
  std::vector<bool> searchHits_;  // by phrase identifier, for the current query
  UniqueHook findHook_;           // Ctrl+F on this thread
  bool searchRefill_ = false;     // the refill follows the query, not an added phrase
  bool searchStale_ = true;       // search_ no longer reflects working_
};

}  // namespace vellix
