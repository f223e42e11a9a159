// The notification-area icon on a hidden window of the test: adding, modifying and
// removing it through the shell, the gathered flags, the texts and the cuts.
// Needs a display (the Windows tests run on a private Xvfb with Wine's explorer).

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "app/tray_icon_win.h"
#include "app/tray_texts.h"
#include "base/utf.h"
#include "base/wide.h"
#include "engine/desktop_typing_engine_win.h"
#include "lang/language_win.h"
#include "services/program_title.h"
#include "services/statistics.h"

namespace vellix {
namespace {

std::u16string Localized(uint32_t id) { return GetLocalizedString(id); }

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"tray test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    statistics_.SetPrintedChars(1234567);
    icon_ = std::make_unique<TrayIcon>(engine_, path_, &statistics_);
  }
  void TearDown() override {
    icon_.reset();
    DestroyWindow(window_);
  }

  // Whether the shell still knows an icon of the window with id 1.
  bool ShellKnowsIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = TrayIcon::kIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
  }

  HWND window_ = nullptr;
  DesktopTypingEngine engine_;
  std::u16string path_ = u"C:\\data\\Database.xml";
  Statistics statistics_;
  std::unique_ptr<TrayIcon> icon_;
};

TEST_F(TrayIconTest, RecordStartsWithTheMessageFlagAndEachSetterAddsItsOwn) {
  const NOTIFYICONDATAW& data = icon_->Data();
  EXPECT_EQ(data.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(data.uID, 1u);
  EXPECT_EQ(data.uCallbackMessage, RegisterWindowMessageW(L"{DB191FA5-07DC-4d3e-9D9E-2EEAC4B48470}"));
  EXPECT_EQ(TrayIcon::TaskbarCreatedMessage(), RegisterWindowMessageW(L"TaskbarCreated"));
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE));
  EXPECT_TRUE(icon_->SetTip(u"tip", false));
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP));
  EXPECT_TRUE(icon_->SetIcon(nullptr, false));
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
  EXPECT_TRUE(icon_->ShowBalloon(u"text", u"title", nullptr, 0, false));
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON | NIF_INFO));
  EXPECT_EQ(data.dwInfoFlags, DWORD(NIIF_NONE));
  // Nothing can be sent before the icon was added.
  EXPECT_FALSE(icon_->RefreshTooltip());
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
  EXPECT_FALSE(icon_->Remove());
}

TEST_F(TrayIconTest, StartBalloonAddsTheIconWithTipBalloonAndStateIcons) {
  ASSERT_TRUE(icon_->AddWithStartBalloon(window_, 3, 5));
  EXPECT_TRUE(icon_->IsAdded());
  EXPECT_EQ(TrayIcon::AddedTo(window_), icon_.get());
  const NOTIFYICONDATAW& data = icon_->Data();
  EXPECT_EQ(data.hWnd, window_);
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON | NIF_INFO));
  const std::u16string header = TrayHeader(ProgramTitle(true), false, Localized);
  EXPECT_EQ(header, ProgramTitle(true) + u" : Turn Off");
  EXPECT_EQ(AsU16(data.szTip), CutText(header + u"\nChars typed: 1 234 567\r\nC:\\data\\Database.xml", 127));
  EXPECT_EQ(AsU16(data.szInfo),
            std::u16string(u"Vellix has been started\u2026\rSnippets: 3/5\r\nC:\\data\\Database.xml\nChars typed: 1 234 567"));
  EXPECT_EQ(AsU16(data.szInfoTitle), CutText(header, 63));
  EXPECT_EQ(data.uTimeout, 0u);
  EXPECT_EQ(data.dwInfoFlags & NIIF_USER, DWORD(NIIF_USER));
  EXPECT_EQ(IconWidth(data.hIcon), 16);
  EXPECT_EQ(IconWidth(data.hBalloonIcon), 32);
  EXPECT_TRUE(ShellKnowsIcon());
  // Adding again modifies the icon that is there.
  EXPECT_TRUE(icon_->AddWithStateBalloon(window_, 0, 0));
  EXPECT_EQ(AsU16(data.szInfo), std::u16string(u"Vellix Turn Off\u2026\rSnippets: 0/0\r\nC:\\data\\Database.xml\nChars typed: 1 234 567"));
}

TEST_F(TrayIconTest, TooltipRefreshDropsTheBalloonFlagAndCutsAt127) {
  ASSERT_TRUE(icon_->AddWithStartBalloon(window_, 1, 1));
  ASSERT_TRUE(icon_->RefreshTooltip());
  EXPECT_EQ(icon_->Flags(), UINT(NIF_MESSAGE | NIF_TIP | NIF_ICON));
  const std::u16string header = TrayHeader(ProgramTitle(true), false, Localized);
  EXPECT_EQ(AsU16(icon_->Data().szTip),
            CutText(header + u"\r\nSnippets: 0\r\nC:\\data\\Database.xml\r\nChars typed: 1 234 567", 127));

  path_ = u"C:\\" + std::u16string(200, u'p') + u".xml";
  ASSERT_TRUE(icon_->RefreshTooltip());
  const std::u16string tip = AsU16(icon_->Data().szTip);
  EXPECT_EQ(tip.size(), 127u);
  EXPECT_EQ(tip, (header + u"\r\nSnippets: 0\r\n" + path_).substr(0, 127));

  statistics_.SetPrintedChars(0);
  path_ = u"D.xml";
  ASSERT_TRUE(icon_->RefreshTooltip());
  EXPECT_EQ(std::u16string(AsU16(icon_->Data().szTip)), header + u"\r\nSnippets: 0\r\nD.xml\r\nChars typed: 0");
}

TEST_F(TrayIconTest, BalloonsStateIconAndRemoval) {
  ASSERT_TRUE(icon_->AddWithStartBalloon(window_, 1, 1));
  const NOTIFYICONDATAW& data = icon_->Data();
  EXPECT_TRUE(icon_->MessageBalloon(u"Already running\u2026"));
  EXPECT_EQ(std::u16string(AsU16(data.szInfoTitle)), u"Vellix");
  EXPECT_EQ(std::u16string(AsU16(data.szInfo)), u"Already running\u2026");
  EXPECT_TRUE(icon_->WarningBalloon(u"Database.xml could not be read."));
  EXPECT_EQ(std::u16string(AsU16(data.szInfoTitle)), u"Vellix");
  EXPECT_EQ(std::u16string(AsU16(data.szInfo)), u"Database.xml could not be read.");
  EXPECT_EQ(data.dwInfoFlags, DWORD(NIIF_WARNING));
  EXPECT_TRUE(icon_->ShowBalloon(std::u16string(300, u'b'), std::u16string(100, u't'), nullptr, 0, true));
  EXPECT_EQ(std::u16string(AsU16(data.szInfo)).size(), 255u);
  EXPECT_EQ(std::u16string(AsU16(data.szInfoTitle)).size(), 63u);
  EXPECT_TRUE(icon_->HideBalloon());
  EXPECT_EQ(data.szInfo[0], L'\0');
  EXPECT_EQ(data.szInfoTitle[0], L'\0');
  EXPECT_EQ(data.dwInfoFlags, DWORD(NIIF_NONE));
  EXPECT_TRUE(icon_->SetStateIcon());
  EXPECT_EQ(IconWidth(data.hIcon), 16);

  EXPECT_TRUE(icon_->Remove());
  EXPECT_FALSE(icon_->IsAdded());
  EXPECT_EQ(TrayIcon::AddedTo(window_), nullptr);
  EXPECT_FALSE(ShellKnowsIcon());
  EXPECT_FALSE(icon_->MessageBalloon(u"gone"));
  // The next add tries again.
  EXPECT_TRUE(icon_->AddWithStartBalloon(window_, 1, 1));
}

TEST_F(TrayIconTest, ReAddAfterTheShellLostTheIcon) {
  EXPECT_FALSE(icon_->ReAdd());  // never added: no window to add it to
  ASSERT_TRUE(icon_->AddWithStartBalloon(window_, 1, 1));
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = TrayIcon::kIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_TRUE(icon_->ReAdd());
  EXPECT_TRUE(icon_->IsAdded());
  EXPECT_EQ(icon_->Flags() & NIF_INFO, 0u);  // the old balloon is not shown again
  EXPECT_TRUE(ShellKnowsIcon());
}

TEST_F(TrayIconTest, DestroyingAnAddedIconRemovesIt) {
  ASSERT_TRUE(icon_->AddWithStartBalloon(window_, 1, 1));
  ASSERT_TRUE(ShellKnowsIcon());
  icon_.reset();
  EXPECT_FALSE(ShellKnowsIcon());
  EXPECT_EQ(TrayIcon::AddedTo(window_), nullptr);
}

}  // namespace
}  // namespace vellix
