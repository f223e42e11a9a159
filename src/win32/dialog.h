#pragma once
// The program's one dialog base class: creates a dialog from its template (modal or
// modeless), attaches `this` to the window at WM_INITDIALOG and dispatches messages to
// virtual handlers. Runs on the thread that created the dialog.

#include <windows.h>

namespace vellix {

class Dialog {
 public:
  explicit Dialog(int template_id) : template_id_(template_id) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; answers the value given to EndDialog, or -1 when it could not
  // be created.
  INT_PTR RunModal(HWND owner);
  // Creates the dialog without running a loop of its own (it stays hidden unless its
  // template is visible); answers the window or null.
  HWND CreateModeless(HWND owner);
  void Destroy();

  HWND hwnd() const { return hwnd_; }
  int template_id() const { return template_id_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  // The module that holds the program's resources.
  static HINSTANCE ResourceModule();

 protected:
  // Called at WM_INITDIALOG; answer true to let the system give the first control focus.
  virtual bool OnInitDialog() { return true; }
  // WM_COMMAND. The defaults end the dialog for OK and Cancel.
  virtual bool OnCommand(WORD id, WORD code, HWND control);
  virtual void OnOK() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  // Every other message; set handled and answer the result to take it.
  virtual INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
    return 0;
  }
  virtual void OnDestroy() {}

  void End(INT_PTR result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  int template_id_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

}  // namespace vellix
