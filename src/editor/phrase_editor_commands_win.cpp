// The phrase editor's commands, its menus and the questions it asks the user.
#include "editor/phrase_editor_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "about/about_dialog_win.h"
#include "about/key_list_win.h"
#include "base/utf.h"
#include "base/wide.h"
#include "editor/database_texts.h"
#include "editor/editor_commands.h"
#include "editor/editor_texts.h"
#include "editor/import_texts.h"
#include "editor/phrase_clipboard_win.h"
#include "editor/phrase_editor_support_win.h"
#include "import/phrase_import.h"
#include "lang/language_keys.h"
#include "lang/language_win.h"
#include "phrases/phrase_database_file.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "services/settings.h"
#include "win32/file_dialogs_win.h"
#include "win32/unique_handle.h"

namespace vellix {
using editor_support::Localized;
using editor_support::SoundsOn;
namespace {

// The text of a menu item of menu 134, in the current language.
class TranslatedEditorMenu {
 public:
  TranslatedEditorMenu() : menu_(LoadMenuW(Dialog::ResourceModule(), MAKEINTRESOURCEW(IDR_EDITOR_MENU))) {
    if (menu_) TranslateMenu(menu_.get());
  }

  std::u16string Text(UINT id) const {
    wchar_t text[512] = {};
    if (!menu_ || GetMenuStringW(menu_.get(), id, text, 512, MF_BYCOMMAND) <= 0) return {};
    return AsU16(text);
  }

 private:
  UniqueMenu menu_;
};

// The bytes of a file to import, shared with programs that have it open (an editor, the
// other expander). At most one byte more than an import takes, so that a huge file is
// refused by its size without being read whole.
bool ReadImportSource(const std::u16string& path, std::string& bytes) {
  bytes.clear();
  UniqueFileHandle file(CreateFileW(AsWide(path.c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
  const size_t wanted = size_t(std::min<long long>(size.QuadPart, static_cast<long long>(kMaxSourceBytes) + 1));
  try {
    bytes.resize(wanted);
  } catch (const std::bad_alloc&) {
    return false;
  }
  size_t total = 0;
  while (total < wanted) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + total, DWORD(wanted - total), &read, nullptr)) return false;
    if (read == 0) break;  // shorter than it was a moment ago
    total += read;
  }
  bytes.resize(total);
  return true;
}

}  // namespace

// ---- prompts -------------------------------------------------------------------------

int EditorPrompts::AskSave(HWND owner, const std::u16string& text) {
  return MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", MB_YESNOCANCEL | MB_ICONQUESTION);
}

void EditorPrompts::WarnDuplicates(HWND owner, const std::u16string& text) {
  MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", MB_OK | MB_ICONEXCLAMATION);
}

void EditorPrompts::WarnKeystroke(HWND owner, const std::u16string& text) {
  MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", MB_OK | MB_ICONEXCLAMATION);
}

void EditorPrompts::WarnDatabase(HWND owner, const std::u16string& text) {
  // The editor is not shown yet when it warns about the file it opens with.
  const HWND shown = IsWindowVisible(owner) ? owner : nullptr;
  MessageBoxW(shown, AsWide(text.c_str()), L"Vellix", MB_OK | MB_ICONWARNING | (shown ? 0 : MB_SETFOREGROUND));
}

int EditorPrompts::AskOverwrite(HWND owner, const std::u16string& text) {
  return MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
}

std::optional<std::u16string> EditorPrompts::ChooseDatabase(HWND owner, const std::u16string& initialFolder) {
  const std::u16string title = OpenDialogTitle(Localized);
  const std::u16string filter = OpenFileFilter();
  std::vector<wchar_t> file(2600, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = AsWide(filter.c_str());
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size() - 1);
  ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : AsWide(initialFolder.c_str());
  ofn.lpstrTitle = AsWide(title.c_str());
  ofn.lpstrDefExt = L"xml";
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!ShowOpenFileDialog(ofn)) return std::nullopt;
  return ToU16(file.data());
}

std::optional<ImportChoice> EditorPrompts::ChooseImport(HWND owner, const std::u16string& initialFolder) {
  const std::u16string title = ImportDialogTitle(Localized);
  const std::u16string filter = ImportFileFilter(Localized);
  std::vector<wchar_t> file(2600, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = AsWide(filter.c_str());
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size() - 1);
  ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : AsWide(initialFolder.c_str());
  ofn.lpstrTitle = AsWide(title.c_str());
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!ShowOpenFileDialog(ofn)) return std::nullopt;
  return ImportChoice{ToU16(file.data()), static_cast<unsigned>(ofn.nFilterIndex)};
}

void EditorPrompts::ReportImport(HWND owner, const std::u16string& text, bool problem) {
  MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", MB_OK | (problem ? MB_ICONWARNING : MB_ICONINFORMATION));
}

// ---- commands --------------------------------------------------------------------------

bool PhraseEditor::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case ID_OPEN_DATABASE: case ID_OPEN_BACKUP_FOLDER: case ID_USE_AS_DEFAULT: case ID_SAVE_AND_CLOSE:
    case ID_ADD_PHRASE: case ID_EDIT_PHRASE: case ID_DELETE_PHRASE: case ID_COPY_PHRASE:
    case ID_PASTE_PHRASE: case ID_CHECKED_ONLY: case ID_COMMAND_LINE_KEYS: case ID_EDITOR_ABOUT:
    case ID_IMPORT_PHRASES:
      if (control == nullptr) {  // menus and accelerators, not notifications of a control
        RunCommand(id);
        return true;
      }
      return false;
    case IDC_EDITOR_SEARCH:
      if (code == EN_CHANGE) OnSearchChanged();
      return code == EN_CHANGE;
    default:
      return LocalizedDialog::OnCommand(id, code, control);
  }
}

void PhraseEditor::RunCommand(UINT id) {
  // A menu leaves an in-place editor open; what it holds is applied before the command
  // refills the list, removes rows or closes the editor.
  ApplyOpenEdits();
  switch (id) {
    case ID_OPEN_DATABASE: OpenDatabase(); break;
    case ID_IMPORT_PHRASES: ImportFromFile(); break;
    case ID_OPEN_BACKUP_FOLDER:
      if (!PhraseDatabaseFile::OpenBackupFolder(hwnd())) MessageBeep(static_cast<UINT>(-1));
      break;
    case ID_USE_AS_DEFAULT: UseAsDefault(); break;
    case ID_SAVE_AND_CLOSE: PostMessageW(hwnd(), WM_COMMAND, IDOK, 0); break;
    case ID_ADD_PHRASE: AddPhrase(); break;
    case ID_EDIT_PHRASE: EditPhrase(); break;
    case ID_DELETE_PHRASE: DeletePhrase(); break;
    case ID_COPY_PHRASE: CopyPhrase(); break;
    case ID_PASTE_PHRASE: PastePhrase(); break;
    case ID_CHECKED_ONLY: ToggleCheckedOnly(); break;
    case ID_COMMAND_LINE_KEYS: ShowKeyList(hwnd()); break;
    case ID_EDITOR_ABOUT: ShowAbout(hwnd()); break;
    default: break;
  }
}

void PhraseEditor::AddPhrase() {
  auto phrase = std::make_unique<Phrase>();
  std::u16string text;
  if (!GetClipboardText(text, hwnd()) || text.empty()) text = u"New Phrase";
  phrase->SetWord(std::move(text));
  const bool wasModified = modified_;
  const uint32_t id = working_.Add(std::move(phrase));
  FillList(id);
  const int row = list_.grid().FindRow(id);
  if (row < 0) {  // not listed: nothing to edit
    MarkModified();
    return;
  }
  newPhraseId_ = id;
  modifiedBeforeAdd_ = wasModified;
  MarkModified();
  PostMessageW(hwnd(), kEditorNewPhraseMessage, kEditRow, row);
}

void PhraseEditor::EditPhrase() {
  const int row = list_.grid().SelectedRow();
  Phrase* phrase = list_.PhraseOfRow(row);
  if (!phrase) return;
  if (!phrase->Enabled()) {
    list_.grid().SetCheck(row, PhraseList::kPhraseColumn, true);
    OnCheckChanged(row, PhraseList::kPhraseColumn, true);
    enabledForEditId_ = phrase->Id();
  }
  PostMessageW(hwnd(), kEditorNewPhraseMessage, kEditRow, row);
}

void PhraseEditor::DeletePhrase() {
  PhraseGrid& grid = list_.grid();
  const int row = grid.SelectedRow();
  const uint32_t id = row >= 0 ? grid.RowData(row) : 0;
  if (row < 0 || working_.Remove(id) != 1) {
    MessageBeep(static_cast<UINT>(-1));
    return;
  }
  grid.RemoveRow(row);
  const int next = std::min(row, grid.RowCount() - 1);
  grid.SelectRow(next);
  if (next >= 0) {
    OnRowSelected(next);
  } else {
    panel_.Enable(false);
  }
  MarkModified();
}

void PhraseEditor::CopyPhrase() {
  if (const Phrase* phrase = list_.SelectedPhrase()) {
    if (!CopyPhrasesToClipboard(*phrase)) MessageBeep(static_cast<UINT>(-1));
  }
}

void PhraseEditor::PastePhrase() {
  if (PastePhrasesFromClipboard(working_) < 1 || working_.Empty()) return;
  const uint32_t id = working_.At(working_.Size() - 1).Id();
  FillList(id);
  // A disabled phrase is not listed while the filter is on: the first row is selected
  // then, and its text is not the one to edit.
  const int row = list_.grid().FindRow(id);
  if (row >= 0 && row == list_.grid().SelectedRow()) PostMessageW(hwnd(), kEditorNewPhraseMessage, kEditRow, row);
  MarkModified();
}

void PhraseEditor::OpenDatabase() {
  const std::optional<std::u16string> chosen =
      prompts_->ChooseDatabase(hwnd(), FolderOfDatabase(ConfiguredPath()));
  if (!chosen || chosen->empty()) return;
  // The file already shown is not loaded again; another one, the configured database
  // included, is, so that the user can always return to it.
  if (EqualsIgnoreCase(*chosen, path_)) return;
  if (modified_) {
    // Loading replaces the working collection: the user's changes would be gone.
    const int answer = prompts_->AskSave(hwnd(), SavePromptText(path_, Localized));
    if (answer == IDCANCEL) return;
    if (answer == IDYES) {
      const std::u16string target = path_.empty() ? ConfiguredPath() : path_;
      if (!MayOverwrite(target)) return;
      if (PhraseDatabaseFile::Save(working_, target, &PhraseDatabaseFile::MakeBackup, nullptr) != 1) {
        MessageBeep(static_cast<UINT>(-1));
        return;
      }
      // The host takes this over should the editor end with Cancel.
      auto saved = std::make_unique<PhraseDatabase>();
      saved->Assign(working_);
      saved_ = std::move(saved);
      savedPath_ = target;
      changedOnDisk_ = false;
    }
  }
  LoadDatabase(*chosen);
  ShowLoadWarning();
}

void PhraseEditor::ImportFromFile() {
  const std::optional<ImportChoice> choice =
      prompts_->ChooseImport(hwnd(), FolderOfDatabase(path_.empty() ? ConfiguredPath() : path_));
  if (!choice || choice->path.empty()) return;
  ImportResult result;
  std::string bytes;
  const std::optional<ImportFormat> format = ImportFormatForFile(choice->path, choice->filterIndex);
  // The readers' own reasons are English; the editor's are in the user's language.
  if (!format) {
    result.Fail(0, Utf16ToUtf8(Localized(IDS_IMPORT_UNKNOWN_FORMAT)));
  } else if (!ReadImportSource(choice->path, bytes)) {
    result.Fail(0, Utf16ToUtf8(Localized(IDS_IMPORT_CANNOT_OPEN)));
  } else {
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    result = ImportPhrases(*format, bytes);
    SetCursor(previous);
  }
  if (result.failed) {
    prompts_->ReportImport(hwnd(), ImportFailedText(choice->path, result.error, Localized), true);
    return;
  }
  const size_t before = working_.Size();
  const std::vector<KeystrokeCollision> collisions = AppendImported(result, working_);
  ImportOutcome outcome;
  outcome.path = choice->path;
  outcome.imported = working_.Size() - before;
  outcome.skipped = &result.skipped;
  outcome.notes = &result.notes;
  DuplicateSet colliding;
  for (const KeystrokeCollision& collision : collisions) {
    if (std::find(outcome.collidingKeystrokes.begin(), outcome.collidingKeystrokes.end(), collision.keystroke) ==
        outcome.collidingKeystrokes.end()) {
      outcome.collidingKeystrokes.push_back(collision.keystroke);
    }
    colliding.insert(collision.importedId);
    colliding.insert(collision.otherIds.begin(), collision.otherIds.end());
  }
  if (outcome.imported > 0) {
    // The first imported phrase is selected and scrolled into view; the phrases that now
    // share a keystroke are drawn red, as a duplicate keystroke typed in the panel is.
    FillList(working_.At(before).Id());
    list_.MarkDuplicates(std::move(colliding));
    MarkModified();
  }
  const bool problem = outcome.imported == 0 || !result.skipped.empty() || !collisions.empty();
  prompts_->ReportImport(hwnd(), ImportReportText(outcome, Localized), problem);
}

bool PhraseEditor::LoadDatabase(const std::u16string& path, bool keepWhenNotWhole) {
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  PhraseDatabase loaded;
  LoadReport report;
  const bool ok = !path.empty() && PhraseDatabaseFile::Load(loaded, path, &report) == 1 &&
                  (!keepWhenNotWhole || report.ReadWhole());
  loadWarning_ = path.empty() ? std::u16string() : DatabaseNotReadText(path, report, loaded.Size(), Localized);
  if (ok) {
    working_.TakeOver(loaded);
    path_ = path;
    newPhraseId_ = 0;
    enabledForEditId_ = 0;
    changedOnDisk_ = false;  // what is shown now is what the file holds
    FillList(LastSelectedPhraseId());
    list_.RecomputeColumnWidths();
    modified_ = false;
    RefreshTitle();
  }
  SetCursor(previous);
  return ok;
}

void PhraseEditor::ShowLoadWarning() {
  if (loadWarning_.empty()) return;
  const std::u16string text = std::move(loadWarning_);
  loadWarning_.clear();
  prompts_->WarnDatabase(hwnd(), text);
}

void PhraseEditor::UseAsDefault() {
  if (path_.empty()) return;
  Settings& settings = Settings::Instance();
  settings.databasePath = path_;
  settings.Save();
  RefreshTitle();
}

void PhraseEditor::ToggleCheckedOnly() {
  Settings& settings = Settings::Instance();
  settings.showCheckedPhrasesOnly = settings.showCheckedPhrasesOnly ? 0 : 1;
  settings.Save();
  const int row = list_.grid().SelectedRow();
  FillList(row >= 0 ? list_.grid().RowData(row) : LastSelectedPhraseId());
  RefreshTitle();
}

void PhraseEditor::OnNewPhraseMessage(WPARAM what, LPARAM value) {
  switch (what) {
    case kDiscardNew:
      DiscardNewPhrase(static_cast<uint32_t>(value));
      break;
    case kEditRow: {
      PhraseGrid& grid = list_.grid();
      const int row = static_cast<int>(value);
      if (row < 0 || row >= grid.RowCount()) return;
      SetFocus(grid.hwnd());
      grid.SelectRow(row);
      grid.EditFirstCell(row);
      break;
    }
    case kAddKeystroke:
      // The edit may have ended because another row was clicked; that phrase gets no entry.
      if (panel_.phraseId() == static_cast<uint32_t>(value)) panel_.BeginNewKeystroke();
      break;
    default:
      break;
  }
}

void PhraseEditor::DiscardNewPhrase(uint32_t id) {
  PhraseGrid& grid = list_.grid();
  const int row = grid.FindRow(id);
  if (row >= 0) {
    grid.RemoveRow(row);
    const int next = row < grid.RowCount() ? row : row - 1;
    grid.SelectRow(next);
    if (next >= 0) OnRowSelected(next);
  }
  if (working_.Remove(id) != 1) FillList(LastSelectedPhraseId());
  if (grid.RowCount() == 0) panel_.Enable(false);
  // The collection is as it was before Add.
  modified_ = modifiedBeforeAdd_;
  RefreshTitle();
}

// ---- menus -----------------------------------------------------------------------------

void PhraseEditor::UpdateMenu(HMENU menu) {
  EditorCommandState state;
  state.rowSelected = list_.grid().SelectedRow() >= 0;
  state.databasePathEmpty = path_.empty();
  state.isConfiguredDatabase = IsConfigured(path_);
  state.phraseOnClipboard = IsPhraseOnClipboard();
  state.checkedOnly = Settings::Instance().showCheckedPhrasesOnly != 0;
  const PhraseDatabase::PhraseCount count = working_.CountPhrases(true);
  state.hasDisabledPhrase = count.enabled < count.total;
  const int items = GetMenuItemCount(menu);
  for (int position = 0; position < items; ++position) {
    const UINT id = GetMenuItemID(menu, position);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and submenus
    const EditorCommandStatus status = EditorCommandRule(id, state);
    if (!status.known) continue;
    EnableMenuItem(menu, position, MF_BYPOSITION | (status.enabled ? MF_ENABLED : MF_GRAYED));
    if (status.checkable) {
      CheckMenuItem(menu, position, MF_BYPOSITION | (status.checked ? MF_CHECKED : MF_UNCHECKED));
    }
  }
}

void PhraseEditor::PrepareSystemMenu(HMENU menu) {
  if (GetMenuState(menu, ID_CHECKED_ONLY, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
    const std::u16string text = TranslatedEditorMenu().Text(ID_CHECKED_ONLY);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_CHECKED_ONLY, AsWide(text.c_str()));
  }
}

UniqueMenu PhraseEditor::CreateContextMenu() const {
  const Phrase* phrase = list_.SelectedPhrase();
  const std::u16string suffix = ContextMenuSuffix(phrase ? phrase->Word() : u"", phrase != nullptr);
  const TranslatedEditorMenu texts;
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) return menu;
  const auto add = [&](UINT id, const std::u16string& text) {
    AppendMenuW(menu.get(), MF_STRING, id, AsWide(text.c_str()));
  };
  const auto separate = [&] { AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr); };
  add(ID_COPY_PHRASE, texts.Text(ID_COPY_PHRASE));
  add(ID_PASTE_PHRASE, texts.Text(ID_PASTE_PHRASE));
  separate();
  add(ID_ADD_PHRASE, texts.Text(ID_ADD_PHRASE));
  add(ID_EDIT_PHRASE, texts.Text(ID_EDIT_PHRASE) + suffix);
  separate();
  add(ID_DELETE_PHRASE, texts.Text(ID_DELETE_PHRASE) + suffix);
  separate();
  add(ID_CHECKED_ONLY, texts.Text(ID_CHECKED_ONLY));
  SetMenuDefaultItem(menu.get(), ID_EDIT_PHRASE, FALSE);
  return menu;
}

void PhraseEditor::ShowContextMenu(POINT screen) {
  PhraseGrid& grid = list_.grid();
  if (screen.x == -1 && screen.y == -1) {  // from the keyboard: at the selected row
    const int row = grid.SelectedRow();
    const RECT cell = row >= 0 ? grid.CellRect(row, PhraseList::kPhraseColumn) : RECT{0, 0, 0, 0};
    screen = {cell.left + 8, cell.bottom};
    ClientToScreen(grid.hwnd(), &screen);
  } else {
    POINT client = screen;
    ScreenToClient(grid.hwnd(), &client);
    int column = 0;
    const int row = grid.HitTest(client, &column);
    if (row >= 0 && row != grid.SelectedRow()) {
      grid.SelectRow(row);
      OnRowSelected(row);
    }
  }
  UINT chosen = 0;
  if (const UniqueMenu menu = CreateContextMenu()) {
    chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x,
                            screen.y, 0, hwnd(), nullptr);
  }
  if (chosen) RunCommand(chosen);
}

}  // namespace vellix
