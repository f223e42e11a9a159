#pragma once
// KeystrokeList: the details panel's list of keystrokes, a report-style list view with check
// boxes and full-row selection. It draws an empty-list text in its empty client area and
// reports only the check toggles the user makes (kKeystrokeCheckToggled), never the ones the
// program makes through SetCheck.

#include <windows.h>

#include <memory>
#include <string>

namespace vellix {

// WM_NOTIFY code sent to the parent; the NMHDR is followed by the item index
// (KeystrokeToggle).
inline constexpr UINT kKeystrokeCheckToggled = 0x8B01;

struct KeystrokeToggle {
  NMHDR hdr;
  int item = -1;
  bool checked = false;  // the new state
};

class KeystrokeList {
 public:
  KeystrokeList();
  ~KeystrokeList();
  KeystrokeList(const KeystrokeList&) = delete;
  KeystrokeList& operator=(const KeystrokeList&) = delete;

  bool Attach(HWND list);  // an existing list view control
  HWND hwnd() const;

  void SetEmptyText(const std::u16string& text);
  const std::u16string& EmptyText() const;
  // True while the list has no items and an empty-list text to draw in their place.
  bool ShowsEmptyText() const;
  int Count() const;
  int Append(const std::u16string& text, bool checked);  // answers the index
  void Remove(int item);
  void Clear();
  std::u16string Text(int item) const;
  bool Checked(int item) const;
  void SetCheck(int item, bool checked);  // not reported to the parent
  int SelectionMark() const;

  // Draws text into dc as the empty list shows it: centred below the column header, in
  // the grey text colour and the list's font.
  static void PaintEmptyText(HWND list, const std::u16string& text, HDC dc);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vellix
