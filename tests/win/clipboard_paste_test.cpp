// Pasting a long phrase through the clipboard: the target gets the phrase, the user's
// clipboard comes back with every format it held, a busy clipboard leaves everything to
// typing, and the phrase never reaches the clipboard history.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/clipboard_paste_win.h"
#include "engine/key_injector_win.h"
#include "engine/synthetic_typing.h"
#include "win_test_support.h"

namespace vellix {
namespace {

const UINT kPrivateFormat = RegisterClipboardFormatW(L"Vellix Paste Test Format");

HGLOBAL GlobalWith(const void* data, size_t size) {
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(global), data, size);
  GlobalUnlock(global);
  return global;
}

// The user's clipboard: a text and a private format of the user's program.
void PutUserClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const wchar_t text[] = L"the user's text";
  SetClipboardData(CF_UNICODETEXT, GlobalWith(text, sizeof(text)));
  const char bytes[] = {1, 2, 3, 0, 4};
  SetClipboardData(kPrivateFormat, GlobalWith(bytes, sizeof(bytes)));
  CloseClipboard();
}

std::string FormatBytes(UINT format) {
  std::string bytes;
  if (!OpenClipboard(nullptr)) return "(cannot open)";
  if (HANDLE data = GetClipboardData(format)) {
    bytes.assign(static_cast<const char*>(GlobalLock(data)), GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

std::wstring ClipboardText() {
  std::string bytes = FormatBytes(CF_UNICODETEXT);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()));
}

// A focused edit control of this thread: the paste's messages are handled while the
// paster waits, as they would be by another program.
class EditTarget {
 public:
  EditTarget() {
    window_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE,
                              50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    testing::ToForeground(window_, window_);
    testing::PumpFor(50);
  }
  ~EditTarget() { DestroyWindow(window_); }
  std::wstring Text() const {
    wchar_t text[2048] = {};
    GetWindowTextW(window_, text, 2048);
    return text;
  }

 private:
  HWND window_ = nullptr;
};

// Counts what it is given; sends nothing, as for a target that never pastes.
class SilentInjector final : public KeyInjector {
 public:
  size_t Send(std::span<const KeyRecord> records) noexcept override {
    ++batches;
    historyMarked = IsClipboardFormatAvailable(RegisterClipboardFormatW(L"CanIncludeInClipboardHistory")) != 0;
    monitorMarked = IsClipboardFormatAvailable(
                        RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")) != 0;
    return records.size();
  }
  uint16_t ScanCode(uint16_t) noexcept override { return 0; }
  void Pause(uint32_t) noexcept override {}
  int batches = 0;
  bool historyMarked = false;
  bool monitorMarked = false;
};

TEST(ClipboardPaste, TheTargetGetsThePhraseAndTheUserGetsTheClipboardBack) {
  EditTarget target;
  PutUserClipboard();
  Win32KeyInjector injector;
  const std::u16string phrase = std::u16string(300, u'x') + u"\r\nend";
  EXPECT_EQ(PasteText(phrase, 0, injector), PasteResult::kPasted);
  testing::PumpFor(100);
  EXPECT_EQ(target.Text(), std::wstring(300, L'x') + L"\r\nend");
  EXPECT_EQ(ClipboardText(), L"the user's text");
  EXPECT_EQ(FormatBytes(kPrivateFormat), std::string("\x01\x02\x03\x00\x04", 5));
}

TEST(ClipboardPaste, LeftPressesFollowThePaste) {
  EditTarget target;
  Win32KeyInjector injector;
  EXPECT_EQ(PasteText(u"(....)", 1, injector), PasteResult::kPasted);
  testing::PumpFor(100);
  // The caret sits before the closing bracket: what is typed next lands inside.
  const KeyRecord q[] = {{0, u'q', kKeyEventUnicode, 0}, {0, u'q', kKeyEventUnicode | kKeyEventKeyUp, 0}};
  injector.Send(q);
  testing::PumpFor(100);
  EXPECT_EQ(target.Text(), L"(....q)");
}

TEST(ClipboardPaste, NobodyTakingThePhraseStillGivesTheClipboardBack) {
  PutUserClipboard();
  SilentInjector injector;
  PasteTimings quick;
  quick.takeWaitMs = 100;
  EXPECT_EQ(PasteText(u"never asked for", 0, injector, quick), PasteResult::kNotTaken);
  EXPECT_EQ(injector.batches, 1);
  EXPECT_TRUE(injector.historyMarked) << "the phrase must stay out of the clipboard history";
  EXPECT_TRUE(injector.monitorMarked) << "clipboard managers must leave the phrase alone";
  EXPECT_EQ(ClipboardText(), L"the user's text");
}

TEST(ClipboardPaste, ABusyClipboardSendsNothing) {
  PutUserClipboard();
  std::atomic<bool> opened{false};
  std::atomic<bool> release{false};
  std::thread holder([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    opened = OpenClipboard(window) != 0;
    while (!release.load()) Sleep(5);
    CloseClipboard();
    DestroyWindow(window);
  });
  while (!opened.load()) Sleep(5);
  SilentInjector injector;
  PasteTimings quick;
  quick.openWaitMs = 50;
  EXPECT_EQ(PasteText(u"phrase", 0, injector, quick), PasteResult::kClipboardBusy);
  release = true;
  holder.join();
  EXPECT_EQ(injector.batches, 0);
  EXPECT_EQ(ClipboardText(), L"the user's text");
}

TEST(ClipboardPaste, AClipboardReplacedMeanwhileIsNotOverwritten) {
  PutUserClipboard();
  // An injector that, instead of pasting, copies something new as the user might.
  class CopyingInjector final : public KeyInjector {
   public:
    size_t Send(std::span<const KeyRecord> records) noexcept override {
      if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        const wchar_t text[] = L"copied meanwhile";
        SetClipboardData(CF_UNICODETEXT, GlobalWith(text, sizeof(text)));
        CloseClipboard();
      }
      return records.size();
    }
    uint16_t ScanCode(uint16_t) noexcept override { return 0; }
    void Pause(uint32_t) noexcept override {}
  } injector;
  PasteTimings quick;
  quick.takeWaitMs = 100;
  PasteText(u"phrase", 0, injector, quick);
  EXPECT_EQ(ClipboardText(), L"copied meanwhile");
}

}  // namespace
}  // namespace vellix
