// PhraseEditor on a database file in a temporary folder, driven as the user drives it: the
// grid's keys and in-place editors, the details panel's controls, menu commands and the
// close request. The editor's questions are answered by a fake. Needs a display.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/about_dialog_win.h"
#include "base/utf.h"
#include "base/wide.h"
#include "editor/phrase_clipboard_win.h"
#include "editor/phrase_editor.h"
#include "editor/phrase_editor_win.h"
#include "editor/editor_texts.h"
#include "editor/program_rule_controls_win.h"
#include "lang/language_win.h"
#include "message_box_closer.h"
#include "phrases/phrase_database_file.h"
#include "resource.h"
#include "services/settings.h"
#include "services/web_links.h"
#include "win_test_support.h"

namespace vellix {
namespace {

enum Column { kPhrase, kCase, kAction, kUsage };

using testing::Pump;

std::u16string TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return AsU16(buffer);
}

void EmptyTheClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

class FakePrompts : public EditorPrompts {
 public:
  int AskSave(HWND, const std::u16string& text) override {
    saveQuestions.push_back(text);
    return saveAnswer;
  }
  void WarnDuplicates(HWND, const std::u16string& text) override { warnings.push_back(text); }
  void WarnKeystroke(HWND, const std::u16string& text) override { keystrokeWarnings.push_back(text); }
  void WarnDatabase(HWND, const std::u16string& text) override { databaseWarnings.push_back(text); }
  int AskOverwrite(HWND, const std::u16string& text) override {
    overwriteQuestions.push_back(text);
    return overwriteAnswer;
  }
  std::optional<std::u16string> ChooseDatabase(HWND, const std::u16string& folder) override {
    initialFolders.push_back(folder);
    return chosen;
  }
  std::optional<ImportChoice> ChooseImport(HWND, const std::u16string& folder) override {
    initialFolders.push_back(folder);
    return import;
  }
  void ReportImport(HWND, const std::u16string& text, bool problem) override {
    importReports.push_back(text);
    importProblems.push_back(problem);
  }

  int saveAnswer = IDNO;
  int overwriteAnswer = IDNO;
  std::optional<std::u16string> chosen;
  std::vector<std::u16string> overwriteQuestions;
  std::optional<ImportChoice> import;
  std::vector<std::u16string> importReports;
  std::vector<bool> importProblems;
  std::vector<std::u16string> saveQuestions;
  std::vector<std::u16string> warnings;
  std::vector<std::u16string> keystrokeWarnings;
  std::vector<std::u16string> databaseWarnings;
  std::vector<std::u16string> initialFolders;
};

struct PhraseSpec {
  std::u16string word;
  FlagMap keys;
  bool enabled = true;
};

void WriteDatabase(const std::u16string& path, const std::vector<PhraseSpec>& specs) {
  PhraseDatabase db;
  for (const PhraseSpec& spec : specs) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(spec.word);
    phrase->Prefixes() = spec.keys;
    phrase->SetEnabled(spec.enabled ? 1 : 0);
    db.Add(std::move(phrase));
  }
  ASSERT_EQ(PhraseDatabaseFile::Save(db, path, nullptr, nullptr), 1);
}

class PhraseEditorTest : public ::testing::Test {
 public:  // the tables of actions below reach the fixture through a reference
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                     ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    PhraseDocumentCodec codec;
    codec.write = [](const Phrase& phrase) { return PhraseDatabaseFile::WritePhraseDocument(phrase); };
    codec.read = [](Phrase& phrase, std::string_view text) { return PhraseDatabaseFile::ReadPhraseDocument(phrase, text); };
    SetPhraseDocumentCodec(std::move(codec));
  }
  static void TearDownTestSuite() { SetPhraseDocumentCodec({}); }

  void SetUp() override {
    Settings& settings = Settings::Instance();
    savedPath_ = settings.databasePath;
    savedCheckedOnly_ = settings.showCheckedPhrasesOnly;
    savedSounds_ = settings.sounds.load();
    settings.sounds = 0;
    settings.showCheckedPhrasesOnly = 0;
    dbPath_ = ToU16(folder_.File(L"Database.xml"));
    settings.databasePath = dbPath_;
    EmptyTheClipboard();
    WriteDatabase(dbPath_, {{u"by the way", {{u"btw", 1}}},
                            {u"best regards", {{u"br", 1}}},
                            {u"off phrase", {{u"off", 1}}, false}});
  }

  void TearDown() override {
    CloseEditor();
    Settings& settings = Settings::Instance();
    settings.databasePath = savedPath_;
    settings.showCheckedPhrasesOnly = savedCheckedOnly_;
    settings.sounds = savedSounds_;
    settings.Save();
    EmptyTheClipboard();
  }

  HWND Open(std::u16string path = u"") {
    editor_ = std::make_unique<PhraseEditor>(working_, std::move(path), nullptr, false, &prompts_);
    HWND window = editor_->CreateModeless(nullptr);
    EXPECT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    testing::ToForeground(window);
    Pump();
    return window;
  }

  void CloseEditor() {
    if (editor_ && editor_->hwnd()) DestroyWindow(editor_->hwnd());
    Pump();
    editor_.reset();
  }

  HWND Window() const { return editor_->hwnd(); }
  PhraseGrid& Grid() { return editor_->grid(); }
  void Command(UINT id) {
    SendMessageW(Window(), WM_COMMAND, id, 0);
    Pump();
  }
  // Starts the in-place edit of a row's text and types text into it, leaving it open;
  // false when no editor took the focus.
  bool TypeIntoOpenTextEdit(int row, const wchar_t* text) {
    Grid().SelectRow(row);
    Pump();
    Command(ID_EDIT_PHRASE);
    const HWND editor = Grid().Editor();
    if (!editor || GetFocus() != editor) return false;
    SetWindowTextW(editor, text);
    return true;
  }
  void KeyToFocus(WPARAM key) {
    SendMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    Pump();
  }
  int RowOf(const std::u16string& word) {
    for (int row = 0; row < Grid().RowCount(); ++row) {
      if (Grid().Text(row, kPhrase) == word) return row;
    }
    return -1;
  }
  Phrase* PhraseOf(const std::u16string& word) {
    for (const auto& phrase : working_.Items()) {
      if (phrase->Word() == word) return phrase.get();
    }
    return nullptr;
  }
  // Ends the open in-place editor of the grid with a key, after typing text into it.
  void EndGridEdit(WPARAM key, const wchar_t* text = nullptr) {
    HWND editor = Grid().Editor();
    ASSERT_NE(editor, nullptr);
    if (text) SetWindowTextW(editor, text);
    SendMessageW(editor, WM_KEYDOWN, key, 1);
    Pump();
  }
  HWND PanelItem(int id) { return GetDlgItem(editor_->panel().hwnd(), id); }
  // The state of a command as the menu shows it after the command-update pass.
  UINT MenuState(UINT id) {
    HMENU bar = GetMenu(Window());
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      HMENU popup = GetSubMenu(bar, i);
      if (GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
      SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(i, FALSE));
      return GetMenuState(popup, id, MF_BYCOMMAND);
    }
    return static_cast<UINT>(-1);
  }

  testing::TempFolder folder_;
  std::u16string dbPath_;
  PhraseDatabase working_;
  FakePrompts prompts_;
  std::unique_ptr<PhraseEditor> editor_;

 private:
  std::u16string savedPath_;
  int32_t savedCheckedOnly_ = 0;
  int32_t savedSounds_ = 1;
};

TEST_F(PhraseEditorTest, OpensTheConfiguredDatabaseAndListsItsPhrases) {
  Open();
  EXPECT_EQ(editor_->databasePath(), dbPath_);
  ASSERT_EQ(Grid().RowCount(), 3);
  EXPECT_EQ(Grid().Text(0, kPhrase), u"by the way");
  EXPECT_TRUE(Grid().Check(0, kPhrase));
  EXPECT_FALSE(Grid().Check(2, kPhrase));
  EXPECT_EQ(Grid().Text(0, kCase), u"Yes");
  EXPECT_EQ(Grid().Text(0, kAction), u"Replace");
  EXPECT_EQ(Grid().Text(0, kUsage), u"0");
  EXPECT_EQ(Grid().SelectedRow(), 0);
  EXPECT_EQ(editor_->panel().phraseId(), Grid().RowData(0));
  EXPECT_EQ(GetOpenEditorWindow(), Window());
  const std::u16string title = TextOf(Window());
  EXPECT_EQ(title.find(u"* "), std::u16string::npos);
  EXPECT_NE(title.find(u" - Edit Phrases [2/3] - " + dbPath_ + u" [as default]"), std::u16string::npos) << Utf16ToUtf8(title);
  // The columns leave no gap: the first takes what the other three leave.
  RECT client{};
  GetClientRect(Grid().hwnd(), &client);
  int total = 0;
  for (int column = 0; column < 4; ++column) total += Grid().ColumnWidth(column);
  EXPECT_EQ(total, client.right);
}

TEST_F(PhraseEditorTest, AddTakesThePhraseAndThenItsKeystrokeInOneFlow) {
  Open();
  Command(ID_ADD_PHRASE);
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).Word(), u"New Phrase");  // the clipboard is empty
  ASSERT_TRUE(Grid().IsEditing());
  EXPECT_EQ(Grid().SelectedRow(), 3);
  EXPECT_TRUE(Grid().IsBalloonShown());  // the Ctrl+Enter hint
  EndGridEdit(VK_RETURN, L"see you");
  EXPECT_EQ(working_.At(3).Word(), u"see you");
  EXPECT_EQ(editor_->newPhraseId(), 0u);
  // The panel now edits the new phrase's first keystroke.
  HWND keystrokes = PanelItem(IDC_KEYSTROKE_LIST);
  HWND label = ListView_GetEditControl(keystrokes);
  ASSERT_NE(label, nullptr);
  SetWindowTextW(label, L"cu");
  SendMessageW(label, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  ASSERT_EQ(working_.At(3).Prefixes().size(), 1u);
  EXPECT_EQ(working_.At(3).Prefixes().begin()->first, u"cu");
  EXPECT_TRUE(editor_->modified());
  EXPECT_EQ(TextOf(Window()).rfind(u"* ", 0), 0u);
}

// The first edit of a new phrase can end because another row is clicked: the keystroke
// entry that follows belongs to the new phrase, not to the one selected now.
TEST_F(PhraseEditorTest, NoKeystrokeEntryForAnotherPhraseAfterAdd) {
  Open();
  Command(ID_ADD_PHRASE);
  HWND editor = Grid().Editor();
  ASSERT_NE(editor, nullptr);
  SetWindowTextW(editor, L"see you");
  SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);  // the entry is queued, not yet begun
  Grid().SelectRow(0);
  Pump();
  ASSERT_EQ(editor_->panel().phraseId(), Grid().RowData(0));
  EXPECT_EQ(ListView_GetEditControl(PanelItem(IDC_KEYSTROKE_LIST)), nullptr);
  EXPECT_EQ(working_.At(0).Prefixes().size(), 1u);
  EXPECT_EQ(working_.At(3).Word(), u"see you");
}

TEST_F(PhraseEditorTest, AddTakesTheClipboardText) {
  Open();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    const wchar_t text[] = L"from the clipboard";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
  }
  Command(ID_ADD_PHRASE);
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).Word(), u"from the clipboard");
}

TEST_F(PhraseEditorTest, EscapeInTheFirstEditRemovesTheNewPhrase) {
  Open();
  Command(ID_ADD_PHRASE);
  ASSERT_TRUE(Grid().IsEditing());
  EndGridEdit(VK_ESCAPE);
  EXPECT_EQ(working_.Size(), 3u);
  EXPECT_EQ(Grid().RowCount(), 3);
  EXPECT_EQ(Grid().SelectedRow(), 2);
  EXPECT_FALSE(editor_->modified());
  EXPECT_EQ(TextOf(Window()).find(u"* "), std::u16string::npos);
}

TEST_F(PhraseEditorTest, EditPhraseTakesALineBreakAndEscapeKeepsTheEdit) {
  Open();
  const struct {
    WPARAM key;
    const wchar_t* text;
  } cases[] = {{VK_RETURN, L"line one\r\nline two"}, {VK_ESCAPE, L"escaped"}};
  for (const auto& c : cases) {
    Grid().SelectRow(1);
    Pump();
    Command(ID_EDIT_PHRASE);
    ASSERT_TRUE(Grid().IsEditing());
    EndGridEdit(c.key, c.text);
    EXPECT_EQ(working_.At(1).Word(), AsU16(c.text));
    EXPECT_EQ(Grid().Text(1, kPhrase), AsU16(c.text));
    EXPECT_EQ(working_.Size(), 3u);
  }
  EXPECT_NE(TextOf(GetDlgItem(Window(), IDC_DETAILS_FRAME)).find(u"escaped"), std::u16string::npos);
}

TEST_F(PhraseEditorTest, EditPhraseSwitchesADisabledPhraseOnFirst) {
  Open();
  Grid().SelectRow(2);
  Pump();
  Command(ID_EDIT_PHRASE);
  EXPECT_TRUE(Grid().Check(2, kPhrase));
  EXPECT_EQ(working_.At(2).Enabled(), 1);
  EXPECT_TRUE(IsWindowEnabled(PanelItem(IDC_KEYSTROKE_LIST)));
  EXPECT_TRUE(Grid().IsEditing());
  EndGridEdit(VK_RETURN);
}

TEST_F(PhraseEditorTest, ChecksChangeThePhraseAndTheTitle) {
  Open();
  SetFocus(Grid().hwnd());
  Grid().SelectRow(0);
  Pump();
  KeyToFocus(VK_SPACE);  // the Phrase check of the first row
  EXPECT_EQ(working_.At(0).Enabled(), 0);
  EXPECT_FALSE(IsWindowEnabled(PanelItem(IDC_KEYSTROKE_LIST)));
  EXPECT_NE(TextOf(Window()).find(u"[1/3]"), std::u16string::npos);
  KeyToFocus(VK_SPACE);
  EXPECT_EQ(working_.At(0).Enabled(), 1);
  KeyToFocus(VK_RIGHT);  // Case Sensitive
  KeyToFocus(VK_SPACE);
  EXPECT_EQ(working_.At(0).CaseSensitive(), 0);
  EXPECT_EQ(Grid().Text(0, kCase), u"No");
  EXPECT_TRUE(editor_->modified());
}

TEST_F(PhraseEditorTest, ActionChoiceSetsAddOrReplace) {
  Open();
  ASSERT_TRUE(Grid().OpenChoice(0, kAction));
  HWND combo = Grid().Editor();
  ASSERT_NE(combo, nullptr);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(Grid().hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK),
               reinterpret_cast<LPARAM>(combo));
  Pump();
  EXPECT_EQ(working_.At(0).AddOrReplace(), 0);
  EXPECT_EQ(Grid().Text(0, kAction), u"Add");
  EXPECT_TRUE(editor_->modified());
}

TEST_F(PhraseEditorTest, CaretLeftIsStoredIntoThePhrase) {
  Open();
  SendMessageW(PanelItem(IDC_CARET_LEFT_CHECK), BM_CLICK, 0, 0);
  Pump();
  SetWindowTextW(PanelItem(IDC_CARET_LEFT_COUNT), L"3");
  Pump();
  EXPECT_EQ(working_.At(0).LeftAfter(), 3);
  EXPECT_TRUE(editor_->modified());
}

TEST_F(PhraseEditorTest, LockedCellsOfADisabledPhraseAreRefusedWithABalloon) {
  Open();
  Grid().SelectRow(2);
  Pump();
  const struct {
    const char* name;
    bool (*act)(PhraseEditorTest&);
  } cases[] = {
      {"text edit", [](PhraseEditorTest& t) { return t.Grid().EditFirstCell(2); }},
      {"choice", [](PhraseEditorTest& t) { return t.Grid().OpenChoice(2, kAction); }},
  };
  for (const auto& c : cases) {
    Grid().HideBalloon();
    EXPECT_FALSE(c.act(*this)) << c.name;
    EXPECT_TRUE(Grid().IsBalloonShown()) << c.name;
    EXPECT_FALSE(Grid().IsEditing()) << c.name;
  }
  EXPECT_FALSE(editor_->modified());
  EXPECT_EQ(working_.At(2).AddOrReplace(), 1);
}

TEST_F(PhraseEditorTest, DeleteRemovesTheSelectedPhrase) {
  Open();
  Grid().SelectRow(1);
  Pump();
  Command(ID_DELETE_PHRASE);
  ASSERT_EQ(working_.Size(), 2u);
  EXPECT_EQ(PhraseOf(u"best regards"), nullptr);
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(Grid().Text(Grid().SelectedRow(), kPhrase), u"off phrase");
  EXPECT_TRUE(editor_->modified());
}

TEST_F(PhraseEditorTest, CopyInOneSessionPastesInTheNext) {
  Open();
  Grid().SelectRow(1);
  Pump();
  Command(ID_COPY_PHRASE);
  CloseEditor();
  working_.Clear();

  Open();
  EXPECT_FALSE(MenuState(ID_PASTE_PHRASE) & MF_GRAYED);
  Command(ID_PASTE_PHRASE);
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).Word(), u"best regards");
  EXPECT_EQ(working_.At(3).Prefixes().count(u"br"), 1u);
  EXPECT_NE(working_.At(3).Id(), working_.At(1).Id());
  EXPECT_EQ(Grid().SelectedRow(), 3);
  EXPECT_TRUE(Grid().IsEditing());
  EndGridEdit(VK_RETURN);
  EXPECT_TRUE(editor_->modified());
}

// The program rule edited in the details panel is stored into the phrase, goes with its
// copy, and is named in the row's tooltip.
TEST_F(PhraseEditorTest, ProgramRuleEditedInThePanelIsCopiedAndPasted) {
  Open();
  Grid().SelectRow(1);
  Pump();
  ProgramRuleControls& rules = editor_->panel().rules();
  SendMessageW(editor_->panel().Item(IDC_RULE_MODE), CB_SETCURSEL, WPARAM(ProgramRuleMode::kOnlyIn), 0);
  SendMessageW(editor_->panel().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_RULE_MODE, CBN_SELCHANGE),
               LPARAM(editor_->panel().Item(IDC_RULE_MODE)));
  ASSERT_TRUE(rules.AddProgram(u"notepad.exe"));
  ASSERT_TRUE(rules.AddProgram(u"WinWord.exe"));
  editor_->panel().ApplyKeystrokeEdit();
  Pump();
  // The panel reports the mode change; the additions reach the phrase with the next store.
  Command(ID_COPY_PHRASE);
  const Phrase* edited = PhraseOf(u"best regards");
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(edited->UseWithList(), kUseIncludeList);
  Command(ID_PASTE_PHRASE);
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).UseWithList(), kUseIncludeList);
  EXPECT_EQ(working_.At(3).Include(), (FlagMap{{u"WinWord.exe", 1}, {u"notepad.exe", 1}}));
  EXPECT_TRUE(working_.At(3).Exclude().empty());
  EndGridEdit(VK_RETURN);
  const std::u16string tip = RowTooltip(working_.At(3), [](uint32_t id) { return GetLocalizedString(id); });
  EXPECT_NE(tip.find(u"only in: WinWord.exe, notepad.exe"), std::u16string::npos) << Utf16ToUtf8(tip);
}

// A pasted phrase that the filter hides is added, but no other phrase's text is opened
// for editing in its place.
TEST_F(PhraseEditorTest, PasteOfAHiddenPhraseEditsNoOtherPhrase) {
  Open();
  Grid().SelectRow(RowOf(u"off phrase"));
  Pump();
  Command(ID_COPY_PHRASE);
  Command(ID_CHECKED_ONLY);
  ASSERT_EQ(Grid().RowCount(), 2);
  Command(ID_PASTE_PHRASE);
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).Word(), u"off phrase");
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_FALSE(Grid().IsEditing());
  EXPECT_TRUE(editor_->modified());
}

TEST_F(PhraseEditorTest, OpenAnotherDatabaseAndMakeItTheDefault) {
  const std::u16string other = ToU16(folder_.File(L"Other.xml"));
  WriteDatabase(other, {{u"other phrase", {{u"op", 1}}}});
  Open();
  Command(ID_ADD_PHRASE);
  EndGridEdit(VK_RETURN, L"unsaved");
  EXPECT_TRUE(editor_->modified());

  prompts_.chosen = other;
  prompts_.saveAnswer = IDNO;
  Command(ID_OPEN_DATABASE);
  ASSERT_EQ(prompts_.initialFolders.size(), 1u);
  EXPECT_EQ(prompts_.initialFolders[0] + u"\\", ToU16(folder_.Path()));
  ASSERT_EQ(prompts_.saveQuestions.size(), 1u);  // the unsaved phrase is not dropped silently
  EXPECT_EQ(editor_->databasePath(), other);
  ASSERT_EQ(working_.Size(), 1u);
  EXPECT_EQ(Grid().Text(0, kPhrase), u"other phrase");
  EXPECT_FALSE(editor_->modified());
  EXPECT_EQ(TextOf(Window()).find(u"[as default]"), std::u16string::npos);
  EXPECT_FALSE(MenuState(ID_USE_AS_DEFAULT) & MF_CHECKED);

  Command(ID_USE_AS_DEFAULT);
  EXPECT_EQ(Settings::Instance().databasePath, other);
  EXPECT_NE(TextOf(Window()).find(other + u" [as default]"), std::u16string::npos);
  EXPECT_TRUE(MenuState(ID_USE_AS_DEFAULT) & MF_CHECKED);

  // Choosing the file already shown does nothing.
  Command(ID_OPEN_DATABASE);
  EXPECT_EQ(prompts_.saveQuestions.size(), 1u);
  EXPECT_EQ(working_.Size(), 1u);
}

TEST_F(PhraseEditorTest, UnsavedChangesCanBeSavedBeforeAnotherDatabaseIsOpened) {
  const std::u16string other = ToU16(folder_.File(L"Other.xml"));
  WriteDatabase(other, {{u"other phrase", {{u"op", 1}}}});
  Open();
  Command(ID_DELETE_PHRASE);
  prompts_.chosen = other;
  prompts_.saveAnswer = IDCANCEL;
  Command(ID_OPEN_DATABASE);
  EXPECT_EQ(editor_->databasePath(), dbPath_);  // cancelled: nothing changes
  EXPECT_EQ(working_.Size(), 2u);

  EXPECT_EQ(editor_->savedCollection(), nullptr);

  prompts_.saveAnswer = IDYES;
  Command(ID_OPEN_DATABASE);
  EXPECT_EQ(editor_->databasePath(), other);
  PhraseDatabase saved;
  ASSERT_EQ(PhraseDatabaseFile::Load(saved, dbPath_), 1);
  EXPECT_EQ(saved.Size(), 2u);
  // What was saved is kept for the host, which takes it over should the editor end with
  // Cancel: the host's next save must not put the deleted phrase back.
  ASSERT_NE(editor_->savedCollection(), nullptr);
  EXPECT_EQ(editor_->savedPath(), dbPath_);
  EXPECT_EQ(editor_->savedCollection()->Size(), 2u);
  EXPECT_EQ(PhraseDatabaseFile::Serialize(*editor_->savedCollection()), PhraseDatabaseFile::Serialize(saved));
}

TEST_F(PhraseEditorTest, AFailedOpenLeavesTheEditorAsItWas) {
  const std::u16string broken = ToU16(folder_.File(L"Broken.xml"));
  HANDLE file = CreateFileW(AsWide(broken.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "not xml", 7, &written, nullptr);
  CloseHandle(file);
  Open();
  prompts_.chosen = broken;
  Command(ID_OPEN_DATABASE);
  EXPECT_EQ(editor_->databasePath(), dbPath_);
  EXPECT_EQ(working_.Size(), 3u);
  EXPECT_EQ(Grid().RowCount(), 3);
}

TEST_F(PhraseEditorTest, DuplicateKeystrokesAreMarkedAndReported) {
  Open();
  const uint32_t first = Grid().RowData(0);
  const struct {
    const char16_t* text;
    size_t duplicates;
  } cases[] = {{u"br", 1}, {u"off", 1}, {u"zz", 0}, {u"", 0}, {u"btw", 0}};
  for (const auto& c : cases) {
    prompts_.warnings.clear();
    PanelNotify notify{};
    notify.hdr.hwndFrom = GetDlgItem(Window(), IDC_DETAILS_FRAME);
    notify.hdr.idFrom = IDC_DETAILS_FRAME;
    notify.hdr.code = kPanelTestKeystroke;
    notify.phraseId = first;
    notify.text = c.text;
    EXPECT_EQ(SendMessageW(Window(), WM_NOTIFY, IDC_DETAILS_FRAME, reinterpret_cast<LPARAM>(&notify)), 0);
    EXPECT_EQ(editor_->duplicates().size(), c.duplicates) << Utf16ToUtf8(c.text);
    EXPECT_EQ(prompts_.warnings.size(), c.duplicates ? 1u : 0u) << Utf16ToUtf8(c.text);
    if (c.duplicates) {
      EXPECT_EQ(prompts_.warnings[0], u"Detected duplicate keystokes!");
    }
  }
  // A new selection clears the marks.
  PanelNotify notify{};
  notify.hdr = {GetDlgItem(Window(), IDC_DETAILS_FRAME), IDC_DETAILS_FRAME, kPanelTestKeystroke};
  notify.phraseId = first;
  notify.text = u"br";
  SendMessageW(Window(), WM_NOTIFY, IDC_DETAILS_FRAME, reinterpret_cast<LPARAM>(&notify));
  ASSERT_FALSE(editor_->duplicates().empty());
  Grid().SelectRow(1);
  Pump();
  EXPECT_TRUE(editor_->duplicates().empty());
}

TEST_F(PhraseEditorTest, CheckedOnlyFiltersAndIsEnabledOnlyWhenItMatters) {
  Open();
  EXPECT_FALSE(MenuState(ID_CHECKED_ONLY) & MF_GRAYED);  // one phrase is off
  Command(ID_CHECKED_ONLY);
  EXPECT_EQ(Settings::Instance().showCheckedPhrasesOnly, 1);
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_NE(TextOf(Window()).find(u" [2/3, Checked only] - "), std::u16string::npos);
  EXPECT_TRUE(MenuState(ID_CHECKED_ONLY) & MF_CHECKED);

  // With every phrase on, the filter can still be switched off, but not on again.
  Command(ID_CHECKED_ONLY);
  Grid().SelectRow(2);
  Pump();
  Command(ID_EDIT_PHRASE);
  EndGridEdit(VK_RETURN);
  ASSERT_EQ(working_.At(2).Enabled(), 1);
  EXPECT_EQ(Settings::Instance().showCheckedPhrasesOnly, 0);
  EXPECT_TRUE(MenuState(ID_CHECKED_ONLY) & MF_GRAYED);
  Settings::Instance().showCheckedPhrasesOnly = 1;
  EXPECT_FALSE(MenuState(ID_CHECKED_ONLY) & MF_GRAYED);
}

// The search box filters the rows (switched-off phrases too, with Checked Only on top);
// Add and Delete work on the rows found, Escape clears the query, and the working
// collection keeps every phrase.
TEST_F(PhraseEditorTest, SearchBoxFiltersTheRowsAndLosesNothing) {
  Open();
  const HWND box = GetDlgItem(Window(), IDC_EDITOR_SEARCH);
  ASSERT_NE(box, nullptr);
  auto search = [&](const wchar_t* query) {
    SetWindowTextW(box, query);
    Pump();
  };
  const struct {
    const wchar_t* query;
    int32_t checkedOnly;
    int rows;
  } cases[] = {
      {L"BR", 0, 1},           // a keystroke, without regard to case
      {L"the way", 0, 1},      // every word in the text
      {L"off", 0, 1},          // a switched-off phrase is found
      {L"off", 1, 0},          // ... unless Checked Only hides it
      {L"nothing here", 0, 0},
      {L"", 0, 3},
  };
  for (const auto& c : cases) {
    Settings::Instance().showCheckedPhrasesOnly = c.checkedOnly;
    search(c.query);
    EXPECT_EQ(Grid().RowCount(), c.rows) << c.query;
    const bool saysFound = TextOf(Window()).find(u"found by") != std::u16string::npos;
    EXPECT_EQ(saysFound, c.query[0] != 0) << c.query;
  }
  Settings::Instance().showCheckedPhrasesOnly = 0;

  search(L"regards");
  EXPECT_NE(TextOf(Window()).find(u", found by \"regards\"] - "), std::u16string::npos) << "the title says so";
  Command(ID_ADD_PHRASE);  // the new phrase matches no query, yet it is shown to be edited
  EXPECT_EQ(working_.Size(), 4u);
  EXPECT_EQ(Grid().RowCount(), 2);
  EndGridEdit(VK_ESCAPE);  // Escape in the first edit takes the new phrase back
  EXPECT_EQ(working_.Size(), 3u);

  search(L"way");
  ASSERT_EQ(Grid().RowCount(), 1);
  Grid().SelectRow(0);
  Pump();
  Command(ID_DELETE_PHRASE);
  EXPECT_EQ(PhraseOf(u"by the way"), nullptr);
  EXPECT_NE(PhraseOf(u"best regards"), nullptr) << "hidden phrases stay";
  EXPECT_NE(PhraseOf(u"off phrase"), nullptr);

  // Escape in the box clears the query and shows every row again.
  SetFocus(box);
  SendMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  EXPECT_EQ(GetWindowTextLengthW(box), 0);
  EXPECT_EQ(Grid().RowCount(), 2);
}

TEST_F(PhraseEditorTest, SelectionCommandsFollowTheSelection) {
  Open();
  for (const UINT id : {ID_EDIT_PHRASE, ID_DELETE_PHRASE, ID_COPY_PHRASE}) {
    EXPECT_FALSE(MenuState(id) & MF_GRAYED) << id;
  }
  EXPECT_TRUE(MenuState(ID_PASTE_PHRASE) & MF_GRAYED);
  Grid().SelectRow(-1);
  Pump();
  for (const UINT id : {ID_EDIT_PHRASE, ID_DELETE_PHRASE, ID_COPY_PHRASE}) {
    EXPECT_TRUE(MenuState(id) & MF_GRAYED) << id;
  }
}

TEST_F(PhraseEditorTest, SystemMenuGetsCheckedOnly) {
  Open();
  HMENU system = GetSystemMenu(Window(), FALSE);
  ASSERT_NE(system, nullptr);
  SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), MAKELPARAM(0, TRUE));
  int found = 0;
  for (int i = 0; i < GetMenuItemCount(system); ++i) {
    if (GetMenuItemID(system, i) == ID_CHECKED_ONLY) ++found;
  }
  EXPECT_EQ(found, 1);
  SendMessageW(Window(), WM_SYSCOMMAND, ID_CHECKED_ONLY, 0);
  Pump();
  EXPECT_EQ(Settings::Instance().showCheckedPhrasesOnly, 1);
}

TEST_F(PhraseEditorTest, CancelAsksOnlyWhenModified) {
  const struct {
    const char* name;
    bool modify;
    std::u16string path;  // the configured file is missing: the path given stays
    int answer;
    INT_PTR result;
    size_t questions;
    std::u16string question;
  } cases[] = {
      {"unmodified", false, u"", IDYES, IDCANCEL, 0, u""},
      {"noname, no", true, u"", IDNO, IDCANCEL, 1, u"Save changes?\n[noname]"},
      {"noname, yes", true, u"", IDYES, IDOK, 1, u"Save changes?\n[noname]"},
      {"cancel keeps it open", true, u"C:\\x.xml", IDCANCEL, 0, 1, u"Save changes?\n[C:\\x.xml]"},
  };
  Settings::Instance().databasePath = ToU16(folder_.File(L"missing.xml"));
  for (const auto& c : cases) {
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.saveAnswer = c.answer;
    Open(c.path);
    if (c.modify) {
      Command(ID_ADD_PHRASE);
      EndGridEdit(VK_RETURN);
    }
    SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_EQ(prompts_.saveQuestions.size(), c.questions) << c.name;
    if (c.questions) {
      EXPECT_EQ(prompts_.saveQuestions[0], c.question) << c.name;
    }
    EXPECT_EQ(editor_->result(), c.result) << c.name;
    EXPECT_EQ(editor_->hwnd() != nullptr, c.result == 0) << c.name;
    CloseEditor();
  }
}

TEST_F(PhraseEditorTest, CloseRequestAnswersWhetherTheEditorStays) {
  const struct {
    int answer;
    LRESULT reply;
    INT_PTR result;
  } cases[] = {{IDCANCEL, 1, 0}, {IDYES, 0, IDOK}, {IDNO, 0, IDCANCEL}};
  for (const auto& c : cases) {
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.saveAnswer = c.answer;
    Open();
    Command(ID_DELETE_PHRASE);
    ShowWindow(Window(), SW_MINIMIZE);
    Pump();
    EXPECT_EQ(SendMessageW(Window(), EditorCloseRequestMessage(), 0, 0), c.reply) << c.answer;
    EXPECT_EQ(editor_->result(), c.result) << c.answer;
    if (editor_->hwnd()) {
      EXPECT_FALSE(IsIconic(Window()));
      // The language message changes nothing: the editor stays open and modified, with its
      // rows and title as they were.
      const std::u16string title = TextOf(Window());
      const int rows = Grid().RowCount();
      EXPECT_EQ(SendMessageW(Window(), EditorLanguageMessage(), 0, 0), 0);
      Pump();
      EXPECT_TRUE(IsWindow(Window()));
      EXPECT_EQ(editor_->result(), 0);
      EXPECT_TRUE(editor_->modified());
      EXPECT_EQ(Grid().RowCount(), rows);
      EXPECT_EQ(TextOf(Window()), title);
    }
    CloseEditor();
  }
}

// Another program changed the editor's file after the editor loaded it: the title says so,
// and each way of saving asks before it writes over that version.
TEST_F(PhraseEditorTest, AFileChangedOnDiskIsSavedOverOnlyWhenTheUserSaysSo) {
  enum Way { kOk, kSaveAndClose, kCloseRequest };
  const struct {
    const char* name;
    Way way;
    int overwrite;
    INT_PTR result;  // 0: the editor stays open
  } cases[] = {
      {"OK, keep the other version", kOk, IDNO, 0},
      {"OK, save over it", kOk, IDYES, IDOK},
      {"Save And Close, keep", kSaveAndClose, IDNO, 0},
      {"close request, Yes to save, then keep", kCloseRequest, IDNO, 0},
      {"close request, Yes to save, then save over it", kCloseRequest, IDYES, IDOK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.saveAnswer = IDYES;
    prompts_.overwriteAnswer = c.overwrite;
    Open();
    Command(ID_DELETE_PHRASE);
    const std::u16string other = ToU16(folder_.File(L"Other.xml"));
    EXPECT_EQ(SendMessageW(Window(), EditorFileChangedMessage(), 0, reinterpret_cast<LPARAM>(other.c_str())), 0);
    EXPECT_EQ(TextOf(Window()).find(u"[changed on disk]"), std::u16string::npos) << "another file";
    EXPECT_EQ(SendMessageW(Window(), EditorFileChangedMessage(), 0, reinterpret_cast<LPARAM>(dbPath_.c_str())), 1);
    EXPECT_TRUE(editor_->changedOnDisk());
    EXPECT_NE(TextOf(Window()).find(dbPath_ + u" [as default] [changed on disk]"), std::u16string::npos);
    switch (c.way) {
      case kOk: Command(IDOK); break;
      case kSaveAndClose: Command(ID_SAVE_AND_CLOSE); break;
      case kCloseRequest:
        EXPECT_EQ(SendMessageW(Window(), EditorCloseRequestMessage(), 0, 0), c.result ? 0 : 1);
        Pump();
        break;
    }
    ASSERT_EQ(prompts_.overwriteQuestions.size(), 1u);
    EXPECT_NE(prompts_.overwriteQuestions[0].find(u"Database.xml was changed on disk by another program"),
              std::u16string::npos);
    EXPECT_EQ(editor_->result(), c.result);
    EXPECT_EQ(editor_->hwnd() != nullptr, c.result == 0);
    CloseEditor();
  }
}

// Loading the file again shows what it holds now: no question before the next save.
TEST_F(PhraseEditorTest, OpeningAnotherFileForgetsTheChangeOnDisk) {
  const std::u16string other = ToU16(folder_.File(L"Other.xml"));
  WriteDatabase(other, {{u"elsewhere", {{u"el", 1}}}});
  Open();
  SendMessageW(Window(), EditorFileChangedMessage(), 0, reinterpret_cast<LPARAM>(dbPath_.c_str()));
  prompts_.chosen = other;
  Command(ID_OPEN_DATABASE);
  EXPECT_EQ(editor_->databasePath(), other);
  EXPECT_FALSE(editor_->changedOnDisk());
  Command(IDOK);
  EXPECT_TRUE(prompts_.overwriteQuestions.empty());
  EXPECT_EQ(editor_->result(), IDOK);
}

// File > Import: the phrases of an AutoHotkey script are appended and the first is selected,
// the entries left out and the keystrokes that now collide are reported, and the editor
// is modified (the user saves as usual).
TEST_F(PhraseEditorTest, ImportAppendsSelectsAndReports) {
  const std::wstring script = folder_.File(L"My Hotstrings.ahk");
  testing::WriteFileBytes(script,
                          "::btw::by the way, imported\r\n"
                          "::omw::on my way\r\n"
                          "^j::Run \"notepad\"\r\n");
  Open();
  prompts_.import = ImportChoice{ToU16(script), 1};  // the CSV entry: the extension decides
  Command(ID_IMPORT_PHRASES);
  ASSERT_EQ(working_.Size(), 5u);
  EXPECT_EQ(working_.At(3).Word(), u"by the way, imported");
  EXPECT_EQ(working_.At(4).Word(), u"on my way");
  EXPECT_EQ(Grid().RowCount(), 5);
  EXPECT_EQ(Grid().SelectedRow(), 3);
  EXPECT_EQ(editor_->panel().phraseId(), working_.At(3).Id());
  EXPECT_TRUE(editor_->modified());
  EXPECT_EQ(editor_->duplicates(), (DuplicateSet{working_.At(0).Id(), working_.At(3).Id()}));
  EXPECT_EQ(prompts_.initialFolders.back() + u"\\Database.xml", dbPath_);
  ASSERT_EQ(prompts_.importReports.size(), 1u);
  const std::u16string& report = prompts_.importReports[0];
  EXPECT_NE(report.find(u"Phrases imported from My Hotstrings.ahk: 2."), std::u16string::npos) << Utf16ToUtf8(report);
  // The importer counts code and hotkey lines together, for the whole file.
  EXPECT_NE(report.find(u"Entries left out: 1\nhotkeys, commands or directives: 1 lines"), std::u16string::npos)
      << Utf16ToUtf8(report);
  EXPECT_NE(report.find(u"Keystrokes that now belong to more than one phrase: btw"), std::u16string::npos);
  EXPECT_TRUE(prompts_.importProblems[0]);
  EXPECT_EQ(TextOf(Window()).rfind(u"* ", 0), 0u) << "the title shows the change";
}

TEST_F(PhraseEditorTest, ImportThatFailsOrIsCancelledChangesNothing) {
  const std::wstring binary = folder_.File(L"broken.csv");
  testing::WriteFileBytes(binary, std::string("keystrokes,text\r\nab\0cd,x\r\n", 26));
  const std::wstring yaml = folder_.File(L"broken.yml");
  testing::WriteFileBytes(yaml, "matches:\n  - trigger: \":a\"\n   replace: [unclosed\n");
  const struct {
    const char* name;
    std::optional<ImportChoice> choice;
    std::u16string report;  // empty: none
  } cases[] = {
      {"cancelled", std::nullopt, u""},
      {"binary", ImportChoice{ToU16(binary), 1}, u"broken.csv could not be imported. "},
      {"bad YAML", ImportChoice{ToU16(yaml), 4}, u"broken.yml could not be imported. "},
      {"missing", ImportChoice{ToU16(folder_.File(L"gone.ahk")), 3},
       u"gone.ahk could not be imported. The file could not be opened."},
      {"no format", ImportChoice{ToU16(folder_.File(L"phrases.txt")), 9},
       u"phrases.txt could not be imported. Vellix does not know the format of this file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.import = c.choice;
    Open();
    Command(ID_IMPORT_PHRASES);
    EXPECT_EQ(working_.Size(), 3u);
    EXPECT_FALSE(editor_->modified());
    if (c.report.empty()) {
      EXPECT_TRUE(prompts_.importReports.empty());
    } else {
      ASSERT_EQ(prompts_.importReports.size(), 1u);
      EXPECT_EQ(prompts_.importReports[0].rfind(c.report, 0), 0u) << Utf16ToUtf8(prompts_.importReports[0]);
      EXPECT_TRUE(prompts_.importProblems[0]);
    }
    CloseEditor();
  }
}

TEST_F(PhraseEditorTest, SaveAndCloseEndsWithOk) {
  Open();
  Command(ID_SAVE_AND_CLOSE);
  EXPECT_EQ(editor_->result(), IDOK);
  EXPECT_EQ(editor_->hwnd(), nullptr);
  EXPECT_TRUE(prompts_.saveQuestions.empty());
}

// Closing while a phrase text is being edited keeps what was typed: Save And Close
// saves it, and the close request asks about it.
TEST_F(PhraseEditorTest, ClosingDuringATextEditKeepsTheText) {
  const struct {
    const char* name;
    bool closeRequest;  // else Save And Close
    size_t questions;
  } cases[] = {{"save and close", false, 0}, {"close request", true, 1}};
  for (const auto& c : cases) {
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.saveAnswer = IDYES;
    Open();
    ASSERT_TRUE(TypeIntoOpenTextEdit(1, L"typed before closing")) << c.name;
    if (c.closeRequest) {
      EXPECT_EQ(SendMessageW(Window(), EditorCloseRequestMessage(), 0, 0), 0) << c.name;
    } else {
      Command(ID_SAVE_AND_CLOSE);
    }
    Pump();
    EXPECT_EQ(prompts_.saveQuestions.size(), c.questions) << c.name;
    EXPECT_EQ(editor_->result(), IDOK) << c.name;
    EXPECT_EQ(working_.At(1).Word(), u"typed before closing") << c.name;
    CloseEditor();
  }
}

// The close box during a text edit applies the edit and asks about it at once.
TEST_F(PhraseEditorTest, CloseBoxDuringATextEditAsksAtOnce) {
  prompts_.saveAnswer = IDNO;
  Open();
  ASSERT_TRUE(TypeIntoOpenTextEdit(1, L"typed before closing"));
  SendMessageW(Window(), WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(prompts_.saveQuestions.size(), 1u);
  EXPECT_EQ(editor_->result(), IDCANCEL);
  EXPECT_EQ(editor_->hwnd(), nullptr);
}

// A menu command leaves the in-place editor open; the commands that refill the list apply
// the text typed so far instead of dropping it.
TEST_F(PhraseEditorTest, MenuCommandsDuringATextEditKeepTheText) {
  for (const UINT id : {ID_CHECKED_ONLY, ID_ADD_PHRASE}) {
    working_.Clear();
    Settings::Instance().showCheckedPhrasesOnly = 0;
    Open();
    ASSERT_TRUE(TypeIntoOpenTextEdit(1, L"typed before the command")) << id;
    Command(id);
    EXPECT_EQ(working_.At(1).Word(), u"typed before the command") << id;
    EXPECT_TRUE(editor_->modified()) << id;
    CloseEditor();
  }
}

TEST_F(PhraseEditorTest, NextOpeningRestoresTheRectangleAndTheSelectedPhrase) {
  Open();
  SetWindowPos(Window(), nullptr, 40, 50, 700, 640, SWP_NOZORDER);
  Pump();
  Grid().SelectRow(1);
  Pump();
  const uint32_t selected = Grid().RowData(1);
  EXPECT_EQ(PhraseEditor::LastSelectedPhraseId(), selected);
  WindowPlacement stored;
  ASSERT_TRUE(Settings::Instance().LoadPlacement(stored, u"EditorWindowPos"));
  EXPECT_EQ(stored, (WindowPlacement{40, 50, 740, 690}));
  CloseEditor();
  working_.Clear();

  Open();
  RECT rect{};
  GetWindowRect(Window(), &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right, 740);
  EXPECT_EQ(rect.bottom, 690);
  EXPECT_EQ(Grid().SelectedRow(), Grid().FindRow(selected));
  EXPECT_EQ(editor_->panel().phraseId(), selected);
}

TEST_F(PhraseEditorTest, OpeningWhileOneIsOpenFocusesIt) {
  Open();
  PhraseDatabase live;
  std::u16string path = u"unchanged";
  EXPECT_EQ(OpenEditor(live, path, nullptr, false), 0);
  EXPECT_EQ(path, u"unchanged");
  EXPECT_EQ(GetOpenEditorWindow(), Window());
  CloseEditor();
  EXPECT_EQ(GetOpenEditorWindow(), nullptr);
}

TEST_F(PhraseEditorTest, RowTooltipDescribesThePhrase) {
  Open();
  wchar_t buffer[1024] = {};
  NMLVGETINFOTIPW tip{};
  tip.hdr = {Grid().hwnd(), static_cast<UINT_PTR>(IDC_PHRASE_LIST), LVN_GETINFOTIPW};
  tip.pszText = buffer;
  tip.cchTextMax = 1024;
  tip.iItem = 1;
  SendMessageW(Window(), WM_NOTIFY, IDC_PHRASE_LIST, reinterpret_cast<LPARAM>(&tip));
  EXPECT_EQ(std::u16string(AsU16(buffer)),
            u"best regards [1/1], Characters: 12\n\n       br\n\nDetection type: Case Sensitive\nAction: Replace");
  tip.cchTextMax = 5;  // a short buffer gets as much as fits
  SendMessageW(Window(), WM_NOTIFY, IDC_PHRASE_LIST, reinterpret_cast<LPARAM>(&tip));
  EXPECT_EQ(std::u16string(AsU16(buffer)), u"best");
}

// Pixels of a colour in the grid as it is painted now.
int PixelsOf(HWND window, COLORREF colour) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  RECT client{};
  GetClientRect(window, &client);
  const HDC dc = GetDC(window);
  int count = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == colour;
  }
  ReleaseDC(window, dc);
  return count;
}

TEST_F(PhraseEditorTest, KeystrokesThatBeginALongerOneAreMarkedWithATipNamingTheOtherPhrase) {
  constexpr COLORREF kOrange = RGB(204, 102, 0);
  Settings& settings = Settings::Instance();
  // The fixture saves the settings at its end: the option goes back to what it was.
  struct RestoreWordEnd {
    Settings& settings;
    int32_t saved;
    ~RestoreWordEnd() { settings.expandOnWordEnd = saved; }
  } restore{settings, settings.expandOnWordEnd};
  WriteDatabase(dbPath_, {{u"Best regards", {{u"sig", 1}}},
                          {u"Signal", {{u"signal", 1}}},
                          {u"by the way", {{u"btw", 1}}},
                          {u"Sigma", {{u"sigma", 0}}}});
  settings.expandOnWordEnd = 0;
  Open();
  const uint32_t regards = PhraseOf(u"Best regards")->Id();
  const uint32_t signal = PhraseOf(u"Signal")->Id();
  EXPECT_TRUE(editor_->HasPrefixConflict(regards));
  EXPECT_TRUE(editor_->HasPrefixConflict(signal));
  EXPECT_FALSE(editor_->HasPrefixConflict(PhraseOf(u"by the way")->Id()));
  EXPECT_FALSE(editor_->HasPrefixConflict(PhraseOf(u"Sigma")->Id())) << "a disabled keystroke never fires";
  Grid().SelectRow(RowOf(u"by the way"));
  Pump();
  EXPECT_GT(PixelsOf(Grid().hwnd(), kOrange), 20) << "the two phrases are drawn in their colour";
  // The details panel marks the keystroke itself.
  Grid().SelectRow(RowOf(u"Best regards"));
  Pump();
  ASSERT_EQ(editor_->panel().phraseId(), regards);
  EXPECT_TRUE(editor_->panel().IsMarked(0));
  Grid().SelectRow(RowOf(u"by the way"));
  Pump();
  EXPECT_FALSE(editor_->panel().IsMarked(0));

  const auto tipOf = [&](int row, int size = 2048) {
    std::wstring buffer(size_t(size), L'\0');
    NMLVGETINFOTIPW tip{};
    tip.hdr = {Grid().hwnd(), static_cast<UINT_PTR>(IDC_PHRASE_LIST), LVN_GETINFOTIPW};
    tip.pszText = buffer.data();
    tip.cchTextMax = size;
    tip.iItem = row;
    SendMessageW(Window(), WM_NOTIFY, IDC_PHRASE_LIST, reinterpret_cast<LPARAM>(&tip));
    return std::u16string(AsU16(buffer.c_str()));
  };
  const std::u16string wordEnd =
      u"No conflict with Expand When the Word Ends in the tray menu: every keystroke then waits for the end of its "
      u"word.";
  const std::u16string regardsTip = tipOf(RowOf(u"Best regards"));
  EXPECT_NE(regardsTip.find(u"\n\n\"sig\" begins the keystroke \"signal\" of \"Signal\": while \"signal\" is typed, "
                            u"\"sig\" expands first unless the keys come faster than the delay.\n" + wordEnd),
            std::u16string::npos)
      << Utf16ToUtf8(regardsTip);
  EXPECT_EQ(regardsTip.rfind(u"Best regards [1/1]", 0), 0u) << "the description comes first";
  const std::u16string signalTip = tipOf(RowOf(u"Signal"));
  EXPECT_NE(signalTip.find(u"\"sig\" of \"Best regards\" begins the keystroke \"signal\""), std::u16string::npos)
      << Utf16ToUtf8(signalTip);
  EXPECT_EQ(tipOf(RowOf(u"by the way")).find(u"begins"), std::u16string::npos);
  // A short buffer cuts the description, never the lines about the conflict.
  const std::u16string shortTip = tipOf(RowOf(u"Best regards"), 300);
  EXPECT_LE(shortTip.size(), 299u);
  EXPECT_NE(shortTip.find(wordEnd), std::u16string::npos) << Utf16ToUtf8(shortTip);

  // The marks follow the collection: the longer phrase switched off, then on again.
  SetFocus(Grid().hwnd());
  Grid().SelectRow(RowOf(u"Signal"));
  Pump();
  KeyToFocus(VK_SPACE);
  ASSERT_EQ(PhraseOf(u"Signal")->Enabled(), 0);
  EXPECT_FALSE(editor_->panel().IsMarked(0)) << "the shown keystroke signal no longer conflicts";
  EXPECT_FALSE(editor_->HasPrefixConflict(regards));
  EXPECT_FALSE(editor_->HasPrefixConflict(signal));
  EXPECT_EQ(tipOf(RowOf(u"Best regards")).find(u"begins"), std::u16string::npos);
  KeyToFocus(VK_SPACE);
  EXPECT_TRUE(editor_->HasPrefixConflict(regards));
  EXPECT_TRUE(editor_->panel().IsMarked(0));
  CloseEditor();

  // Words that expand at their end have no such conflict: nothing is marked. The tray menu
  // may switch that while the editor is open; the editor looks again when it is activated.
  Open();
  ASSERT_TRUE(editor_->HasPrefixConflict(regards));
  settings.expandOnWordEnd = 1;
  SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_FALSE(editor_->HasPrefixConflict(regards));
  CloseEditor();
  Open();
  EXPECT_FALSE(editor_->HasPrefixConflict(regards));
  EXPECT_FALSE(editor_->HasPrefixConflict(signal));
  EXPECT_EQ(PixelsOf(Grid().hwnd(), kOrange), 0);
  Grid().SelectRow(RowOf(u"Best regards"));
  Pump();
  EXPECT_FALSE(editor_->panel().IsMarked(0));
  EXPECT_EQ(tipOf(RowOf(u"Best regards")).find(u"begins"), std::u16string::npos);
}

TEST_F(PhraseEditorTest, ContextMenuNamesTheSelectedPhrase) {
  Open();
  const struct {
    int row;
    std::u16string edit, del;
  } cases[] = {
      {1, u"&Edit Phrase\u2026 [best regards]", u"&Delete [best regards]"},
      {-1, u"&Edit Phrase\u2026", u"&Delete"},
  };
  for (const auto& c : cases) {
    Grid().SelectRow(c.row);
    Pump();
    const UniqueMenu owned = editor_->CreateContextMenu();
    const HMENU menu = owned.get();
    ASSERT_NE(menu, nullptr);
    const UINT order[] = {ID_COPY_PHRASE, ID_PASTE_PHRASE, 0, ID_ADD_PHRASE, ID_EDIT_PHRASE, 0, ID_DELETE_PHRASE, 0,
                          ID_CHECKED_ONLY};
    ASSERT_EQ(GetMenuItemCount(menu), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(GetMenuItemID(menu, i), order[i]) << i;
    wchar_t text[256] = {};
    GetMenuStringW(menu, ID_EDIT_PHRASE, text, 256, MF_BYCOMMAND);
    EXPECT_EQ(std::u16string(AsU16(text)), c.edit);
    GetMenuStringW(menu, ID_DELETE_PHRASE, text, 256, MF_BYCOMMAND);
    EXPECT_EQ(std::u16string(AsU16(text)), c.del);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), ID_EDIT_PHRASE);
    // The command-update pass reaches the context menu too.
    SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ((GetMenuState(menu, ID_DELETE_PHRASE, MF_BYCOMMAND) & MF_GRAYED) != 0, c.row < 0);
  }
}

// The Help menu's windows open over the editor: the key list box and the About dialog.
TEST_F(PhraseEditorTest, HelpCommandsShowTheKeyListAndAboutOverTheEditor) {
  Open();
  {
    testing::MessageBoxCloser closer;
    Command(ID_COMMAND_LINE_KEYS);
    EXPECT_NE(testing::MessageBoxCloser::text().find(L"/exit    - "), std::wstring::npos)
        << testing::MessageBoxCloser::text();
  }
  // About is modal: a timer inside its loop notes its owner and closes it.
  static HWND aboutOwner;
  aboutOwner = nullptr;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
    HWND about = GetOpenAboutWindow();
    if (!about || aboutOwner) return;
    aboutOwner = GetWindow(about, GW_OWNER);
    PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
  });
  Command(ID_EDITOR_ABOUT);
  KillTimer(nullptr, timer);
  EXPECT_EQ(aboutOwner, Window());
  EXPECT_EQ(GetOpenAboutWindow(), nullptr);
  EXPECT_TRUE(IsWindow(Window()));  // the editor stays open
}

TEST_F(PhraseEditorTest, LinksShowTheirTextsAndTips) {
  Open();
  EXPECT_EQ(TextOf(GetDlgItem(Window(), IDC_HOME_LINK)), u"Vellix Home Page");
  EXPECT_EQ(TextOf(GetDlgItem(Window(), IDC_PRODUCT_LINK)), u"Vellix Clip: a history of the texts you copy");
  ASSERT_NE(editor_->linkTips(), nullptr);
  EXPECT_EQ(SendMessageW(editor_->linkTips(), TTM_GETMAXTIPWIDTH, 0, 0), 500);
  EXPECT_EQ(SendMessageW(editor_->linkTips(), TTM_GETTOOLCOUNT, 0, 0), 2);
}

std::vector<std::u16string>* g_openedLinks = nullptr;
bool RecordLink(HWND, const std::u16string& target) {
  g_openedLinks->push_back(target);
  return true;
}

// Each link opens the page of what it shows: the home page, and the page that the About
// dialog gives the product the second link advertises.
TEST_F(PhraseEditorTest, LinksOpenThePagesOfTheirTexts) {
  std::vector<std::u16string> opened;
  g_openedLinks = &opened;
  const LinkOpener previous = SetLinkOpener(&RecordLink);
  Open();
  const std::vector<AboutRow> rows =
      BuildAboutRows(AboutInputs{}, [](uint32_t id) { return GetLocalizedString(id); });
  const auto aboutTarget = [&](const std::u16string& text) {
    for (const AboutRow& row : rows) {
      if (row.text == text) return row.target;
    }
    return std::u16string(u"(no About row)");
  };
  const struct {
    int control;
    std::u16string page;
  } cases[] = {
      {IDC_HOME_LINK, std::u16string(HomePageAddress())},
      {IDC_PRODUCT_LINK, aboutTarget(TextOf(GetDlgItem(Window(), IDC_PRODUCT_LINK)))},
  };
  for (const auto& c : cases) {
    opened.clear();
    HWND link = GetDlgItem(Window(), c.control);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump();
    EXPECT_EQ(opened, std::vector<std::u16string>{c.page}) << c.control;
  }
  SetLinkOpener(previous);
  g_openedLinks = nullptr;
}

TEST_F(PhraseEditorTest, WindowKeepsItsMinimumSizeAndLayout) {
  Open();
  SetWindowPos(Window(), nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  RECT window{}, ok{};
  GetWindowRect(Window(), &window);
  GetWindowRect(GetDlgItem(Window(), IDOK), &ok);
  EXPECT_GE(window.right - window.left, 4 * (ok.right - ok.left) + 55);
  EXPECT_GE(window.bottom - window.top, (ok.bottom - ok.top) + 543);

  SetWindowPos(Window(), nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  RECT client{}, cancel{}, list{}, frame{};
  GetClientRect(Window(), &client);
  const auto rectOf = [&](int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(Window(), id), &r);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  cancel = rectOf(IDCANCEL);
  list = rectOf(IDC_PHRASE_LIST);
  frame = rectOf(IDC_DETAILS_FRAME);
  ok = rectOf(IDOK);
  EXPECT_NEAR(client.right - cancel.right, list.left, 1);  // same margins left and right
  EXPECT_LT(ok.right, cancel.left);
  EXPECT_EQ(frame.left, list.left);
  EXPECT_EQ(frame.right, list.right);
  EXPECT_LT(list.bottom, frame.top);
  EXPECT_LT(frame.bottom, ok.top);
  EXPECT_GT(cancel.bottom, client.bottom - 30);
  // The panel fills the frame's client area inside its margins.
  RECT panel{};
  GetWindowRect(editor_->panel().hwnd(), &panel);
  RECT frameScreen{};
  GetWindowRect(GetDlgItem(Window(), IDC_DETAILS_FRAME), &frameScreen);
  EXPECT_GT(panel.left, frameScreen.left);
  EXPECT_LT(panel.right, frameScreen.right);
  EXPECT_LT(panel.bottom, frameScreen.bottom);
  // The fixed columns keep their widths, or take their caption's width with the header's
  // margins where the font makes it longer, so that no caption is cut. The widths are set
  // when a database is loaded into the list, here into this wide window.
  const std::u16string other = ToU16(folder_.File(L"Other.xml"));
  WriteDatabase(other, {{u"other phrase", {{u"op", 1}}}});
  prompts_.chosen = other;
  Command(ID_OPEN_DATABASE);
  ASSERT_EQ(editor_->databasePath(), other);
  const struct {
    int column;
    const wchar_t* caption;
    int width;
  } fixed[] = {{kCase, L"Case Sensitive", 100}, {kAction, L"Action", 100}, {kUsage, L"Usage Count", 80}};
  for (const auto& f : fixed) {
    const int needed = ListView_GetStringWidth(Grid().hwnd(), f.caption) + 12;
    EXPECT_GE(Grid().ColumnWidth(f.column), std::max(f.width, needed)) << "column " << f.column;
  }
}

// A keystroke whose label edit is still open when a command comes from a menu (which
// leaves the focus in the edit) is applied before the command: Save And Close saves it, a
// refill of the list keeps it, Open saves it when asked, and closing asks about it.
TEST_F(PhraseEditorTest, KeystrokeEditOpenDuringACommandIsKept) {
  enum How { kMenu, kCloseRequest, kCloseBox };
  const struct {
    const char* name;
    How how;
    UINT command;
    INT_PTR result;  // 0: the editor stays open
  } cases[] = {
      {"save and close", kMenu, ID_SAVE_AND_CLOSE, IDOK},
      {"checked only", kMenu, ID_CHECKED_ONLY, 0},
      {"add", kMenu, ID_ADD_PHRASE, 0},
      {"open, yes", kMenu, ID_OPEN_DATABASE, 0},
      {"close request, yes", kCloseRequest, 0, IDOK},
      {"close box, yes", kCloseBox, 0, IDOK},
  };
  const std::u16string other = ToU16(folder_.File(L"Other.xml"));
  WriteDatabase(other, {{u"other phrase", {{u"op", 1}}}});
  for (const auto& c : cases) {
    WriteDatabase(dbPath_, {{u"by the way", {{u"btw", 1}}}, {u"best regards", {{u"br", 1}}}});
    working_.Clear();
    prompts_ = FakePrompts();
    prompts_.saveAnswer = IDYES;
    prompts_.chosen = other;
    Settings::Instance().showCheckedPhrasesOnly = 0;
    Open();
    const HWND list = PanelItem(IDC_KEYSTROKE_LIST);
    SetFocus(list);
    ListView_EditLabel(list, 0);
    Pump();
    const HWND edit = ListView_GetEditControl(list);
    ASSERT_NE(edit, nullptr) << c.name;
    SetWindowTextW(edit, L"bytw");
    switch (c.how) {
      case kMenu: Command(c.command); break;
      case kCloseRequest: SendMessageW(Window(), EditorCloseRequestMessage(), 0, 0); break;
      case kCloseBox: SendMessageW(Window(), WM_CLOSE, 0, 0); break;
    }
    Pump();
    EXPECT_EQ(editor_->result(), c.result) << c.name;
    if (c.command == ID_OPEN_DATABASE) {
      PhraseDatabase saved;
      ASSERT_EQ(PhraseDatabaseFile::Load(saved, dbPath_), 1) << c.name;
      EXPECT_EQ(saved.At(0).Prefixes(), (FlagMap{{u"bytw", 1}})) << c.name;
    } else {
      EXPECT_EQ(working_.At(0).Prefixes(), (FlagMap{{u"bytw", 1}})) << c.name;
    }
    CloseEditor();
  }
}

// A keystroke that holds a separator, or a full stop after other characters, can never be
// the typed word: the editor says so when it is added, renamed or switched on, and keeps it.
TEST_F(PhraseEditorTest, KeystrokeThatCanNeverFireIsReported) {
  Open();
  const uint32_t first = Grid().RowData(0);
  const struct {
    const char16_t* text;
    bool warned;
  } cases[] = {{u"by the", true}, {u"e.g", true}, {u"a,b", true}, {u"and/or", true},
               {u"bytw", false},  {u"..x", false}, {u"", false}};
  for (const auto& c : cases) {
    prompts_.keystrokeWarnings.clear();
    PanelNotify notify{};
    notify.hdr = {GetDlgItem(Window(), IDC_DETAILS_FRAME), IDC_DETAILS_FRAME, kPanelTestKeystroke};
    notify.phraseId = first;
    notify.text = c.text;
    SendMessageW(Window(), WM_NOTIFY, IDC_DETAILS_FRAME, reinterpret_cast<LPARAM>(&notify));
    ASSERT_EQ(prompts_.keystrokeWarnings.size(), c.warned ? 1u : 0u) << Utf16ToUtf8(c.text);
    if (c.warned) {
      EXPECT_EQ(prompts_.keystrokeWarnings[0].find(u"The keystroke \"" + std::u16string(c.text) + u"\" can never expand"),
                0u)
          << Utf16ToUtf8(prompts_.keystrokeWarnings[0]);
    }
  }
}

// Add proposes the clipboard's text as the new phrase's first keystroke; a text with blanks
// taken as it is gets the warning.
TEST_F(PhraseEditorTest, ClipboardTextTakenAsKeystrokeIsReported) {
  Open();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    const wchar_t text[] = L"Best regards, John";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
  }
  Command(ID_ADD_PHRASE);
  EndGridEdit(VK_RETURN);
  const HWND edit = ListView_GetEditControl(PanelItem(IDC_KEYSTROKE_LIST));
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  ASSERT_EQ(working_.Size(), 4u);
  EXPECT_EQ(working_.At(3).Prefixes(), (FlagMap{{u"Best regards, John", 1}}));
  ASSERT_EQ(prompts_.keystrokeWarnings.size(), 1u);
  EXPECT_NE(prompts_.keystrokeWarnings[0].find(u"\"Best regards, John\""), std::u16string::npos);
}

// A database that is not read whole is named before the editor opens it, with what was
// read and where reading stopped; so is one that Open loads.
TEST_F(PhraseEditorTest, DatabaseNotReadWholeIsReportedBeforeItIsShown) {
  const auto write = [](const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
  };
  SetFileAttributesW(AsWide(dbPath_.c_str()), FILE_ATTRIBUTE_NORMAL);
  write(AsWide(dbPath_.c_str()),
        "<Tessil_Phrase_Data>\r\n<Phrase Enabled=\"1\"><Word>one</Word></Phrase>\r\n"
        "<Phrase Enabled=\"1\"><Word>two</Wrod></Phrase>\r\n<Phrase><Word>three</Word></Phrase>\r\n"
        "</Tessil_Phrase_Data>\r\n");
  const std::wstring empty = folder_.File(L"Empty.xml");
  write(empty, "");
  // The host's collection of that file holds a usage count typed since it was read, which
  // the host did not save over the damaged file: the editor keeps the collection.
  auto counted = std::make_unique<Phrase>();
  counted->SetWord(u"one");
  counted->SetCountUsage(5);
  working_.Add(std::move(counted));
  Open(dbPath_);
  ASSERT_EQ(prompts_.databaseWarnings.size(), 1u);
  ASSERT_EQ(working_.Size(), 1u);
  EXPECT_EQ(working_.At(0).CountUsage(), 5);
  CloseEditor();

  // Opened for another file, the editor loads what it can of the configured one.
  prompts_ = FakePrompts();
  working_.Clear();
  Open();
  ASSERT_EQ(prompts_.databaseWarnings.size(), 1u);
  EXPECT_EQ(prompts_.databaseWarnings[0],
            u"Database.xml was not read to its end. Phrases read: 2. Reading stopped at line 3, column 30. Vellix "
            u"will not save this file by itself until you save it from the phrase editor, which keeps a backup of "
            u"it first.");
  EXPECT_EQ(working_.Size(), 2u);

  prompts_.chosen = ToU16(empty);
  Command(ID_OPEN_DATABASE);
  ASSERT_EQ(prompts_.databaseWarnings.size(), 2u);
  EXPECT_EQ(prompts_.databaseWarnings[1].find(u"Empty.xml could not be read. "), 0u);
  EXPECT_EQ(editor_->databasePath(), dbPath_);  // nothing was loaded
  EXPECT_EQ(working_.Size(), 2u);
}

}  // namespace
}  // namespace vellix
