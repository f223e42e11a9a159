#pragma once
// The program's one top-level window, never shown. It owns for the whole run the typing
// engine, the live phrase collection, the tray icon and the session notifier, and turns
// engine callbacks, inter-instance messages, tray clicks and session changes into engine
// switching, usage counting, saving and balloons.
//
// Threads: everything runs on the dialog's thread except the engine's TAC_WORD_IS_PRINTED
// and EndPrint callbacks (worker thread, engine lock held) and the background saves. The
// live collection is guarded by phrasesLock_: the worker increments usage counts and takes
// save snapshots under it; the dialog's thread holds it while it replaces the collection.
// The dialog's thread never holds it while calling into the engine, so the worker (which
// holds the engine lock when it takes phrasesLock_) cannot deadlock with it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/global_hotkeys_win.h"
#include "app/hidden_dialog_win.h"
#include "app/session_notifier_win.h"
#include "app/tray_icon_win.h"
#include "app/tray_menu_host.h"
#include "base/messages.h"
#include "engine/desktop_typing_engine_win.h"
#include "phrases/database_sync.h"
#include "phrases/database_watcher_win.h"
#include "phrases/phrase_database.h"
#include "picker/phrase_search.h"
#include "win32/unique_handle.h"

namespace vellix {

// What the dialog counts for a typed phrase.
struct WordPrinted {
  std::u16string keystroke;
  uint32_t phraseId = 0;
  uint32_t length = 0;  // UTF-16 units of the phrase's text
  // The phrase's text: when the database was loaded again meanwhile, the identifier may
  // name another phrase, and the use goes to the phrase with this text.
  std::u16string text;
};

class MainDialog : public HiddenDialog, public TrayMenuHost {
 public:
  // stopEvent: the instance event, whose setting ends the watcher threads and the sound
  // thread this dialog starts; it outlives the dialog.
  MainDialog(bool openEditorAtStart, HANDLE stopEvent);
  ~MainDialog() override;

  bool IsRestartRequested() const { return restartRequested_; }

  // Switches the engine; false when nothing changed or the engine refused.
  bool SetEngine(bool on);
  void ToggleEngine(bool withBalloon);

  // TrayMenuHost
  HWND MainWindow() noexcept override { return hwnd(); }
  bool IsEngineOn() noexcept override { return engine_.IsRunning(); }
  void EnableCommand() noexcept override;
  void RequestClose(bool restart) noexcept override;
  void RunPhraseEditor(HWND foregroundHint, bool addOnOpen) noexcept override;
  void ShowAbout() noexcept override;
  HWND EditorWindow() noexcept override;
  void LanguageChanged() noexcept override;
  void EngineSettingsChanged() noexcept override;
  std::u16string ProgramBeforeTray() noexcept override;
  void ProgramExclusionChanged(const std::u16string& program, bool excluded) noexcept override;
  void ChooseHotkey(HotkeyUse use) noexcept override;
  void OpenPhrasePicker() noexcept override;

  // The configured database path: DatabasePath, or "Database.xml" in the program folder.
  static std::u16string ConfiguredDatabasePath();

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnDestroy() override;

 private:
  static int32_t PrintCallback(int32_t code, const EngineEntry* entry, const char16_t* word,
                               void* context);
  static int32_t NotifyCallback(int32_t code, const EngineEntry* entry, void* context);
  void OnWordPrinted(const char16_t* word);
  // Dialog thread: the usage count, the statistics and the background save of a typed
  // phrase.
  void CountWordPrinted(const WordPrinted& printed);
  void CountPostedWords();
  // The phrase a typed phrase's use goes to (phrasesLock_ held), or null.
  Phrase* PhraseOfPrinted(const WordPrinted& printed);

  void LoadDatabase();
  // The database file changed on disk: when another program changed it, reload it, carry
  // the usage counts typed since the last save into it and refill the engine; a file that
  // cannot be read whole is left alone (a balloon once). Tells the open editor.
  void FollowDatabaseFile();
  // Tries FollowDatabaseFile again in a moment (the file is being written, or is gone
  // for the moment of a replacement); false when it has been tried limit times.
  bool RetryFollowing(int limit);
  // The open editor asks before its save overwrites the file (lParam: the path).
  void TellEditorFileChanged();
  // The collection now holds what the file at savePath_ holds (stamp read before it was
  // loaded or after it was written); the watch follows that file.
  void FollowFile(const FileStamp& stamp);
  PhraseDatabase::PhraseCount CountPhrases();
  LRESULT OnInstanceMessage(WPARAM wparam);
  void OnSessionChange(WPARAM reason, LPARAM sessionId);
  void OnSessionEnding();
  void OnTimer(UINT_PTR id);
  // After the phrase editor: the engine runs again when it ran before the editor, or when
  // a second start asked for it meanwhile.
  void ResumeEngineAfterEditor(bool wasOn);
  // Ends the modal run: closes an open tray menu and About dialog, then sends the close
  // system command.
  void Close() noexcept;
  void LogYesNo(std::u16string_view label, bool yes);
  // Registers the hotkeys of settings.ini; keys another program holds are named in a
  // balloon (and stay in the file: they may be free at the next start).
  void RegisterSavedHotkeys();
  void OnHotkey(WPARAM id);
  // Opens the picker for target (the window the user types in; null when not known) and
  // types the chosen phrase there.
  void OpenPickerFor(HWND target);
  // The window the user typed in last: the engine's word window, when it is another
  // program's.
  HWND UserWindow();

  std::u16string databasePath_;
  bool openEditorAtStart_;
  HANDLE stopEvent_;
  DesktopTypingEngine engine_;
  PhraseDatabase phrases_;
  std::mutex phrasesLock_;
  std::u16string savePath_;  // the configured path the background saves write
  // Set when the file at savePath_ was not read whole: no background save writes it (a
  // usage count must not cost the user the part that could not be read) until the user
  // saves from the phrase editor. Read on the worker when a typed phrase is counted there.
  std::atomic<bool> autoSaveBlocked_{false};
  // The message about that file, shown once as a balloon when the icon is added.
  std::u16string loadMessage_;
  // Which file on disk the collection follows, and the guard of the background saves.
  DatabaseSync sync_;
  DatabaseWatcher watcher_;
  // A file that arrived on disk and could not be read whole: not looked at again until it
  // changes. The balloon about such a file is shown once until a whole file is loaded or
  // the user saves from the editor.
  FileStamp refusedFile_;
  bool refusedShown_ = false;
  int followRetries_ = 0;
  TrayIcon tray_;
  SessionNotifier sessionNotifier_;
  // Set when a session event switched the engine off; cleared when the session or the
  // user switches it again.
  bool sessionStopFlag_ = false;
  bool restartRequested_ = false;
  bool editorRunning_ = false;
  // A second start while the editor runs: the engine is switched on once the editor ends.
  bool engineAfterEditor_ = false;
  // Whether the tooltip was last told that the focused program is excluded; the hook
  // thread compares with it after each window event.
  std::atomic<bool> inExcludedProgram_{false};
  GlobalHotkeys hotkeys_;
  // The picker's index, built for pickerProgram_ and kept while nothing changed.
  PhraseSearch pickerSearch_;
  std::u16string pickerProgram_;
  bool pickerStale_ = true;
  // The window's icon. The window ends with the modal run, before the dialog object.
  UniqueIcon icon_;
};

}  // namespace vellix
