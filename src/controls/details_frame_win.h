#pragma once
// The details frame: a group box that hosts one child panel. The panel always fills the
// frame's client rectangle inset by 4 pixels left, right and bottom and 16 at the top (at
// 100 %; the insets grow with the display's scale, as the caption's font does); when
// the frame receives the focus it hands it to the panel's first control, if the panel is
// enabled.

#include <windows.h>

namespace vellix {

class DetailsFrame {
 public:
  DetailsFrame() = default;
  ~DetailsFrame();  // removes the subclass from a frame that outlives this object
  DetailsFrame(const DetailsFrame&) = delete;
  DetailsFrame& operator=(const DetailsFrame&) = delete;

  // Takes over an existing group box (a dialog control) by subclassing it.
  bool Attach(HWND groupBox);
  HWND hwnd() const { return frame_; }
  // Makes panel a child of the frame and lays it out.
  void SetPanel(HWND panel);
  HWND panel() const { return panel_; }
  // Places the panel over the inset client rectangle (also done on every resize).
  void LayOutPanel() const;
  // The inset rectangle for a display of dpi dots per inch.
  static RECT PanelRect(const RECT& frameClient, int dpi);

 private:
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR data) noexcept;
  HWND frame_ = nullptr;
  HWND panel_ = nullptr;
};

}  // namespace vellix
