#pragma once
// The program's private and registered window messages and the fixed names that other
// instances, other programs and the files on disk rely on. It needs no <windows.h>, so that
// every room, platform-free or not, may include it; the numbers are those of WM_APP.
//
// Stored formats and shared names, which must never change: the registered message names,
// the event names and the log lock below (an instance of an older version answers to them),
// kStatisticsChangedMessage, the clipboard format name (other instances read the phrases put
// there), the settings keys and sections of settings.ini, the element and attribute names
// of the database file, the keys of the language files, and the tags in LogReport.txt (the
// engine's TAC_ and WR_ names, the session reasons WTS_...), which people and scripts search
// for. Private messages (WM_APP + n) go only from a window to itself or from a thread of this
// process to one of its windows: they may change.

#include <string_view>

namespace vellix {

inline constexpr unsigned kAppMessageBase = 0x8000;  // WM_APP

// ---- private messages, by the window that receives them ----------------------------------

// The main dialog. Posted by the engine's worker when a phrase has been typed; lParam is a
// WordPrinted the dialog takes over.
inline constexpr unsigned kWordPrintedMessage = kAppMessageBase + 0x101;
// The main dialog: the engine's hook thread saw the focus move into or out of an excluded
// program, so the tooltip says so.
inline constexpr unsigned kExcludedProgramMessage = kAppMessageBase + 0x102;
// The main dialog: the database watcher, or a background save that found the file changed
// on disk; the dialog reloads it when it is not its own save.
inline constexpr unsigned kDatabaseChangedMessage = kAppMessageBase + 0x103;
// The main dialog: the typed-character count changed. A fixed number of old (0xA09D).
inline constexpr unsigned kStatisticsChangedMessage = 41117;

// The phrase editor, posted to itself: refresh the title; and the steps of a new phrase
// (wParam kEditorDiscardNew / kEditorEditRow / kEditorAddKeystroke).
inline constexpr unsigned kEditorRefreshTitleMessage = kAppMessageBase + 1;
inline constexpr unsigned kEditorNewPhraseMessage = kAppMessageBase + 2;

// The details panel, posted to itself: report a change; send the next queued keystroke test.
inline constexpr unsigned kPanelReportChangeMessage = kAppMessageBase + 1;
inline constexpr unsigned kPanelTestKeystrokeMessage = kAppMessageBase + 2;
// The details panel, posted by its program list: drop the empty entry whose name edit
// ended without a name (wParam the item).
inline constexpr unsigned kPanelRemoveEmptyProgramMessage = kAppMessageBase + 3;

// The phrase grid's list, posted by the grid to its own list.
inline constexpr unsigned kGridCheckSelectionMessage = kAppMessageBase + 0x3A1;
inline constexpr unsigned kGridCloseChoiceMessage = kAppMessageBase + 0x3A2;
inline constexpr unsigned kGridFitColumnMessage = kAppMessageBase + 0x3A3;

// The hook event pump's message-only window: drain the queued hook events.
inline constexpr unsigned kHookDrainMessage = kAppMessageBase + 1;

// ---- registered messages (RegisterWindowMessageW) ---------------------------------------

// To the main dialog: exit request (wParam 0) or second start (1), from the watchers.
inline constexpr char16_t kInstanceMessageName[] = u"{000B68DC-48A9-4cbd-BF75-0FDF1A67C687}";
// To the main dialog: open the editor; lParam the foreground window at the request.
inline constexpr char16_t kEditRequestMessageName[] = u"{000B68DC-48A9-4cbd-BF75-sdhfakjsdfa}";
// The tray icon's mouse events, to the main dialog.
inline constexpr char16_t kTrayCallbackMessageName[] = u"{DB191FA5-07DC-4d3e-9D9E-2EEAC4B48470}";
// To the open phrase editor: the close request with the save prompt; the language changed.
inline constexpr char16_t kEditorCloseRequestMessageName[] = u"{0DBAC4E8-47F9-4b9a-B80E-3869FC6D35F0}";
inline constexpr char16_t kEditorLanguageMessageName[] = u"{E40F3C7C-661A-41be-AB77-4D476B655F6D}";
// To the open phrase editor: another program changed its database file on disk.
inline constexpr char16_t kEditorFileChangedMessageName[] = u"{7D3A91C2-5E48-4b0f-9C61-2A8F0B4E6D17}";
// The hyperlink control's colour query to its parent.
inline constexpr char16_t kLinkColorQueryMessageName[] = u"{A7CCB64D-5BED-4a1f-A413-E16CAF89D7E9}";
// The shell's own: the taskbar was created again (Explorer restarted).
inline constexpr char16_t kTaskbarCreatedMessageName[] = u"TaskbarCreated";

// ---- named objects and formats --------------------------------------------------------

// Suffixes of the named events between instances of one session: "Local\" + the product
// name with blanks as "_" + the suffix (InstanceEventName). The instance event's existence
// means an instance runs; it is set when that instance shuts down.
inline constexpr std::u16string_view kInstanceEventSuffix = u"Event_OnlyOneInstance";
inline constexpr std::u16string_view kEditEventSuffix = u"_Edit";
inline constexpr std::u16string_view kExitEventSuffix = u"_Exit";
inline constexpr std::u16string_view kSecondStartedEventSuffix = u"_SecondStarted";
inline constexpr std::u16string_view kWaitAutoLoadEventSuffix = u"_WaitAutoLoad";
// The cross-process lock of LogReport.txt.
inline constexpr char16_t kLogLockName[] = u"Local\\Vellix_SyncEven";
// The private clipboard format of copied phrases.
inline constexpr char16_t kPhraseClipboardFormatName[] = u"Vellix Clipboard Format";

}  // namespace vellix
