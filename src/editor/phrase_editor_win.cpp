#include "editor/phrase_editor_win.h"

#include "editor/phrase_editor.h"
#include "editor/phrase_editor_support_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "about/about_dialog_win.h"
#include "base/dpi.h"
#include "base/number_text.h"
#include "base/utf.h"
#include "base/wide.h"
#include "editor/conflict_texts.h"
#include "editor/database_texts.h"
#include "editor/editor_commands.h"
#include "editor/editor_texts.h"
#include "editor/phrase_clipboard_win.h"
#include "engine/keystroke_rule.h"
#include "lang/language_keys.h"
#include "lang/language_win.h"
#include "phrases/keystroke_conflicts.h"
#include "phrases/phrase_database_file.h"
#include "picker/picker_window_win.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "services/program_title.h"
#include "services/settings.h"
#include "services/sound_player_win.h"
#include "services/web_links.h"
#include "win32/dpi_win.h"
#include "win32/program_folder.h"

namespace vellix {
using editor_support::Localized;
using editor_support::SoundsOn;
namespace {

// The open editor's window; the user-interface thread alone touches it.
HWND g_openEditor = nullptr;
// Reselected whenever a list is refilled after a load and on the next opening.
uint32_t g_lastSelectedPhraseId = 0;

constexpr UINT kBalloonMs = 2000;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 64);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
// A keystroke that begins a longer one, or is begun by a shorter one.
constexpr COLORREF kOrange = RGB(204, 102, 0);
constexpr int kLinkTipWidth = 500;
// The header's margins left and right of a caption, at 100 %.
constexpr int kHeaderTextMargins = 14;
constexpr wchar_t kPlacementName[] = L"EditorWindowPos";

RECT ChildRect(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LayoutRect ToLayout(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Keystrokes compare as the engine compares them: in the invariant locale's upper case.
char16_t InvariantUpper(char16_t unit) {
  const wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = 0;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return static_cast<char16_t>(out);
}

}  // namespace

// ---- entry ---------------------------------------------------------------------------

UINT EditorCloseRequestMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"{0DBAC4E8-47F9-4b9a-B80E-3869FC6D35F0}");
  return message;
}

UINT EditorLanguageMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"{E40F3C7C-661A-41be-AB77-4D476B655F6D}");
  return message;
}

UINT EditorFileChangedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(L"{7D3A91C2-5E48-4b0f-9C61-2A8F0B4E6D17}");
  return message;
}

HWND GetOpenEditorWindow() noexcept { return g_openEditor; }

int OpenEditor(PhraseDatabase& live, std::u16string& path, HWND foregroundHint, bool addOnOpen) {
  if (SoundsOn()) PlaySystemSound(u"SystemNotification", true);
  if (HWND open = GetOpenEditorWindow()) {
    BringToFront(open);
    return kEditorAlreadyOpen;
  }
  PhraseDatabase working;
  working.Assign(live);
  PhraseEditor editor(working, path, foregroundHint, addOnOpen);
  if (editor.RunModal(nullptr) != IDOK) {
    // What the user chose to save stays: the host takes it over, so that its next save
    // does not write its older collection over that file.
    if (PhraseDatabase* saved = editor.savedCollection()) {
      live.TakeOver(*saved);
      path = editor.savedPath();
      return kEditorCancelledAfterSave;
    }
    return kEditorCancelled;
  }
  path = editor.databasePath();
  // A collection that came from no file is saved where the program looks for it next time,
  // so that the phrases of a first start are not lost.
  if (path.empty()) path = ResolveDatabasePath(Settings::Instance().databasePath, ProgramFolder());
  live.TakeOver(working);
  return kEditorAccepted;
}

uint32_t PhraseEditor::LastSelectedPhraseId() { return g_lastSelectedPhraseId; }

PhraseEditor::PhraseEditor(PhraseDatabase& working, std::u16string path, HWND foregroundHint, bool addOnOpen,
                           EditorPrompts* prompts)
    : LocalizedDialog(IDD_EDITOR),
      working_(working),
      path_(std::move(path)),
      foregroundHint_(foregroundHint),
      addOnOpen_(addOnOpen),
      prompts_(prompts ? prompts : &defaultPrompts_),
      search_(&UpperInvariantText) {
  ExcludeFromTranslation(IDC_HOME_LINK);
  ExcludeFromTranslation(IDC_PRODUCT_LINK);
}

PhraseEditor::~PhraseEditor() = default;

// ---- opening ---------------------------------------------------------------------------

bool PhraseEditor::OnInitDialog() {
  if (foregroundHint_) ForceForeground();
  LocalizedDialog::OnInitDialog();
  g_openEditor = hwnd();
  SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
  icons_ = SetWindowIcons(hwnd(), IDI_ENGINE_ON);
  SetUpGrid();
  SetUpPanel();
  SetUpLinks();
  SetUpSearch();
  CaptureLayout();
  // The host saves nothing over a file it could not read whole, so the collection it hands
  // over for that file holds the same phrases and the usage counts typed since: that one
  // is kept. A whole file (one the user repaired meanwhile, say) is loaded.
  const std::u16string configured = ConfiguredPath();
  if (!LoadDatabase(configured, EqualsIgnoreCase(configured, path_))) {
    // Nothing could be loaded: the collection the host handed over stays.
    FillList(g_lastSelectedPhraseId);
    RecomputeColumnWidths();
    RefreshTitle();
  }
  RestorePlacement();
  LayOut();
  SetFocus(grid_.hwnd());
  if (addOnOpen_) PostMessageW(hwnd(), WM_COMMAND, ID_ADD_PHRASE, 0);
  // Before the window shows: the user learns that the file was not read whole before
  // saving over it.
  ShowLoadWarning();
  return false;
}

void PhraseEditor::ForceForeground() {
  const DWORD hintThread = GetWindowThreadProcessId(foregroundHint_, nullptr);
  DWORD hintProcess = 0;
  GetWindowThreadProcessId(foregroundHint_, &hintProcess);
  const DWORD ownThread = GetCurrentThreadId();
  // Windows lets only the foreground thread hand the foreground on; sharing its input
  // state for a moment makes this thread one of it.
  const bool attach = hintProcess != GetCurrentProcessId() && hintThread != 0 && hintThread != ownThread &&
                      AttachThreadInput(ownThread, hintThread, TRUE);
  SetForegroundWindow(hwnd());
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetActiveWindow(hwnd());
  SetFocus(hwnd());
  if (attach) AttachThreadInput(ownThread, hintThread, FALSE);
  FLASHWINFO flash{sizeof(flash), hwnd(), FLASHW_ALL, 3, 0};
  FlashWindowEx(&flash);
}

int PhraseEditor::Scale(int pixels) const {
  // Column widths are given for 96 dots per inch; the window may be on a larger scale.
  return ScaleToDpi(pixels, WindowDpi(hwnd()));
}

void PhraseEditor::SetUpGrid() {
  const HWND list = Item(IDC_PHRASE_LIST);
  grid_.Attach(list);
  grid_.SetColorCallback(&PhraseEditor::CellColor, this);
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
        LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_LIST_IMAGE), IMAGE_ICON, 16, 16, 0)));
    if (icon) ImageList_AddIcon(images_.get(), icon.get());
    SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
  }
  const DWORD extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
  ListView_SetExtendedListViewStyleEx(list, extended, extended);
}

void PhraseEditor::SetUpPanel() {
  const HWND frame = Item(IDC_DETAILS_FRAME);
  frame_.Attach(frame);
  if (!panel_.hwnd()) panel_.Create(frame, hwnd());
  frame_.SetPanel(panel_.hwnd());
  panel_.Enable(false);
  if (!boldFont_) boldFont_ = MakeBoldFont(reinterpret_cast<HFONT>(SendMessageW(frame, WM_GETFONT, 0, 0)));
  if (boldFont_) SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
}

void PhraseEditor::SetUpLinks() {
  homeLink_.Attach(Item(IDC_HOME_LINK));
  homeLink_.SetText(Localized(IDS_HOME_PAGE_LINK));
  homeLink_.SetTarget(std::u16string(HomePageAddress()));
  productLink_.Attach(Item(IDC_PRODUCT_LINK));
  productLink_.SetText(Localized(IDS_PRODUCT_CLIP));
  // The link advertises the clip product (its text and tip): it opens that product's page.
  productLink_.SetTarget(std::u16string(ProductPageAddress(kClipProductPage)));

  linkTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                              ResourceModule(), nullptr);
  if (!linkTips_) return;
  SendMessageW(linkTips_, TTM_SETMAXTIPWIDTH, 0, kLinkTipWidth);
  const struct {
    int control;
    uint32_t text;
  } tips[] = {{IDC_HOME_LINK, IDS_LIKE_HINT}, {IDC_PRODUCT_LINK, IDS_PRODUCT_CLIP_TIP}};
  for (const auto& tip : tips) {
    std::u16string text = Localized(tip.text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.control));
    tool.lpszText = AsWide(text.data());
    SendMessageW(linkTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void PhraseEditor::RestorePlacement() {
  WindowPlacement stored;
  if (!Settings::Instance().LoadPlacement(stored, u"EditorWindowPos")) return;
  RECT rect{stored.left, stored.top, stored.right, stored.bottom};
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // A rectangle on a monitor that is gone would put the window out of reach.
  if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) return;
  SetWindowPos(hwnd(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void PhraseEditor::CaptureLayout() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  EditorControls controls;
  controls.list = ToLayout(ChildRect(hwnd(), Item(IDC_PHRASE_LIST)));
  controls.frame = ToLayout(ChildRect(hwnd(), Item(IDC_DETAILS_FRAME)));
  controls.ok = ToLayout(ChildRect(hwnd(), Item(IDOK)));
  controls.cancel = ToLayout(ChildRect(hwnd(), Item(IDCANCEL)));
  controls.homeLink = ToLayout(ChildRect(hwnd(), Item(IDC_HOME_LINK)));
  controls.productLink = ToLayout(ChildRect(hwnd(), Item(IDC_PRODUCT_LINK)));
  layout_ = EditorLayout({client.right, client.bottom}, controls);
  layoutReady_ = true;
}

// ---- the list --------------------------------------------------------------------------

void PhraseEditor::FillRow(int row, const Phrase& phrase, const std::u16string& yes, const std::u16string& no) {
  grid_.SetCheck(row, kPhraseColumn, phrase.Enabled() != 0);
  grid_.SetText(row, kPhraseColumn, phrase.Word());
  grid_.SetCheck(row, kCaseColumn, phrase.CaseSensitive() != 0);
  grid_.SetText(row, kCaseColumn, phrase.CaseSensitive() ? yes : no);
  grid_.SetChoice(row, kActionColumn, phrase.AddOrReplace() == 0 ? 0 : 1);
  grid_.SetText(row, kUsageColumn, Decimal(phrase.CountUsage()));
}

void PhraseEditor::FillList(uint32_t selectId) {
  const bool checkedOnly = Settings::Instance().showCheckedPhrasesOnly != 0;
  // Looked up once: a lookup may read the language file.
  const std::u16string yes = Localized(IDS_YES);
  const std::u16string no = Localized(IDS_NO);
  PrepareSearch();
  grid_.SuspendRedraw();
  grid_.RemoveAllRows();
  for (const auto& phrase : working_.Items()) {
    if (checkedOnly && !phrase->Enabled()) continue;
    if (!PassesSearch(*phrase, selectId)) continue;
    const int row = grid_.InsertRow(phrase->Id());
    if (row >= 0) FillRow(row, *phrase, yes, no);
  }
  grid_.ResumeRedraw();
  RefreshPrefixConflicts();
  int row = selectId ? grid_.FindRow(selectId) : -1;
  if (row < 0 && grid_.RowCount() > 0) row = 0;
  grid_.SelectRow(row);
  if (row >= 0) {
    OnRowSelected(row);
  } else {
    panel_.Enable(false);
  }
}

int PhraseEditor::FixedColumnWidth(UINT captionId, int pixels) const {
  // A caption longer than the column (a wider font, a translation) would be cut to "…":
  // the column then takes the caption's width and the header's margins.
  const std::u16string caption = Localized(captionId);
  const int captionWidth =
      ListView_GetStringWidth(grid_.hwnd(), reinterpret_cast<LPCWSTR>(caption.c_str())) + Scale(kHeaderTextMargins);
  return std::max(Scale(pixels), captionWidth);
}

void PhraseEditor::RecomputeColumnWidths() {
  grid_.SetColumnWidth(kUsageColumn, FixedColumnWidth(IDS_USAGE_COUNT, 80));
  grid_.SetColumnWidth(kActionColumn, FixedColumnWidth(IDS_ACTION, 100));
  grid_.SetColumnWidth(kCaseColumn, FixedColumnWidth(IDS_CASE_SENSITIVE, 100));
  RECT client{};
  GetClientRect(grid_.hwnd(), &client);
  const int rest = client.right - grid_.ColumnWidth(kCaseColumn) - grid_.ColumnWidth(kActionColumn) -
                   grid_.ColumnWidth(kUsageColumn);
  grid_.SetColumnWidth(kPhraseColumn, std::max(rest, Scale(40)));
}

Phrase* PhraseEditor::PhraseOfRow(int row) const {
  if (row < 0 || row >= grid_.RowCount()) return nullptr;
  return working_.Find(grid_.RowData(row));
}

Phrase* PhraseEditor::SelectedPhrase() const { return PhraseOfRow(grid_.SelectedRow()); }

void PhraseEditor::OnRowSelected(int row) {
  Phrase* phrase = PhraseOfRow(row);
  if (!phrase) {
    panel_.Enable(false);  // nothing selected: nothing to edit in the panel
    return;
  }
  if (!panel_.hwnd() || !IsWindow(panel_.hwnd())) SetUpPanel();
  panel_.ShowPhrase(*phrase);
  if (Settings::Instance().expandOnWordEnd == 0) {
    panel_.SetMarkedKeystrokes(KeystrokesInPrefixConflicts(working_, phrase->Id(), &InvariantUpper));
  }
  g_lastSelectedPhraseId = phrase->Id();
  ClearDuplicates();
}

void PhraseEditor::ClearDuplicates() {
  duplicates_.clear();
  grid_.Repaint();
}

// ---- title and state -------------------------------------------------------------------

std::u16string PhraseEditor::ConfiguredPath() const {
  return ResolveDatabasePath(Settings::Instance().databasePath, ProgramFolder());
}

bool PhraseEditor::IsConfigured(const std::u16string& path) const {
  return IsConfiguredDatabase(path, Settings::Instance().databasePath, ProgramFolder());
}

void PhraseEditor::RefreshTitle() {
  int checkedRows = 0;
  for (int row = 0; row < grid_.RowCount(); ++row) {
    if (grid_.Check(row, kPhraseColumn)) ++checkedRows;
  }
  const std::u16string programTitle = ProgramTitle(false);
  EditorTitleState state;
  state.modified = modified_;
  state.programTitle = programTitle;
  state.checkedRows = checkedRows;
  state.phraseCount = static_cast<int>(working_.Size());
  state.checkedOnly = Settings::Instance().showCheckedPhrasesOnly != 0;
  const std::u16string query = SearchQuery();
  state.searchQuery = query;
  state.databasePath = path_;
  state.isConfiguredDatabase = IsConfigured(path_);
  state.changedOnDisk = changedOnDisk_;
  const std::u16string title = EditorTitle(state, Localized);
  SetWindowTextW(hwnd(), AsWide(title.c_str()));
}

void PhraseEditor::MarkModified() {
  modified_ = true;
  searchStale_ = true;  // a text or keystroke may have changed
  RefreshTitle();
  RefreshPrefixConflicts();
}

void PhraseEditor::RefreshPrefixConflicts() {
  // A keystroke that waits for the end of its word never fires inside a longer one.
  const bool wordEnd = Settings::Instance().expandOnWordEnd != 0;
  if (panel_.hwnd()) {
    panel_.SetMarkedKeystrokes(wordEnd ? std::vector<std::u16string>()
                                       : KeystrokesInPrefixConflicts(working_, panel_.phraseId(), &InvariantUpper));
  }
  std::vector<uint32_t> ids;
  if (!wordEnd) ids = PhrasesInPrefixConflicts(working_, &InvariantUpper);
  if (ids == prefixConflicts_) return;
  prefixConflicts_ = std::move(ids);
  grid_.Repaint();
}

bool PhraseEditor::HasPrefixConflict(uint32_t id) const {
  return std::binary_search(prefixConflicts_.begin(), prefixConflicts_.end(), id);
}

// ---- notifications ---------------------------------------------------------------------

INT_PTR PhraseEditor::OnNotify(NMHDR* header) {
  if (header->idFrom == IDC_DETAILS_FRAME && (header->code == kPanelChanged || header->code == kPanelTestKeystroke)) {
    OnPanelNotify(*reinterpret_cast<PanelNotify*>(header));
    return 0;
  }
  if (header->hwndFrom != grid_.hwnd() || !grid_.hwnd()) return 0;
  switch (header->code) {
    case kGridCellCheckChanged: case kGridBeginCellEdit: case kGridBeginCellChoice: case kGridEndCellEdit:
    case kGridCellChoiceChanged: case kGridRowSelected: case kGridCellEditorShown:
      return OnGridNotify(*reinterpret_cast<GridNotify*>(header));
    case LVN_GETINFOTIPW:
      FillInfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(header));
      return 0;
    default:
      return 0;
  }
}

INT_PTR PhraseEditor::OnGridNotify(const GridNotify& notify) {
  switch (notify.hdr.code) {
    case kGridCellCheckChanged:
      return OnCheckChanged(notify.row, notify.column, notify.check) ? 0 : 1;
    case kGridBeginCellEdit:
    case kGridBeginCellChoice:
      if (!grid_.IsRowEditable(notify.row)) {
        RefuseLockedCell(notify.row, notify.column);
        return 1;
      }
      return 0;
    case kGridEndCellEdit:
      OnEndCellEdit(notify);
      return 0;
    case kGridCellChoiceChanged:
      OnChoiceChanged(notify.row, notify.column, notify.choice);
      return 0;
    case kGridRowSelected:
      OnRowSelected(notify.row);
      return 0;
    case kGridCellEditorShown:
      ShowEditHint(notify.editor);
      return 0;
    default:
      return 0;
  }
}

bool PhraseEditor::OnCheckChanged(int row, int column, bool check) {
  Phrase* phrase = PhraseOfRow(row);
  if (!phrase) return false;
  if (column == kPhraseColumn) {
    phrase->SetEnabled(check ? 1 : 0);
    if (grid_.SelectedRow() == row) panel_.Enable(check);
    if (!check) ClearDuplicates();
    MarkModified();
    return true;
  }
  if (column == kCaseColumn) {
    if (!phrase->Enabled()) {
      RefuseLockedCell(row, column);
      return false;
    }
    phrase->SetCaseSensitive(check ? 1 : 0);
    grid_.SetText(row, kCaseColumn, Localized(check ? IDS_YES : IDS_NO));
    MarkModified();
    return true;
  }
  return false;
}

void PhraseEditor::OnEndCellEdit(const GridNotify& notify) {
  const uint32_t newId = newPhraseId_;
  newPhraseId_ = 0;
  enabledForEditId_ = 0;
  Phrase* phrase = PhraseOfRow(notify.row);
  if (!phrase || notify.column != kPhraseColumn) return;
  if (newId != 0 && phrase->Id() == newId) {
    if (notify.endKey == VK_ESCAPE) {
      PostMessageW(hwnd(), kNewPhraseMessage, kDiscardNew, newId);
      return;
    }
    PostMessageW(hwnd(), kNewPhraseMessage, kAddKeystroke, static_cast<LPARAM>(newId));
  }
  const std::u16string text = notify.text ? std::u16string(notify.text) : std::u16string();
  phrase->SetWord(text);
  grid_.SetText(notify.row, kPhraseColumn, text);
  if (panel_.phraseId() == phrase->Id()) panel_.RefreshCaption(*phrase);
  MarkModified();
}

void PhraseEditor::OnChoiceChanged(int row, int column, int choice) {
  Phrase* phrase = PhraseOfRow(row);
  if (!phrase || column != kActionColumn || choice < 0 || choice > 1) return;
  phrase->SetAddOrReplace(choice);
  MarkModified();
}

void PhraseEditor::RefuseLockedCell(int row, int column) {
  if (SoundsOn()) PlaySystemSound(u"SystemExclamation", true);
  const RECT cell = grid_.CellRect(row, column);
  POINT at{(cell.left + cell.right) / 2, cell.bottom};
  ClientToScreen(grid_.hwnd(), &at);
  grid_.ShowBalloon(Localized(IDS_ENABLE_BEFORE_EDIT), at, kBalloonMs);
}

void PhraseEditor::ShowEditHint(HWND editor) {
  if (!editor) return;
  RECT rect{};
  GetWindowRect(editor, &rect);
  grid_.ShowBalloon(Localized(IDS_CTRL_ENTER_HINT), POINT{rect.left + Scale(100), rect.bottom}, kBalloonMs);
}

void PhraseEditor::OnPanelNotify(const PanelNotify& notify) {
  Phrase* phrase = working_.Find(notify.phraseId);
  if (notify.hdr.code == kPanelChanged) {
    if (!phrase) return;
    panel_.StoreInto(*phrase);
    grid_.Repaint();  // the Phrase cell is red while no keystroke is enabled
    MarkModified();
    return;
  }
  CheckKeystroke(notify.phraseId, notify.text ? std::u16string(notify.text) : std::u16string());
}

void PhraseEditor::CheckKeystroke(uint32_t phraseId, const std::u16string& keystroke) {
  ClearDuplicates();
  // An empty text only clears the marks.
  if (!keystroke.empty() && !KeystrokeCanFire(keystroke)) {
    prompts_->WarnKeystroke(hwnd(), KeystrokeNeverFiresText(keystroke, Localized));
  }
  working_.FindKeystrokeDuplicates(keystroke, phraseId, duplicates_);
  if (duplicates_.empty()) return;
  grid_.Repaint();
  prompts_->WarnDuplicates(hwnd(), Localized(IDS_DUPLICATE_KEYSTROKES));
}

void PhraseEditor::FillInfoTip(NMLVGETINFOTIPW& tip) {
  if (!tip.pszText || tip.cchTextMax <= 0) return;
  const Phrase* phrase = PhraseOfRow(tip.iItem);
  if (!phrase) return;
  std::u16string text = RowTooltip(*phrase, Localized);
  if (HasPrefixConflict(phrase->Id())) {
    // The lines about the conflicts come last and must not be cut off: the description
    // gives way when the tip's buffer is short.
    const std::u16string conflicts = PrefixConflictTip(working_, phrase->Id(), &InvariantUpper, Localized);
    const size_t room = static_cast<size_t>(tip.cchTextMax - 1);
    const size_t keep = room > conflicts.size() + 2 ? room - conflicts.size() - 2 : 0;
    if (text.size() > keep) text = CutText(text, keep);
    text += u"\n\n" + conflicts;
  }
  const size_t length = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
  std::copy_n(AsWide(text.c_str()), length, tip.pszText);
  tip.pszText[length] = L'\0';
}

bool PhraseEditor::CellColor(int row, int column, COLORREF* text, void* context) {
  auto* self = static_cast<PhraseEditor*>(context);
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

// ---- the file on disk ------------------------------------------------------------------

LRESULT PhraseEditor::OnFileChanged(const char16_t* path) {
  // The host saves an editor without a file to the configured database.
  const std::u16string own = path_.empty() ? ConfiguredPath() : path_;
  if (!path || !EqualsIgnoreCase(own, path)) return 0;
  changedOnDisk_ = true;
  RefreshTitle();
  return 1;
}

bool PhraseEditor::MayOverwrite(const std::u16string& path) {
  if (!changedOnDisk_) return true;
  const std::u16string own = path_.empty() ? ConfiguredPath() : path_;
  if (!EqualsIgnoreCase(own, path)) return true;
  return prompts_->AskOverwrite(hwnd(), OverwriteChangedFileText(own, Localized)) == IDYES;
}

// ---- closing ---------------------------------------------------------------------------

bool PhraseEditor::AskToClose(INT_PTR& result) {
  if (!modified_) {
    result = IDCANCEL;
    return true;
  }
  switch (prompts_->AskSave(hwnd(), SavePromptText(path_, Localized))) {
    case IDYES:
      // The save that follows would write over another program's version of the file.
      if (!MayOverwrite(path_.empty() ? ConfiguredPath() : path_)) return false;
      result = IDOK;
      return true;
    case IDNO: result = IDCANCEL; return true;
    default: return false;
  }
}

void PhraseEditor::OnOK() {
  // Enter in the search box goes to the rows found, not to the editor's end.
  if (searchBox_ && GetFocus() == searchBox_) {
    SetFocus(grid_.hwnd());
    return;
  }
  // Enter in the in-place editor ends the edit, not the editor.
  if (grid_.IsEditing()) {
    SetFocus(grid_.hwnd());
    return;
  }
  // OK saves (the host writes the collection to the editor's file): the user decides
  // whether it replaces the version another program put there.
  if (!MayOverwrite(path_.empty() ? ConfiguredPath() : path_)) return;
  Finish(IDOK);
}

void PhraseEditor::OnCancel() {
  // Escape that reaches the dialog while a cell is being edited belongs to that edit.
  if (HWND editor = grid_.Editor()) {
    SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    return;
  }
  INT_PTR result = IDCANCEL;
  if (AskToClose(result)) Finish(result);
}

LRESULT PhraseEditor::OnCloseRequest() {
  if (IsIconic(hwnd())) SendMessageW(hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  SetForegroundWindow(hwnd());
  // The text being typed is a change the question is about.
  ApplyOpenEdits();
  INT_PTR result = IDCANCEL;
  if (!AskToClose(result)) return 1;
  Finish(result);
  return 0;
}

void PhraseEditor::ApplyOpenEdits() {
  // The in-place editor ends as it does when it loses the focus: the edit is applied.
  if (grid_.IsEditing()) SetFocus(grid_.hwnd());
  // The panel stores a keystroke edit through a posted message; the command that follows
  // may refill the panel or end the editor first.
  if (panel_.hwnd()) panel_.ApplyKeystrokeEdit();
}

void PhraseEditor::Finish(INT_PTR result) {
  result_ = result;
  End(result);
}

// ---- size and position -----------------------------------------------------------------

void PhraseEditor::LayOut() {
  if (!layoutReady_) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;  // minimised
  const EditorControls c = layout_.Arrange({client.right, client.bottom});
  const struct {
    int id;
    LayoutRect rect;
  } moves[] = {{IDC_PHRASE_LIST, c.list}, {IDC_DETAILS_FRAME, c.frame}, {IDOK, c.ok},
               {IDCANCEL, c.cancel},      {IDC_HOME_LINK, c.homeLink}, {IDC_PRODUCT_LINK, c.productLink}};
  HDWP batch = BeginDeferWindowPos(6);
  for (const auto& move : moves) {
    const HWND control = Item(move.id);
    if (!control) continue;
    if (batch) {
      batch = DeferWindowPos(batch, control, nullptr, move.rect.left, move.rect.top, move.rect.Width(),
                             move.rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (batch) EndDeferWindowPos(batch);
  PlaceSearchBox(c.list);
  frame_.LayOutPanel();
  grid_.FitLastColumn();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void PhraseEditor::StorePlacement() {
  if (!IsWindowVisible(hwnd()) || IsIconic(hwnd()) || IsZoomed(hwnd())) return;
  RECT rect{};
  GetWindowRect(hwnd(), &rect);
  Settings::Instance().SavePlacement({rect.left, rect.top, rect.right, rect.bottom}, u"EditorWindowPos");
}

// ---- messages --------------------------------------------------------------------------

INT_PTR PhraseEditor::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (message == EditorCloseRequestMessage()) {
    handled = true;
    return OnCloseRequest();
  }
  if (message == EditorLanguageMessage()) {
    handled = true;
    return 0;
  }
  if (message == EditorFileChangedMessage()) {
    handled = true;
    return OnFileChanged(reinterpret_cast<const char16_t*>(lparam));
  }
  switch (message) {
    case WM_NOTIFY:
      handled = true;
      return OnNotify(reinterpret_cast<NMHDR*>(lparam));
    case kRefreshTitleMessage:
      handled = true;
      RefreshTitle();
      return 0;
    case kNewPhraseMessage:
      handled = true;
      OnNewPhraseMessage(wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      // Expand When the Word Ends may have been switched in the tray menu meanwhile.
      if (LOWORD(wparam) != WA_INACTIVE && grid_.hwnd()) RefreshPrefixConflicts();
      return 0;  // not handled: the dialog still sets the focus
    case WM_INITMENUPOPUP: {
      const auto menu = reinterpret_cast<HMENU>(wparam);
      if (HIWORD(lparam)) PrepareSystemMenu(menu);
      UpdateMenu(menu);
      handled = true;
      return 0;
    }
    case WM_SYSCOMMAND:
      // The system keeps the low four bits of a command for itself.
      if ((wparam & 0xFFF0) == (ID_CHECKED_ONLY & 0xFFF0)) {
        handled = true;
        SendMessageW(hwnd(), WM_COMMAND, ID_CHECKED_ONLY, 0);
        return 0;
      }
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == grid_.hwnd()) {
        handled = true;
        ShowContextMenu(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      }
      return 0;
    case WM_LBUTTONDOWN:
      // A press on free client area moves the window, as one on the caption would.
      if (!IsZoomed(hwnd())) {
        handled = true;
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ClientToScreen(hwnd(), &at);
        ReleaseCapture();
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
      RECT ok{};
      const HWND button = Item(IDOK);
      const bool hasOk = button && GetWindowRect(button, &ok);
      const LayoutSize size = EditorMinTrackSize(hasOk, {ok.right - ok.left, ok.bottom - ok.top});
      info->ptMinTrackSize = {size.width, size.height};
      handled = true;
      return 0;
    }
    case WM_CLOSE:
      // The close box during a text edit: the edit is applied first, so that the Cancel
      // that follows asks about it instead of ending only the edit.
      ApplyOpenEdits();
      return 0;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_ENTERSIZEMOVE:
      inSizeMove_ = true;
      return 0;
    case WM_EXITSIZEMOVE:
      inSizeMove_ = false;
      StorePlacement();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lparam);
      // While the user drags, the rectangle is stored once at the end.
      if (!inSizeMove_ && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) StorePlacement();
      return 0;
    }
    default:
      return 0;
  }
}

void PhraseEditor::OnDestroy() {
  if (linkTips_) {
    DestroyWindow(linkTips_);
    linkTips_ = nullptr;
  }
  panel_.Destroy();
  findHook_.reset();
  if (g_openEditor == hwnd()) g_openEditor = nullptr;
}

}  // namespace vellix
