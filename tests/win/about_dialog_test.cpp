// The About dialog as it runs: its rows in the list, the caption, Copy, the single open
// window, the taskbar button without owner, the info tips and the link rows.
// Needs a display (the Windows tests run on a private Xvfb). The dialog is modal; a timer
// of the test thread, run by the dialog's own loop, looks at it and closes it.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "about/about_dialog_win.h"
#include "base/utf.h"
#include "base/wide.h"
#include "controls/hyperlink_win.h"
#include "lang/language_win.h"
#include "message_box_closer.h"
#include "resource.h"
#include "services/clipboard_win.h"
#include "services/command_line_keys.h"
#include "services/program_title.h"
#include "services/system_services_win.h"
#include "services/web_links.h"

namespace vellix {
namespace {

using Probe = std::function<void(HWND about)>;
Probe* g_probe = nullptr;

void CALLBACK RunProbe(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND about = GetOpenAboutWindow();
  if (!about || !IsWindowVisible(about)) return;  // not shown yet: the next tick
  KillTimer(nullptr, timer);
  (*g_probe)(about);
  if (IsWindow(about)) PostMessageW(about, WM_COMMAND, IDOK, 0);
}

// Shows the dialog, runs the probe on it while it is open, and answers ShowAbout's result.
INT_PTR ShowWithProbe(HWND owner, const AboutInputs& inputs, Probe probe) {
  g_probe = &probe;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &RunProbe);
  const INT_PTR result = ShowAbout(owner, inputs);
  KillTimer(nullptr, timer);
  g_probe = nullptr;
  return result;
}

AboutInputs Inputs(uint32_t printedChars = 1234567, bool russian = false) {
  AboutInputs in;
  in.longTitle = ProgramTitle(true);
  in.administrator = IsAdministrator();
  in.buildStamp = GetBuildStamp();
  in.legalNotice = LegalNotice();
  in.printedChars = printedChars;
  in.russian = russian;
  return in;
}

std::vector<AboutRow> ExpectedRows(const AboutInputs& in) {
  return BuildAboutRows(in, [](uint32_t id) { return GetLocalizedString(id); });
}

HWND List(HWND about) { return GetDlgItem(about, IDC_ABOUT_LIST); }

std::vector<std::u16string> ListTexts(HWND list) {
  std::vector<std::u16string> texts;
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    ListView_GetItemText(list, i, 0, text, 512);
    texts.push_back(AsU16(text));
  }
  return texts;
}

std::wstring Caption(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// A click of the list at a point of a row, as the list reports it to the dialog.
void ClickRow(HWND about, int row, bool onText) {
  const HWND list = List(about);
  RECT bounds{};
  ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = list;
  click.hdr.idFrom = IDC_ABOUT_LIST;
  click.hdr.code = NM_CLICK;
  click.iItem = row;
  // Text starts a few pixels in (indented rows further); the right end is past any text.
  click.ptAction = {onText ? bounds.left + 26 : bounds.right - 3, (bounds.top + bounds.bottom) / 2};
  SendMessageW(about, WM_NOTIFY, IDC_ABOUT_LIST, reinterpret_cast<LPARAM>(&click));
}

std::vector<std::u16string>* g_opened = nullptr;
bool RecordingOpener(HWND, const std::u16string& target) {
  g_opened->push_back(target);
  return true;
}

class AboutDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(GetOpenAboutWindow(), nullptr); }
};

TEST_F(AboutDialogTest, ListHoldsTheRowsInOrderUnderTheCaption) {
  const struct {
    uint32_t chars;
    bool russian;
    std::u16string_view charsRow, pagesStart;
  } cases[] = {
      {1799, false, u"Chars typed: 1 799", u"This is about 0 pages"},
      {1800, true, u"Chars typed: 1 800", u"This is about 1 pages"},
  };
  for (const auto& c : cases) {
    const AboutInputs in = Inputs(c.chars, c.russian);
    std::vector<std::u16string> texts;
    std::wstring caption;
    LONG_PTR exStyle = 0;
    int columns = 0, columnWidth = 0, clientWidth = 0;
    ShowWithProbe(nullptr, in, [&](HWND about) {
      const HWND list = List(about);
      texts = ListTexts(list);
      caption = Caption(about);
      exStyle = GetWindowLongPtrW(about, GWL_EXSTYLE);
      columns = Header_GetItemCount(ListView_GetHeader(list));
      columnWidth = ListView_GetColumnWidth(list, 0);
      RECT client{};
      GetClientRect(list, &client);
      clientWidth = client.right;
    });
    std::vector<std::u16string> expected;
    for (const AboutRow& row : ExpectedRows(in)) expected.push_back(row.text);
    EXPECT_EQ(texts, expected);
    ASSERT_EQ(texts.size(), 17u);
    EXPECT_EQ(texts[0], ProgramTitle(true) + (IsAdministrator() ? u" [Admin privilegies: Yes]" : u" [Admin privilegies: No]"));
    EXPECT_EQ(texts[1], u"Released: " + GetBuildStamp());
    EXPECT_EQ(texts[2], u"Copyright (C) 2026 The Vellix authors. All rights reserved.");
    EXPECT_EQ(texts[3], u"Command Line Keys");
    EXPECT_EQ(texts[4], u"WWW");
    EXPECT_EQ(texts[15], c.charsRow);
    EXPECT_EQ(texts[16].substr(0, c.pagesStart.size()), c.pagesStart);
    EXPECT_EQ(caption, IsAdministrator() ? L"About Vellix^" : L"About Vellix");
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(columns, 1);
    EXPECT_EQ(columnWidth, clientWidth);
  }
}

TEST_F(AboutDialogTest, CopyPutsEveryRowOnTheClipboard) {
  const AboutInputs in = Inputs(4500);
  ASSERT_TRUE(PutClipboardText(u"before"));
  std::u16string copied;
  ShowWithProbe(nullptr, in, [&](HWND about) {
    SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_COPY, BN_CLICKED), LPARAM(GetDlgItem(about, IDC_ABOUT_COPY)));
    GetClipboardText(copied);
  });
  EXPECT_EQ(copied, AboutCopyText(ExpectedRows(in)));
  EXPECT_NE(copied.find(u"\r\nCommand Line Keys\r\n===WWW===\r\n\tHome Page\r\n\tTechnical Support\r\n"),
            std::u16string::npos);
  EXPECT_NE(copied.find(u"\r\n===Chars typed: 4 500===\r\n\tThis is about 2 pages"), std::u16string::npos);
  EXPECT_EQ(copied.substr(copied.size() - 3), u"\u2026\r\n");
}

// Closes every About window but the first one, so that a second dialog makes the test fail
// instead of waiting for a hand to close it.
HWND g_first_about = nullptr;
int g_second_abouts = 0;
void CALLBACK CloseSecondAbout(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        if (window != g_first_about && IsWindowVisible(window) && wcsncmp(text, L"About Vellix", 12) == 0) {
          ++g_second_abouts;
          PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
      },
      0);
}

TEST_F(AboutDialogTest, SecondShowFocusesAndRestoresTheOpenDialog) {
  HWND first = nullptr, afterSecond = nullptr, active = nullptr;
  INT_PTR secondResult = -2;
  bool iconicBefore = false, iconicAfter = true;
  int aboutWindows = 0;
  const INT_PTR result = ShowWithProbe(nullptr, Inputs(), [&](HWND about) {
    first = about;
    ShowWindow(about, SW_MINIMIZE);
    iconicBefore = IsIconic(about) != 0;
    g_first_about = about;
    g_second_abouts = 0;
    const UINT_PTR guard = SetTimer(nullptr, 0, 100, &CloseSecondAbout);
    secondResult = ShowAbout(nullptr);
    KillTimer(nullptr, guard);
    afterSecond = GetOpenAboutWindow();
    iconicAfter = IsIconic(about) != 0;
    active = GetActiveWindow();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) -> BOOL {
          wchar_t text[64] = {};
          GetWindowTextW(window, text, 64);
          if (IsWindowVisible(window) && wcsncmp(text, L"About Vellix", 12) == 0) ++*reinterpret_cast<int*>(count);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&aboutWindows));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(secondResult, 0);
  EXPECT_EQ(afterSecond, first);
  EXPECT_TRUE(iconicBefore);
  EXPECT_FALSE(iconicAfter);
  EXPECT_EQ(active, first);
  EXPECT_EQ(aboutWindows, 1);
  EXPECT_EQ(g_second_abouts, 0);
}

TEST_F(AboutDialogTest, OwnedDialogHasNoTaskbarButtonAndCancelEndsIt) {
  const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  LONG_PTR exStyle = 0;
  HWND ownerSeen = nullptr;
  const INT_PTR result = ShowWithProbe(owner, Inputs(), [&](HWND about) {
    exStyle = GetWindowLongPtrW(about, GWL_EXSTYLE);
    ownerSeen = GetWindow(about, GW_OWNER);
    // What the main dialog does when the program ends.
    SendMessageW(about, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(ownerSeen, owner);
  DestroyWindow(owner);
}

TEST_F(AboutDialogTest, LinkRowsOpenTheirTargetsAndTheKeysRowShowsTheKeys) {
  std::vector<std::u16string> opened;
  g_opened = &opened;
  const LinkOpener previous = SetLinkOpener(&RecordingOpener);
  const AboutInputs in = Inputs(1800, true);
  const struct {
    int row;
    bool onText;
    std::u16string_view opened;  // empty: nothing opened
  } cases[] = {
      {5, true, HomePageAddress()},
      {5, false, u""},  // right of the text
      {7, true, ForumAddress()},
      {12, true, ProductPageAddress(1)},
      {16, true, EncyclopediaAddress(true)},
      {0, true, u""},  // plain row
      {4, true, u""},  // header row
  };
  std::wstring keysBox;
  ShowWithProbe(nullptr, in, [&](HWND about) {
    for (const auto& c : cases) {
      opened.clear();
      ClickRow(about, c.row, c.onText);
      const std::vector<std::u16string> expected =
          c.opened.empty() ? std::vector<std::u16string>{} : std::vector<std::u16string>{std::u16string(c.opened)};
      EXPECT_EQ(opened, expected) << "row " << c.row << (c.onText ? " on text" : " off text");
    }
    // Enter on the focused row opens it as a click does.
    opened.clear();
    ListView_SetItemState(List(about), 6, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    NMHDR enter{List(about), IDC_ABOUT_LIST, UINT(NM_RETURN)};
    SendMessageW(about, WM_NOTIFY, IDC_ABOUT_LIST, reinterpret_cast<LPARAM>(&enter));
    EXPECT_EQ(opened, std::vector<std::u16string>{std::u16string(SupportAddress())});
    opened.clear();
    testing::MessageBoxCloser closer;
    ClickRow(about, 3, true);
    keysBox = closer.text();
  });
  SetLinkOpener(previous);
  g_opened = nullptr;
  EXPECT_TRUE(opened.empty());  // the keys row opens nothing
  std::u16string keys = KeyListText([](uint32_t id) { return GetLocalizedString(id); });
  // The message box shows line breaks as they are; compare without the closing ones.
  while (!keys.empty() && keys.back() == u'\n') keys.pop_back();
  std::u16string shown = AsU16(keysBox.c_str());
  while (!shown.empty() && shown.back() == u'\n') shown.pop_back();
  EXPECT_EQ(shown, keys);
}

TEST_F(AboutDialogTest, InfoTipsShowTheRowTooltipCutToTheBuffer) {
  const AboutInputs in = Inputs();
  const std::vector<AboutRow> rows = ExpectedRows(in);
  const struct {
    int row;
    int buffer;
    std::u16string shown;
  } cases[] = {
      {5, 1024, rows[5].tooltip},
      {12, 1024, rows[12].tooltip},
      {12, 12, FitInfoTip(rows[12].tooltip, 12)},
      {0, 1024, u"unchanged"},  // no tooltip: the list's own tip stays
  };
  ShowWithProbe(nullptr, in, [&](HWND about) {
    for (const auto& c : cases) {
      std::vector<wchar_t> buffer(size_t(c.buffer), L'\0');
      wcscpy(buffer.data(), L"unchanged");
      NMLVGETINFOTIPW tip{};
      tip.hdr.hwndFrom = List(about);
      tip.hdr.idFrom = IDC_ABOUT_LIST;
      tip.hdr.code = LVN_GETINFOTIPW;
      tip.pszText = buffer.data();
      tip.cchTextMax = c.buffer;
      tip.iItem = c.row;
      SendMessageW(about, WM_NOTIFY, IDC_ABOUT_LIST, reinterpret_cast<LPARAM>(&tip));
      EXPECT_EQ(std::u16string(AsU16(buffer.data())), c.shown) << "row " << c.row;
    }
  });
  EXPECT_EQ(FitInfoTip(rows[12].tooltip, 12).back(), u'\u2026');
}

}  // namespace
}  // namespace vellix
