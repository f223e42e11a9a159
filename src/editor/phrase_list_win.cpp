#include "editor/phrase_list_win.h"

#include <algorithm>
#include <vector>

#include "base/dpi.h"
#include "base/number_text.h"
#include "base/utf.h"
#include "base/wide.h"
#include "editor/conflict_texts.h"
#include "editor/editor_texts.h"
#include "editor/phrase_editor_support_win.h"
#include "resource.h"
#include "win32/dialog.h"
#include "win32/dpi_win.h"

namespace vellix {
using editor_support::Localized;
namespace {

constexpr UINT kBalloonMs = 2000;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 64);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
// A keystroke that begins a longer one, or is begun by a shorter one.
constexpr COLORREF kOrange = RGB(204, 102, 0);
// The header's margins left and right of a caption, at 100 %.
constexpr int kHeaderTextMargins = 14;
// The Ctrl+Enter hint stands this far right of the in-place editor's left edge, at 100 %.
constexpr int kEditHintOffset = 100;

}  // namespace

PhraseList::PhraseList(PhraseDatabase& working) : working_(working) {}

void PhraseList::Attach(HWND list) {
  grid_.Attach(list);
  grid_.SetColorCallback(&PhraseList::CellColor, this);
  std::vector<GridColumn> columns(4);
  columns[kPhraseColumn] = {Localized(IDS_PHRASE), Scale(200), LVCFMT_LEFT, CellKind::CheckText, {}};
  columns[kCaseColumn] = {Localized(IDS_CASE_SENSITIVE), Scale(100), LVCFMT_LEFT, CellKind::CheckFixedText, {}};
  columns[kActionColumn] = {Localized(IDS_ACTION), Scale(100), LVCFMT_LEFT, CellKind::Choice,
                            {Localized(IDS_ADD), Localized(IDS_ACTION_REPLACE)}};
  columns[kUsageColumn] = {Localized(IDS_USAGE_COUNT), Scale(80), LVCFMT_CENTER, CellKind::ReadOnly, {}};
  grid_.SetColumns(columns);

  images_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
  if (images_) {
    // The image list keeps a copy of the icon.
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(Dialog::ResourceModule(), MAKEINTRESOURCEW(IDI_LIST_IMAGE), IMAGE_ICON, 16, 16, 0)));
    if (icon) ImageList_AddIcon(images_.get(), icon.get());
    SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
  }
  const DWORD extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
  ListView_SetExtendedListViewStyleEx(list, extended, extended);
}

int PhraseList::Scale(int pixels) const {
  // Widths are given for 96 dots per inch; the window may be on a larger scale.
  return ScaleToDpi(pixels, WindowDpi(grid_.hwnd()));
}

// ---- rows ------------------------------------------------------------------------------

void PhraseList::FillRow(int row, const Phrase& phrase, const std::u16string& yes, const std::u16string& no) {
  grid_.SetCheck(row, kPhraseColumn, phrase.Enabled() != 0);
  grid_.SetText(row, kPhraseColumn, phrase.Word());
  grid_.SetCheck(row, kCaseColumn, phrase.CaseSensitive() != 0);
  grid_.SetText(row, kCaseColumn, phrase.CaseSensitive() ? yes : no);
  grid_.SetChoice(row, kActionColumn, phrase.AddOrReplace() == 0 ? 0 : 1);
  grid_.SetText(row, kUsageColumn, Decimal(phrase.CountUsage()));
}

int PhraseList::Fill(uint32_t selectId, bool checkedOnly, const std::function<bool(const Phrase&)>& shown) {
  // Looked up once: a lookup may read the language file.
  const std::u16string yes = Localized(IDS_YES);
  const std::u16string no = Localized(IDS_NO);
  grid_.SuspendRedraw();
  grid_.RemoveAllRows();
  for (const auto& phrase : working_.Items()) {
    if (checkedOnly && !phrase->Enabled()) continue;
    if (shown && !shown(*phrase)) continue;
    const int row = grid_.InsertRow(phrase->Id());
    if (row >= 0) FillRow(row, *phrase, yes, no);
  }
  grid_.ResumeRedraw();
  int row = selectId ? grid_.FindRow(selectId) : -1;
  if (row < 0 && grid_.RowCount() > 0) row = 0;
  grid_.SelectRow(row);
  return row;
}

void PhraseList::ShowCaseSensitive(int row, bool check) {
  grid_.SetText(row, kCaseColumn, Localized(check ? IDS_YES : IDS_NO));
}

int PhraseList::FixedColumnWidth(UINT captionId, int pixels) const {
  // A caption longer than the column (a wider font, a translation) would be cut to "…":
  // the column then takes the caption's width and the header's margins.
  const std::u16string caption = Localized(captionId);
  const int captionWidth =
      ListView_GetStringWidth(grid_.hwnd(), AsWide(caption.c_str())) + Scale(kHeaderTextMargins);
  return std::max(Scale(pixels), captionWidth);
}

void PhraseList::RecomputeColumnWidths() {
  grid_.SetColumnWidth(kUsageColumn, FixedColumnWidth(IDS_USAGE_COUNT, 80));
  grid_.SetColumnWidth(kActionColumn, FixedColumnWidth(IDS_ACTION, 100));
  grid_.SetColumnWidth(kCaseColumn, FixedColumnWidth(IDS_CASE_SENSITIVE, 100));
  RECT client{};
  GetClientRect(grid_.hwnd(), &client);
  const int rest = client.right - grid_.ColumnWidth(kCaseColumn) - grid_.ColumnWidth(kActionColumn) -
                   grid_.ColumnWidth(kUsageColumn);
  grid_.SetColumnWidth(kPhraseColumn, std::max(rest, Scale(40)));
}

Phrase* PhraseList::PhraseOfRow(int row) const {
  if (row < 0 || row >= grid_.RowCount()) return nullptr;
  return working_.Find(grid_.RowData(row));
}

Phrase* PhraseList::SelectedPhrase() const { return PhraseOfRow(grid_.SelectedRow()); }

int PhraseList::CheckedRows() const {
  int checked = 0;
  for (int row = 0; row < grid_.RowCount(); ++row) {
    if (grid_.Check(row, kPhraseColumn)) ++checked;
  }
  return checked;
}

// ---- tips and balloons -----------------------------------------------------------------

void PhraseList::FillInfoTip(NMLVGETINFOTIPW& tip) const {
  if (!tip.pszText || tip.cchTextMax <= 0) return;
  const Phrase* phrase = PhraseOfRow(tip.iItem);
  if (!phrase) return;
  std::u16string text = RowTooltip(*phrase, Localized);
  if (HasPrefixConflict(phrase->Id())) {
    // The lines about the conflicts come last and must not be cut off: the description
    // gives way when the tip's buffer is short.
    const std::u16string conflicts = PrefixConflictTip(working_, phrase->Id(), &editor_support::InvariantUpper, Localized);
    const size_t room = static_cast<size_t>(tip.cchTextMax - 1);
    const size_t keep = room > conflicts.size() + 2 ? room - conflicts.size() - 2 : 0;
    if (text.size() > keep) text = CutText(text, keep);
    text += u"\n\n" + conflicts;
  }
  const size_t length = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
  std::copy_n(AsWide(text.c_str()), length, tip.pszText);
  tip.pszText[length] = L'\0';
}

void PhraseList::ShowLockedBalloon(int row, int column) {
  const RECT cell = grid_.CellRect(row, column);
  POINT at{(cell.left + cell.right) / 2, cell.bottom};
  ClientToScreen(grid_.hwnd(), &at);
  grid_.ShowBalloon(Localized(IDS_ENABLE_BEFORE_EDIT), at, kBalloonMs);
}

void PhraseList::ShowEditHint(HWND editor) {
  if (!editor) return;
  RECT rect{};
  GetWindowRect(editor, &rect);
  grid_.ShowBalloon(Localized(IDS_CTRL_ENTER_HINT), POINT{rect.left + Scale(kEditHintOffset), rect.bottom},
                    kBalloonMs);
}

// ---- colours and duplicates ------------------------------------------------------------

void PhraseList::ClearDuplicates() {
  duplicates_.clear();
  grid_.Repaint();
}

bool PhraseList::MarkDuplicates(const std::u16string& keystroke, uint32_t phraseId) {
  working_.FindKeystrokeDuplicates(keystroke, phraseId, duplicates_);
  if (duplicates_.empty()) return false;
  grid_.Repaint();  // those phrases' Phrase cells turn red
  return true;
}

void PhraseList::MarkDuplicates(DuplicateSet phrases) {
  duplicates_ = std::move(phrases);
  if (!duplicates_.empty()) grid_.Repaint();
}

void PhraseList::SetPrefixConflicts(std::vector<uint32_t> ids) {
  if (ids == prefixConflicts_) return;
  prefixConflicts_ = std::move(ids);
  grid_.Repaint();
}

bool PhraseList::HasPrefixConflict(uint32_t id) const {
  return std::binary_search(prefixConflicts_.begin(), prefixConflicts_.end(), id);
}

bool PhraseList::CellColor(int row, int column, COLORREF* text, void* context) {
  const auto* self = static_cast<const PhraseList*>(context);
  const Phrase* phrase = self->PhraseOfRow(row);
  if (!phrase || !text) return false;
  switch (column) {
    case kPhraseColumn:
      if (!phrase->HasEnabledKeystroke() || self->duplicates_.count(phrase->Id())) {
        *text = kRed;
        return true;
      }
      if (self->HasPrefixConflict(phrase->Id())) {
        *text = kOrange;
        return true;
      }
      return false;
    case kCaseColumn:
      if (!phrase->CaseSensitive()) return false;
      *text = kGreen;
      return true;
    case kActionColumn:
      *text = phrase->AddOrReplace() == 0 ? kDarkRed : kGreen;
      return true;
    default:
      return false;
  }
}

}  // namespace vellix
