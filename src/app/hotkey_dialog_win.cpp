#include "app/hotkey_dialog_win.h"

#include <commctrl.h>

#include <utility>

#include "app/hotkey_text.h"
#include "base/wide.h"
#include "lang/language_win.h"
#include "resource.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

HWND g_open_hotkey = nullptr;  // user-interface thread only

// The system's name of a key, in the language of the keyboard layout.
std::u16string KeyName(uint8_t key, bool extended) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  if (scan == 0) return {};
  const LONG code = static_cast<LONG>((scan << 16) | (extended ? (1u << 24) : 0u));
  wchar_t name[64] = {};
  const int length = GetKeyNameTextW(code, name, 64);
  return length > 0 ? std::u16string(AsU16(name), static_cast<size_t>(length)) : std::u16string();
}

}  // namespace

std::u16string HotkeyDisplayText(uint16_t hotkey) {
  HotkeyNames names{GetLocalizedString(IDS_KEY_CTRL), GetLocalizedString(IDS_KEY_SHIFT),
                    GetLocalizedString(IDS_KEY_ALT), &KeyName};
  return HotkeyText(hotkey, names);
}

HWND GetOpenHotkeyWindow() { return g_open_hotkey && IsWindow(g_open_hotkey) ? g_open_hotkey : nullptr; }

bool ChooseHotkey(HWND owner, const std::u16string& caption, const std::u16string& prompt, uint16_t& hotkey) {
  if (HWND open = GetOpenHotkeyWindow()) {
    BringToFront(open);
    return false;
  }
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&classes);
  HotkeyDialog dialog(caption, prompt, hotkey);
  if (dialog.RunModal(owner) != IDOK) return false;
  hotkey = dialog.Hotkey();
  return true;
}

HotkeyDialog::HotkeyDialog(std::u16string caption, std::u16string prompt, uint16_t hotkey)
    : LocalizedDialog(IDD_HOTKEY), caption_(std::move(caption)), prompt_(std::move(prompt)), hotkey_(hotkey) {
  ExcludeFromTranslation(IDC_HOTKEY_PROMPT);  // set from the string table below
}

HotkeyDialog::~HotkeyDialog() { Destroy(); }

bool HotkeyDialog::OnInitDialog() {
  LocalizedDialog::OnInitDialog();
  g_open_hotkey = hwnd();
  SetWindowTextW(hwnd(), AsWide(caption_.c_str()));
  SetDlgItemTextW(hwnd(), IDC_HOTKEY_PROMPT, AsWide(prompt_.c_str()));
  const HWND edit = Item(IDC_HOTKEY_EDIT);
  // A typing key alone or with Shift only becomes Ctrl+Alt with that key as the user
  // presses it: such a hotkey would be taken from every program the user types in.
  SendMessageW(edit, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  SendMessageW(edit, HKM_SETHOTKEY, hotkey_, 0);
  // Opened from the tray menu or a hotkey: the dialog must get the keys at once.
  BringToFront(hwnd());
  SetFocus(edit);
  return false;  // the focus is set
}

bool HotkeyDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_HOTKEY_NONE && code == BN_CLICKED) {
    SendMessageW(Item(IDC_HOTKEY_EDIT), HKM_SETHOTKEY, 0, 0);
    SetFocus(Item(IDC_HOTKEY_EDIT));
    return true;
  }
  return LocalizedDialog::OnCommand(id, code, control);
}

void HotkeyDialog::OnOK() {
  const auto chosen = static_cast<uint16_t>(SendMessageW(Item(IDC_HOTKEY_EDIT), HKM_GETHOTKEY, 0, 0));
  // Modifiers alone, or a key the rules let through that cannot serve: the user goes on.
  if (chosen != 0 && !IsUsableHotkey(chosen)) {
    MessageBeep(MB_ICONWARNING);
    SetFocus(Item(IDC_HOTKEY_EDIT));
    return;
  }
  hotkey_ = chosen;
  End(IDOK);
}

void HotkeyDialog::OnDestroy() {
  if (g_open_hotkey == hwnd()) g_open_hotkey = nullptr;
}

}  // namespace vellix
