// The phrase details panel inside its frame, as the editor uses it: showing a phrase,
// enabling and the frame caption, adding, renaming, removing and toggling keystrokes, the
// notifications to the editor, the drawing of keystrokes, storing into a phrase, and the
// layout. A small top-level window stands in for the editor and records the notifications.
// Needs a display (the Windows tests run on a private Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "base/wide.h"
#include "controls/details_frame_win.h"
#include "editor/phrase_details_panel_win.h"
#include "lang/localized_dialog_win.h"
#include "phrases/phrase.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "services/excluded_programs.h"
#include "win32/program_windows_win.h"
#include "win_test_support.h"

namespace vellix {
namespace {

struct Received {
  UINT code = 0;
  uint32_t phraseId = 0;
  std::u16string text;
  HWND from = nullptr;
  UINT_PTR idFrom = 0;
  FlagMap stored;  // what the panel held when it reported a change
};

std::vector<Received>* g_received = nullptr;
PhraseDetailsPanel* g_panel = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY && g_received) {
    const auto* notify = reinterpret_cast<const PanelNotify*>(lparam);
    if (notify->hdr.idFrom == IDC_DETAILS_FRAME) {
      Received received{notify->hdr.code, notify->phraseId, notify->text, notify->hdr.hwndFrom,
                        notify->hdr.idFrom, {}};
      if (g_panel && notify->hdr.code == kPanelChanged) {
        // As the editor does: store the panel into the phrase the notification names.
        Phrase phrase;
        g_panel->StoreInto(phrase);
        received.stored = phrase.Prefixes();
      }
      g_received->push_back(std::move(received));
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

using testing::Pump;

void SetClipboard(const std::u16string* text) {
  if (text) {
    ASSERT_TRUE(PutClipboardText(*text));
    return;
  }
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

std::unique_ptr<Phrase> MakePhrase(uint32_t id, std::u16string word, FlagMap keys, int32_t leftAfter = 0,
                                   bool enabled = true) {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetId(id);
  phrase->SetWord(std::move(word));
  phrase->Prefixes() = std::move(keys);
  phrase->SetLeftAfter(leftAfter);
  phrase->SetEnabled(enabled ? 1 : 0);
  return phrase;
}

RECT RectIn(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Pixels of the grey text colour in the window as it is painted now.
int GreyPixels(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  RECT client{};
  GetClientRect(window, &client);
  const HDC dc = GetDC(window);
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  int count = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == grey;
  }
  ReleaseDC(window, dc);
  return count;
}

std::string Show(const std::vector<Received>& received) {
  std::string text;
  for (const auto& r : received) text += std::to_string(r.code) + ":\"" + Utf16ToUtf8(r.text) + "\" ";
  return text;
}

class DetailsPanelTest : public ::testing::Test {
 protected:
  // One visible host window for the whole suite: Wine needs about two seconds to hide a
  // top-level window on a display without a window manager.
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                        ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VellixPanelTestHost";
    windowClass.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    RegisterClassW(&windowClass);
    host_ = CreateWindowExW(0, L"VellixPanelTestHost", L"details panel test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                            40, 720, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    testing::ToForeground(host_);
    Pump();
  }
  static void TearDownTestSuite() {
    if (host_) DestroyWindow(host_);
    host_ = nullptr;
    Pump();
  }

  void SetUp() override {
    ASSERT_NE(host_, nullptr);
    group_ = CreateWindowExW(0, L"BUTTON", L"Details", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 680, 240,
                             host_, reinterpret_cast<HMENU>(UINT_PTR(IDC_DETAILS_FRAME)), GetModuleHandleW(nullptr),
                             nullptr);
    ASSERT_NE(group_, nullptr);
    ASSERT_TRUE(frame_.Attach(group_));
    ASSERT_NE(panel_.Create(group_, host_), nullptr);
    frame_.SetPanel(panel_.hwnd());
    g_received = &received_;
    g_panel = &panel_;
    Pump();
  }
  void TearDown() override {
    g_received = nullptr;
    g_panel = nullptr;
    if (group_) DestroyWindow(group_);  // and the panel inside it
    Pump();
  }

  HWND Item(int id) const { return panel_.Item(id); }
  HWND List() const { return panel_.keystrokes().hwnd(); }
  const KeystrokeList& Keys() const { return panel_.keystrokes(); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  std::u16string Caption() const { return WindowText(group_); }

  void ShowAndSettle(const Phrase& phrase) {
    panel_.ShowPhrase(phrase);
    Pump();
  }
  void Click(int id) {
    SendMessageW(panel_.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(Item(id)));
    Pump();
  }
  void Select(int item) {
    ListView_SetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(List(), item);
    Pump();
  }
  // A toggle as the user makes it: the Space key on the focused item.
  void UserToggle(int item) {
    SetFocus(List());
    Select(item);
    SendMessageW(List(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(List(), WM_KEYUP, VK_SPACE, 0);
    Pump();
  }
  // Ends the label edit in progress: with Escape (typed == nullptr) or after typing.
  void EndLabelEdit(const char16_t* typed) {
    const HWND edit = ListView_GetEditControl(List());
    ASSERT_NE(edit, nullptr) << "no label edit in progress";
    if (typed) SetWindowTextW(edit, AsWide(typed));
    SendMessageW(edit, WM_KEYDOWN, typed ? VK_RETURN : VK_ESCAPE, 0);
    Pump();
  }
  FlagMap Stored() {
    Phrase phrase;
    panel_.StoreInto(phrase);
    return phrase.Prefixes();
  }
  int32_t StoredLeftAfter() {
    Phrase phrase;
    panel_.StoreInto(phrase);
    return phrase.LeftAfter();
  }
  LRESULT CustomDraw(DWORD stage, int item, HDC dc, COLORREF& text) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = List();
    draw.nmcd.hdr.idFrom = IDC_KEYSTROKE_LIST;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = DWORD_PTR(item);
    draw.nmcd.hdc = dc;
    draw.clrText = text;
    const LRESULT result = SendMessageW(panel_.hwnd(), WM_NOTIFY, IDC_KEYSTROKE_LIST, reinterpret_cast<LPARAM>(&draw));
    text = draw.clrText;
    return result;
  }

  static inline HWND host_ = nullptr;
  HWND group_ = nullptr;
  DetailsFrame frame_;
  PhraseDetailsPanel panel_;
  std::vector<Received> received_;
};

TEST_F(DetailsPanelTest, StartsDisabledWithItsControlsSetUp) {
  EXPECT_FALSE(IsWindowEnabled(panel_.hwnd()));
  for (int id : {IDC_KEYSTROKE_LIST, IDC_ADD_KEYSTROKE, IDC_REMOVE_KEYSTROKE, IDC_CARET_LEFT_CHECK,
                 IDC_CARET_LEFT_COUNT, IDC_CARET_LEFT_SPIN}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_EQ(GetWindowLongPtrW(panel_.hwnd(), GWL_STYLE) & (WS_BORDER | WS_DLGFRAME | WS_CAPTION), 0);
  EXPECT_NE(ListView_GetExtendedListViewStyle(List()) & LVS_EX_CHECKBOXES, 0u);
  EXPECT_NE(ListView_GetExtendedListViewStyle(List()) & LVS_EX_FULLROWSELECT, 0u);

  wchar_t caption[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = caption;
  column.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_EQ(std::wstring(caption), L"Keystrokes");

  int low = -1, high = -1;
  SendMessageW(Item(IDC_CARET_LEFT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 100);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(Item(IDC_CARET_LEFT_SPIN), UDM_GETBUDDY, 0, 0)),
            Item(IDC_CARET_LEFT_COUNT));

  LOGFONTW bold{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(IDC_POST_INSERTION_GROUP), WM_GETFONT, 0, 0)), sizeof(bold), &bold);
  EXPECT_GE(bold.lfWeight, FW_BOLD);

  const struct {
    int control;
    const wchar_t* tip;
  } tips[] = {{IDC_ADD_KEYSTROKE, L"Add new keystroke"}, {IDC_REMOVE_KEYSTROKE, L"Remove selected keystroke"}};
  ASSERT_NE(panel_.toolTip(), nullptr);
  for (const auto& tip : tips) {
    wchar_t text[128] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = panel_.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(tip.control));
    tool.lpszText = text;
    SendMessageW(panel_.toolTip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), tip.tip);
  }
  EXPECT_TRUE(received_.empty());
}

TEST_F(DetailsPanelTest, ShowPhraseFillsTheControlsWithoutAStore) {
  const auto phrase = MakePhrase(7, u"Best regards", {{u"br", 1}, {u"BR", 0}, {u"regs", 1}}, 3);
  ShowAndSettle(*phrase);
  EXPECT_EQ(panel_.phraseId(), 7u);
  ASSERT_EQ(Keys().Count(), 3);
  // The keystrokes' own order; the checks are their enabled flags.
  const struct {
    const char16_t* text;
    bool checked;
  } items[] = {{u"BR", false}, {u"br", true}, {u"regs", true}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Keys().Text(i), items[i].text) << i;
    EXPECT_EQ(Keys().Checked(i), items[i].checked) << i;
  }
  EXPECT_EQ(IsDlgButtonChecked(panel_.hwnd(), IDC_CARET_LEFT_CHECK), BST_CHECKED);
  EXPECT_EQ(WindowText(Item(IDC_CARET_LEFT_COUNT)), u"3");
  EXPECT_EQ(LOWORD(SendMessageW(Item(IDC_CARET_LEFT_SPIN), UDM_GETPOS, 0, 0)), 3);
  EXPECT_EQ(Caption(), u"Details - [Best regards]");
  EXPECT_TRUE(Enabled(IDC_CARET_LEFT_COUNT));
  EXPECT_FALSE(Keys().ShowsEmptyText());

  // The edit field is rewritten, the checks are set, and still no notification.
  const auto other = MakePhrase(8, u"Other", {{u"o", 1}}, 0);
  ShowAndSettle(*other);
  EXPECT_EQ(WindowText(Item(IDC_CARET_LEFT_COUNT)), u"0");
  EXPECT_EQ(IsDlgButtonChecked(panel_.hwnd(), IDC_CARET_LEFT_CHECK), BST_UNCHECKED);
  EXPECT_FALSE(Enabled(IDC_CARET_LEFT_COUNT));
  EXPECT_FALSE(Enabled(IDC_CARET_LEFT_SPIN));
  EXPECT_TRUE(received_.empty()) << Show(received_);
  EXPECT_EQ(Stored(), (FlagMap{{u"o", 1}}));

  // A keystroke longer than a first read of the list's text.
  const std::u16string longKey(700, u'k');
  const auto longer = MakePhrase(9, u"Long", {{longKey, 1}});
  ShowAndSettle(*longer);
  EXPECT_EQ(Keys().Text(0), longKey);
  EXPECT_EQ(Stored(), (FlagMap{{longKey, 1}}));
}

TEST_F(DetailsPanelTest, NoKeystrokesShowsTheEmptyListText) {
  const auto phrase = MakePhrase(1, u"Lonely", {});
  ShowAndSettle(*phrase);
  EXPECT_EQ(Keys().Count(), 0);
  EXPECT_EQ(Keys().EmptyText(), u"ERROR: keystrokes not specified");
  EXPECT_TRUE(Keys().ShowsEmptyText());

  // The text really reaches the list's empty area: paint it into a bitmap of the list.
  RECT client{};
  GetClientRect(List(), &client);
  const HDC screen = GetDC(List());
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  KeystrokeList::PaintEmptyText(List(), Keys().EmptyText(), dc);
  int inked = 0;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) inked += GetPixel(dc, x, y) != RGB(255, 255, 255);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(List(), screen);
  EXPECT_GT(inked, 20);
  // And the list paints it itself.
  EXPECT_GT(GreyPixels(List()), 20);

  const auto filled = MakePhrase(2, u"Filled", {{u"f", 1}});
  ShowAndSettle(*filled);
  EXPECT_FALSE(Keys().ShowsEmptyText());
}

TEST_F(DetailsPanelTest, DisabledPhraseMarksTheCaptionAndDisablesEverything) {
  const auto phrase = MakePhrase(3, u"Old text", {{u"ot", 1}}, 2, /*enabled=*/false);
  ShowAndSettle(*phrase);
  EXPECT_EQ(Caption(), u"Details - [Old text] - NOT USE");
  EXPECT_FALSE(IsWindowEnabled(group_));
  for (HWND child = GetWindow(panel_.hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    EXPECT_FALSE(IsWindowEnabled(child)) << GetDlgCtrlID(child);
  }
  panel_.BeginNewKeystroke();  // the editor's request finds nothing to add to
  Pump();
  EXPECT_EQ(Keys().Count(), 1);
  panel_.Enable(false);  // again: the mark is not repeated
  EXPECT_EQ(Caption(), u"Details - [Old text] - NOT USE");
  panel_.RefreshCaption(*phrase);  // a disabled panel keeps the mark
  EXPECT_EQ(Caption(), u"Details - [Old text] - NOT USE");

  panel_.Enable(true);
  Pump();
  EXPECT_EQ(Caption(), u"Details - [Old text]");
  EXPECT_TRUE(IsWindowEnabled(group_));
  EXPECT_TRUE(Enabled(IDC_KEYSTROKE_LIST));
  EXPECT_TRUE(Enabled(IDC_ADD_KEYSTROKE));
  EXPECT_FALSE(Enabled(IDC_REMOVE_KEYSTROKE));  // nothing selected yet
  EXPECT_TRUE(Enabled(IDC_CARET_LEFT_COUNT));   // 1009 is checked
  EXPECT_TRUE(Enabled(IDC_CARET_LEFT_SPIN));
  EXPECT_TRUE(received_.empty()) << Show(received_);

  phrase->SetWord(u"New - NOT USE text");
  panel_.RefreshCaption(*phrase);
  panel_.Enable(true);  // the phrase's own words stay
  EXPECT_EQ(Caption(), u"Details - [New - NOT USE text]");
}

TEST_F(DetailsPanelTest, NewKeystrokeStartsWithTheClipboardText) {
  const std::u16string twoFields = u"ab\tcd\r\nmore text";
  const std::u16string leadingTab = u"\tab\tcd\r\nmore";
  const struct {
    const std::u16string* clipboard;
    const char16_t* expected;
  } cases[] = {{&twoFields, u"ab"}, {&leadingTab, u"\tab\tcd"}, {nullptr, u"Keystroke"}};
  const auto phrase = MakePhrase(4, u"Phrase", {});
  for (const auto& c : cases) {
    ShowAndSettle(*phrase);
    received_.clear();
    SetClipboard(c.clipboard);
    panel_.BeginNewKeystroke();
    Pump();
    ASSERT_EQ(Keys().Count(), 1);
    EXPECT_EQ(Keys().Text(0), c.expected);
    EXPECT_TRUE(Keys().Checked(0));
    EXPECT_EQ(panel_.SelectedKeystroke(), 0);
    EXPECT_NE(ListView_GetEditControl(List()), nullptr);
    EXPECT_EQ(GetFocus(), ListView_GetEditControl(List()));
    EXPECT_TRUE(received_.empty()) << "nothing is stored before the name is given";
    EndLabelEdit(nullptr);
  }
}

// The list view ends a label edit with the typed text, or with no text when cancelled.
// An emptied field is delivered as the Windows list view does (an empty text); Wine's list
// view reports it as a cancel, so those cases send the notification themselves.
TEST_F(DetailsPanelTest, EndOfLabelEdit) {
  enum End { kEscape, kTyped, kEmptyText };
  const struct {
    const char* name;
    bool isNew;                // a keystroke just added (default text "new") or the existing "old"
    End end;
    const char16_t* typed;
    const char16_t* item;      // the keystroke's text afterwards (for kEmptyText: unchanged yet)
    bool accepted;             // the panel's answer to an empty text
    std::vector<UINT> codes;   // notifications, in order
    const char16_t* tested;    // text of the duplicate test, when there is one
  } cases[] = {
      {"new, cancelled keeps the default", true, kEscape, nullptr, u"new", false,
       {kPanelTestKeystroke, kPanelChanged}, u"new"},
      {"new, typed", true, kTyped, u"xyz", u"xyz", false, {kPanelTestKeystroke, kPanelChanged}, u"xyz"},
      {"new, emptied is accepted", true, kEmptyText, u"", u"new", true, {kPanelChanged}, nullptr},
      {"existing, typed", false, kTyped, u"renamed", u"renamed", false, {kPanelTestKeystroke, kPanelChanged},
       u"renamed"},
      {"existing, cancelled", false, kEscape, nullptr, u"old", false, {}, nullptr},
      {"existing, emptied is refused", false, kEmptyText, u"", u"old", false, {}, nullptr},
  };
  const std::u16string clipboard = u"new";
  for (const auto& c : cases) {
    const auto phrase = MakePhrase(9, u"Phrase", {{u"old", 1}});
    ShowAndSettle(*phrase);
    SetClipboard(&clipboard);
    const int item = c.isNew ? 1 : 0;
    if (c.isNew) {
      panel_.BeginNewKeystroke();
    } else {
      SetFocus(List());
      ListView_EditLabel(List(), 0);
    }
    Pump();
    received_.clear();
    if (c.end == kEmptyText) {
      wchar_t empty[1] = {L'\0'};
      NMLVDISPINFOW info{};
      info.hdr.hwndFrom = List();
      info.hdr.idFrom = IDC_KEYSTROKE_LIST;
      info.hdr.code = LVN_ENDLABELEDITW;
      info.item.iItem = item;
      info.item.pszText = empty;
      const LRESULT answer = SendMessageW(panel_.hwnd(), WM_NOTIFY, IDC_KEYSTROKE_LIST, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(answer != FALSE, c.accepted) << c.name;
      Pump();
    }
    std::vector<UINT> codes;
    for (const auto& r : received_) codes.push_back(r.code);
    if (c.end != kEmptyText) {
      EndLabelEdit(c.typed);
      codes.clear();
      for (const auto& r : received_) codes.push_back(r.code);
    } else {
      EndLabelEdit(nullptr);  // closes the list view's own editor; adding is already over
      std::vector<UINT> after;
      for (const auto& r : received_) after.push_back(r.code);
      EXPECT_EQ(after, codes) << c.name << ": the cancel after the end reported " << Show(received_);
    }
    EXPECT_EQ(ListView_GetEditControl(List()), nullptr) << c.name;
    ASSERT_EQ(Keys().Count(), c.isNew ? 2 : 1) << c.name;
    EXPECT_EQ(Keys().Text(item), c.item) << c.name;
    EXPECT_EQ(codes, c.codes) << c.name << ": " << Show(received_);
    if (c.tested && !received_.empty()) {
      EXPECT_EQ(received_.front().text, c.tested) << c.name;
    }
    for (const auto& r : received_) {
      EXPECT_EQ(r.phraseId, 9u) << c.name;
      EXPECT_EQ(r.from, group_) << c.name;
      EXPECT_EQ(r.idFrom, UINT_PTR(IDC_DETAILS_FRAME)) << c.name;
    }
    // Every end clears adding: a later cancelled edit of the same item is an existing
    // keystroke's and changes nothing.
    SetFocus(List());
    ListView_EditLabel(List(), item);
    Pump();
    received_.clear();
    EndLabelEdit(nullptr);
    EXPECT_TRUE(received_.empty()) << c.name << ": " << Show(received_);
  }
}

TEST_F(DetailsPanelTest, EqualTextsStoreOneKeystrokeWithTheLastCheck) {
  const auto phrase = MakePhrase(5, u"Be right back", {});
  ShowAndSettle(*phrase);
  const std::u16string clipboard = u"brb";
  SetClipboard(&clipboard);
  for (int i = 0; i < 2; ++i) {
    panel_.BeginNewKeystroke();
    Pump();
    EndLabelEdit(nullptr);
  }
  ASSERT_EQ(Keys().Count(), 2);
  UserToggle(1);
  ASSERT_TRUE(Keys().Checked(0));
  ASSERT_FALSE(Keys().Checked(1));
  EXPECT_EQ(Stored(), (FlagMap{{u"brb", 0}}));
}

TEST_F(DetailsPanelTest, UserToggleTestsTheTextAndDrawsUncheckedGreyStruckOut) {
  const auto phrase = MakePhrase(6, u"On and off", {{u"a", 1}, {u"onoff", 1}});
  ShowAndSettle(*phrase);

  UserToggle(1);
  ASSERT_FALSE(Keys().Checked(1));
  ASSERT_EQ(received_.size(), 2u) << Show(received_);
  EXPECT_EQ(received_[0].code, kPanelTestKeystroke);
  EXPECT_EQ(received_[0].text, u"");  // only clears the editor's highlight
  EXPECT_EQ(received_[1].code, kPanelChanged);
  EXPECT_EQ(received_[1].phraseId, 6u);
  EXPECT_EQ(Stored(), (FlagMap{{u"a", 1}, {u"onoff", 0}}));

  received_.clear();
  UserToggle(1);
  ASSERT_EQ(received_.size(), 2u) << Show(received_);
  EXPECT_EQ(received_[0].code, kPanelTestKeystroke);
  EXPECT_EQ(received_[0].text, u"onoff");
  EXPECT_EQ(received_[1].code, kPanelChanged);

  // Programmatic checks are never reported.
  received_.clear();
  const auto again = MakePhrase(6, u"On and off", {{u"a", 0}, {u"onoff", 1}});
  ShowAndSettle(*again);
  EXPECT_TRUE(received_.empty()) << Show(received_);

  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  COLORREF unused = 0;
  EXPECT_EQ(CustomDraw(CDDS_PREPAINT, -1, dc, unused), CDRF_NOTIFYITEMDRAW);
  const struct {
    const char* name;
    int item;
    bool listEnabled;
    bool grey;
    bool struckOut;
  } cases[] = {
      {"checked", 1, true, false, false},
      {"unchecked", 0, true, true, true},
      {"checked in a disabled list", 1, false, true, false},
      {"unchecked in a disabled list", 0, false, true, true},
  };
  for (const auto& c : cases) {
    EnableWindow(List(), c.listEnabled);
    SelectObject(dc, original);
    const COLORREF before = RGB(1, 2, 3);
    COLORREF text = before;
    const LRESULT result = CustomDraw(CDDS_ITEMPREPAINT, c.item, dc, text);
    EXPECT_EQ(text, c.grey ? GetSysColor(COLOR_GRAYTEXT) : before) << c.name;
    EXPECT_EQ(result, c.grey ? CDRF_NEWFONT : CDRF_DODEFAULT) << c.name;
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    EXPECT_EQ(font.lfStrikeOut != 0, c.struckOut) << c.name;
  }
  SelectObject(dc, original);
  DeleteDC(dc);

  // The list's own painting goes through the same rule.
  EnableWindow(List(), TRUE);
  const auto one = MakePhrase(6, u"Wide", {{u"WWWWWWWW", 0}});
  ShowAndSettle(*one);
  const int greyUnchecked = GreyPixels(List());
  const auto checkedOne = MakePhrase(6, u"Wide", {{u"WWWWWWWW", 1}});
  ShowAndSettle(*checkedOne);
  EXPECT_GT(greyUnchecked, GreyPixels(List()) + 20);
}

// The mouse toggles the box it hits, whichever item is selected: the duplicate test is for
// the toggled keystroke, and the selection stays where it was.
TEST_F(DetailsPanelTest, MarkedKeystrokesAreDrawnInTheirColourWhileCheckedAndUntilTheNextPhrase) {
  const auto phrase = MakePhrase(8, u"Best regards", {{u"br", 1}, {u"sig", 1}, {u"sx", 0}});
  ShowAndSettle(*phrase);  // items in key order: br, sig, sx
  panel_.SetMarkedKeystrokes({u"sig", u"sx"});
  const HDC dc = CreateCompatibleDC(nullptr);
  const COLORREF before = RGB(1, 2, 3);
  const struct {
    const char* name;
    int item;
    bool listEnabled;
    COLORREF text;
  } cases[] = {
      {"marked and checked", 1, true, PhraseDetailsPanel::kMarkedColour},
      {"not marked", 0, true, before},
      {"marked but unchecked: grey as every unchecked one", 2, true, GetSysColor(COLOR_GRAYTEXT)},
      {"marked in a disabled list: grey", 1, false, GetSysColor(COLOR_GRAYTEXT)},
  };
  for (const auto& c : cases) {
    EnableWindow(List(), c.listEnabled);
    COLORREF text = before;
    CustomDraw(CDDS_ITEMPREPAINT, c.item, dc, text);
    EXPECT_EQ(text, c.text) << c.name;
  }
  DeleteDC(dc);
  EnableWindow(List(), TRUE);
  EXPECT_TRUE(panel_.IsMarked(1));
  ShowAndSettle(*phrase);
  EXPECT_FALSE(panel_.IsMarked(1)) << "showing a phrase clears the marks";
}

TEST_F(DetailsPanelTest, ClickOnTheBoxOfAnUnselectedKeystrokeTestsThatKeystroke) {
  const auto phrase = MakePhrase(7, u"Two keys", {{u"first", 1}, {u"second", 1}});
  ShowAndSettle(*phrase);
  SetFocus(List());
  Select(0);
  RECT bounds{};
  ASSERT_TRUE(ListView_GetItemRect(List(), 1, &bounds, LVIR_BOUNDS));
  LVHITTESTINFO hit{};
  hit.pt = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
  ListView_SubItemHitTest(List(), &hit);
  ASSERT_EQ(hit.iItem, 1);
  ASSERT_NE(hit.flags & LVHT_ONITEMSTATEICON, 0u) << "the point is not on the check box";
  const struct {
    bool checkedAfter;
    const char16_t* tested;
  } clicks[] = {{false, u""}, {true, u"second"}};
  for (const auto& c : clicks) {
    received_.clear();
    SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    SendMessageW(List(), WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    Pump();
    EXPECT_EQ(Keys().Checked(1), c.checkedAfter);
    ASSERT_EQ(received_.size(), 2u) << Show(received_);
    EXPECT_EQ(received_[0].code, kPanelTestKeystroke);
    EXPECT_EQ(received_[0].text, c.tested);
    EXPECT_EQ(received_[1].code, kPanelChanged);
    EXPECT_EQ(panel_.SelectedKeystroke(), 0);
  }
}

// A click in the editor's list can end a change and show another phrase within one
// message, before the panel's posted report arrives: the change still reaches the phrase
// it was made in, with that phrase's keystrokes.
TEST_F(DetailsPanelTest, ChangeReportedBeforeTheNextPhraseIsShown) {
  const auto first = MakePhrase(21, u"First", {{u"one", 1}});
  const auto second = MakePhrase(22, u"Second", {{u"two", 1}});
  ShowAndSettle(*first);
  SetFocus(List());
  Select(0);
  SendMessageW(List(), WM_KEYDOWN, VK_SPACE, 0);  // unchecks "one"; its report is posted
  SendMessageW(List(), WM_KEYUP, VK_SPACE, 0);
  panel_.ShowPhrase(*second);
  Pump();
  std::vector<Received> changes;
  for (const auto& r : received_) {
    if (r.code == kPanelChanged) changes.push_back(r);
  }
  ASSERT_EQ(changes.size(), 1u) << Show(received_);
  EXPECT_EQ(changes[0].phraseId, 21u);
  EXPECT_EQ(changes[0].stored, (FlagMap{{u"one", 0}}));
  EXPECT_EQ(Stored(), (FlagMap{{u"two", 1}}));
}

TEST_F(DetailsPanelTest, Remove) {
  const auto phrase = MakePhrase(2, u"Two", {{u"a", 1}, {u"b", 1}, {u"c", 0}});
  ShowAndSettle(*phrase);
  // Nothing selected: nothing removed, nothing reported.
  Click(IDC_REMOVE_KEYSTROKE);
  EXPECT_EQ(Keys().Count(), 3);
  EXPECT_FALSE(Enabled(IDC_REMOVE_KEYSTROKE));
  EXPECT_TRUE(received_.empty());

  Select(1);
  EXPECT_TRUE(Enabled(IDC_REMOVE_KEYSTROKE));
  Click(IDC_REMOVE_KEYSTROKE);
  ASSERT_EQ(Keys().Count(), 2);
  EXPECT_EQ(Keys().Text(0), u"a");
  EXPECT_EQ(Keys().Text(1), u"c");
  ASSERT_EQ(received_.size(), 1u) << Show(received_);
  EXPECT_EQ(received_[0].code, kPanelChanged);
  EXPECT_EQ(Stored(), (FlagMap{{u"a", 1}, {u"c", 0}}));

  // The next item is selected; a deselected item with the mark still on it is not removed.
  EXPECT_EQ(panel_.SelectedKeystroke(), 1);
  ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
  Pump();
  EXPECT_EQ(panel_.SelectedKeystroke(), -1);
  EXPECT_FALSE(Enabled(IDC_REMOVE_KEYSTROKE));
  received_.clear();
  Click(IDC_REMOVE_KEYSTROKE);
  EXPECT_EQ(Keys().Count(), 2);
  EXPECT_TRUE(received_.empty());
}

TEST_F(DetailsPanelTest, ContextMenuFollowsTheButtons) {
  const auto phrase = MakePhrase(2, u"Menu", {{u"m", 1}});
  ShowAndSettle(*phrase);
  const struct {
    bool selected;
    bool removeOn;
  } cases[] = {{false, false}, {true, true}};
  for (const auto& c : cases) {
    if (c.selected) Select(0);
    const UniqueMenu owned = panel_.CreateKeystrokeMenu();
    const HMENU menu = owned.get();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetMenuItemID(menu, 0), UINT(IDC_ADD_KEYSTROKE));
    EXPECT_EQ(GetMenuItemID(menu, 1), UINT(IDC_REMOVE_KEYSTROKE));
    wchar_t text[32] = {};
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Add");
    GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Remove");
    EXPECT_EQ((GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED) != 0, false);
    EXPECT_EQ((GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED) != 0, !c.removeOn) << c.selected;
  }
}

struct MenuSeen {
  std::vector<UINT> ids;
  std::vector<std::wstring> texts;
  bool choose = false;  // choose the first item with the keyboard instead of closing
};

LRESULT CALLBACK WatchMenu(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  if (message == WM_INITMENUPOPUP) {
    auto* seen = reinterpret_cast<MenuSeen*>(data);
    const auto menu = reinterpret_cast<HMENU>(wparam);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[32] = {};
      GetMenuStringW(menu, UINT(i), text, 32, MF_BYPOSITION);
      seen->ids.push_back(GetMenuItemID(menu, i));
      seen->texts.push_back(text);
    }
    if (seen->choose) {
      PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    } else {
      EndMenu();
    }
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// A right click in the list reaches the panel as WM_CONTEXTMENU from the list.
TEST_F(DetailsPanelTest, RightClickMenuRunsTheButtonsCommands) {
  const auto phrase = MakePhrase(2, u"Menu", {{u"m", 1}});
  ShowAndSettle(*phrase);
  MenuSeen seen;
  ASSERT_TRUE(SetWindowSubclass(panel_.hwnd(), WatchMenu, 1, reinterpret_cast<DWORD_PTR>(&seen)));
  RECT rect{};
  GetWindowRect(List(), &rect);
  const LPARAM at = MAKELPARAM(rect.left + 20, rect.top + 40);
  SendMessageW(panel_.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), at);
  Pump();
  EXPECT_EQ(seen.ids, (std::vector<UINT>{IDC_ADD_KEYSTROKE, IDC_REMOVE_KEYSTROKE}));
  EXPECT_EQ(seen.texts, (std::vector<std::wstring>{L"Add", L"Remove"}));
  EXPECT_EQ(Keys().Count(), 1);

  seen = MenuSeen{};
  seen.choose = true;
  const std::u16string clipboard = u"fromMenu";
  SetClipboard(&clipboard);
  SendMessageW(panel_.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), at);
  Pump();
  ASSERT_EQ(Keys().Count(), 2);
  EXPECT_EQ(Keys().Text(1), u"fromMenu");
  EXPECT_NE(ListView_GetEditControl(List()), nullptr);
  EndLabelEdit(nullptr);
  RemoveWindowSubclass(panel_.hwnd(), WatchMenu, 1);
}

TEST_F(DetailsPanelTest, StoreIntoTakesTheCaretLeftCount) {
  const auto phrase = MakePhrase(1, u"Caret", {{u"c", 1}}, 1);
  const struct {
    bool checked;
    const wchar_t* text;
    int32_t expected;
  } cases[] = {
      {true, L"12abc", 12}, {true, L"abc", 0}, {false, L"12", 0}, {true, L"250", 250}, {true, L"", 0},
  };
  for (const auto& c : cases) {
    ShowAndSettle(*phrase);
    CheckDlgButton(panel_.hwnd(), IDC_CARET_LEFT_CHECK, c.checked ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(panel_.hwnd(), IDC_CARET_LEFT_COUNT, c.text);
    EXPECT_EQ(StoredLeftAfter(), c.expected) << c.checked << " " << Utf16ToUtf8(AsU16(c.text));
  }
  // A count above the spin's range survives showing and storing.
  const auto distant = MakePhrase(2, u"Far", {}, 250);
  ShowAndSettle(*distant);
  EXPECT_EQ(WindowText(Item(IDC_CARET_LEFT_COUNT)), u"250");
  EXPECT_EQ(StoredLeftAfter(), 250);
}

TEST_F(DetailsPanelTest, CaretLeftControlsReportChanges) {
  const auto phrase = MakePhrase(11, u"Caret", {{u"c", 1}}, 0);
  ShowAndSettle(*phrase);
  EXPECT_FALSE(Enabled(IDC_CARET_LEFT_COUNT));

  SendMessageW(Item(IDC_CARET_LEFT_CHECK), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(Enabled(IDC_CARET_LEFT_COUNT));
  EXPECT_TRUE(Enabled(IDC_CARET_LEFT_SPIN));
  EXPECT_EQ(GetFocus(), Item(IDC_CARET_LEFT_COUNT));
  ASSERT_FALSE(received_.empty());
  EXPECT_EQ(received_.back().code, kPanelChanged);
  EXPECT_EQ(received_.back().phraseId, 11u);

  received_.clear();
  SetDlgItemTextW(panel_.hwnd(), IDC_CARET_LEFT_COUNT, L"4");
  Pump();
  ASSERT_EQ(received_.size(), 1u) << Show(received_);
  EXPECT_EQ(received_[0].code, kPanelChanged);
  EXPECT_EQ(StoredLeftAfter(), 4);

  // A step of the spin: reported, and the step is made.
  received_.clear();
  SendMessageW(Item(IDC_CARET_LEFT_COUNT), WM_KEYDOWN, VK_UP, 0);
  SendMessageW(Item(IDC_CARET_LEFT_COUNT), WM_KEYUP, VK_UP, 0);
  Pump();
  EXPECT_EQ(WindowText(Item(IDC_CARET_LEFT_COUNT)), u"5");
  EXPECT_FALSE(received_.empty());
  for (const auto& r : received_) EXPECT_EQ(r.code, kPanelChanged);

  received_.clear();
  SendMessageW(Item(IDC_CARET_LEFT_CHECK), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(Enabled(IDC_CARET_LEFT_COUNT));
  EXPECT_EQ(received_.size(), 1u) << Show(received_);
  EXPECT_EQ(StoredLeftAfter(), 0);
}

TEST_F(DetailsPanelTest, FrameAndPanelLayout) {
  const struct {
    int width, height;
  } sizes[] = {{680, 240}, {520, 180}, {900, 400}};
  for (const auto& size : sizes) {
    SetWindowPos(group_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT frameClient{};
    GetClientRect(group_, &frameClient);
    const RECT panel = RectIn(group_, panel_.hwnd());
    EXPECT_EQ(panel.left, 4);
    EXPECT_EQ(panel.top, 16);
    EXPECT_EQ(panel.right, frameClient.right - 4);
    EXPECT_EQ(panel.bottom, frameClient.bottom - 4);
    EXPECT_TRUE(IsWindowVisible(panel_.hwnd()));

    const HWND p = panel_.hwnd();
    const int width = panel.right - panel.left, height = panel.bottom - panel.top;
    const RECT add = RectIn(p, Item(IDC_ADD_KEYSTROKE)), remove = RectIn(p, Item(IDC_REMOVE_KEYSTROKE));
    const RECT list = RectIn(p, List()), group = RectIn(p, Item(IDC_POST_INSERTION_GROUP));
    const RECT check = RectIn(p, Item(IDC_CARET_LEFT_CHECK)), count = RectIn(p, Item(IDC_CARET_LEFT_COUNT));
    const RECT spin = RectIn(p, Item(IDC_CARET_LEFT_SPIN));
    EXPECT_EQ(add.top, 8);
    EXPECT_EQ(remove.top, 8);
    EXPECT_EQ(add.left, list.left);
    EXPECT_EQ(list.right, remove.right);
    EXPECT_EQ(list.top, std::max(add.bottom, remove.bottom) + 8);
    EXPECT_EQ(list.bottom, height - 4);
    // The group keeps its width at the right; the program rule takes the room between.
    const RECT mode = RectIn(p, Item(IDC_RULE_MODE)), programs = RectIn(p, Item(IDC_PROGRAM_LIST));
    const RECT addProgram = RectIn(p, Item(IDC_ADD_PROGRAM)), removeProgram = RectIn(p, Item(IDC_REMOVE_PROGRAM));
    const RECT note = RectIn(p, Item(IDC_RULE_NOTE));
    EXPECT_EQ(group.right, width - 8);
    EXPECT_EQ(mode.left, list.right + 8);
    EXPECT_EQ(mode.top, 8);
    EXPECT_EQ(mode.right, group.left - 8);
    EXPECT_EQ(programs.left, mode.left);
    EXPECT_EQ(programs.top, list.top);
    EXPECT_EQ(programs.right, addProgram.left - 4);
    EXPECT_EQ(addProgram.right, mode.right);
    EXPECT_EQ(addProgram.top, list.top);
    EXPECT_EQ(removeProgram.left, addProgram.left);
    EXPECT_EQ(removeProgram.top, addProgram.bottom + 4);
    EXPECT_EQ(note.bottom, height - 4);
    EXPECT_EQ(programs.bottom, note.top - 2);
    // The mode's list opens below it, several entries high.
    RECT dropped{};
    SendMessageW(Item(IDC_RULE_MODE), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GT(dropped.bottom - dropped.top, (mode.bottom - mode.top) * 2);
    EXPECT_EQ(group.top, add.top - 4);
    EXPECT_EQ(group.bottom, height - 4);
    EXPECT_EQ(check.left, group.left + 8);
    EXPECT_EQ(check.top, group.top + 16);
    EXPECT_EQ(count.left, check.left);
    EXPECT_EQ(count.top, check.bottom + 8);
    EXPECT_EQ(spin.left, count.right + 1);
    EXPECT_EQ(spin.top, count.top);
    // The one column fills the list without a horizontal scroll bar.
    RECT listClient{};
    GetClientRect(List(), &listClient);
    EXPECT_EQ(ListView_GetColumnWidth(List(), 0), listClient.right);
    EXPECT_EQ(GetWindowLongPtrW(List(), GWL_STYLE) & WS_HSCROLL, 0);
  }
  // Also when enough keystrokes bring a vertical scroll bar.
  FlagMap many;
  for (int i = 0; i < 40; ++i) many[u"key" + Utf8ToUtf16(std::to_string(i))] = 1;
  const auto crowded = MakePhrase(3, u"Crowded", many);
  ShowAndSettle(*crowded);
  RECT listClient{};
  GetClientRect(List(), &listClient);
  EXPECT_NE(GetWindowLongPtrW(List(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(ListView_GetColumnWidth(List(), 0), listClient.right);
  EXPECT_EQ(GetWindowLongPtrW(List(), GWL_STYLE) & WS_HSCROLL, 0);
  // The frame paints its own inside: an editor with WS_CLIPCHILDREN leaves it unpainted.
  const HDC screen = GetDC(group_);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  RECT square{0, 0, 40, 40};
  FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_NE(SendMessageW(group_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
  EXPECT_NE(GetPixel(dc, 10, 10), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(group_, screen);

  EXPECT_EQ(DetailsFrame::PanelRect(RECT{0, 0, 6, 10}, 96).right, 4);  // never inverted
  EXPECT_EQ(DetailsFrame::PanelRect(RECT{0, 0, 6, 10}, 96).bottom, 16);
  // At 150 % the insets grow with the caption's font, which would otherwise lose its
  // descenders under the panel.
  const RECT scaled = DetailsFrame::PanelRect(RECT{0, 0, 300, 200}, 144);
  EXPECT_EQ(scaled.left, 6);
  EXPECT_EQ(scaled.top, 24);
  EXPECT_EQ(scaled.right, 294);
  EXPECT_EQ(scaled.bottom, 194);
}

TEST_F(DetailsPanelTest, FrameHandsTheFocusToAnEnabledPanel) {
  const auto disabled = MakePhrase(1, u"Off", {{u"x", 1}}, 0, false);
  ShowAndSettle(*disabled);
  SetFocus(host_);
  SetFocus(group_);
  EXPECT_FALSE(IsChild(panel_.hwnd(), GetFocus()));

  const auto enabled = MakePhrase(2, u"On", {{u"x", 1}});
  ShowAndSettle(*enabled);
  SetFocus(host_);
  SetFocus(group_);
  EXPECT_EQ(GetFocus(), List());
}


// The program rule of a phrase: its mode, its list of programs with their checks, Add by
// name or from the open programs, Remove, the note when it fires nowhere, and the store.
class ProgramRulePanelTest : public DetailsPanelTest {
 protected:
  HWND Programs() { return panel_.rules().programs().hwnd(); }
  const KeystrokeList& ProgramList() { return panel_.rules().programs(); }
  std::vector<std::u16string> Listed() {
    std::vector<std::u16string> items;
    for (int i = 0; i < ProgramList().Count(); ++i)
      items.push_back(ProgramList().Text(i) + (ProgramList().Checked(i) ? u"" : u" (off)"));
    return items;
  }
  std::unique_ptr<Phrase> RulePhrase(int32_t mode, FlagMap include, FlagMap exclude, bool enabled = true) {
    auto phrase = MakePhrase(4, u"Regards", {{u"rg", 1}}, 0, enabled);
    phrase->SetUseWithList(mode);
    phrase->Include() = std::move(include);
    phrase->Exclude() = std::move(exclude);
    return phrase;
  }
  std::unique_ptr<Phrase> StoredRule() {
    auto phrase = std::make_unique<Phrase>();
    panel_.StoreInto(*phrase);
    return phrase;
  }
  void ChooseMode(ProgramRuleMode mode) {
    SendMessageW(Item(IDC_RULE_MODE), CB_SETCURSEL, WPARAM(mode), 0);
    SendMessageW(panel_.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_RULE_MODE, CBN_SELCHANGE), LPARAM(Item(IDC_RULE_MODE)));
    Pump();
  }
  int Changes() {
    int count = 0;
    for (const auto& r : received_) count += r.code == kPanelChanged;
    return count;
  }
  void EndProgramEdit(const char16_t* typed) {
    const HWND edit = ListView_GetEditControl(Programs());
    ASSERT_NE(edit, nullptr) << "no label edit in progress";
    if (typed) SetWindowTextW(edit, AsWide(typed));
    SendMessageW(edit, WM_KEYDOWN, typed ? VK_RETURN : VK_ESCAPE, 0);
    Pump();
  }
  std::u16string Note() { return WindowText(Item(IDC_RULE_NOTE)); }
};

TEST_F(ProgramRulePanelTest, ShowsTheModeAndTheListInUseAndStoresBothListsBack) {
  const FlagMap include = {{u"notepad.exe", 1}, {u"winword.exe", 0}};
  const FlagMap exclude = {{u"putty.exe", 1}};
  const struct {
    int32_t mode;
    std::vector<std::u16string> listed;
    bool listOn;
  } cases[] = {
      {kUseIncludeList, {u"notepad.exe", u"winword.exe (off)"}, true},
      {kUseExcludeList, {u"putty.exe"}, true},
      {kNotUse, {}, false},
  };
  for (const auto& c : cases) {
    received_.clear();
    const auto phrase = RulePhrase(c.mode, include, exclude);
    ShowAndSettle(*phrase);
    EXPECT_EQ(SendMessageW(Item(IDC_RULE_MODE), CB_GETCURSEL, 0, 0), LRESULT(RuleModeOf(*phrase))) << c.mode;
    EXPECT_EQ(Listed(), c.listed) << c.mode;
    EXPECT_TRUE(Enabled(IDC_RULE_MODE)) << c.mode;
    EXPECT_EQ(Enabled(IDC_PROGRAM_LIST), c.listOn) << c.mode;
    EXPECT_EQ(Enabled(IDC_ADD_PROGRAM), c.listOn) << c.mode;
    EXPECT_FALSE(Enabled(IDC_REMOVE_PROGRAM)) << c.mode << ": nothing selected";
    EXPECT_EQ(Note(), u"") << c.mode;
    EXPECT_TRUE(received_.empty()) << c.mode << ": showing stores nothing";
    const auto stored = StoredRule();
    EXPECT_EQ(stored->UseWithList(), c.mode);
    EXPECT_EQ(stored->Include(), include) << c.mode;
    EXPECT_EQ(stored->Exclude(), exclude) << c.mode;
  }
  // A disabled phrase disables the rule with everything else.
  ShowAndSettle(*RulePhrase(kUseIncludeList, include, exclude, false));
  for (int id : {IDC_RULE_MODE, IDC_PROGRAM_LIST, IDC_ADD_PROGRAM, IDC_REMOVE_PROGRAM})
    EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(ProgramRulePanelTest, ChangingTheModeSwitchesListsAndKeepsTheEditsOfBoth) {
  const auto phrase = RulePhrase(kUseIncludeList, {{u"a.exe", 1}}, {{u"b.exe", 1}});
  ShowAndSettle(*phrase);
  ASSERT_TRUE(panel_.rules().AddProgram(u"c.exe"));
  ChooseMode(ProgramRuleMode::kNeverIn);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"b.exe"}));
  EXPECT_EQ(Changes(), 1);
  ChooseMode(ProgramRuleMode::kEverywhere);
  EXPECT_EQ(Listed(), std::vector<std::u16string>{});
  EXPECT_FALSE(Enabled(IDC_PROGRAM_LIST));
  EXPECT_FALSE(panel_.rules().AddProgram(u"d.exe")) << "no list applies";
  auto stored = StoredRule();
  EXPECT_EQ(stored->UseWithList(), kNotUse);
  EXPECT_EQ(stored->Include(), (FlagMap{{u"a.exe", 1}, {u"c.exe", 1}}));
  EXPECT_EQ(stored->Exclude(), (FlagMap{{u"b.exe", 1}}));
  ChooseMode(ProgramRuleMode::kOnlyIn);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"a.exe", u"c.exe"}));
  EXPECT_EQ(StoredRule()->UseWithList(), kUseIncludeList);
  EXPECT_EQ(Changes(), 3);
}

TEST_F(ProgramRulePanelTest, AddByNameFromTheOpenProgramsAndRemove) {
  ShowAndSettle(*RulePhrase(kUseExcludeList, {}, {{u"Tool.exe", 0}}));
  // A name from a path; a program listed already is checked and selected, not repeated.
  EXPECT_TRUE(panel_.rules().AddProgram(u"\"C:\\Apps\\Other.exe\""));
  EXPECT_TRUE(panel_.rules().AddProgram(u"TOOL.EXE"));
  EXPECT_FALSE(panel_.rules().AddProgram(u"bad?.exe"));
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Tool.exe", u"Other.exe"}));
  EXPECT_EQ(panel_.rules().SelectedProgram(), 0);
  EXPECT_TRUE(Enabled(IDC_REMOVE_PROGRAM));

  // The menu of Add: type a name, then the open programs, those listed with their mark.
  const UniqueMenu menu = panel_.rules().CreateAddMenu({u"R&D.exe", u"tool.exe"});
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 4);
  EXPECT_EQ(GetMenuItemID(menu.get(), 0), UINT(ID_ADD_PROGRAM_BY_NAME));
  EXPECT_EQ(GetMenuItemID(menu.get(), 2), UINT(ID_ADD_OPEN_PROGRAM_FIRST));
  wchar_t text[64] = {};
  GetMenuStringW(menu.get(), 2, text, 64, MF_BYPOSITION);
  EXPECT_EQ(std::wstring(text), L"R&&D.exe");
  EXPECT_EQ(GetMenuState(menu.get(), 2, MF_BYPOSITION) & MF_CHECKED, 0u);
  EXPECT_NE(GetMenuState(menu.get(), 3, MF_BYPOSITION) & MF_CHECKED, 0u);
  const UniqueMenu none = panel_.rules().CreateAddMenu({});
  ASSERT_EQ(GetMenuItemCount(none.get()), 3);
  EXPECT_NE(GetMenuState(none.get(), 2, MF_BYPOSITION) & MF_GRAYED, 0u);

  // The open programs are other programs' windows, each named once.
  const std::vector<std::u16string> open = ProgramsWithOpenWindows();
  for (const auto& name : open) EXPECT_TRUE(IsProgramFileName(name)) << Utf16ToUtf8(name);

  received_.clear();
  Click(IDC_REMOVE_PROGRAM);
  EXPECT_EQ(Listed(), (std::vector<std::u16string>{u"Other.exe"}));
  EXPECT_EQ(Changes(), 1);
  EXPECT_EQ(StoredRule()->Exclude(), (FlagMap{{u"Other.exe", 1}}));
}

TEST_F(ProgramRulePanelTest, TypedNames) {
  const struct {
    const char* name;
    const char16_t* typed;  // null: Escape
    std::vector<std::u16string> listed;
    bool firstChecked;
  } cases[] = {
      {"a path gives its file name", u"  \"D:\\apps\\New.exe\" ", {u"a.exe", u"New.exe"}, false},
      {"cancelled, the new entry goes", nullptr, {u"a.exe"}, false},
      {"no program's name, the new entry goes", u"what?", {u"a.exe"}, false},
      {"a listed program is checked, not repeated", u"A.EXE", {u"a.exe"}, true},
  };
  for (const auto& c : cases) {
    ShowAndSettle(*RulePhrase(kUseIncludeList, {{u"a.exe", 0}}, {}));
    received_.clear();
    panel_.rules().BeginTypedProgram();
    Pump();
    EndProgramEdit(c.typed);
    Pump();
    EXPECT_EQ(ListView_GetEditControl(Programs()), nullptr) << c.name;
    std::vector<std::u16string> listed;
    for (int i = 0; i < ProgramList().Count(); ++i) listed.push_back(ProgramList().Text(i));
    EXPECT_EQ(listed, c.listed) << c.name;
    EXPECT_EQ(ProgramList().Checked(0), c.firstChecked) << c.name;
    EXPECT_GE(Changes(), 1) << c.name;
    FlagMap stored = StoredRule()->Include();
    EXPECT_EQ(stored.count(u""), 0u) << c.name;
  }
  // An existing entry keeps its name when the new one is refused.
  ShowAndSettle(*RulePhrase(kUseIncludeList, {{u"a.exe", 1}}, {}));
  SetFocus(Programs());
  ListView_EditLabel(Programs(), 0);
  Pump();
  EndProgramEdit(u"");
  EXPECT_EQ(ProgramList().Text(0), u"a.exe");
}

TEST_F(ProgramRulePanelTest, AnIncludeListWithoutACheckedProgramFiresNowhere) {
  ShowAndSettle(*RulePhrase(kUseIncludeList, {{u"a.exe", 0}}, {}));
  EXPECT_EQ(Note(), u"fires nowhere: no program of its list is checked");
  received_.clear();
  // The check box toggles with Space, as in the keystroke list.
  SetFocus(Programs());
  ListView_SetItemState(Programs(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(Programs(), 0);
  SendMessageW(Programs(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(Programs(), WM_KEYUP, VK_SPACE, 0);
  Pump();
  EXPECT_TRUE(ProgramList().Checked(0));
  EXPECT_EQ(Note(), u"");
  EXPECT_EQ(Changes(), 1);
  EXPECT_EQ(StoredRule()->Include(), (FlagMap{{u"a.exe", 1}}));
  // Never in no checked program is simply everywhere: no note.
  ShowAndSettle(*RulePhrase(kUseExcludeList, {}, {{u"b.exe", 0}}));
  EXPECT_EQ(Note(), u"");
}

}  // namespace
}  // namespace vellix
