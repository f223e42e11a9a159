#pragma once
// EditorWindowLayout: the phrase editor window's size and place. Once the dialog's controls
// exist it records the template's margins; on every resize it moves the controls (the rule
// is EditorLayout's; the search box keeps to the list's top), lets the "Details" frame fit its panel and the list its last column;
// it keeps the minimum tracking size; and it stores the window's rectangle under
// "EditorWindowPos" whenever the window was moved or sized, to restore it on the next
// opening. User-interface thread only.

#include <windows.h>

#include "controls/details_frame_win.h"
#include "controls/phrase_grid_win.h"
#include "editor/editor_layout.h"

namespace vellix {

class EditorWindowLayout {
 public:
  // The frame and the grid follow the layout; both outlive it.
  EditorWindowLayout(DetailsFrame& frame, PhraseGrid& grid) : frame_(frame), grid_(grid) {}
  EditorWindowLayout(const EditorWindowLayout&) = delete;
  EditorWindowLayout& operator=(const EditorWindowLayout&) = delete;

  // Records the margins of the dialog's controls as the template placed them.
  void Capture(HWND dialog);
  // Puts the window where the last editor was, when that rectangle is on a monitor.
  void RestorePlacement(HWND dialog) const;
  // Moves the controls for the current client area (nothing before Capture, nor while the
  // window is minimised).
  void LayOut(HWND dialog);

  // The window's size and move messages (WM_SIZE, WM_GETMINMAXINFO, WM_ENTERSIZEMOVE,
  // WM_EXITSIZEMOVE, WM_WINDOWPOSCHANGED). Answers true when the message is taken, with
  // its result in *result; the others are left to the dialog's default handling.
  bool OnMessage(HWND dialog, UINT message, LPARAM lparam, INT_PTR* result);

 private:
  void StorePlacement(HWND dialog) const;

  DetailsFrame& frame_;
  PhraseGrid& grid_;
  EditorLayout layout_;
  bool captured_ = false;
  int searchGap_ = 0;     // from the search box's bottom to the list's top
  int searchHeight_ = 0;
  bool inSizeMove_ = false;
};

}  // namespace vellix
