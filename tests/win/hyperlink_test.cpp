// The hyperlink control: the click notification (veto, rewritten target), the "mailto:"
// rule, the visited colour, the colours the parent gives its links, the user's registry
// colours, the failure message, and the hand cursor with the hover underline.
// Needs a display (the Windows tests run on a private Xvfb).

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "base/wide.h"
#include "controls/hyperlink_win.h"
#include "message_box_closer.h"

namespace vellix {
namespace {

constexpr wchar_t kColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

// What the parent window does with a click notification.
enum class ParentAnswer { kAllow, kVeto, kRewrite, kClear };

struct ParentState {
  ParentAnswer answer = ParentAnswer::kAllow;
  std::u16string rewrite;
  std::vector<std::u16string> offered;  // targets of the notifications received
};
ParentState* g_parent = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY && g_parent) {
    auto* click = reinterpret_cast<HyperLinkClick*>(lparam);
    if (click->hdr.code == kHyperLinkClicked) {
      g_parent->offered.push_back(AsU16(click->target));
      switch (g_parent->answer) {
        case ParentAnswer::kVeto: return 1;
        case ParentAnswer::kRewrite: wcscpy(click->target, AsWide(g_parent->rewrite.c_str())); return 0;
        case ParentAnswer::kClear: click->target[0] = L'\0'; return 0;
        case ParentAnswer::kAllow: return 0;
      }
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The opener the links use during a test: records the targets, answers `succeed`.
struct OpenerState {
  bool succeed = true;
  DWORD error = ERROR_FILE_NOT_FOUND;
  std::vector<std::u16string> opened;
};
OpenerState* g_opener = nullptr;

bool RecordingOpener(HWND, const std::u16string& target) {
  g_opener->opened.push_back(target);
  if (!g_opener->succeed) SetLastError(g_opener->error);
  return g_opener->succeed;
}

// Sets or deletes (nullopt) a value of the link-colour key; keeps the old one for Restore.
class ColorValue {
 public:
  explicit ColorValue(const wchar_t* name) : name_(name) {
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kColorKey, name_, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS) {
      old_ = value;
    }
  }
  ~ColorValue() { Set(old_); }
  void Set(const std::optional<std::wstring>& value) {
    if (value) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kColorKey, name_, REG_SZ, value->c_str(),
                      DWORD((value->size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kColorKey, name_);
    }
  }

 private:
  const wchar_t* name_;
  std::optional<std::wstring> old_;
};

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VellixLinkTestParent";
    RegisterClassW(&wc);  // fails harmlessly when already registered
    parent_ = CreateWindowExW(0, wc.lpszClassName, L"links", WS_OVERLAPPEDWINDOW, 100, 100, 400, 200,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
    g_parent = &parent_state_;
    g_opener = &opener_state_;
    previous_opener_ = SetLinkOpener(&RecordingOpener);
  }
  void TearDown() override {
    SetLinkOpener(previous_opener_);
    DestroyWindow(parent_);
    g_parent = nullptr;
    g_opener = nullptr;
  }

  HWND Static(const wchar_t* text, int id = 1001, int top = 10) {
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 10, top, 200, 20, parent_,
                           reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
  }
  static void Click(HWND control) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }
  static COLORREF Queried(HWND control) {
    static const UINT query = RegisterWindowMessageW(L"{A7CCB64D-5BED-4a1f-A413-E16CAF89D7E9}");
    return COLORREF(SendMessageW(control, query, 0, 0));
  }
  // The text colour the parent sets for the control's static-colour message.
  COLORREF ParentTextColor(HWND control) {
    HDC dc = GetDC(control);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(parent_, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(control));
    const COLORREF color = GetTextColor(dc);
    ReleaseDC(control, dc);
    return color;
  }

  HWND parent_ = nullptr;
  ParentState parent_state_;
  OpenerState opener_state_;
  LinkOpener previous_opener_ = nullptr;
};

TEST_F(HyperLinkTest, ClickOffersTheTargetToTheParentThenOpensIt) {
  const struct {
    const wchar_t* text;
    std::u16string_view target;  // empty: the control's text
    ParentAnswer answer;
    std::u16string_view rewrite;
    std::u16string_view offered;
    std::optional<std::u16string_view> opened;
  } cases[] = {
      {L"user@example.org", u"", ParentAnswer::kAllow, u"", u"user@example.org", u"mailto:user@example.org"},
      {L"Home Page", u"https://example.org/", ParentAnswer::kAllow, u"", u"https://example.org/",
       u"https://example.org/"},
      {L"Write to us", u"mailto:a@b.org", ParentAnswer::kAllow, u"", u"mailto:a@b.org", u"mailto:a@b.org"},
      {L"Profile", u"https://example.org/@user", ParentAnswer::kAllow, u"", u"https://example.org/@user",
       u"https://example.org/@user"},
      {L"user@example.org", u"", ParentAnswer::kVeto, u"", u"user@example.org", std::nullopt},
      {L"Home Page", u"https://example.org/", ParentAnswer::kRewrite, u"other@example.org", u"https://example.org/",
       u"mailto:other@example.org"},
      {L"Home Page", u"https://example.org/", ParentAnswer::kClear, u"", u"https://example.org/", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(AsU16(c.text)) + " -> " + Utf16ToUtf8(c.target));
    parent_state_ = ParentState{c.answer, std::u16string(c.rewrite), {}};
    opener_state_.opened.clear();
    const HWND control = Static(c.text);
    HyperLink link;
    ASSERT_TRUE(link.Attach(control));
    link.SetTarget(std::u16string(c.target));
    Click(control);
    EXPECT_EQ(parent_state_.offered, std::vector<std::u16string>{std::u16string(c.offered)});
    if (c.opened) {
      EXPECT_EQ(opener_state_.opened, std::vector<std::u16string>{std::u16string(*c.opened)});
    } else {
      EXPECT_TRUE(opener_state_.opened.empty());
    }
    EXPECT_EQ(link.visited(), c.opened.has_value());
    DestroyWindow(control);
  }
}

TEST_F(HyperLinkTest, ButtonUpWithoutPressOrOutsideOpensNothing) {
  const HWND control = Static(L"user@example.org");
  HyperLink link;
  ASSERT_TRUE(link.Attach(control));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(500, 3));
  EXPECT_TRUE(parent_state_.offered.empty());
  EXPECT_TRUE(opener_state_.opened.empty());
}

TEST_F(HyperLinkTest, ColoursFollowTheVisitedStateAndOnlyLinksGetThem) {
  const LinkColors colors = ReadLinkColors();
  const HWND control = Static(L"Home Page");
  const HWND plain = Static(L"plain text", 1002, 40);
  HyperLink link;
  ASSERT_TRUE(link.Attach(control));
  EXPECT_NE(GetPropW(control, L"Brix_HyperLink"), nullptr);
  EXPECT_EQ(Queried(control), colors.link);
  EXPECT_EQ(ParentTextColor(control), colors.link);
  EXPECT_NE(ParentTextColor(plain), colors.link);

  link.SetTarget(u"https://example.org/");
  ASSERT_TRUE(link.Open());
  EXPECT_EQ(Queried(control), colors.visited);
  EXPECT_EQ(ParentTextColor(control), colors.visited);

  // A second link on the same parent is coloured as well (the parent is taken over once).
  const HWND second = Static(L"Forum", 1003, 70);
  HyperLink other;
  ASSERT_TRUE(other.Attach(second));
  EXPECT_EQ(ParentTextColor(second), colors.link);
  EXPECT_EQ(ParentTextColor(control), colors.visited);
}

TEST_F(HyperLinkTest, RegistryColoursWithBadValuesFallingBack) {
  const COLORREF blue = RGB(0, 0, 255), purple = RGB(128, 0, 128);
  const struct {
    std::optional<std::wstring> anchor, visited;
    COLORREF link, seen;
  } cases[] = {
      {std::nullopt, std::nullopt, blue, purple},
      {L"0,128,0", L"255,0,0", RGB(0, 128, 0), RGB(255, 0, 0)},
      {L"10,20,30", std::nullopt, RGB(10, 20, 30), purple},
      {L"300,0,0", L"abc", blue, purple},
      {L"", L"1,2", blue, purple},
      {L"0,0,0,0", L" 5, 6, 7", blue, RGB(5, 6, 7)},
  };
  ColorValue anchor(L"Anchor Color");
  ColorValue visited(L"Anchor Color Visited");
  for (const auto& c : cases) {
    anchor.Set(c.anchor);
    visited.Set(c.visited);
    const LinkColors colors = ReadLinkColors();
    EXPECT_EQ(colors.link, c.link) << (c.anchor ? Utf16ToUtf8(AsU16(c.anchor->c_str())) : "absent");
    EXPECT_EQ(colors.visited, c.seen) << (c.visited ? Utf16ToUtf8(AsU16(c.visited->c_str())) : "absent");
  }
  // A link reads them when it is attached.
  anchor.Set(L"0,128,0");
  const HWND control = Static(L"Home Page");
  HyperLink link;
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(ParentTextColor(control), RGB(0, 128, 0));
}

TEST_F(HyperLinkTest, FailureShowsTheTargetAndTheSystemReason) {
  opener_state_.succeed = false;
  opener_state_.error = ERROR_FILE_NOT_FOUND;
  const HWND control = Static(L"user@example.org");
  HyperLink link;
  ASSERT_TRUE(link.Attach(control));
  std::wstring box_text;
  {
    testing::MessageBoxCloser closer;
    EXPECT_FALSE(link.Open());
    box_text = closer.text();
  }
  EXPECT_FALSE(link.visited());
  const std::wstring head = L"Cannot open [mailto:user@example.org]\r\n";
  ASSERT_GT(box_text.size(), head.size()) << Utf16ToUtf8(AsU16(box_text.c_str()));
  EXPECT_EQ(box_text.substr(0, head.size()), head);
  wchar_t reason[256] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0, reason,
                 256, nullptr);
  std::wstring expected = reason;
  while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r')) expected.pop_back();
  EXPECT_EQ(box_text.substr(head.size()), expected);
  EXPECT_EQ(Queried(control), ReadLinkColors().link);
}

bool Underlined(HWND control) {
  LOGFONTW face{};
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
  return font && GetObjectW(font, sizeof face, &face) && face.lfUnderline;
}

TEST_F(HyperLinkTest, HandCursorAndUnderlineWhileThePointerIsOver) {
  const HWND control = Static(L"Home Page");
  SendMessageW(control, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  HyperLink link;
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(SendMessageW(control, WM_NCHITTEST, 0, 0), HTCLIENT);
  EXPECT_TRUE(SendMessageW(control, WM_SETCURSOR, WPARAM(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

  SetCursorPos(5, 5);  // far from the link: the next poll removes the underline
  EXPECT_FALSE(Underlined(control));
  SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(Underlined(control));
  // Pump messages until the polling timer has seen the pointer outside (bounded wait).
  const DWORD start = GetTickCount();
  while (Underlined(control) && GetTickCount() - start < 5000) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  EXPECT_FALSE(Underlined(control));
  EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), LRESULT(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(HyperLinkTest, DestroyedControlLeavesNothingBehind) {
  HyperLink link;
  const HWND control = Static(L"Home Page");
  ASSERT_TRUE(link.Attach(control));
  DestroyWindow(control);
  EXPECT_EQ(link.hwnd(), nullptr);
  EXPECT_FALSE(link.Open());
  EXPECT_FALSE(link.Attach(nullptr));
}

}  // namespace
}  // namespace vellix
