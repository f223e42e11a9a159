#pragma once
// HyperLink: a static text that opens a target when clicked, drawn in the link colour and,
// once opened, in the visited colour (the user's browser colours when the registry has them,
// else blue and purple). While the pointer is over it the cursor is a hand and the text is
// underlined. Before opening, the parent gets kHyperLinkClicked and may change or veto the
// target.

#include <windows.h>

#include <string>

#include "controls/link_target.h"
#include "win32/unique_handle.h"

namespace vellix {

// WM_NOTIFY code sent to the parent before a link is opened. The parent may rewrite target
// (at most kHyperLinkTargetSize characters with the terminator) and answers non-zero to veto.
inline constexpr UINT kHyperLinkClicked = 0x8C01;
inline constexpr int kHyperLinkTargetSize = 2048;

struct HyperLinkClick {
  NMHDR hdr;
  wchar_t target[kHyperLinkTargetSize];
};

struct LinkColors {
  COLORREF link = RGB(0, 0, 255);
  COLORREF visited = RGB(128, 0, 128);
};
// The current user's link colours ("Software\Microsoft\Internet Explorer\Settings",
// "Anchor Color" and "Anchor Color Visited"), falling back to the defaults.
LinkColors ReadLinkColors();

class HyperLink {
 public:
  HyperLink() = default;
  ~HyperLink();
  HyperLink(const HyperLink&) = delete;
  HyperLink& operator=(const HyperLink&) = delete;

  // Takes over an existing static control (a dialog control).
  bool Attach(HWND control);
  HWND hwnd() const { return control_; }
  void SetText(const std::u16string& text);
  // Empty: the control's own text is the target.
  void SetTarget(const std::u16string& target);
  const std::u16string& target() const { return target_; }
  bool visited() const { return visited_; }
  // Opens the target as a click does (notification, "mailto:", ShellExecuteW "open");
  // answers true when it was opened.
  bool Open();
  // The colour the text is drawn in now.
  COLORREF TextColor() const { return visited_ ? colors_.visited : colors_.link; }

 private:
  static LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR data) noexcept;
  void Detach();
  void SetHover(bool hover);
  void CheckPointer();
  // The target offered to the parent; false when the parent vetoed it.
  bool AskParent(std::u16string& target) const;

  HWND control_ = nullptr;
  std::u16string target_;
  bool visited_ = false;
  bool hover_ = false;
  bool pressed_ = false;
  LinkColors colors_;
  HFONT normal_ = nullptr;      // the control's font, owned by whoever set it
  UniqueFont underlined_;
};

// Opens a target with the shell's "open" verb; answers true when it was opened and
// otherwise leaves the reason in GetLastError. The program's links (the hyperlink control
// and the About dialog's rows) all open through the current opener.
using LinkOpener = bool (*)(HWND owner, const std::u16string& target);
// ShellExecuteW "open", shown normally.
bool ShellOpenLink(HWND owner, const std::u16string& target);
// Replaces the opener (tests record the targets instead of starting a browser); answers
// the previous one. Null restores ShellOpenLink.
LinkOpener SetLinkOpener(LinkOpener opener);
// Opens through the current opener.
bool OpenLink(HWND owner, const std::u16string& target);

}  // namespace vellix
