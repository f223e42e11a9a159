#pragma once
// PhraseDetailsPanel: the borderless child dialog (template 135) inside the editor's
// "Details" frame. It shows one phrase's keystrokes with their on/off checks and the
// "Returns caret to left" action with its count. It never touches the collection: the editor
// shows it a phrase and later asks it to store its state into a phrase; the panel tells the
// editor through WM_NOTIFY from the frame (control id 1003) when it changed and when a
// keystroke text should be tested for duplicates.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "controls/keystroke_list_win.h"
#include "editor/program_rule_controls_win.h"
#include "lang/localized_dialog_win.h"
#include "win32/unique_handle.h"

namespace vellix {

class Phrase;

// WM_NOTIFY codes the panel sends to the editor, with hdr.idFrom = 1003 and hdr.hwndFrom =
// the frame.
inline constexpr UINT kPanelChanged = 0;          // store the panel into the phrase
inline constexpr UINT kPanelTestKeystroke = 1;    // test text for duplicates; empty clears

struct PanelNotify {
  NMHDR hdr;
  uint32_t phraseId = 0;
  const char16_t* text = u"";  // valid during the call
};

class PhraseDetailsPanel : public LocalizedDialog {
 public:
  PhraseDetailsPanel();

  // Creates the panel as a child of frame (hidden until the frame lays it out); the
  // notifications go to notifyTarget (the editor window). Answers the panel window or null.
  HWND Create(HWND frame, HWND notifyTarget);

  void ShowPhrase(const Phrase& phrase);
  void Enable(bool on);
  void RefreshCaption(const Phrase& phrase);
  void StoreInto(Phrase& phrase) const;
  // Begins a new keystroke as "Add" does, with the focus first moved to the list.
  void BeginNewKeystroke();
  // Ends an open keystroke edit as losing the focus does (the typed text is taken) and
  // reports every change not yet reported, before the editor runs a command: a menu leaves
  // the focus where it is, and the editor may end before a posted report would run.
  void ApplyKeystrokeEdit();

  uint32_t phraseId() const { return phraseId_; }

  // Keystrokes of the shown phrase that begin another one or are begun by one, drawn in
  // a colour of their own while checked; showing a phrase clears them.
  void SetMarkedKeystrokes(std::vector<std::u16string> keystrokes);
  bool IsMarked(int item) const;
  static constexpr COLORREF kMarkedColour = RGB(204, 102, 0);

  // The list of keystrokes, its tooltip control and the keystroke the commands act on
  // (the selected item at the selection mark, or -1).
  const KeystrokeList& keystrokes() const { return list_; }
  HWND toolTip() const { return toolTip_; }
  int SelectedKeystroke() const;
  // The list's context menu: the current captions of "Add" and "Remove" with their
  // commands, greyed as the buttons are.
  UniqueMenu CreateKeystrokeMenu() const;
  // The phrase's program rule: its mode, its list of programs and their commands.
  ProgramRuleControls& rules() { return rules_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnDestroy() override;

 private:
  void Notify(UINT code, const std::u16string& text, uint32_t phraseId) const;
  void PostChanged();
  // Reports the changes still waiting in the queue now.
  void ReportPendingChanges();
  void QueueKeystrokeTest(std::u16string text);
  void SetControlsEnabled(bool on);
  void SetFrameCaption(const std::u16string& caption) const;
  std::u16string FrameCaption() const;
  void RefreshCommandStates();
  void AddKeystroke();
  void RemoveKeystroke();
  bool OnEndLabelEdit(const NMLVDISPINFOW& info);
  void OnUserToggle(const KeystrokeToggle& toggle);
  void OnCaretLeftClicked();
  // Unchecked entries of either list are drawn grey and struck out.
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw, const KeystrokeList& list);
  INT_PTR OnNotify(const NMHDR& hdr, bool& handled);
  void ShowContextMenu(LPARAM position);
  void LayOut(int width, int height);
  void SetUpControls();
  HFONT StrikeOutFont();

  HWND frame_ = nullptr;
  HWND notifyTarget_ = nullptr;
  uint32_t phraseId_ = 0;
  bool loading_ = true;
  bool adding_ = false;
  std::u16string defaultKeystroke_;
  UniqueFont strikeOut_;
  UniqueFont boldFont_;
  HWND toolTip_ = nullptr;
  KeystrokeList list_;
  ProgramRuleControls rules_;
  bool refreshing_ = false;
  // Changes posted as kPanelReportChangeMessage and not yet reported.
  int pendingChanges_ = 0;
  // Duplicate tests waiting for kPanelTestKeystrokeMessage: (phrase id, keystroke text).
  std::deque<std::pair<uint32_t, std::u16string>> pendingTests_;
  std::vector<std::u16string> marked_;
};

}  // namespace vellix
