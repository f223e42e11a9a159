// The program's global hotkeys on a window: keys another window holds are refused and leave
// no registration behind, a change replaces the old keys, and 0 removes them.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/global_hotkeys_win.h"

namespace vellix {
namespace {

constexpr uint16_t kCtrlAltF11 = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F11;
constexpr uint16_t kCtrlAltF12 = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F12;

class GlobalHotkeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HWND& window : windows_) {
      window = CreateWindowExW(0, L"STATIC", L"hotkeys test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
      ASSERT_NE(window, nullptr);
    }
    first_.SetWindow(windows_[0]);
    second_.SetWindow(windows_[1]);
  }
  void TearDown() override {
    first_.Clear();
    second_.Clear();
    for (HWND window : windows_) DestroyWindow(window);
  }

  HWND windows_[2] = {};
  GlobalHotkeys first_;
  GlobalHotkeys second_;
};

TEST_F(GlobalHotkeysTest, KeysHeldElsewhereAreRefusedAndFreeKeysReplaceTheOldOnes) {
  ASSERT_TRUE(first_.Set(HotkeyUse::kPause, kCtrlAltF11));
  EXPECT_EQ(first_.Registered(HotkeyUse::kPause), kCtrlAltF11);

  EXPECT_FALSE(second_.Set(HotkeyUse::kPause, kCtrlAltF11)) << "held by the other window";
  EXPECT_EQ(second_.Registered(HotkeyUse::kPause), 0);

  // A change frees the old keys at once.
  ASSERT_TRUE(first_.Set(HotkeyUse::kPause, kCtrlAltF12));
  EXPECT_TRUE(second_.Set(HotkeyUse::kFindPhrase, kCtrlAltF11));

  // 0 removes the keys and always succeeds.
  EXPECT_TRUE(first_.Set(HotkeyUse::kPause, 0));
  EXPECT_EQ(first_.Registered(HotkeyUse::kPause), 0);
  EXPECT_TRUE(second_.Set(HotkeyUse::kPause, kCtrlAltF12));
}

TEST_F(GlobalHotkeysTest, WithoutAWindowNothingIsRegistered) {
  GlobalHotkeys none;
  EXPECT_FALSE(none.Set(HotkeyUse::kPause, kCtrlAltF11));
  EXPECT_EQ(none.Registered(HotkeyUse::kPause), 0);
  EXPECT_TRUE(first_.Set(HotkeyUse::kPause, kCtrlAltF11));
}

}  // namespace
}  // namespace vellix
