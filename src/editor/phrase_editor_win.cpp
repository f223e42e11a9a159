#include "editor/phrase_editor_win.h"

#include "editor/phrase_editor.h"
#include "editor/phrase_editor_support_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "base/wide.h"
#include "editor/conflict_texts.h"
#include "editor/database_texts.h"
#include "editor/editor_texts.h"
#include "engine/keystroke_rule.h"
#include "lang/language_keys.h"
#include "phrases/keystroke_conflicts.h"
#include "phrases/phrase_database_file.h"
#include "picker/picker_window_win.h"
#include "resource.h"
#include "services/program_title.h"
#include "services/settings.h"
#include "services/sound_player_win.h"
#include "services/web_links.h"
#include "win32/program_folder.h"

namespace vellix {
using editor_support::Localized;
using editor_support::SoundsOn;
namespace {

// The open editor's window; the user-interface thread alone touches it.
HWND g_openEditor = nullptr;
// Reselected whenever a list is refilled after a load and on the next opening.
uint32_t g_lastSelectedPhraseId = 0;

constexpr int kLinkTipWidth = 500;

}  // namespace

// ---- entry ---------------------------------------------------------------------------

UINT EditorCloseRequestMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(AsWide(kEditorCloseRequestMessageName));
  return message;
}

UINT EditorLanguageMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(AsWide(kEditorLanguageMessageName));
  return message;
}

UINT EditorFileChangedMessage() noexcept {
  static const UINT message = RegisterWindowMessageW(AsWide(kEditorFileChangedMessageName));
  return message;
}

HWND GetOpenEditorWindow() noexcept { return g_openEditor; }

int OpenEditor(PhraseDatabase& live, std::u16string& path, HWND foregroundHint, bool addOnOpen,
               std::mutex* liveLock) {
  if (SoundsOn()) PlaySystemSound(u"SystemNotification", true);
  if (HWND open = GetOpenEditorWindow()) {
    BringToFront(open);
    return kEditorAlreadyOpen;
  }
  const auto underLock = [liveLock](auto&& change) {
    std::unique_lock<std::mutex> lock;
    if (liveLock) lock = std::unique_lock<std::mutex>(*liveLock);
    change();
  };
  // The one copy the editor works on; the live collection changes only when it ends.
  PhraseDatabase working;
  underLock([&] { working.Assign(live); });
  PhraseEditor editor(working, path, foregroundHint, addOnOpen);
  if (editor.RunModal(nullptr) != IDOK) {
    // What the user chose to save stays: the host takes it over, so that its next save
    // does not write its older collection over that file.
    if (PhraseDatabase* saved = editor.savedCollection()) {
      underLock([&] { live.TakeOver(*saved); });
      path = editor.savedPath();
      return kEditorCancelledAfterSave;
    }
    return kEditorCancelled;
  }
  path = editor.databasePath();
  // A collection that came from no file is saved where the program looks for it next time,
  // so that the phrases of a first start are not lost.
  if (path.empty()) path = ResolveDatabasePath(Settings::Instance().databasePath, ProgramFolder());
  underLock([&] { live.TakeOver(working); });
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
      list_(working_),
      windowLayout_(frame_, list_.grid()),
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
  list_.Attach(Item(IDC_PHRASE_LIST));
  SetUpPanel();
  SetUpLinks();
  SetUpSearch();
  windowLayout_.Capture(hwnd());
  // The host saves nothing over a file it could not read whole, so the collection it hands
  // over for that file holds the same phrases and the usage counts typed since: that one
  // is kept. A whole file (one the user repaired meanwhile, say) is loaded.
  const std::u16string configured = ConfiguredPath();
  if (!LoadDatabase(configured, EqualsIgnoreCase(configured, path_))) {
    // Nothing could be loaded: the collection the host handed over stays.
    FillList(g_lastSelectedPhraseId);
    list_.RecomputeColumnWidths();
    RefreshTitle();
  }
  windowLayout_.RestorePlacement(hwnd());
  windowLayout_.LayOut(hwnd());
  SetFocus(list_.grid().hwnd());
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

// ---- the list --------------------------------------------------------------------------

void PhraseEditor::FillList(uint32_t selectId) {
  PrepareSearch();
  const int row = list_.Fill(selectId, Settings::Instance().showCheckedPhrasesOnly != 0,
                             [this, selectId](const Phrase& phrase) { return PassesSearch(phrase, selectId); });
  RefreshPrefixConflicts();
  if (row >= 0) {
    OnRowSelected(row);
  } else {
    panel_.Enable(false);
  }
}

void PhraseEditor::OnRowSelected(int row) {
  Phrase* phrase = list_.PhraseOfRow(row);
  if (!phrase) {
    panel_.Enable(false);  // nothing selected: nothing to edit in the panel
    return;
  }
  if (!panel_.hwnd() || !IsWindow(panel_.hwnd())) SetUpPanel();
  panel_.ShowPhrase(*phrase);
  if (Settings::Instance().expandOnWordEnd == 0) {
    panel_.SetMarkedKeystrokes(KeystrokesInPrefixConflicts(working_, phrase->Id(), &editor_support::InvariantUpper));
  }
  g_lastSelectedPhraseId = phrase->Id();
  list_.ClearDuplicates();
}

// ---- title and state -------------------------------------------------------------------

std::u16string PhraseEditor::ConfiguredPath() const {
  return ResolveDatabasePath(Settings::Instance().databasePath, ProgramFolder());
}

bool PhraseEditor::IsConfigured(const std::u16string& path) const {
  return IsConfiguredDatabase(path, Settings::Instance().databasePath, ProgramFolder());
}

void PhraseEditor::RefreshTitle() {
  const std::u16string programTitle = ProgramTitle(false);
  EditorTitleState state;
  state.modified = modified_;
  state.programTitle = programTitle;
  state.checkedRows = list_.CheckedRows();
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
                                       : KeystrokesInPrefixConflicts(working_, panel_.phraseId(),
                                                                     &editor_support::InvariantUpper));
  }
  list_.SetPrefixConflicts(wordEnd ? std::vector<uint32_t>()
                                   : PhrasesInPrefixConflicts(working_, &editor_support::InvariantUpper));
}

// ---- notifications ---------------------------------------------------------------------

INT_PTR PhraseEditor::OnNotify(NMHDR* header) {
  if (header->idFrom == IDC_DETAILS_FRAME && (header->code == kPanelChanged || header->code == kPanelTestKeystroke)) {
    OnPanelNotify(*reinterpret_cast<PanelNotify*>(header));
    return 0;
  }
  const HWND grid = list_.grid().hwnd();
  if (!grid || header->hwndFrom != grid) return 0;
  switch (header->code) {
    case kGridCellCheckChanged: case kGridBeginCellEdit: case kGridBeginCellChoice: case kGridEndCellEdit:
    case kGridCellChoiceChanged: case kGridRowSelected: case kGridCellEditorShown:
      return OnGridNotify(*reinterpret_cast<GridNotify*>(header));
    case LVN_GETINFOTIPW:
      list_.FillInfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(header));
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
      if (!list_.grid().IsRowEditable(notify.row)) {
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
      list_.ShowEditHint(notify.editor);
      return 0;
    default:
      return 0;
  }
}

bool PhraseEditor::OnCheckChanged(int row, int column, bool check) {
  Phrase* phrase = list_.PhraseOfRow(row);
  if (!phrase) return false;
  if (column == PhraseList::kPhraseColumn) {
    phrase->SetEnabled(check ? 1 : 0);
    if (list_.grid().SelectedRow() == row) panel_.Enable(check);
    if (!check) list_.ClearDuplicates();
    MarkModified();
    return true;
  }
  if (column == PhraseList::kCaseColumn) {
    if (!phrase->Enabled()) {
      RefuseLockedCell(row, column);
      return false;
    }
    phrase->SetCaseSensitive(check ? 1 : 0);
    list_.ShowCaseSensitive(row, check);
    MarkModified();
    return true;
  }
  return false;
}

void PhraseEditor::OnEndCellEdit(const GridNotify& notify) {
  const uint32_t newId = newPhraseId_;
  newPhraseId_ = 0;
  enabledForEditId_ = 0;
  Phrase* phrase = list_.PhraseOfRow(notify.row);
  if (!phrase || notify.column != PhraseList::kPhraseColumn) return;
  if (newId != 0 && phrase->Id() == newId) {
    if (notify.endKey == VK_ESCAPE) {
      PostMessageW(hwnd(), kEditorNewPhraseMessage, kDiscardNew, newId);
      return;
    }
    PostMessageW(hwnd(), kEditorNewPhraseMessage, kAddKeystroke, static_cast<LPARAM>(newId));
  }
  const std::u16string text = notify.text ? std::u16string(notify.text) : std::u16string();
  phrase->SetWord(text);
  list_.grid().SetText(notify.row, PhraseList::kPhraseColumn, text);
  if (panel_.phraseId() == phrase->Id()) panel_.RefreshCaption(*phrase);
  MarkModified();
}

void PhraseEditor::OnChoiceChanged(int row, int column, int choice) {
  Phrase* phrase = list_.PhraseOfRow(row);
  if (!phrase || column != PhraseList::kActionColumn || choice < 0 || choice > 1) return;
  phrase->SetAddOrReplace(choice);
  MarkModified();
}

void PhraseEditor::RefuseLockedCell(int row, int column) {
  if (SoundsOn()) PlaySystemSound(u"SystemExclamation", true);
  list_.ShowLockedBalloon(row, column);
}

void PhraseEditor::OnPanelNotify(const PanelNotify& notify) {
  Phrase* phrase = working_.Find(notify.phraseId);
  if (notify.hdr.code == kPanelChanged) {
    if (!phrase) return;
    panel_.StoreInto(*phrase);
    list_.grid().Repaint();  // the Phrase cell is red while no keystroke is enabled
    MarkModified();
    return;
  }
  CheckKeystroke(notify.phraseId, notify.text ? std::u16string(notify.text) : std::u16string());
}

void PhraseEditor::CheckKeystroke(uint32_t phraseId, const std::u16string& keystroke) {
  list_.ClearDuplicates();
  // An empty text only clears the marks.
  if (!keystroke.empty() && !KeystrokeCanFire(keystroke)) {
    prompts_->WarnKeystroke(hwnd(), KeystrokeNeverFiresText(keystroke, Localized));
  }
  if (list_.MarkDuplicates(keystroke, phraseId)) {
    prompts_->WarnDuplicates(hwnd(), Localized(IDS_DUPLICATE_KEYSTROKES));
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
  PhraseGrid& grid = list_.grid();
  // Enter in the search box goes to the rows found, not to the editor's end.
  if (searchBox_ && GetFocus() == searchBox_) {
    SetFocus(grid.hwnd());
    return;
  }
  // Enter in the in-place editor ends the edit, not the editor.
  if (grid.IsEditing()) {
    SetFocus(grid.hwnd());
    return;
  }
  // OK saves (the host writes the collection to the editor's file): the user decides
  // whether it replaces the version another program put there.
  if (!MayOverwrite(path_.empty() ? ConfiguredPath() : path_)) return;
  Finish(IDOK);
}

void PhraseEditor::OnCancel() {
  // Escape that reaches the dialog while a cell is being edited belongs to that edit.
  if (HWND editor = list_.grid().Editor()) {
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
  PhraseGrid& grid = list_.grid();
  if (grid.IsEditing()) SetFocus(grid.hwnd());
  // The panel stores a keystroke edit through a posted message; the command that follows
  // may refill the panel or end the editor first.
  if (panel_.hwnd()) panel_.ApplyKeystrokeEdit();
}

void PhraseEditor::Finish(INT_PTR result) {
  result_ = result;
  End(result);
}

// ---- messages --------------------------------------------------------------------------

INT_PTR PhraseEditor::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  INT_PTR result = 0;
  if (windowLayout_.OnMessage(hwnd(), message, lparam, &result)) {
    handled = true;
    return result;
  }
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
    case kEditorRefreshTitleMessage:
      handled = true;
      RefreshTitle();
      return 0;
    case kEditorNewPhraseMessage:
      handled = true;
      OnNewPhraseMessage(wparam, lparam);
      return 0;
    case WM_ACTIVATE:
      // Expand When the Word Ends may have been switched in the tray menu meanwhile.
      if (LOWORD(wparam) != WA_INACTIVE && list_.grid().hwnd()) RefreshPrefixConflicts();
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
      if (reinterpret_cast<HWND>(wparam) == list_.grid().hwnd()) {
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
    case WM_CLOSE:
      // The close box during a text edit: the edit is applied first, so that the Cancel
      // that follows asks about it instead of ending only the edit.
      ApplyOpenEdits();
      return 0;
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
