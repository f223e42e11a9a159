#pragma once
// PhraseList: the phrase editor's list, a PhraseGrid over the working collection. It sets
// up the columns and the image list, fills one row per listed phrase, keeps the column
// widths, answers the row tooltips, colours the cells and marks the phrases that share the
// keystroke tested last. What the user does in the list reaches the editor as the grid's
// notifications; the list itself changes no phrase. User-interface thread only.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/phrase_grid_win.h"
#include "phrases/phrase_database.h"
#include "win32/unique_handle.h"

namespace vellix {

class PhraseList {
 public:
  // The columns, left to right.
  enum Column { kPhraseColumn = 0, kCaseColumn = 1, kActionColumn = 2, kUsageColumn = 3 };

  // working: the collection the editor edits; it outlives the list.
  explicit PhraseList(PhraseDatabase& working);
  PhraseList(const PhraseList&) = delete;
  PhraseList& operator=(const PhraseList&) = delete;

  // Takes over the dialog's list control: columns, image list, styles and colour rule.
  void Attach(HWND list);
  PhraseGrid& grid() { return grid_; }
  const PhraseGrid& grid() const { return grid_; }

  // Refills the rows in collection order, leaving out disabled phrases when checkedOnly and
  // the phrases shown refuses (the search box's filter), and selects the row of selectId,
  // else the first. Answers the selected row, -1 for an empty list.
  int Fill(uint32_t selectId, bool checkedOnly, const std::function<bool(const Phrase&)>& shown = {});
  // The Case Sensitive cell's text after its check changed.
  void ShowCaseSensitive(int row, bool check);
  // Columns 3, 2 and 1 get their fixed widths (wider where the caption needs it), the
  // Phrase column what the client width leaves.
  void RecomputeColumnWidths();

  // The working collection belongs to the editor: a const list still hands out its phrases.
  Phrase* PhraseOfRow(int row) const;
  Phrase* SelectedPhrase() const;
  // Listed rows whose Phrase check is set.
  int CheckedRows() const;

  // LVN_GETINFOTIPW: the row's tooltip, cut to the buffer.
  void FillInfoTip(NMLVGETINFOTIPW& tip) const;
  // The balloon that says why a cell of a disabled phrase cannot be edited.
  void ShowLockedBalloon(int row, int column);
  // The Ctrl+Enter hint under an in-place text editor that has just opened.
  void ShowEditHint(HWND editor);

  // The phrases whose Phrase cell is red because they share the keystroke tested last.
  const DuplicateSet& duplicates() const { return duplicates_; }
  void ClearDuplicates();
  // Marks the other phrases that have an enabled keystroke equal to keystroke (an empty
  // one marks none); answers whether any was marked.
  bool MarkDuplicates(const std::u16string& keystroke, uint32_t phraseId);
  // Marks the given phrases red (those an import left sharing a keystroke).
  void MarkDuplicates(DuplicateSet phrases);

  // The phrases with an enabled keystroke that begins another enabled one, or is begun by
  // one (ids ascending): their Phrase cell is orange and their tooltip names the others.
  // Repaints when the set changed.
  void SetPrefixConflicts(std::vector<uint32_t> ids);
  bool HasPrefixConflict(uint32_t id) const;

 private:
  static bool CellColor(int row, int column, COLORREF* text, void* context);
  void FillRow(int row, const Phrase& phrase, const std::u16string& yes, const std::u16string& no);
  int Scale(int pixels) const;
  // pixels (at 100 %) for a column of fixed width, or more when its caption needs it.
  int FixedColumnWidth(UINT captionId, int pixels) const;

  PhraseDatabase& working_;
  PhraseGrid grid_;
  // The list view leaves its image list to us (LVS_SHAREIMAGELISTS).
  UniqueImageList images_;
  DuplicateSet duplicates_;
  std::vector<uint32_t> prefixConflicts_;  // phrase ids, ascending
};

}  // namespace vellix
