#pragma once
// HyperLink: a static text that opens a target when clicked, drawn in the link colour and,
// once opened, in the visited colour (the user's browser colours when the registry has them,
// else blue and purple). While the pointer is over it the cursor is a hand and the text is
// underlined. Before opening, the parent gets kHyperLinkClicked and may change or veto the
// target.

#include <windows.h>

#include <string>

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

 private:
  HWND control_ = nullptr;
  std::u16string target_;
  bool visited_ = false;
  bool hover_ = false;
  LinkColors colors_;
  HFONT underlined_ = nullptr;
};

// The target as it is opened: "mailto:" is put before a target that has '@' after its first
// character (and does not already start with "mailto:").
std::u16string LinkOpenTarget(const std::u16string& target);

}  // namespace vellix
