// PhraseGrid hosted in a small window: rows, checks, in-place editing, the choice
// drop-down, the owner's refusals, colours, column widths, keyboard moves and balloons.
// Needs a display (the Windows tests run on a private Xvfb).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/wide.h"
#include "controls/phrase_grid_win.h"
#include "win_test_support.h"

namespace vellix {
namespace {

constexpr int kListId = 100;
constexpr COLORREF kRed = RGB(255, 0, 0);
enum Column { kPhrase, kCase, kAction, kUsage };

struct Record {
  UINT code = 0;
  int row = -1;
  int column = -1;
  bool check = false;
  int choice = -1;
  std::u16string text;
  UINT endKey = 0;
  bool locked = false;
  HWND editor = nullptr;
};

// The owner: records every grid notification and answers what the test asks for.
struct Owner {
  std::vector<Record> records;
  std::map<UINT, LRESULT> answers;

  std::vector<Record> Of(UINT code) const {
    std::vector<Record> found;
    for (const Record& r : records) {
      if (r.code == code) found.push_back(r);
    }
    return found;
  }
};

Owner* g_owner = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY && g_owner) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lparam);
    if (hdr->code >= kGridCellCheckChanged && hdr->code <= kGridCellEditorShown) {
      const GridNotify* n = reinterpret_cast<const GridNotify*>(lparam);
      Record r;
      r.code = hdr->code;
      r.row = n->row;
      r.column = n->column;
      r.check = n->check;
      r.choice = n->choice;
      r.text = n->text ? n->text : u"";
      r.endKey = n->endKey;
      r.locked = n->locked;
      r.editor = n->editor;
      g_owner->records.push_back(r);
      const auto answer = g_owner->answers.find(hdr->code);
      return answer == g_owner->answers.end() ? 0 : answer->second;
    }
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

using testing::Pump;

// Holds keys down in the thread's keyboard state while it lives (GetKeyState reads it).
class HeldKeys {
 public:
  explicit HeldKeys(std::initializer_list<BYTE> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(saved_, saved_ + 256, state);
    for (BYTE key : keys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

std::u16string WindowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return AsU16(buffer);
}

LPARAM At(POINT pt) { return MAKELPARAM(pt.x, pt.y); }

class PhraseGridTest : public ::testing::Test {
 public:  // the tables of actions below reach the fixture through a reference
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PhraseGridTestHost";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    // One host for all cases: a shown top-level window is slow to take down under Wine.
    host_ = CreateWindowExW(0, L"PhraseGridTestHost", L"grid test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600, 400,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() {
    DestroyWindow(host_);
    Pump();
  }

  void SetUp() override {
    ASSERT_NE(host_, nullptr);
    g_owner = &owner_;
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA, 10,
                            10, 500, 300,
                            host_, reinterpret_cast<HMENU>(kListId), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list_, nullptr);
    other_ = CreateWindowExW(0, L"BUTTON", L"other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 520, 10, 60, 24, host_,
                             reinterpret_cast<HMENU>(101), GetModuleHandleW(nullptr), nullptr);
    testing::ToForeground(host_);
    ASSERT_TRUE(grid_.Attach(list_));
    grid_.SetColumns({
        {u"Phrase", 150, LVCFMT_LEFT, CellKind::CheckText, {}},
        {u"Case Sensitive", 100, LVCFMT_LEFT, CellKind::CheckFixedText, {}},
        {u"Action", 100, LVCFMT_LEFT, CellKind::Choice, {u"Add", u"Replace"}},
        {u"Usage Count", 80, LVCFMT_CENTER, CellKind::ReadOnly, {}},
    });
  }

  void TearDown() override {
    DestroyWindow(list_);
    DestroyWindow(other_);
    Pump();
    g_owner = nullptr;
  }

  // A phrase row: enabled or not, with its texts.
  int AddPhrase(uint32_t id, bool enabled, const std::u16string& text = u"phrase", int level = 1) {
    const int row = grid_.InsertRow(id, level);
    grid_.SetCheck(row, kPhrase, enabled);
    grid_.SetText(row, kPhrase, text);
    grid_.SetText(row, kCase, u"No");
    grid_.SetChoice(row, kAction, 0);
    grid_.SetText(row, kUsage, u"MMMMMMMM");
    return row;
  }

  int ListItems() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

  POINT CheckBoxPoint(int row, int column) const {
    const RECT cell = grid_.CellRect(row, column);
    int x = cell.left + 4;
    if (column == 0 && grid_.RowLevel(row) > 1) x += 16;                                   // child indent
    if (column == 0 && grid_.RowLevel(row) == 1 && grid_.RowLevel(row + 1) == 2) x += 13;  // +/- box
    return POINT{x + 6, (cell.top + cell.bottom) / 2};
  }
  POINT TextPoint(int row, int column) const {
    const RECT cell = grid_.CellRect(row, column);
    return POINT{cell.right - 10, (cell.top + cell.bottom) / 2};
  }
  void Click(POINT pt) {
    SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, At(pt));
    SendMessageW(list_, WM_LBUTTONUP, 0, At(pt));
  }
  void Key(WPARAM key) { SendMessageW(GetFocus(), WM_KEYDOWN, key, 1); }

  RECT EditorRectInList() const {
    RECT r{};
    GetWindowRect(grid_.Editor(), &r);
    MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  int RowsTop() const {
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0)), &header);
    MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&header), 2);
    return header.bottom;
  }

  Owner owner_;
  static inline HWND host_ = nullptr;
  HWND list_ = nullptr;
  HWND other_ = nullptr;
  PhraseGrid grid_;
};

TEST_F(PhraseGridTest, AttachTakesOnlyListViews) {
  PhraseGrid grid;
  EXPECT_FALSE(grid.Attach(nullptr));
  EXPECT_FALSE(grid.Attach(other_));
  EXPECT_EQ(grid.hwnd(), nullptr);
  EXPECT_EQ(grid_.hwnd(), list_);
  EXPECT_EQ(grid_.ColumnCount(), 4);
  EXPECT_EQ(grid_.ColumnWidth(kAction), 100);
  // The grid draws its own check boxes; the list's row check boxes stay off.
  ListView_SetExtendedListViewStyle(list_, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  EXPECT_EQ(ListView_GetExtendedListViewStyle(list_) & LVS_EX_CHECKBOXES, 0u);
  EXPECT_NE(ListView_GetExtendedListViewStyle(list_) & LVS_EX_GRIDLINES, 0u);
  // Also when set while redrawing is suspended.
  grid_.SuspendRedraw();
  ListView_SetExtendedListViewStyleEx(list_, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
  grid_.ResumeRedraw();
  EXPECT_EQ(ListView_GetExtendedListViewStyle(list_) & LVS_EX_CHECKBOXES, 0u);
}

TEST_F(PhraseGridTest, RowsAndColumnsSetBeforeAttachingAreShown) {
  PhraseGrid grid;
  grid.SetColumns(
      {{u"Phrase", 120, LVCFMT_LEFT, CellKind::CheckText, {}}, {u"Usage", 60, LVCFMT_LEFT, CellKind::ReadOnly, {}}});
  grid.InsertRow(7);
  grid.InsertRow(8);
  // A list that is not virtual cannot hold the grid's rows.
  HWND plain = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 320, 300, 60, host_,
                               reinterpret_cast<HMENU>(103), GetModuleHandleW(nullptr), nullptr);
  EXPECT_FALSE(grid.Attach(plain));
  DestroyWindow(plain);
  HWND second = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 10, 320, 300,
                                60, host_, reinterpret_cast<HMENU>(102), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(second, LVM_SETITEMCOUNT, 5, 0);  // a count that is not the grid's
  ASSERT_TRUE(grid.Attach(second));
  EXPECT_EQ(SendMessageW(second, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(grid.ColumnWidth(0), 120);
  EXPECT_EQ(grid.ColumnWidth(1), 60);
  EXPECT_EQ(grid.RowData(1), 8u);
  DestroyWindow(second);
  EXPECT_EQ(grid.hwnd(), nullptr);  // the grid lets go of a list that goes away
}

TEST_F(PhraseGridTest, RowsAreFoundCountedAndRemoved) {
  AddPhrase(10, true);
  AddPhrase(20, true);
  AddPhrase(21, true, u"child", 2);
  AddPhrase(30, true);
  EXPECT_EQ(grid_.InsertRow(5, 1, 0), 0);
  EXPECT_EQ(grid_.InsertRow(6, 1, 9), -1);
  EXPECT_EQ(grid_.InsertRow(7, 2, 0), -1);
  EXPECT_EQ(grid_.RowCount(), 5);
  EXPECT_EQ(ListItems(), 5);
  struct Case {
    uint32_t datum;
    int row;
  } finds[] = {{5, 0}, {10, 1}, {21, 3}, {30, 4}, {99, -1}};
  for (const auto& c : finds) EXPECT_EQ(grid_.FindRow(c.datum), c.row) << c.datum;
  EXPECT_EQ(grid_.RowData(3), 21u);
  EXPECT_EQ(grid_.RowLevel(3), 2);
  EXPECT_EQ(grid_.CountRows(1), 4);
  EXPECT_EQ(grid_.CountRows(2), 1);
  EXPECT_EQ(grid_.NthRow(1, 2), 2);
  EXPECT_EQ(grid_.NthRow(2, 0), 3);
  EXPECT_EQ(grid_.NthRow(1, 4), -1);
  EXPECT_EQ(grid_.Text(1, kPhrase), u"phrase");

  EXPECT_FALSE(grid_.RemoveRow(5));
  EXPECT_FALSE(grid_.RemoveRow(-1));
  ASSERT_TRUE(grid_.RemoveRow(2));  // row 20 with its child 21
  EXPECT_EQ(grid_.RowCount(), 3);
  EXPECT_EQ(ListItems(), 3);
  EXPECT_EQ(grid_.FindRow(21), -1);
  EXPECT_EQ(grid_.FindRow(30), 2);
  grid_.RemoveAllRows();
  EXPECT_EQ(grid_.RowCount(), 0);
  EXPECT_EQ(ListItems(), 0);
}

TEST_F(PhraseGridTest, RemovingTheSelectedRowSelectsTheNextElseThePrevious) {
  for (uint32_t id : {1u, 2u, 3u}) AddPhrase(id, true);
  grid_.SelectRow(1);
  ASSERT_TRUE(grid_.RemoveRow(1));
  EXPECT_EQ(grid_.SelectedRow(), 1);
  EXPECT_EQ(grid_.RowData(grid_.SelectedRow()), 3u);
  ASSERT_TRUE(grid_.RemoveRow(1));
  EXPECT_EQ(grid_.RowData(grid_.SelectedRow()), 1u);
  // Each change of the selected row was reported, the last one included.
  ASSERT_FALSE(owner_.Of(kGridRowSelected).empty());
  EXPECT_EQ(owner_.Of(kGridRowSelected).back().row, 0);
}

TEST_F(PhraseGridTest, SelectionChangesAreReportedOnce) {
  for (uint32_t id : {1u, 2u, 3u}) AddPhrase(id, true);
  grid_.SelectRow(1);
  grid_.SelectRow(1);
  SetFocus(list_);
  Key(VK_DOWN);
  Pump();
  grid_.SelectRow(-1);
  Pump();
  // Rows coming or going above the selected one move it without a report.
  grid_.SelectRow(2);
  grid_.InsertRow(9, 1, 0);
  EXPECT_EQ(grid_.SelectedRow(), 3);
  ASSERT_TRUE(grid_.RemoveRow(1));
  EXPECT_EQ(grid_.SelectedRow(), 2);
  Pump();
  grid_.RemoveAllRows();
  Pump();
  std::vector<int> reported;
  for (const Record& r : owner_.Of(kGridRowSelected)) reported.push_back(r.row);
  EXPECT_EQ(reported, (std::vector<int>{1, 2, -1, 2, -1}));
}

// The list holds only the number of shown rows and keeps the selection by position: when
// rows above it come or go, the selection must stay on its row.
TEST_F(PhraseGridTest, SelectionStaysOnItsRowWhenRowsComeOrGoAboveIt) {
  AddPhrase(1, true, u"parent");
  AddPhrase(2, true, u"child a", 2);
  AddPhrase(3, true, u"child b", 2);
  AddPhrase(4, true, u"after");
  struct Case {
    const char* name;
    int selected;
    int afterCollapse;  // the child's parent takes a hidden child's selection
  } cases[] = {{"a row below the children", 3, 3}, {"a child", 2, 0}, {"the parent", 0, 0}};
  for (const auto& c : cases) {
    grid_.ExpandRow(0, true);
    grid_.SelectRow(c.selected);
    grid_.ExpandRow(0, false);
    EXPECT_EQ(grid_.SelectedRow(), c.afterCollapse) << c.name;
    grid_.ExpandRow(0, true);
    EXPECT_EQ(grid_.SelectedRow(), c.afterCollapse) << c.name;
  }
  grid_.SelectRow(3);
  ASSERT_EQ(grid_.InsertRow(9, 1, 0), 0);
  EXPECT_EQ(grid_.RowData(grid_.SelectedRow()), 4u);
  ASSERT_TRUE(grid_.RemoveRow(1));  // the parent with its children
  EXPECT_EQ(grid_.RowData(grid_.SelectedRow()), 4u);
  EXPECT_EQ(ListItems(), 2);
  // Exactly one position is selected, the one of the row.
  EXPECT_EQ(ListView_GetSelectedCount(list_), 1u);
}

// Each refusable action with the owner saying no: nothing changes.
TEST_F(PhraseGridTest, RefusalLeavesTheCellAsItWas) {
  struct Case {
    const char* name;
    UINT code;
    void (*act)(PhraseGridTest&);
  } cases[] = {
      {"check of the first column", kGridCellCheckChanged,
       [](PhraseGridTest& t) { t.Click(t.CheckBoxPoint(0, kPhrase)); }},
      {"check of another column", kGridCellCheckChanged, [](PhraseGridTest& t) { t.Click(t.CheckBoxPoint(0, kCase)); }},
      {"text edit", kGridBeginCellEdit, [](PhraseGridTest& t) { t.grid_.EditFirstCell(0); }},
      {"choice", kGridBeginCellChoice, [](PhraseGridTest& t) { t.grid_.OpenChoice(0, kAction); }},
  };
  for (const auto& c : cases) {
    grid_.RemoveAllRows();
    AddPhrase(1, true, u"hello");
    owner_.records.clear();
    owner_.answers = {{c.code, 1}};
    c.act(*this);
    EXPECT_EQ(owner_.Of(c.code).size(), 1u) << c.name;
    EXPECT_FALSE(owner_.Of(c.code).front().locked) << c.name;
    EXPECT_TRUE(grid_.Check(0, kPhrase)) << c.name;
    EXPECT_FALSE(grid_.Check(0, kCase)) << c.name;
    EXPECT_FALSE(grid_.IsEditing()) << c.name;
    EXPECT_EQ(grid_.Text(0, kPhrase), u"hello") << c.name;
    EXPECT_EQ(grid_.Choice(0, kAction), 0) << c.name;
    EXPECT_TRUE(owner_.Of(kGridCellEditorShown).empty()) << c.name;
  }
}

TEST_F(PhraseGridTest, AllowedCheckToggleIsMadeAndReported) {
  AddPhrase(1, true);
  Click(CheckBoxPoint(0, kCase));
  EXPECT_TRUE(grid_.Check(0, kCase));
  Click(CheckBoxPoint(0, kPhrase));
  EXPECT_FALSE(grid_.Check(0, kPhrase));
  const auto toggles = owner_.Of(kGridCellCheckChanged);
  ASSERT_EQ(toggles.size(), 2u);
  EXPECT_EQ(toggles[0].column, kCase);
  EXPECT_TRUE(toggles[0].check);
  EXPECT_EQ(toggles[1].column, kPhrase);
  EXPECT_FALSE(toggles[1].check);
  // A click beside the check box only selects.
  Click(TextPoint(0, kCase));
  EXPECT_TRUE(grid_.Check(0, kCase));
  EXPECT_EQ(owner_.Of(kGridCellCheckChanged).size(), 2u);
}

TEST_F(PhraseGridTest, LockedRowRefusesEverythingButItsFirstCheck) {
  AddPhrase(1, false, u"off");
  EXPECT_FALSE(grid_.IsRowEditable(0));
  Click(CheckBoxPoint(0, kCase));
  EXPECT_FALSE(grid_.EditFirstCell(0));
  EXPECT_FALSE(grid_.OpenChoice(0, kAction));
  EXPECT_FALSE(grid_.Check(0, kCase));
  EXPECT_FALSE(grid_.IsEditing());
  // The owner still hears of each attempt, marked locked, so that it can tell the user.
  for (UINT code : {kGridCellCheckChanged, kGridBeginCellEdit, kGridBeginCellChoice}) {
    ASSERT_EQ(owner_.Of(code).size(), 1u) << code;
    EXPECT_TRUE(owner_.Of(code).front().locked) << code;
  }
  Click(CheckBoxPoint(0, kPhrase));
  EXPECT_TRUE(grid_.Check(0, kPhrase));
  EXPECT_TRUE(grid_.IsRowEditable(0));
  EXPECT_TRUE(grid_.EditFirstCell(0));
}

TEST_F(PhraseGridTest, ChildRowsFollowTheirParent) {
  AddPhrase(1, false, u"parent");
  AddPhrase(2, true, u"child", 2);  // its own check does not unlock it
  EXPECT_FALSE(grid_.IsRowEditable(1));
  Click(CheckBoxPoint(1, kCase));
  EXPECT_FALSE(grid_.Check(1, kCase));
  Click(CheckBoxPoint(0, kPhrase));
  EXPECT_TRUE(grid_.IsRowEditable(1));
  Click(CheckBoxPoint(1, kCase));
  EXPECT_TRUE(grid_.Check(1, kCase));

  // Collapsed with keypad minus, shown again with plus; the list holds only shown rows.
  AddPhrase(3, true);
  grid_.SelectRow(0);
  SetFocus(list_);
  Key(VK_SUBTRACT);
  EXPECT_FALSE(grid_.IsRowExpanded(0));
  EXPECT_EQ(ListItems(), 2);
  EXPECT_EQ(grid_.RowCount(), 3);
  const RECT hidden = grid_.CellRect(1, 0);
  EXPECT_TRUE(IsRectEmpty(&hidden));
  int column = -1;
  EXPECT_EQ(grid_.HitTest(TextPoint(2, kUsage), &column), 2);
  EXPECT_EQ(column, kUsage);
  Key(VK_ADD);
  EXPECT_TRUE(grid_.IsRowExpanded(0));
  EXPECT_EQ(ListItems(), 3);
  // Selecting a hidden child shows it.
  grid_.ExpandRow(0, false);
  grid_.SelectRow(1);
  EXPECT_EQ(ListItems(), 3);
  EXPECT_EQ(grid_.SelectedRow(), 1);
}

TEST_F(PhraseGridTest, EditorShowsOverTheCellAndIsReported) {
  for (uint32_t id = 1; id <= 8; ++id) AddPhrase(id, true, u"text " + std::u16string(1, char16_t(u'0' + id)));
  ASSERT_TRUE(grid_.EditFirstCell(1));
  HWND editor = grid_.Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_EQ(WindowText(editor), u"text 2");
  EXPECT_NE(GetWindowLongW(editor, GWL_STYLE) & ES_MULTILINE, 0);
  ASSERT_EQ(owner_.Of(kGridCellEditorShown).size(), 1u);
  EXPECT_EQ(owner_.Of(kGridCellEditorShown).front().editor, editor);
  EXPECT_EQ(grid_.SelectedRow(), 1);
  // Plenty of room below: five rows tall from the cell's top, 30 pixels short of the right.
  const RECT cell = grid_.CellRect(1, kPhrase);
  const RECT placed = EditorRectInList();
  RECT client{};
  GetClientRect(list_, &client);
  EXPECT_EQ(placed.left, cell.left);
  EXPECT_EQ(placed.top, cell.top);
  EXPECT_EQ(placed.bottom - placed.top, 5 * (cell.bottom - cell.top));
  EXPECT_EQ(placed.right, client.right - 30);
}

TEST_F(PhraseGridTest, TextCellGetsTheSingleLineEditor) {
  grid_.SetColumns({{u"Name", 120, LVCFMT_LEFT, CellKind::Text, {}}, {u"Note", 120, LVCFMT_LEFT, CellKind::Text, {}}});
  const int row = grid_.InsertRow(1);
  grid_.SelectRow(row);
  SetFocus(list_);
  Key(VK_RIGHT);
  Key(VK_F2);  // edits the current cell
  ASSERT_TRUE(grid_.IsEditing());
  HWND editor = grid_.Editor();
  EXPECT_EQ(GetWindowLongW(editor, GWL_STYLE) & ES_MULTILINE, 0);
  const RECT cell = grid_.CellRect(row, 1);
  const RECT placed = EditorRectInList();
  EXPECT_EQ(placed.left, cell.left);
  EXPECT_EQ(placed.top, cell.top);
  EXPECT_EQ(placed.right - placed.left, cell.right - cell.left + 30);
  EXPECT_EQ(placed.bottom - placed.top, cell.bottom - cell.top + 10);
  // Ctrl+Enter has no line to break here: it ends the edit like Enter.
  SetWindowTextW(editor, L"note");
  {
    HeldKeys ctrl{VK_CONTROL};
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
  }
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(grid_.Text(row, 1), u"note");
  EXPECT_EQ(grid_.Text(row, 0), u"");
}

TEST_F(PhraseGridTest, EditorNearTheBottomOfAShortListIsClippedAtItsTop) {
  for (uint32_t id = 1; id <= 3; ++id) AddPhrase(id, true);
  const RECT first = grid_.CellRect(0, kPhrase);
  const int rowHeight = first.bottom - first.top;
  // A list that shows three rows below its header.
  RECT frame{};
  GetWindowRect(list_, &frame);
  RECT client{};
  GetClientRect(list_, &client);
  const int border = (frame.bottom - frame.top) - client.bottom;
  SetWindowPos(list_, nullptr, 0, 0, frame.right - frame.left, RowsTop() + 3 * rowHeight + border,
               SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(grid_.EditFirstCell(2));
  const RECT cell = grid_.CellRect(2, kPhrase);
  const RECT placed = EditorRectInList();
  EXPECT_EQ(placed.top, RowsTop());
  EXPECT_EQ(placed.bottom, cell.bottom);
}

TEST_F(PhraseGridTest, CtrlEnterBreaksTheLineAndEnterEndsTheEdit) {
  AddPhrase(1, true, u"Dear");
  ASSERT_TRUE(grid_.EditFirstCell(0));
  HWND editor = grid_.Editor();
  SendMessageW(editor, EM_SETSEL, 4, 4);
  {
    HeldKeys ctrl{VK_CONTROL};
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(editor, WM_CHAR, L'\n', 1);
  }
  SendMessageW(editor, WM_CHAR, L'S', 1);
  EXPECT_EQ(WindowText(editor), u"Dear\r\nS");
  EXPECT_TRUE(grid_.IsEditing());
  EXPECT_TRUE(owner_.Of(kGridEndCellEdit).empty());

  SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(GetFocus(), list_);
  ASSERT_EQ(owner_.Of(kGridEndCellEdit).size(), 1u);
  const Record end = owner_.Of(kGridEndCellEdit).front();
  EXPECT_EQ(end.row, 0);
  EXPECT_EQ(end.column, kPhrase);
  EXPECT_EQ(end.text, u"Dear\r\nS");
  EXPECT_EQ(end.endKey, 0u);
  EXPECT_EQ(grid_.Text(0, kPhrase), u"Dear\r\nS");
}

TEST_F(PhraseGridTest, EditEndsWithTheKeyThatEndedIt) {
  struct Case {
    const char* name;
    WPARAM key;
    LRESULT answer;  // the owner's reply to kGridEndCellEdit
    UINT endKey;
    bool stillEditing;
  } cases[] = {
      {"Enter", VK_RETURN, 0, 0, false},
      {"Tab", VK_TAB, 0, 0, false},
      {"Escape", VK_ESCAPE, 0, VK_ESCAPE, false},
      {"Escape, owner keeps the editor", VK_ESCAPE, 1, VK_ESCAPE, true},
  };
  for (const auto& c : cases) {
    grid_.RemoveAllRows();
    AddPhrase(1, true, u"old");
    owner_.records.clear();
    owner_.answers = {{kGridEndCellEdit, c.answer}};
    ASSERT_TRUE(grid_.EditFirstCell(0)) << c.name;
    HWND editor = grid_.Editor();
    SetWindowTextW(editor, L"new");
    SendMessageW(editor, WM_KEYDOWN, c.key, 1);
    ASSERT_EQ(owner_.Of(kGridEndCellEdit).size(), 1u) << c.name;
    EXPECT_EQ(owner_.Of(kGridEndCellEdit).front().endKey, c.endKey) << c.name;
    EXPECT_EQ(owner_.Of(kGridEndCellEdit).front().text, u"new") << c.name;
    EXPECT_EQ(grid_.IsEditing(), c.stillEditing) << c.name;
    EXPECT_EQ(GetFocus(), c.stillEditing ? editor : list_) << c.name;
    EXPECT_EQ(grid_.Text(0, kPhrase), c.stillEditing ? u"old" : u"new") << c.name;
    owner_.answers.clear();
    grid_.RemoveAllRows();
    EXPECT_FALSE(grid_.IsEditing()) << c.name;
  }
}

TEST_F(PhraseGridTest, LosingTheFocusEndsTheEdit) {
  AddPhrase(1, true, u"old");
  ASSERT_TRUE(grid_.EditFirstCell(0));
  SetWindowTextW(grid_.Editor(), L"typed");
  SetFocus(other_);
  EXPECT_FALSE(grid_.IsEditing());
  EXPECT_EQ(GetFocus(), other_);
  ASSERT_EQ(owner_.Of(kGridEndCellEdit).size(), 1u);
  EXPECT_EQ(owner_.Of(kGridEndCellEdit).front().endKey, 0u);
  EXPECT_EQ(grid_.Text(0, kPhrase), u"typed");
}

TEST_F(PhraseGridTest, ClickOnTheSelectedTextCellStartsTheEdit) {
  AddPhrase(1, true, u"one");
  AddPhrase(2, true, u"two");
  Click(TextPoint(1, kPhrase));  // selects
  EXPECT_EQ(grid_.SelectedRow(), 1);
  EXPECT_FALSE(grid_.IsEditing());
  Click(TextPoint(1, kPhrase));  // edits
  EXPECT_TRUE(grid_.IsEditing());
  Click(TextPoint(0, kUsage));  // elsewhere: the edit ends, a read-only cell never edits
  EXPECT_FALSE(grid_.IsEditing());
  Click(TextPoint(0, kUsage));
  EXPECT_FALSE(grid_.IsEditing());
  SendMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, At(TextPoint(0, kPhrase)));
  EXPECT_TRUE(grid_.IsEditing());
}

TEST_F(PhraseGridTest, ChoiceChangeSetsTextAndIndexAndIsReported) {
  AddPhrase(1, true);
  Click(TextPoint(0, kAction));
  HWND combo = grid_.Editor();
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(owner_.Of(kGridBeginCellChoice).size(), 1u);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  // No text editor was shown, so the owner shows no text-editing hint.
  EXPECT_TRUE(owner_.Of(kGridCellEditorShown).empty());

  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(list_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(grid_.Choice(0, kAction), 1);
  EXPECT_EQ(grid_.Text(0, kAction), u"Replace");
  ASSERT_EQ(owner_.Of(kGridCellChoiceChanged).size(), 1u);
  EXPECT_EQ(owner_.Of(kGridCellChoiceChanged).front().choice, 1);
  EXPECT_EQ(owner_.Of(kGridCellChoiceChanged).front().column, kAction);
  // Choosing the entry the cell already has reports nothing.
  SendMessageW(list_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(owner_.Of(kGridCellChoiceChanged).size(), 1u);

  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  SendMessageW(list_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_CLOSEUP), reinterpret_cast<LPARAM>(combo));
  Pump();
  EXPECT_FALSE(IsWindow(combo));
  EXPECT_FALSE(grid_.IsEditing());
}

TEST_F(PhraseGridTest, SetChoiceTakesTheColumnsText) {
  AddPhrase(1, true);
  struct Case {
    int index;
    int choice;
    std::u16string text;
  } cases[] = {{1, 1, u"Replace"}, {0, 0, u"Add"}, {2, -1, u""}, {-1, -1, u""}};
  for (const auto& c : cases) {
    grid_.SetChoice(0, kAction, c.index);
    EXPECT_EQ(grid_.Choice(0, kAction), c.choice) << c.index;
    EXPECT_EQ(grid_.Text(0, kAction), c.text) << c.index;
  }
  EXPECT_TRUE(owner_.Of(kGridCellChoiceChanged).empty());
}

TEST_F(PhraseGridTest, LastColumnTakesTheRestOfTheWidth) {
  RECT client{};
  GetClientRect(list_, &client);
  grid_.FitLastColumn();
  EXPECT_EQ(grid_.ColumnWidth(kUsage), client.right - 350);
  // Others too wide: nothing changes.
  grid_.SetColumnWidth(kPhrase, 900);
  grid_.SetColumnWidth(kUsage, 77);
  grid_.FitLastColumn();
  EXPECT_EQ(grid_.ColumnWidth(kUsage), 77);
  // A resize of the list fits it again.
  grid_.SetColumnWidth(kPhrase, 100);
  SetWindowPos(list_, nullptr, 0, 0, 450, 300, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(list_, &client);
  EXPECT_EQ(grid_.ColumnWidth(kUsage), client.right - 300);
  // So does the end of a divider drag.
  grid_.SetColumnWidth(kCase, 60);
  NMHEADERW drag{};
  drag.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  drag.hdr.idFrom = 0;
  drag.hdr.code = HDN_ENDTRACKW;
  drag.iItem = kCase;
  SendMessageW(list_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));
  Pump();
  EXPECT_EQ(grid_.ColumnWidth(kUsage), client.right - 260);
}

// Pixels of one cell's text area drawn into a bitmap through WM_PRINTCLIENT.
class Snapshot {
 public:
  explicit Snapshot(HWND list) {
    GetClientRect(list, &size_);
    HDC screen = GetDC(list);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, size_.right, size_.bottom);
    ReleaseDC(list, screen);
    old_ = SelectObject(dc_, bitmap_);
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
  }
  ~Snapshot() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  // Whether any pixel inside area matches.
  template <typename Test>
  bool Any(const RECT& area, Test test) const {
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (test(GetPixel(dc_, x, y))) return true;
      }
    }
    return false;
  }

 private:
  RECT size_{};
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

bool Reddish(COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool Dark(COLORREF c) { return GetRValue(c) < 200 && GetGValue(c) < 200 && GetBValue(c) < 200; }

TEST_F(PhraseGridTest, ColourCallbackIsAskedForEditableRowsLockedOnesAreGrey) {
  AddPhrase(1, true);   // editable
  AddPhrase(2, false);  // locked
  AddPhrase(3, false);  // locked but selected
  grid_.SelectRow(2);
  SetFocus(other_);
  std::vector<std::pair<int, int>> asked;
  grid_.SetColorCallback(
      [](int row, int column, COLORREF* text, void* context) {
        static_cast<std::vector<std::pair<int, int>>*>(context)->push_back({row, column});
        *text = kRed;
        return true;
      },
      &asked);
  UpdateWindow(list_);
  asked.clear();
  Snapshot shot(list_);
  std::vector<bool> askedRows(3, false);
  for (auto [row, column] : asked) askedRows.at(row) = true;
  EXPECT_EQ(askedRows, (std::vector<bool>{true, false, true}));

  auto textArea = [&](int row) {
    RECT cell = grid_.CellRect(row, kUsage);
    InflateRect(&cell, -2, -2);
    return cell;
  };
  EXPECT_TRUE(shot.Any(textArea(0), Reddish));
  EXPECT_FALSE(shot.Any(textArea(1), Reddish));
  EXPECT_TRUE(shot.Any(textArea(1), Dark));  // the grey text is there
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  // Nothing in the locked row is darker than the grey text colour (black text would be).
  EXPECT_FALSE(shot.Any(textArea(1), [grey](COLORREF c) {
    return GetRValue(c) + 40 < GetRValue(grey) && GetGValue(c) + 40 < GetGValue(grey) &&
           GetBValue(c) + 40 < GetBValue(grey);
  }));
  EXPECT_TRUE(shot.Any(textArea(2), Reddish));
}

TEST_F(PhraseGridTest, KeyboardMovesBetweenCellsAndRows) {
  AddPhrase(1, true);
  AddPhrase(2, true);
  grid_.SelectRow(0);
  SetFocus(list_);
  struct Step {
    WPARAM key;
    bool shift;
    int row;
    int column;
  } steps[] = {
      {VK_RIGHT, false, 0, 1}, {VK_TAB, false, 0, 2},  {VK_TAB, false, 0, 3},  {VK_TAB, false, 1, 0},
      {VK_TAB, true, 0, 3},    {VK_LEFT, false, 0, 2}, {VK_DOWN, false, 1, 2}, {VK_END, false, 1, 2},
      {VK_HOME, false, 0, 2},  {VK_LEFT, false, 0, 1}, {VK_LEFT, false, 0, 0}, {VK_LEFT, false, 0, 0},
  };
  int i = 0;
  for (const auto& s : steps) {
    if (s.shift) {
      HeldKeys shift{VK_SHIFT};
      Key(s.key);
    } else {
      Key(s.key);
    }
    Pump();
    EXPECT_EQ(grid_.SelectedRow(), s.row) << "step " << i;
    EXPECT_EQ(grid_.CurrentColumn(), s.column) << "step " << i;
    ++i;
  }
  // Space toggles the current check cell; F2 edits the current text cell.
  Key(VK_SPACE);
  EXPECT_FALSE(grid_.Check(0, kPhrase));
  Key(VK_SPACE);
  EXPECT_TRUE(grid_.Check(0, kPhrase));
  Key(VK_F2);
  EXPECT_TRUE(grid_.IsEditing());
}

TEST_F(PhraseGridTest, TabLeavesTheListOnlyAtItsEnds) {
  AddPhrase(1, true);
  AddPhrase(2, true);
  struct Case {
    int row;
    int column;
    bool shift;
    bool wantsTab;
  } cases[] = {{0, 0, false, true}, {1, 3, false, false}, {0, 0, true, false}, {1, 0, true, true}};
  SetFocus(list_);
  for (const auto& c : cases) {
    grid_.SelectRow(c.row);
    while (grid_.CurrentColumn() > c.column) Key(VK_LEFT);
    while (grid_.CurrentColumn() < c.column) Key(VK_RIGHT);
    MSG msg{};
    msg.hwnd = list_;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    LRESULT code = 0;
    if (c.shift) {
      HeldKeys shift{VK_SHIFT};
      code = SendMessageW(list_, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg));
    } else {
      code = SendMessageW(list_, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&msg));
    }
    EXPECT_EQ((code & DLGC_WANTTAB) != 0, c.wantsTab) << c.row << "/" << c.column << "/" << c.shift;
  }
}

TEST_F(PhraseGridTest, BalloonGoesAtAClickAnEditEndOrItsTime) {
  AddPhrase(1, true);
  RECT cell = grid_.CellRect(0, kPhrase);
  POINT at{cell.left, cell.bottom};
  ClientToScreen(list_, &at);

  grid_.ShowBalloon(u"Before edit required enable the phrase.", at, 60000);
  EXPECT_TRUE(grid_.IsBalloonShown());
  Click(TextPoint(0, kUsage));
  EXPECT_FALSE(grid_.IsBalloonShown());

  ASSERT_TRUE(grid_.EditFirstCell(0));
  grid_.ShowBalloon(u"Use Ctrl+Enter for new line beginning", at, 60000);
  SendMessageW(grid_.Editor(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_FALSE(grid_.IsBalloonShown());

  grid_.ShowBalloon(u"short", at, 50);
  for (int i = 0; i < 400 && grid_.IsBalloonShown(); ++i) {
    Pump();
    Sleep(5);
  }
  EXPECT_FALSE(grid_.IsBalloonShown());
}

TEST_F(PhraseGridTest, HoveredRowTakesTheTooltipBackgroundUntilThePointerLeaves) {
  AddPhrase(1, true);
  AddPhrase(2, true);
  const COLORREF hover = GetSysColor(COLOR_INFOBK);
  auto isHover = [hover](COLORREF c) { return c == hover; };
  auto background = [&](int row) {
    RECT cell = grid_.CellRect(row, kUsage);
    return RECT{cell.left + 2, cell.top + 1, cell.left + 6, cell.top + 3};  // left of the centred text
  };
  // Some colour schemes (Wine's default among them) give tooltips the window colour; the
  // pixels can only tell the rows apart where the two differ.
  const bool visible = hover != GetSysColor(COLOR_WINDOW);
  SendMessageW(list_, WM_MOUSEMOVE, 0, At(TextPoint(1, kCase)));
  EXPECT_EQ(grid_.HoverRow(), 1);
  {
    Snapshot shot(list_);
    EXPECT_TRUE(shot.Any(background(1), isHover));
    if (visible) {
      EXPECT_FALSE(shot.Any(background(0), isHover));
    }
  }
  SendMessageW(list_, WM_MOUSEMOVE, 0, At(TextPoint(0, kCase)));
  EXPECT_EQ(grid_.HoverRow(), 0);
  SendMessageW(list_, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(grid_.HoverRow(), -1);
  Snapshot shot(list_);
  if (visible) {
    EXPECT_FALSE(shot.Any(background(0), isHover));
  }
}

// The grid in a dialog, as the editor has it: the owner answers through DWLP_MSGRESULT, and
// the dialog's own keys (Enter for OK, Escape for Cancel, Tab between controls) do not get in
// the way of the editor and the cell moves.
struct DialogOwner {
  std::vector<UINT> codes;
  std::vector<UINT> endKeys;
  std::vector<WORD> commands;
  LRESULT refuseEdits = 0;
};
DialogOwner* g_dialog = nullptr;

INT_PTR CALLBACK GridDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!g_dialog) return FALSE;
  if (message == WM_NOTIFY) {
    const GridNotify* n = reinterpret_cast<const GridNotify*>(lparam);
    if (n->hdr.code < kGridCellCheckChanged || n->hdr.code > kGridCellEditorShown) return FALSE;
    g_dialog->codes.push_back(n->hdr.code);
    if (n->hdr.code == kGridEndCellEdit) g_dialog->endKeys.push_back(n->endKey);
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, n->hdr.code == kGridBeginCellEdit ? g_dialog->refuseEdits : 0);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    g_dialog->commands.push_back(LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

// A child dialog (so that it goes quickly under Wine) holding a list view and an OK button.
std::vector<WORD> GridDialogTemplate() {
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&t](const wchar_t* s) {
    for (; *s; ++s) t.push_back(*s);
    t.push_back(0);
  };
  auto align = [&t] {
    if (t.size() % 2) t.push_back(0);
  };
  dword(DS_CONTROL | WS_CHILD | WS_VISIBLE);
  dword(WS_EX_CONTROLPARENT);
  t.push_back(2);  // items
  for (WORD v : {0, 0, 300, 180}) t.push_back(v);
  t.push_back(0);  // menu
  t.push_back(0);  // class
  t.push_back(0);  // title
  align();
  dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA);
  dword(0);
  for (WORD v : {5, 5, 240, 150, 200}) t.push_back(v);
  text(WC_LISTVIEWW);
  t.push_back(0);  // title
  t.push_back(0);  // creation data
  align();
  dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  dword(0);
  for (WORD v : {250, 5, 45, 14, IDOK}) t.push_back(v);
  t.push_back(0xFFFF);
  t.push_back(0x0080);  // button
  text(L"OK");
  t.push_back(0);
  return t;
}

class PhraseGridDialogTest : public PhraseGridTest {
 public:
  void SetUp() override {
    PhraseGridTest::SetUp();
    g_dialog = &owner_;
    const std::vector<WORD> tmpl = GridDialogTemplate();
    dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(tmpl.data()),
                                         host_, GridDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(grid_.Attach(GetDlgItem(dialog_, 200)));
    grid_.SetColumns({{u"Phrase", 150, LVCFMT_LEFT, CellKind::CheckText, {}},
                      {u"Usage Count", 80, LVCFMT_LEFT, CellKind::ReadOnly, {}}});
    const int row = grid_.InsertRow(1);
    grid_.SetCheck(row, 0, true);
    grid_.SetText(row, 0, u"text");
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    g_dialog = nullptr;
    PhraseGridTest::TearDown();
  }
  // Delivers a key as the message loop of a dialog does.
  void Press(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(dialog_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  DialogOwner owner_;
  HWND dialog_ = nullptr;
};

TEST_F(PhraseGridDialogTest, OwnerRefusesThroughTheDialogResult) {
  owner_.refuseEdits = 1;
  EXPECT_FALSE(grid_.EditFirstCell(0));
  EXPECT_FALSE(grid_.IsEditing());
  owner_.refuseEdits = 0;
  EXPECT_TRUE(grid_.EditFirstCell(0));
}

TEST_F(PhraseGridDialogTest, DialogKeysReachTheEditorAndTheGrid) {
  struct Case {
    const char* name;
    WPARAM key;
    UINT endKey;
  } cases[] = {{"Enter", VK_RETURN, 0}, {"Escape", VK_ESCAPE, VK_ESCAPE}, {"Tab", VK_TAB, 0}};
  for (const auto& c : cases) {
    owner_.endKeys.clear();
    ASSERT_TRUE(grid_.EditFirstCell(0)) << c.name;
    Press(grid_.Editor(), c.key);
    EXPECT_FALSE(grid_.IsEditing()) << c.name;
    EXPECT_EQ(owner_.endKeys, std::vector<UINT>{c.endKey}) << c.name;
    EXPECT_EQ(GetFocus(), grid_.hwnd()) << c.name;
  }
  EXPECT_TRUE(owner_.commands.empty());
  // Tab moves to the next cell, and at the last one leaves the grid for the next control.
  grid_.SelectRow(0);
  SetFocus(grid_.hwnd());
  Press(grid_.hwnd(), VK_TAB);
  EXPECT_EQ(grid_.CurrentColumn(), 1);
  EXPECT_EQ(GetFocus(), grid_.hwnd());
  Press(grid_.hwnd(), VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDOK));
}

// A virtual list takes its row height from its font; rows must still hold the check boxes
// with their margin, and grow with a larger font.
TEST_F(PhraseGridTest, RowsAreTallEnoughForTheirCheckBoxesAndFont) {
  AddPhrase(1, true);
  struct Case {
    int fontHeight;
    int minimum;  // the check box (13) and its margin (5), or the font and its margin (4)
  } cases[] = {{6, 18}, {-40, 44}};
  for (const auto& c : cases) {
    HFONT font = CreateFontW(c.fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const RECT cell = grid_.CellRect(0, kPhrase);
    EXPECT_GE(cell.bottom - cell.top, c.minimum) << c.fontHeight;
    SendMessageW(list_, WM_SETFONT, 0, TRUE);
    DeleteObject(font);
  }
}

TEST_F(PhraseGridTest, TenThousandRowsFillWithRedrawingSuspended) {
  grid_.SuspendRedraw();
  grid_.SuspendRedraw();  // nested, as a caller inside a caller would
  for (uint32_t id = 1; id <= 10000; ++id) {
    const int row = grid_.InsertRow(id);
    grid_.SetText(row, kPhrase, u"phrase number " + std::u16string(1, char16_t(u'0' + id % 10)));
  }
  grid_.SelectRow(9999);
  grid_.ResumeRedraw();
  EXPECT_TRUE(owner_.Of(kGridRowSelected).size() <= 1u);
  grid_.ResumeRedraw();
  EXPECT_EQ(grid_.RowCount(), 10000);
  EXPECT_EQ(ListItems(), 10000);
  EXPECT_EQ(grid_.FindRow(10000), 9999);
  EXPECT_EQ(grid_.SelectedRow(), 9999);
  ASSERT_FALSE(owner_.Of(kGridRowSelected).empty());
  EXPECT_EQ(owner_.Of(kGridRowSelected).back().row, 9999);
  // Afterwards the grid handles the mouse and draws as before.
  UpdateWindow(list_);
  Click(CheckBoxPoint(9999, kPhrase));
  EXPECT_TRUE(grid_.Check(9999, kPhrase));
  grid_.RemoveAllRows();
  EXPECT_EQ(ListItems(), 0);
}

}  // namespace
}  // namespace vellix
