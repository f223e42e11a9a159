#pragma once
// The phrase picker: a small top-most window with a search box and a list of the phrases
// that hold every word typed, best first. Up/Down and Page Up/Down move in the list while
// the search box keeps the keyboard; Enter or a double click chooses the phrase, Escape or a
// click elsewhere closes it. Its size and position are kept in settings.ini
// ("PickerWindowPos"). Runs modally on the user-interface thread; at most one is open.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lang/localized_dialog_win.h"
#include "picker/phrase_search.h"
#include "picker/picker_rows.h"
#include "win32/unique_handle.h"

namespace vellix {

// What the picker shows: the search built for the program the user came from, and the
// row of a phrase by its identifier (false when the phrase is gone).
struct PickerSource {
  PhraseSearch* search = nullptr;
  std::function<bool(uint32_t id, PickerRow& row)> describe;
};

// Where it opens: near the caret (its bottom-left corner, screen coordinates) when there
// is one, else at the place it was last closed at, else near the mouse.
struct PickerOpening {
  bool haveCaret = false;
  POINT caret{};
};

class PickerWindow : public LocalizedDialog {
 public:
  PickerWindow(PickerSource source, PickerOpening opening);
  ~PickerWindow() override;

  // The chosen phrase once the window ended with IDOK.
  uint32_t Chosen() const { return chosen_; }
  // The hits of the current query (for tests).
  size_t HitCount() const { return hits_.size(); }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;
  void OnCancel() override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnDestroy() override;

 private:
  static LRESULT CALLBACK SearchProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR data) noexcept;
  void Place();
  void Layout();
  void SetColumns();
  void Refilter();
  void Select(int item);
  bool RowAt(int item, PickerRow& row) const;
  LRESULT OnListNotify(NMHDR* header);
  LRESULT DrawSubItem(NMLVCUSTOMDRAW* draw);
  void DrawEmphasised(HDC dc, RECT box, const std::u16string& text);
  void SavePlacement();

  PickerSource source_;
  PickerOpening opening_;
  HWND search_ = nullptr;
  HWND list_ = nullptr;
  HWND empty_ = nullptr;
  std::vector<SearchHit> hits_;
  uint32_t chosen_ = 0;
  bool closing_ = false;
  bool wasActive_ = false;
  UniqueFont bold_;
};

// The invariant locale's upper case of text, as keystrokes compare (the search's UpperCaseText).
void UpperInvariantText(std::u16string& text);

// Shows the picker; true with the chosen phrase's identifier when the user chose one.
bool RunPhrasePicker(const PickerSource& source, const PickerOpening& opening, uint32_t& chosen);
// The open picker, or null.
HWND GetOpenPickerWindow();

}  // namespace vellix
