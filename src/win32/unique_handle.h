#pragma once
// Move-only owner of one Win32 handle. A traits class names the invalid value and how the
// handle is closed; closing preserves GetLastError so callers can still read the error
// of the call that failed. Kernel objects, files, registry keys, modules, GDI objects,
// icons, menus, image lists and the two kinds of hooks each have their owner below.

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace vellix {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }

  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Invalid()); }

  // Closes the handle now and answers whether the system did; a handle it refused to close
  // stays owned (and GetLastError tells why).
  [[nodiscard]] bool close() {
    if (handle_ == Traits::Invalid()) return true;
    if (!Traits::Close(handle_)) return false;
    handle_ = Traits::Invalid();
    return true;
  }

  void reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) {
      const DWORD error = GetLastError();
      Traits::Close(handle_);
      SetLastError(error);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// Kernel handles whose failure value is null (events, threads, mutexes).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return CloseHandle(h) != FALSE; }
};
// File handles, whose failure value is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle h) { return CloseHandle(h) != FALSE; }
};
// Change notifications of FindFirstChangeNotificationW, closed with their own function.
struct ChangeNotificationTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle h) { return FindCloseChangeNotification(h) != FALSE; }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return FreeLibrary(h) != FALSE; }
};

// Fonts, brushes, pens, regions and bitmaps. One that is selected into a device context
// must be selected out again before its owner ends (ScopedSelectObject does that).
template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DeleteObject(h) != FALSE; }
};
// Icons loaded or created by the program; never one of LoadIcon's shared icons.
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DestroyIcon(h) != FALSE; }
};
// Menus not attached to a window (a window destroys its own menu bar).
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return DestroyMenu(h) != FALSE; }
};
// Image lists that no control owns (a list view with LVS_SHAREIMAGELISTS leaves its lists
// to the caller).
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return ImageList_Destroy(h) != FALSE; }
};
// Hooks of SetWindowsHookExW; closed on the thread that installed them.
struct HookTraits {
  using Handle = HHOOK;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return UnhookWindowsHookEx(h) != FALSE; }
};
struct WinEventHookTraits {
  using Handle = HWINEVENTHOOK;
  static Handle Invalid() { return nullptr; }
  static bool Close(Handle h) { return UnhookWinEvent(h) != FALSE; }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;

}  // namespace vellix
