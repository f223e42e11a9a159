#include "app/tray_menu_win.h"

#include "app/hotkey_dialog_win.h"
#include "app/hotkey_text.h"
#include "app/tray_icon_win.h"
#include "app/tray_texts.h"
#include "base/wide.h"
#include "lang/language_export_win.h"
#include "lang/language_win.h"
#include "resource.h"
#include "services/autostart_win.h"
#include "services/settings.h"
#include "services/sound_player_win.h"
#include "services/web_links.h"
#include "services/web_links_win.h"
#include "win32/menu_helpers_win.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

// The point at which the menu was last shown; one tray menu per process.
POINT last_point_{};

bool SoundsOn(const Settings& settings) { return settings.sounds.load() != 0; }

// The open phrase editor comes to the front, as a second request to open it would do.
void BringEditorToFront(HWND editor) {
  BringToFront(editor);
  if (SoundsOn(Settings::Instance())) PlaySystemSound(u"SystemNotification", true);
}

bool EditorOpen(TrayMenuHost& host) {
  const HWND editor = host.EditorWindow();
  return editor && IsWindow(editor);
}

void SetCheck(HMENU menu, UINT id, bool checked) {
  CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void SetEnabled(HMENU menu, UINT id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool ClipboardHasBothTextFormats() {
  return IsClipboardFormatAvailable(CF_TEXT) && IsClipboardFormatAvailable(CF_UNICODETEXT);
}

void ToggleSounds(Settings& settings) {
  settings.sounds.store(settings.sounds.load() == 0 ? 1 : 0);
  settings.Save();
}

void TogglePasteLongPhrases(TrayMenuHost& host, Settings& settings) {
  settings.pasteLongPhrases = settings.pasteLongPhrases == 0 ? 1 : 0;
  // Switching it on with a length of 0 in the file would change nothing: take the default.
  if (settings.pasteLongPhrases != 0 && settings.pasteFromLength <= 0) {
    settings.pasteFromLength = Settings::kDefaultPasteFromLength;
  }
  settings.Save();
  host.EngineSettingsChanged();
}

// The command names the program the user was in; it is grey when that is not known.
void PrepareExclusionItem(TrayMenuHost& host, HMENU popup, const Settings& settings) {
  const std::u16string program = host.ProgramBeforeTray();
  if (!IsProgramFileName(program)) {
    SetEnabled(popup, ID_DO_NOT_EXPAND_IN, false);
    return;
  }
  // A menu takes "&" for the mark of the access key: "&&" shows one.
  std::u16string shown;
  for (char16_t unit : program) shown += unit == u'&' ? u"&&" : std::u16string(1, unit);
  SetMenuItemText(popup, ID_DO_NOT_EXPAND_IN,
                  DoNotExpandInText(shown, [](uint32_t id) { return GetLocalizedString(id); }));
  SetCheck(popup, ID_DO_NOT_EXPAND_IN, settings.IsProgramExcluded(program));
}

void ToggleExclusion(TrayMenuHost& host, Settings& settings) {
  const std::u16string program = host.ProgramBeforeTray();
  if (!IsProgramFileName(program)) return;
  const bool excluded = settings.ToggleExcludedProgram(program);
  host.ProgramExclusionChanged(program, excluded);
}

// The on/off expansion settings of the tray menu, by command.
int32_t* ExpansionSwitch(Settings& settings, UINT command) {
  switch (command) {
    case ID_EXPAND_ON_WORD_END: return &settings.expandOnWordEnd;
    case ID_UNDO_WITH_BACKSPACE: return &settings.undoWithBackspace;
    case ID_CASE_FOLLOWS_KEYSTROKE: return &settings.caseFollowsKeystroke;
    default: return nullptr;
  }
}

constexpr UINT kExpansionSwitches[] = {ID_EXPAND_ON_WORD_END, ID_UNDO_WITH_BACKSPACE, ID_CASE_FOLLOWS_KEYSTROKE};

void ToggleExpansionSwitch(TrayMenuHost& host, Settings& settings, UINT command) {
  int32_t& value = *ExpansionSwitch(settings, command);
  value = value == 0 ? 1 : 0;
  settings.Save();
  host.EngineSettingsChanged();
}

bool ChooseLanguage(TrayMenuHost& host, UINT command) {
  Language* language = Language::Current();
  if (!language || !language->HandleLanguageCommand(command)) return false;
  host.LanguageChanged();
  return true;
}

// The item's (translated) text with its keys after a tab, where menus show the keys of a
// command.
void ShowKeysOf(HMENU menu, UINT id, int32_t setting) {
  const std::u16string keys = HotkeyDisplayText(HotkeyFromSetting(setting));
  if (keys.empty()) return;
  wchar_t text[260] = {};
  if (GetMenuStringW(menu, id, text, 260, MF_BYCOMMAND) <= 0) return;
  std::u16string shown(AsU16(text));
  shown = shown.substr(0, shown.find(u'\t')) + u"\t" + keys;
  SetMenuItemText(menu, id, shown);
}

// Hides any balloon of the dialog's icon, so that it does not cover the menu.
void HideBalloonOf(HWND window) {
  if (TrayIcon* icon = TrayIcon::AddedTo(window)) icon->HideBalloon();
}

}  // namespace

HMENU TrayPopup(HMENU menu) { return menu ? GetSubMenu(menu, 0) : nullptr; }

UniqueMenu PrepareTrayMenu(TrayMenuHost& host, Settings& settings) {
  UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
  const HMENU popup = TrayPopup(menu.get());
  if (!popup) return UniqueMenu();
  // The language submenu is rebuilt from the list when it opens; load the list now.
  if (Language* language = Language::Current()) language->LanguageFiles();
  TranslateMenu(popup);
  SetCheck(popup, ID_START_WITH_WINDOWS, IsAutostartOn());
  SetCheck(popup, ID_SOUNDS, SoundsOn(settings));
  SetCheck(popup, ID_PASTE_LONG_PHRASES, settings.PasteThreshold() != 0);
  for (UINT id : kExpansionSwitches) SetCheck(popup, id, *ExpansionSwitch(settings, id) != 0);
  SetMenuItemText(popup, ID_ENABLE,
                  GetLocalizedString(host.IsEngineOn() ? IDS_DISABLE_TEMPORARY : IDS_ENABLE));
  PrepareExclusionItem(host, popup, settings);
  ShowKeysOf(popup, ID_FIND_PHRASE, settings.findPhraseKey);
  ShowKeysOf(popup, ID_PAUSE_KEY, settings.pauseKey);
  SetMenuDefaultItem(popup, ID_EDIT_PHRASES, FALSE);
  SetEnabled(popup, ID_ADD_FROM_CLIPBOARD, ClipboardHasBothTextFormats());
  return menu;
}

bool RunTrayCommand(TrayMenuHost& host, UINT command, Settings& settings) {
  switch (command) {
    case 0: return false;
    case ID_APP_EXIT: host.RequestClose(false); return false;
    case ID_RESTART: host.RequestClose(true); return false;
    case ID_TRAY_ABOUT: host.ShowAbout(); return false;
    case ID_VISIT_WEB_SITE: OpenWebPage(host.MainWindow(), HomePageAddress()); return false;
    case ID_VISIT_FORUM: OpenWebPage(host.MainWindow(), ForumAddress()); return false;
    case ID_TECHNICAL_SUPPORT: OpenWebPage(host.MainWindow(), SupportAddress()); return false;
    case ID_EDIT_PHRASES: host.RunPhraseEditor(nullptr, false); return false;
    case ID_ADD_FROM_CLIPBOARD: host.RunPhraseEditor(nullptr, true); return false;
    case ID_START_WITH_WINDOWS: SetAutostart(!IsAutostartOn()); return true;
    case ID_SOUNDS: ToggleSounds(settings); return false;
    case ID_PASTE_LONG_PHRASES: TogglePasteLongPhrases(host, settings); return false;
    case ID_DO_NOT_EXPAND_IN: ToggleExclusion(host, settings); return false;
    case ID_EXPAND_ON_WORD_END:
    case ID_UNDO_WITH_BACKSPACE:
    case ID_CASE_FOLLOWS_KEYSTROKE: ToggleExpansionSwitch(host, settings, command); return false;
    case ID_FIND_PHRASE: host.OpenPhrasePicker(); return false;
    case ID_FIND_PHRASE_KEY: host.ChooseHotkey(HotkeyUse::kFindPhrase); return false;
    case ID_PAUSE_KEY: host.ChooseHotkey(HotkeyUse::kPause); return false;
    case ID_CREATE_LANGUAGE_FILE: CreateLanguageFile(host.MainWindow()); return false;
    case ID_ENABLE: host.EnableCommand(); return false;
    default:
      if (command >= ID_LANGUAGE_ENGLISH && command < ID_LANGUAGE_END) return ChooseLanguage(host, command);
      return false;
  }
}

void ShowTrayMenu(TrayMenuHost& host, POINT at) {
  last_point_ = at;
  if (EditorOpen(host)) BringEditorToFront(host.EditorWindow());
  UINT command = 0;
  {
    const UniqueMenu menu = PrepareTrayMenu(host);
    if (!menu) return;
    const HWND window = host.MainWindow();
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    if (EditorOpen(host)) SetEnabled(TrayPopup(menu.get()), ID_EDIT_PHRASES, false);
    HideBalloonOf(window);
    // TPM_RETURNCMD hands back the chosen command instead of posting it. Notifications stay
    // on: the dialog rebuilds the language submenu on WM_INITMENUPOPUP.
    command = static_cast<UINT>(TrackPopupMenu(TrayPopup(menu.get()), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                               0, window, nullptr));
    // Lets the menu's window finish closing before anything else happens.
    PostMessageW(window, WM_NULL, 0, 0);
  }
  if (RunTrayCommand(host, command)) ShowTrayMenuAgain(host);
}

void ShowTrayMenuAgain(TrayMenuHost& host) { ShowTrayMenu(host, last_point_); }

}  // namespace vellix
