// The owners of Win32 handles and the scoped device-context helpers: each owner frees its
// kind of handle when it ends, close() reports a refusal and keeps the handle, and what a
// scope selects into a device context is selected out again.
#include "win32/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>

#include "resource.h"
#include "win32/scoped_dc.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

HFONT MakeFont() { return CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"); }

// A handle is gone once the system no longer knows its object.
bool GdiObjectExists(HGDIOBJ object) { return GetObjectType(object) != 0; }

struct OwnerCase {
  const char* name;
  std::function<bool()> freedWhenTheOwnerEnds;
};

TEST(HandleOwnersTest, EachOwnerFreesItsKindOfHandle) {
  const OwnerCase cases[] = {
      {"font",
       [] {
         HFONT font = MakeFont();
         { const UniqueFont owner(font); }
         return font && !GdiObjectExists(font);
       }},
      {"brush",
       [] {
         HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
         { const UniqueBrush owner(brush); }
         return brush && !GdiObjectExists(brush);
       }},
      {"pen",
       [] {
         HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
         { const UniquePen owner(pen); }
         return pen && !GdiObjectExists(pen);
       }},
      {"region",
       [] {
         HRGN region = CreateRectRgn(0, 0, 10, 10);
         { const UniqueRegion owner(region); }
         return region && !GdiObjectExists(region);
       }},
      {"menu",
       [] {
         HMENU menu = CreatePopupMenu();
         { const UniqueMenu owner(menu); }
         return menu && !IsMenu(menu);
       }},
      {"icon",
       [] {
         HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
         { const UniqueIcon owner(icon); }
         ICONINFO info{};
         return icon && !GetIconInfo(icon, &info);
       }},
      {"image list",
       [] {
         HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
         { const UniqueImageList owner(images); }
         int width = 0;
         int height = 0;
         return images && !ImageList_GetIconSize(images, &width, &height);
       }},
      {"event",
       [] {
         HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
         { const UniqueKernelHandle owner(event); }
         DWORD flags = 0;
         return event && !GetHandleInformation(event, &flags);
       }},
  };
  for (const OwnerCase& c : cases) EXPECT_TRUE(c.freedWhenTheOwnerEnds()) << c.name;
}

TEST(HandleOwnersTest, MovedOwnershipFreesOnceAndReleaseHandsTheHandleOver) {
  HMENU menu = CreatePopupMenu();
  UniqueMenu first(menu);
  UniqueMenu second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), menu);
  HMENU kept = second.release();
  EXPECT_FALSE(second);
  EXPECT_TRUE(IsMenu(kept));  // released: not freed by the owner
  EXPECT_TRUE(DestroyMenu(kept));
}

TEST(HandleOwnersTest, CloseAnswersWhetherTheSystemClosedTheHandle) {
  UniqueMenu menu(CreatePopupMenu());
  ASSERT_TRUE(menu);
  const HMENU handle = menu.get();
  EXPECT_TRUE(menu.close());
  EXPECT_FALSE(menu);
  EXPECT_FALSE(IsMenu(handle));
  EXPECT_TRUE(menu.close());  // nothing owned: nothing to refuse

  // A handle the system refuses to close (destroyed behind the owner's back) stays owned,
  // and the reason is left for GetLastError.
  HMENU destroyed = CreatePopupMenu();
  UniqueMenu stale(destroyed);
  ASSERT_TRUE(DestroyMenu(destroyed));
  EXPECT_FALSE(stale.close());
  EXPECT_NE(GetLastError(), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(stale.get(), destroyed);
  (void)stale.release();
}

TEST(HandleOwnersTest, ResetKeepsTheErrorOfTheCallThatFailed) {
  UniqueFont font(MakeFont());
  SetLastError(ERROR_FILE_NOT_FOUND);
  font.reset();
  EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST(ScopedDcTest, SelectedObjectsAreSelectedOutInReverseOrder) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  {
    const WindowDC dc(window);
    ASSERT_TRUE(dc);
    const HGDIOBJ fontBefore = GetCurrentObject(dc.get(), OBJ_FONT);
    const HGDIOBJ penBefore = GetCurrentObject(dc.get(), OBJ_PEN);
    const UniqueFont font(MakeFont());
    const UniquePen pen(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
    {
      const ScopedSelectObject selectedFont(dc.get(), font.get());
      const ScopedSelectObject selectedPen(dc.get(), pen.get());
      const ScopedSelectObject nothing(dc.get(), nullptr);  // selects nothing, restores nothing
      EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
      EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), fontBefore);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), penBefore);
  }
  DestroyWindow(window);
}

TEST(WindowHelpersTest, BoldFontKeepsTheFaceAndIconsAreSetOnTheWindow) {
  const UniqueFont normal(MakeFont());
  const UniqueFont bold = MakeBoldFont(normal.get());
  ASSERT_TRUE(bold);
  LOGFONTW normalFace{};
  LOGFONTW boldFace{};
  ASSERT_TRUE(GetObjectW(normal.get(), sizeof normalFace, &normalFace));
  ASSERT_TRUE(GetObjectW(bold.get(), sizeof boldFace, &boldFace));
  EXPECT_EQ(boldFace.lfWeight, FW_BOLD);
  EXPECT_EQ(boldFace.lfHeight, normalFace.lfHeight);
  EXPECT_EQ(std::wstring(boldFace.lfFaceName), std::wstring(normalFace.lfFaceName));
  EXPECT_FALSE(MakeBoldFont(nullptr));

  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  // The test program carries the program's resources.
  const WindowIcons icons = SetWindowIcons(window, IDI_ENGINE_ON);
  ASSERT_TRUE(icons.large);
  ASSERT_TRUE(icons.smallIcon);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), icons.large.get());
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), icons.smallIcon.get());
  DestroyWindow(window);
}

}  // namespace
}  // namespace vellix
