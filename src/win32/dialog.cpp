#include "win32/dialog.h"

#include "base/boundary.h"

namespace vellix {
namespace {

// Messages whose dialog-procedure answer is the result itself rather than TRUE with the
// result stored in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() {
  // A modeless dialog must not outlive its object: its procedure would reach freed memory.
  if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

HINSTANCE Dialog::ResourceModule() { return GetModuleHandleW(nullptr); }

INT_PTR Dialog::RunModal(HWND owner) {
  modal_ = true;
  return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(template_id_), owner, &Dialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(template_id_), owner, &Dialog::DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

void Dialog::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Dialog::End(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) {
    EndDialog(hwnd_, result);
  } else {
    DestroyWindow(hwnd_);
  }
}

bool Dialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lparam);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) get the default
  try {
    return self->Dispatch(message, wparam, lparam);
  } catch (...) {
    // Through the system's code an exception would end the program with the user's work.
    ReportCaughtException("dialog procedure");
    return FALSE;
  }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam))) return TRUE;
      break;
    case WM_NCDESTROY: {
      bool handled = false;
      OnMessage(message, wparam, lparam, handled);
      SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
      hwnd_ = nullptr;
      return FALSE;
    }
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
    default:
      break;
  }
  bool handled = false;
  const INT_PTR result = OnMessage(message, wparam, lparam, handled);
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(message)) return result;
  SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace vellix
