#include "engine/clipboard_paste_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/synthetic_typing.h"
#include "win32/message_window_win.h"

namespace vellix {
namespace {

constexpr wchar_t kOwnerClass[] = L"VellixPasteOwner";
constexpr DWORD kPollMs = 2;

// One format of the user's clipboard, copied so that it survives EmptyClipboard.
struct SavedFormat {
  enum class Kind { kGlobal, kBitmap, kEnhMetaFile };
  UINT format = 0;
  Kind kind = Kind::kGlobal;
  HANDLE handle = nullptr;
};

HGLOBAL CopyGlobal(HANDLE source) {
  const SIZE_T size = GlobalSize(source);
  const void* from = GlobalLock(source);
  if (!from) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
  if (copy) {
    void* to = GlobalLock(copy);
    if (to) {
      std::memcpy(to, from, size);
      GlobalUnlock(copy);
    } else {
      GlobalFree(copy);
      copy = nullptr;
    }
  }
  GlobalUnlock(source);
  return copy;
}

// The user's clipboard: every format whose data can be copied, in the clipboard's order.
// Formats held as handles of other kinds (palettes, metafile pictures, private GDI
// objects, owner-drawn display) are left out: none of them can be copied safely, and the
// system synthesises the common ones from the formats kept.
class SavedClipboard {
 public:
  SavedClipboard() = default;
  SavedClipboard(const SavedClipboard&) = delete;
  SavedClipboard& operator=(const SavedClipboard&) = delete;
  ~SavedClipboard() {
    for (SavedFormat& saved : formats_) Free(saved);
  }

  // With the clipboard open.
  void Take() {
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
      SavedFormat saved;
      saved.format = format;
      if (!Copyable(format, saved.kind)) continue;
      const HANDLE data = GetClipboardData(format);
      if (!data) continue;
      switch (saved.kind) {
        case SavedFormat::Kind::kGlobal:
          saved.handle = CopyGlobal(data);
          break;
        case SavedFormat::Kind::kBitmap:
          saved.handle = CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
          break;
        case SavedFormat::Kind::kEnhMetaFile:
          saved.handle = CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
          break;
      }
      if (saved.handle) formats_.push_back(saved);
    }
  }

  // With the clipboard open and emptied: the system owns the data from here on.
  void Restore() {
    for (SavedFormat& saved : formats_) {
      if (SetClipboardData(saved.format, saved.handle)) {
        saved.handle = nullptr;
      }
    }
  }

 private:
  static bool Copyable(UINT format, SavedFormat::Kind& kind) {
    switch (format) {
      case CF_BITMAP:
      case CF_DSPBITMAP:
        kind = SavedFormat::Kind::kBitmap;
        return true;
      case CF_ENHMETAFILE:
      case CF_DSPENHMETAFILE:
        kind = SavedFormat::Kind::kEnhMetaFile;
        return true;
      case CF_METAFILEPICT:
      case CF_DSPMETAFILEPICT:
      case CF_PALETTE:
      case CF_OWNERDISPLAY:
        return false;
      default:
        if (format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) return false;
        if (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST) return false;
        kind = SavedFormat::Kind::kGlobal;
        return true;
    }
  }
  static void Free(SavedFormat& saved) {
    if (!saved.handle) return;
    switch (saved.kind) {
      case SavedFormat::Kind::kGlobal: GlobalFree(saved.handle); break;
      case SavedFormat::Kind::kBitmap: DeleteObject(saved.handle); break;
      case SavedFormat::Kind::kEnhMetaFile:
        DeleteEnhMetaFile(static_cast<HENHMETAFILE>(saved.handle));
        break;
    }
    saved.handle = nullptr;
  }

  std::vector<SavedFormat> formats_;
};

HGLOBAL MakeText(std::u16string_view text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!global) return nullptr;
  auto* to = static_cast<char16_t*>(GlobalLock(global));
  if (!to) {
    GlobalFree(global);
    return nullptr;
  }
  std::memcpy(to, text.data(), text.size() * sizeof(char16_t));
  to[text.size()] = 0;
  GlobalUnlock(global);
  return global;
}

HGLOBAL MakeDword(DWORD value) {
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
  if (!global) return nullptr;
  if (auto* to = static_cast<DWORD*>(GlobalLock(global))) {
    *to = value;
    GlobalUnlock(global);
  }
  return global;
}

// Marks the clipboard's content as not for the clipboard history, the cloud clipboard and
// clipboard managers: the phrase is there only for the moment of the paste.
void MarkPrivate() {
  static const UINT exclude = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
  static const UINT history = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
  static const UINT cloud = RegisterClipboardFormatW(L"CanUploadToCloudClipboard");
  if (exclude) SetClipboardData(exclude, MakeDword(0));
  if (history) SetClipboardData(history, MakeDword(0));
  if (cloud) SetClipboardData(cloud, MakeDword(0));
}

// What the owner window knows of the paste.
struct PasteState {
  std::u16string_view text;
  DWORD targetProcess = 0;
  bool offered = false;  // the phrase is on the clipboard, not rendered yet
  bool taken = false;
};

// Whether the window that has the clipboard open belongs to the target (a clipboard
// monitor reading the new content is not the paste).
bool OpenedByTarget(DWORD targetProcess) {
  const HWND reader = GetOpenClipboardWindow();
  if (!reader || targetProcess == 0) return true;
  DWORD process = 0;
  GetWindowThreadProcessId(reader, &process);
  return process == targetProcess;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* state = reinterpret_cast<PasteState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_RENDERFORMAT:
      if (state && state->offered && wParam == CF_UNICODETEXT) {
        state->offered = false;
        SetClipboardData(CF_UNICODETEXT, MakeText(state->text));
        if (OpenedByTarget(state->targetProcess)) state->taken = true;
      }
      return 0;
    case WM_RENDERALLFORMATS:
      // The window goes while the phrase is still offered: leave the text itself.
      if (state && state->offered && OpenClipboard(window)) {
        state->offered = false;
        if (GetClipboardOwner() == window) SetClipboardData(CF_UNICODETEXT, MakeText(state->text));
        CloseClipboard();
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// A message-only window of this thread that owns the clipboard while the phrase is on it.
class OwnerWindow {
 public:
  explicit OwnerWindow(PasteState& state) : window_(CreateMessageWindow(kOwnerClass, &OwnerProc)) {
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  }
  ~OwnerWindow() {
    if (window_) DestroyWindow(window_);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

bool OpenWithin(HWND owner, uint32_t milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    if (OpenClipboard(owner)) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
}

// Handles the messages sent to this thread (the render request) until done() or the time
// is up.
template <typename Done>
bool PumpUntil(uint32_t milliseconds, Done done) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, kPollMs)),
                              QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

DWORD ForegroundProcess() {
  DWORD process = 0;
  if (const HWND foreground = GetForegroundWindow()) GetWindowThreadProcessId(foreground, &process);
  return process;
}

void SendPasteKeys(KeyInjector& injector, uint32_t leftAfter) {
  const uint16_t control = injector.ScanCode(kVkControl);
  const uint16_t v = injector.ScanCode('V');
  std::vector<KeyRecord> records = {
      {kVkControl, control, 0, 0},
      {'V', v, 0, 0},
      {'V', v, kKeyEventKeyUp, 0},
      {kVkControl, control, kKeyEventKeyUp, 0},
  };
  AppendLeftPresses(records, leftAfter);
  injector.Send(records);
}

}  // namespace

PasteResult PasteText(std::u16string_view text, uint32_t leftAfter, KeyInjector& injector,
                      const PasteTimings& timings) {
  PasteState state;
  state.text = text;
  state.targetProcess = ForegroundProcess();
  OwnerWindow owner(state);
  if (!owner.get() || !OpenWithin(owner.get(), timings.openWaitMs)) {
    return PasteResult::kClipboardBusy;
  }
  SavedClipboard saved;
  saved.Take();
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, nullptr);  // rendered when the target asks for it
  state.offered = true;
  MarkPrivate();
  CloseClipboard();

  SendPasteKeys(injector, leftAfter);
  const bool taken = PumpUntil(timings.takeWaitMs, [&] { return state.taken; });
  if (taken) {
    // The target reads the text while it holds the clipboard open; let it finish.
    PumpUntil(timings.closeWaitMs, [] { return GetOpenClipboardWindow() == nullptr; });
  }
  // Back with the user's clipboard, unless something else took the clipboard meanwhile
  // (the user copied, or another program did): that is not ours to overwrite.
  if (OpenWithin(owner.get(), timings.openWaitMs)) {
    if (GetClipboardOwner() == owner.get()) {
      state.offered = false;
      EmptyClipboard();
      saved.Restore();
    }
    CloseClipboard();
  }
  return taken ? PasteResult::kPasted : PasteResult::kNotTaken;
}

}  // namespace vellix
