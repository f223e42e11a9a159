// The hook managers, the desktop translation, the caret query and the injector against the
// real Win32 functions (run under Wine on a virtual display).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/caret_position_win.h"
#include "engine/desktop_win.h"
#include "engine/key_injector_win.h"
#include "engine/keyboard_hook_manager_win.h"
#include "engine/win_event_hook_manager_win.h"
#include "win_test_support.h"

namespace vellix {
namespace {

class KeyRecorder final : public KeyboardListener {
 public:
  void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t context) noexcept override {
    keys.push_back(info);
    contexts.push_back(context);
  }
  void OnMouseButton(const MouseEventInfo& info, uint32_t) noexcept override {
    clicks.push_back(info);
  }
  std::vector<KeyboardEventInfo> keys;
  std::vector<uint32_t> contexts;
  std::vector<MouseEventInfo> clicks;
};

class EventRecorder final : public WinEventListener {
 public:
  void OnWinEvent(const WinEventInfo& info, uint32_t) noexcept override { events.push_back(info); }
  std::vector<WinEventInfo> events;
};

// A top-level window with a focused edit control, on the test's thread.
class EditWindow {
 public:
  EditWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"engine hooks test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 200,
                            100, window_, nullptr, nullptr, nullptr);
    testing::ToForeground(window_, edit_);
    testing::PumpFor(50);
  }
  ~EditWindow() { DestroyWindow(window_); }
  HWND window() const { return window_; }
  HWND edit() const { return edit_; }

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

TEST(KeyboardHookManagerWin, RegistrationInstallsAndReleasesTheHook) {
  KeyRecorder first;
  KeyRecorder second;
  ASSERT_TRUE(KeyboardHookManager::Register(&first, 7));
  EXPECT_TRUE(KeyboardHookManager::IsHooked());
  EXPECT_FALSE(KeyboardHookManager::Register(&first, 8));
  EXPECT_TRUE(KeyboardHookManager::IsHooked());
  EXPECT_TRUE(KeyboardHookManager::Register(&second, 9));
  EXPECT_FALSE(KeyboardHookManager::Unregister(&second));
  EXPECT_TRUE(KeyboardHookManager::IsHooked());
  EXPECT_FALSE(KeyboardHookManager::Unregister(&second));
  EXPECT_TRUE(KeyboardHookManager::Unregister(&first));
  EXPECT_FALSE(KeyboardHookManager::IsHooked());
  EXPECT_FALSE(KeyboardHookManager::Unregister(&first));
}

TEST(KeyboardHookManagerWin, ProcedureHandsOnlyActionEventsToListeners) {
  KeyRecorder recorder;
  ASSERT_TRUE(KeyboardHookManager::Register(&recorder, 3));
  KBDLLHOOKSTRUCT record{};
  record.vkCode = 'A';
  record.scanCode = 0x1E;
  record.flags = LLKHF_INJECTED;
  KeyboardHookManager::HookProc(HC_NOREMOVE, WM_KEYDOWN, reinterpret_cast<LPARAM>(&record));
  testing::PumpFor(50);
  EXPECT_TRUE(recorder.keys.empty());
  KeyboardHookManager::HookProc(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&record));
  // A release waits in the queue for the next press, which asks for the drain; the
  // listener hears of both, in order, once messages are pumped.
  testing::PumpFor(50);
  EXPECT_TRUE(recorder.keys.empty());
  KeyboardHookManager::HookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&record));
  EXPECT_TRUE(recorder.keys.empty());
  testing::PumpFor(50);
  ASSERT_EQ(recorder.keys.size(), 2u);
  EXPECT_EQ(recorder.keys[1].message, kWmKeyDown);
  EXPECT_EQ(recorder.keys[0].message, kWmKeyUp);
  EXPECT_EQ(recorder.keys[0].vkCode, 'A');
  EXPECT_EQ(recorder.keys[0].scanCode, 0x1Eu);
  EXPECT_EQ(recorder.keys[0].flags, kLlkhfInjected);
  EXPECT_EQ(recorder.contexts[0], 3u);
  EXPECT_TRUE(KeyboardHookManager::Unregister(&recorder));
}

TEST(KeyboardHookManagerWin, InjectedKeysReachTheListenerWithTheirFlag) {
  EditWindow target;
  KeyRecorder recorder;
  ASSERT_TRUE(KeyboardHookManager::Register(&recorder, 0));
  Win32KeyInjector injector;
  const KeyRecord records[] = {{0, u'q', kKeyEventUnicode, 0},
                               {0, u'q', kKeyEventUnicode | kKeyEventKeyUp, 0}};
  EXPECT_EQ(injector.Send(records), 2u);
  testing::PumpFor(300);
  EXPECT_TRUE(KeyboardHookManager::Unregister(&recorder));
  ASSERT_GE(recorder.keys.size(), 2u);
  EXPECT_EQ(recorder.keys[0].message, kWmKeyDown);
  EXPECT_EQ(recorder.keys[0].scanCode, static_cast<uint32_t>(u'q'));
  EXPECT_NE(recorder.keys[0].flags & kLlkhfInjected, 0u);
  // The hook swallowed nothing: the character reached the edit control.
  wchar_t text[8] = {};
  GetWindowTextW(target.edit(), text, 8);
  EXPECT_STREQ(text, L"q");
}

TEST(WinEventHookManagerWin, AddInstallsOnceAndRemoveReleases) {
  EventRecorder recorder;
  EXPECT_TRUE(WinEventHookManager::Add(&recorder, 0, kEventObjectFocus));
  EXPECT_TRUE(WinEventHookManager::IsHooked());
  EXPECT_TRUE(WinEventHookManager::Add(&recorder, 0, kEventSystemForeground));
  EXPECT_FALSE(WinEventHookManager::Add(&recorder, 0, kEventObjectFocus));
  EventRecorder other;
  EXPECT_FALSE(WinEventHookManager::Remove(&other));
  EXPECT_TRUE(WinEventHookManager::Remove(&recorder));
  EXPECT_FALSE(WinEventHookManager::IsHooked());
}

TEST(WinEventHookManagerWin, EventsOfTheOwnProcessFollowTheSkipFlag) {
  EditWindow window;
  for (const bool skip : {false, true}) {
    EventRecorder recorder;
    WinEventHookManager::SetSkipOwnProcess(skip);
    ASSERT_TRUE(WinEventHookManager::Add(&recorder, 0, kEventObjectFocus));
    ASSERT_TRUE(WinEventHookManager::IsHooked());
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window.edit(), OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window.edit(), OBJID_CLIENT, CHILDID_SELF);
    testing::PumpFor(200);
    EXPECT_TRUE(WinEventHookManager::Remove(&recorder));
    if (skip) {
      EXPECT_TRUE(recorder.events.empty());
    } else {
      ASSERT_EQ(recorder.events.size(), 1u);
      EXPECT_EQ(recorder.events[0].event, kEventObjectFocus);
      EXPECT_EQ(recorder.events[0].window, reinterpret_cast<WindowHandle>(window.edit()));
      EXPECT_EQ(recorder.events[0].objectId, OBJID_CLIENT);
      EXPECT_EQ(recorder.events[0].eventThread, GetCurrentThreadId());
    }
  }
  WinEventHookManager::SetSkipOwnProcess(false);
}

TEST(Win32DesktopTest, KeyTextUsesTheTrackedModifiersAndTheWindowsLayout) {
  EditWindow window;
  Win32Desktop desktop;
  const WindowHandle handle = reinterpret_cast<WindowHandle>(window.edit());
  KeyboardEventInfo keyA{kWmKeyDown, 'A', 0x1E, 0};
  char16_t text[100] = {};
  EXPECT_EQ(desktop.KeyText(keyA, 0, text, 99), 0);

  // The thread's own key state plays no part: the event's modifiers decide.
  BYTE state[256] = {};
  state[VK_SHIFT] = 0x80;
  SetKeyboardState(state);
  ASSERT_EQ(desktop.KeyText(keyA, handle, text, 99), 1);
  EXPECT_EQ(text[0], u'a');
  keyA.modifiers = kModRightShift;
  ASSERT_EQ(desktop.KeyText(keyA, handle, text, 99), 1);
  EXPECT_EQ(text[0], u'A');
  keyA.modifiers = kModCapsLock;
  ASSERT_EQ(desktop.KeyText(keyA, handle, text, 99), 1);
  EXPECT_EQ(text[0], u'A');
  state[VK_SHIFT] = 0;
  SetKeyboardState(state);

  const KeyboardEventInfo shift{kWmKeyDown, VK_SHIFT, 0x2A, 0};
  EXPECT_EQ(desktop.KeyText(shift, handle, text, 99), 0);
  // The buffer's capacity bounds the text.
  EXPECT_EQ(desktop.KeyText(keyA, handle, text, 0), 0);
}

// The hook follows the modifiers from the key events themselves and hands them on with
// every key.
TEST(KeyboardHookManagerWin, KeysCarryTheModifiersHeldWhenTheyCame) {
  EditWindow window;
  KeyRecorder recorder;
  ASSERT_TRUE(KeyboardHookManager::Register(&recorder, 0));
  Win32KeyInjector injector;
  const KeyRecord keys[] = {{VK_LCONTROL, 0, 0, 0},
                            {'C', 0, 0, 0},
                            {'C', 0, kKeyEventKeyUp, 0},
                            {VK_LCONTROL, 0, kKeyEventKeyUp, 0},
                            {'D', 0, 0, 0},
                            {'D', 0, kKeyEventKeyUp, 0}};
  ASSERT_EQ(injector.Send(keys), 6u);
  testing::PumpFor(300);
  EXPECT_TRUE(KeyboardHookManager::Unregister(&recorder));
  std::vector<uint32_t> downs;
  for (const auto& key : recorder.keys) {
    if (key.message == kWmKeyDown && (key.vkCode == 'C' || key.vkCode == 'D')) {
      downs.push_back(key.modifiers & kModControl);
    }
  }
  EXPECT_EQ(downs, (std::vector<uint32_t>{kModLeftControl, 0}));
}

TEST(Win32DesktopTest, PasswordEditsAreKnown) {
  EditWindow window;
  Win32Desktop desktop;
  HWND password = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10, 120,
                                  100, 20, window.window(), nullptr, nullptr, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | BS_LEFTTEXT, 120, 120, 50, 20,
                                window.window(), nullptr, nullptr, nullptr);
  EXPECT_TRUE(desktop.IsPasswordField(reinterpret_cast<WindowHandle>(password)));
  EXPECT_FALSE(desktop.IsPasswordField(reinterpret_cast<WindowHandle>(window.edit())));
  // BS_LEFTTEXT has the bit of ES_PASSWORD; a button is no password field.
  EXPECT_FALSE(desktop.IsPasswordField(reinterpret_cast<WindowHandle>(button)));
  EXPECT_FALSE(desktop.IsPasswordField(0));
}

TEST(Win32DesktopTest, ProgramFileNameOfAWindow) {
  EditWindow window;
  Win32Desktop desktop;
  char16_t name[260] = {};
  const WindowHandle handle = reinterpret_cast<WindowHandle>(window.edit());
  const size_t length = desktop.ProgramFileName(handle, name, 260);
  EXPECT_EQ(std::u16string(name, length), u"win_tests.exe");
  // The second look-up comes from the cache and gives the same name; a short buffer cuts it.
  EXPECT_EQ(desktop.ProgramFileName(handle, name, 260), length);
  EXPECT_EQ(desktop.ProgramFileName(handle, name, 3), 3u);
  EXPECT_EQ(desktop.ProgramFileName(0, name, 260), 0u);
}

TEST(Win32DesktopTest, DeadKeysComposeAsTheTargetWould) {
  Win32Desktop desktop;
  char16_t out[8] = {};
  ASSERT_EQ(desktop.ComposeDeadKey(u'^', u"e", out, 8), 1u);
  EXPECT_EQ(out[0], u'\u00EA');
  ASSERT_EQ(desktop.ComposeDeadKey(0x00A8, u"u", out, 8), 1u);
  EXPECT_EQ(out[0], u'\u00FC');
  ASSERT_EQ(desktop.ComposeDeadKey(u'^', u"x", out, 8), 2u);
  EXPECT_EQ(std::u16string(out, 2), u"^x");
  ASSERT_EQ(desktop.ComposeDeadKey(u'`', u" ", out, 8), 1u);
  EXPECT_EQ(out[0], u'`');
}

TEST(Win32DesktopTest, UpperCaseOfOneUnit) {
  Win32Desktop desktop;
  const std::pair<char16_t, char16_t> cases[] = {
      {u'a', u'A'}, {u'Z', u'Z'}, {u'1', u'1'}, {u'\u00E4', u'\u00C4'},
      {u'\u0436', u'\u0416'}, {u'\u00DF', u'\u00DF'}, {0xD83D, 0xD83D},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(static_cast<int>(desktop.UpperCase(in)), static_cast<int>(out)) << int(in);
  }
}

TEST(CaretPositionWin, AnswersForAWindowWithACaret) {
  int32_t x = 5;
  int32_t y = 5;
  EXPECT_FALSE(GetCaretScreenPosition(0, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);

  EditWindow window;
  ASSERT_TRUE(GetCaretScreenPosition(reinterpret_cast<WindowHandle>(window.edit()), x, y));
  RECT rect{};
  GetWindowRect(window.edit(), &rect);
  EXPECT_GE(x, rect.left);
  EXPECT_LE(x, rect.right);
  EXPECT_GE(y, rect.top);
  EXPECT_LE(y, rect.bottom);

  HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(GetCaretScreenPosition(reinterpret_cast<WindowHandle>(gone), x, y));
}

TEST(Win32KeyInjectorTest, ScanCodesAndEmptyBatches) {
  Win32KeyInjector injector;
  EXPECT_EQ(injector.ScanCode(VK_RETURN), 0x1C);
  EXPECT_EQ(injector.ScanCode(VK_TAB), 0x0F);
  EXPECT_EQ(injector.Send({}), 0u);
}

}  // namespace
}  // namespace vellix
