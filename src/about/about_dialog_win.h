#pragma once
// The About dialog: the program's title, build and rights notice, its links and the typed
// characters, in one list whose rows can be copied to the clipboard. At most one is open;
// it runs modally on the user-interface thread.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "about/about_rows.h"
#include "lang/localized_dialog_win.h"
#include "win32/unique_handle.h"
#include "win32/window_helpers_win.h"

namespace vellix {

class AboutDialog : public LocalizedDialog {
 public:
  explicit AboutDialog(AboutInputs inputs);
  ~AboutDialog() override;

  const std::vector<AboutRow>& rows() const { return rows_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnDestroy() override;

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                   DWORD_PTR data) noexcept;
  void FillList();
  void Copy();
  INT_PTR OnListNotify(NMHDR* header);
  LRESULT DrawRow(NMLVCUSTOMDRAW* draw);
  void FillInfoTip(NMLVGETINFOTIPW* tip);
  // Offers the row's target to the dialog and opens it when the dialog leaves it.
  void ClickAt(POINT point);
  // The same for a row chosen otherwise (the keyboard); nothing for -1 or a row without target.
  void ActivateRow(int row);
  // The row whose text lies under the point (list client coordinates), or -1.
  int RowAtText(POINT point) const;
  // Pixels from a row's left edge to its text (the margin, and the indent of indented rows).
  int TextIndent(const AboutRow& entry) const;
  RECT TextRect(int row) const;
  HFONT RowFont(int row) const;

  AboutInputs inputs_;
  HWND list_ = nullptr;
  std::vector<AboutRow> rows_;
  COLORREF link_color_ = RGB(0, 0, 255);
  UniqueFont bold_font_;
  WindowIcons icons_;
};

// Shows the About dialog modally, with a taskbar button when there is no owner. When one is
// already open it is restored, activated and focused instead, and 0 is answered.
INT_PTR ShowAbout(HWND owner);
// The same with the given inputs instead of the program's own.
INT_PTR ShowAbout(HWND owner, const AboutInputs& inputs);

// The inputs of the rows as the program has them now: title, rights, build stamp, legal
// notice, typed characters and language.
AboutInputs CurrentAboutInputs();

// The open About dialog, or null.
HWND GetOpenAboutWindow();

// The rights notice ("LegalCopyright") of the executable's version resource; empty when
// there is none.
std::u16string LegalNotice();

}  // namespace vellix
