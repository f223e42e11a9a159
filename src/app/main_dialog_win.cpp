#include "app/main_dialog_win.h"

#include <chrono>
#include <cwchar>
#include <memory>
#include <string>

#include "about/about_dialog_win.h"
#include "app/hotkey_dialog_win.h"
#include "app/hotkey_text.h"
#include "app/tray_menu_win.h"
#include "base/boundary.h"
#include "base/messages.h"
#include "base/number_text.h"
#include "base/wide.h"
#include "editor/database_texts.h"
#include "editor/editor_texts.h"
#include "editor/phrase_editor.h"
#include "engine/program_names_win.h"
#include "lang/language_win.h"
#include "phrases/database_file_writer_win.h"
#include "phrases/phrase_database_file.h"
#include "phrases/file_stamp.h"
#include "phrases/phrase_saver.h"
#include "phrases/usage_carry.h"
#include "picker/picker_rows.h"
#include "picker/picker_window_win.h"
#include "resource.h"
#include "services/instance_guard_win.h"
#include "services/log_writer.h"
#include "services/program_title.h"
#include "services/settings.h"
#include "services/sound_player_win.h"
#include "services/system_services_win.h"
#include "services/excluded_programs.h"
#include "win32/program_folder.h"
#include "win32/program_windows_win.h"
#include "win32/window_helpers_win.h"

namespace vellix {
namespace {

constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr UINT_PTR kExitTimer = 1231;
constexpr UINT_PTR kBalloonTimer = 1232;
// Another look at a database file that was being written or was gone for a moment.
constexpr UINT_PTR kFollowTimer = 1233;
constexpr UINT kFollowRetryMs = 1000;
// Looks at a file that is held open, still changing or gone; and at one that does not read
// whole (it may be half written) before it counts as damaged.
constexpr int kFollowRetries = 5;
constexpr int kDamagedRetries = 2;
constexpr UINT kPrintDelayMs = 100;
constexpr LPARAM kBalloonClicked = WM_USER + 5;  // 1029, NIN_BALLOONUSERCLICK
// How long the dialog waits for background saves to reach the disk before it lets the
// collection go (a disk that does not answer must not keep Vellix from ending).
constexpr std::chrono::milliseconds kSaveFinishTimeout{30000};
// The same before the phrase editor opens: a save takes far less, but a file that cannot be
// written is tried again for some seconds, and the editor must not wait for all of that
// (the counts stay in the collection the editor works on).
constexpr std::chrono::milliseconds kSaveBeforeEditorTimeout{5000};

enum class SessionReaction { kNone, kInstall, kUninstall };

struct SessionReason {
  const char16_t* name;
  SessionReaction reaction;
};

constexpr SessionReason kSessionReasons[] = {
    {u"WTS_CONSOLE_CONNECT", SessionReaction::kInstall},
    {u"WTS_CONSOLE_DISCONNECT", SessionReaction::kUninstall},
    {u"WTS_REMOTE_CONNECT", SessionReaction::kNone},
    {u"WTS_REMOTE_DISCONNECT", SessionReaction::kNone},
    {u"WTS_SESSION_LOGON", SessionReaction::kInstall},
    {u"WTS_SESSION_LOGOFF", SessionReaction::kUninstall},
    {u"WTS_SESSION_LOCK", SessionReaction::kUninstall},
    {u"WTS_SESSION_UNLOCK", SessionReaction::kInstall},
    {u"WTS_SESSION_REMOTE_CONTROL", SessionReaction::kNone},
};

void Log(std::u16string_view text) { LogWriter::Instance().Write(text); }

}  // namespace

MainDialog::MainDialog(bool openEditorAtStart, HANDLE stopEvent)
    : HiddenDialog(IDD_MAIN),
      openEditorAtStart_(openEditorAtStart),
      stopEvent_(stopEvent),
      // A save that finds the file changed on disk tells the dialog's thread, which reloads.
      sync_(&ReadFileStamp, [this] { PostMessageW(hwnd(), kDatabaseChangedMessage, 0, 0); }),
      tray_(engine_, databasePath_),
      pickerSearch_(&UpperInvariantText) {}

MainDialog::~MainDialog() = default;

std::u16string MainDialog::ConfiguredDatabasePath() {
  return ResolveDatabasePath(Settings::Instance().databasePath, ProgramFolder());
}

bool MainDialog::OnInitDialog() {
  SetMainWindowHandle(hwnd());
  StartMessageWatcher(stopEvent_, hwnd(), InstanceMessage(), 0, kExitEventSuffix);
  StartMessageWatcher(stopEvent_, hwnd(), InstanceMessage(), 1, kSecondStartedEventSuffix);
  HiddenDialog::OnInitDialog();
  SoundPlayer::Instance().StartSoundThread(stopEvent_);

  const std::u16string title = ProgramTitle(true);
  SetWindowTextW(hwnd(), AsWide(title.c_str()));
  icon_.reset(static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(IDI_ENGINE_ON), IMAGE_ICON,
                                            16, 16, 0)));
  if (icon_) {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
  }

  LoadDatabase();
  engine_.LoadPhrases(phrases_);
  ToggleEngine(false);
  const PhraseDatabase::PhraseCount count = CountPhrases();
  tray_.AddWithStartBalloon(hwnd(), count.enabled, count.total);
  if (!loadMessage_.empty()) tray_.WarningBalloon(loadMessage_);
  hotkeys_.SetWindow(hwnd());
  RegisterSavedHotkeys();
  if (openEditorAtStart_) RunPhraseEditor(nullptr, false);
  return true;
}

void MainDialog::LoadDatabase() {
  savePath_ = ConfiguredDatabasePath();
  if (!FileExists(savePath_)) {
    // A file that appears later (copied in, or brought by a synchronisation client) is
    // loaded when it arrives.
    FollowFile(FileStamp{});
    return;
  }
  // A run that was killed in the middle of a save left its temporary file (as large as
  // the database) beside it; the database itself is whole.
  RemoveStaleTemporaryFiles(ToWide(savePath_));
  // Taken before the file is read: a change while it is read is then seen as a change.
  const FileStamp stamp = ReadFileStamp(savePath_);
  LoadReport report;
  size_t read = 0;
  {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    if (PhraseDatabaseFile::Load(phrases_, savePath_, &report)) phrases_.Renumber();
    read = phrases_.Size();
  }
  FollowFile(stamp);
  databasePath_ = savePath_;
  // A file that was not read whole (damaged, cut short, unreadable) keeps what could not be
  // read only as long as nothing saves over it: Vellix runs with what it read and leaves
  // the file to the user's save from the editor, which keeps a backup of it first.
  loadMessage_ = DatabaseNotReadText(savePath_, report, read, [](uint32_t id) { return GetLocalizedString(id); });
  if (!loadMessage_.empty()) {
    autoSaveBlocked_ = true;
    refusedShown_ = true;
    Log(loadMessage_ + u" [" + savePath_ + u"]");
  }
}

void MainDialog::FollowFile(const FileStamp& stamp) {
  {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    sync_.Loaded(phrases_, stamp);
  }
  if (watcher_.path() != savePath_) {
    watcher_.Watch(savePath_, stamp, hwnd(), kDatabaseChangedMessage);
  }
}

bool MainDialog::RetryFollowing(int limit) {
  if (followRetries_ >= limit) return false;
  ++followRetries_;
  SetTimer(hwnd(), kFollowTimer, kFollowRetryMs, nullptr);
  return true;
}

void MainDialog::FollowDatabaseFile() {
  KillTimer(hwnd(), kFollowTimer);
  if (savePath_.empty()) return;
  const FileStamp onDisk = ReadFileStamp(savePath_);
  if (onDisk == sync_.Known() || (onDisk.exists && onDisk == refusedFile_)) {
    followRetries_ = 0;
    return;  // Vellix's own save, or the damaged file already reported
  }
  if (!onDisk.exists) {
    // A program that replaces the file may delete it first and rename the new one into
    // place a moment later.
    if (RetryFollowing(kFollowRetries)) return;
    // Gone for good: the next save writes the collection there again, counts and all.
    followRetries_ = 0;
    {
      std::lock_guard<std::mutex> lock(phrasesLock_);
      sync_.Adopt(onDisk);
    }
    Log(u"Database file is gone [" + savePath_ + u"]");
    return;
  }
  PhraseDatabase reloaded;
  LoadReport report;
  const bool loaded = PhraseDatabaseFile::Load(reloaded, savePath_, &report) == 1;
  // Still being written (held open, or its stamp moved while it was read): a moment later.
  if ((report.status == FileReadStatus::kInUse || ReadFileStamp(savePath_) != onDisk) &&
      RetryFollowing(kFollowRetries)) {
    return;
  }
  if (!loaded || !report.ReadWhole()) {
    // Perhaps only half written so far: looked at again before it is taken as damaged.
    if (RetryFollowing(kDamagedRetries)) return;
    followRetries_ = 0;
    // A damaged file is not loaded over the collection Vellix has, and no background save
    // writes over it (the user saves from the editor, which keeps a backup first).
    refusedFile_ = onDisk;
    autoSaveBlocked_ = true;
    const std::u16string message =
        DatabaseNotReadText(savePath_, report, reloaded.Size(), [](uint32_t id) { return GetLocalizedString(id); });
    Log(message + u" [" + savePath_ + u"]");
    if (!refusedShown_) {
      refusedShown_ = true;
      tray_.WarningBalloon(message);
    }
    TellEditorFileChanged();
    return;
  }
  followRetries_ = 0;
  reloaded.Renumber();
  size_t carried = 0;
  size_t lost = 0;
  // The typed phrases still queued are counted into the collection they came from, so
  // that their uses are carried. One typed while the engine is refilled reaches the new
  // collection by its text (PhraseOfPrinted).
  CountPostedWords();
  {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    const std::vector<UnsavedUsage> usages = sync_.Unsaved(phrases_);
    sync_.Loaded(reloaded, onDisk);  // the counts as the file holds them
    lost = CarryUsages(usages, reloaded);
    carried = usages.size() - lost;
    phrases_.TakeOver(reloaded);
  }
  engine_.LoadPhrases(phrases_);
  pickerStale_ = true;
  refusedFile_ = FileStamp{};
  refusedShown_ = false;
  autoSaveBlocked_ = false;
  // The carried counts are not in the file yet.
  if (carried > 0) PhraseSaver::Instance().SaveInBackground(phrases_, phrasesLock_, savePath_, &sync_);
  const PhraseDatabase::PhraseCount count = CountPhrases();
  Log(u"Database file changed on disk, loaded again. Phrases: " + Decimal(count.total) +
      u", usage counts carried over: " + Decimal(carried) + u", usage counts without their phrase: " + Decimal(lost) +
      u" [" + savePath_ + u"]");
  tray_.RefreshTooltip();
  TellEditorFileChanged();
}

void MainDialog::TellEditorFileChanged() {
  if (HWND editor = EditorWindow()) {
    SendMessageW(editor, EditorFileChangedMessage(), 0, reinterpret_cast<LPARAM>(savePath_.c_str()));
  }
}

PhraseDatabase::PhraseCount MainDialog::CountPhrases() {
  std::lock_guard<std::mutex> lock(phrasesLock_);
  return phrases_.CountPhrases(false);
}

bool MainDialog::SetEngine(bool on) {
  if (engine_.IsRunning() == on) return false;
  if (!on) return engine_.Stop();
  engine_.SetPrintDelay(kPrintDelayMs);
  EngineSettingsChanged();
  engine_.SetPrintCallback(&MainDialog::PrintCallback, this);
  engine_.SetNotifyCallback(&MainDialog::NotifyCallback, this);
  return engine_.Start(true);
}

void MainDialog::ToggleEngine(bool withBalloon) {
  const bool wasOn = engine_.IsRunning();
  if (!SetEngine(!wasOn)) return;
  if (!wasOn && !sessionNotifier_.IsRegistered(hwnd())) sessionNotifier_.Register(hwnd(), false);
  tray_.RefreshTooltip();
  tray_.SetStateIcon();
  if (withBalloon) {
    const PhraseDatabase::PhraseCount count = CountPhrases();
    tray_.AddWithStateBalloon(hwnd(), count.enabled, count.total);
  }
}

void MainDialog::EnableCommand() noexcept {
  // The user's choice stands: an unlock after it must not switch the engine back on
  // because an earlier lock once switched it off.
  sessionStopFlag_ = false;
  ToggleEngine(true);
  if (engine_.IsRunning()) {
    if (!sessionNotifier_.IsRegistered(hwnd())) sessionNotifier_.Register(hwnd(), false);
  } else if (sessionNotifier_.IsRegistered(hwnd())) {
    sessionNotifier_.Unregister(hwnd(), true);
  }
}

void MainDialog::RequestClose(bool restart) noexcept {
  // The editor asks "Save changes?" first; Cancel there keeps the editor and the program.
  if (HWND editor = EditorWindow()) {
    if (SendMessageW(editor, EditorCloseRequestMessage(), 0, 0) == 1) return;
  }
  restartRequested_ = restart;
  Close();
}

// The tray menu and the About dialog run loops of their own inside this dialog's modal
// loop; while one of them runs this dialog's loop cannot end, so they go first.
void MainDialog::Close() noexcept {
  EndMenu();
  if (HWND about = GetOpenAboutWindow()) SendMessageW(about, WM_COMMAND, IDCANCEL, 0);
  if (HWND keys = GetOpenHotkeyWindow()) SendMessageW(keys, WM_COMMAND, IDCANCEL, 0);
  if (HWND picker = GetOpenPickerWindow()) SendMessageW(picker, WM_COMMAND, IDCANCEL, 0);
  SendMessageW(hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND MainDialog::EditorWindow() noexcept {
  HWND editor = GetOpenEditorWindow();
  return (editor && IsWindow(editor)) ? editor : nullptr;
}

void MainDialog::RunPhraseEditor(HWND foregroundHint, bool addOnOpen) noexcept {
  if (HWND editor = EditorWindow()) {
    BringToFront(editor);
    if (Settings::Instance().sounds.load() != 0) PlaySystemSound(u"SystemNotification", true);
    return;
  }
  if (editorRunning_) return;  // the editor is starting or ending in a nested loop
  editorRunning_ = true;
  engineAfterEditor_ = false;
  const bool wasOn = engine_.IsRunning();
  if (wasOn) engine_.Stop();
  CountPostedWords();  // counts of phrases typed just before go into the copy
  // The counts saved so far reach the file the collection came from before the editor
  // may replace the collection or switch to another file.
  PhraseSaver::Instance().Finish(kSaveBeforeEditorTimeout);

  // The editor works on its own copy; the live collection takes it over on OK (and after
  // a save from the editor), under the lock that the background saves take.
  std::u16string path = databasePath_;
  const int result = OpenEditor(phrases_, path, foregroundHint, addOnOpen, &phrasesLock_);
  if (result == kEditorAccepted || result == kEditorCancelledAfterSave) {
    databasePath_ = path;
    // The usage counts of the collection now live go to the file it came from, not to the
    // file configured at start-up, which may hold another collection.
    const bool otherFile = savePath_ != databasePath_;
    savePath_ = databasePath_;
    // Refill before the engine runs again, so that no old entry's identifier is counted
    // against a phrase of the new collection.
    engine_.LoadPhrases(phrases_);
    pickerStale_ = true;
    ResumeEngineAfterEditor(wasOn);
    if (result == kEditorAccepted) {
      const int saved = PhraseSaver::Instance().SaveNow(phrases_, phrasesLock_, databasePath_,
                                                        &PhraseDatabaseFile::MakeBackup, nullptr);
      if (saved == 1) {
        // The user's save replaced the file that was not read whole (its backup keeps it),
        // or one changed on disk that the editor asked about.
        autoSaveBlocked_ = false;
        refusedFile_ = FileStamp{};
        refusedShown_ = false;
        FollowFile(ReadFileStamp(savePath_));
      } else if (otherFile) {
        watcher_.Watch(savePath_, sync_.Known(), hwnd(), kDatabaseChangedMessage);
      }
      const PhraseDatabase::PhraseCount count = CountPhrases();
      tray_.AddWithStartBalloon(hwnd(), count.enabled, count.total);
    } else {
      // The editor saved this collection to path itself before the user cancelled it.
      autoSaveBlocked_ = false;
      refusedFile_ = FileStamp{};
      refusedShown_ = false;
      FollowFile(ReadFileStamp(savePath_));
      tray_.RefreshTooltip();
    }
  } else {
    ResumeEngineAfterEditor(wasOn);
  }
  editorRunning_ = false;
}

void MainDialog::ResumeEngineAfterEditor(bool wasOn) {
  if (wasOn) {
    SetEngine(true);
  } else if (engineAfterEditor_ && !engine_.IsRunning()) {
    ToggleEngine(false);  // the icon and the tooltip showed "off" until now
  }
  engineAfterEditor_ = false;
}

void MainDialog::ShowAbout() noexcept { vellix::ShowAbout(nullptr); }

void MainDialog::EngineSettingsChanged() noexcept {
  const Settings& settings = Settings::Instance();
  engine_.SetPasteFromLength(settings.PasteThreshold());
  ExpansionOptions options;
  options.expandOnWordEnd = settings.expandOnWordEnd != 0;
  options.undoWithBackspace = settings.undoWithBackspace != 0;
  options.caseFollowsKeystroke = settings.caseFollowsKeystroke != 0;
  engine_.SetOptions(options);
  try {
    engine_.SetExcludedPrograms(EnabledPrograms(Settings::Instance().excludedPrograms));
  } catch (...) {
    ReportCaughtException("EngineSettingsChanged");
  }
  inExcludedProgram_ = engine_.InExcludedProgram();
  tray_.RefreshTooltip();
}

// Clicking the notification area makes the taskbar's program the focused one: the user
// means the program before it. Elsewhere (a menu opened from the keyboard, or a shell that
// raises no focus event) the focused program is the one.
std::u16string MainDialog::ProgramBeforeTray() noexcept {
  try {
    const std::u16string current = engine_.CurrentProgram();
    const std::u16string shell = ShellProgramFileName();
    if (!current.empty() && !shell.empty() && SameProgram(current, shell, AsciiUpper)) return engine_.PreviousProgram();
    return current;
  } catch (...) {
    return std::u16string();
  }
}

void MainDialog::ProgramExclusionChanged(const std::u16string& program, bool excluded) noexcept {
  EngineSettingsChanged();
  try {
    tray_.MessageBalloon(ExclusionChangedText(program, excluded, [](uint32_t id) { return GetLocalizedString(id); }));
    Log((excluded ? u"Excluded program: " : u"Program no longer excluded: ") + program);
  } catch (...) {
    ReportCaughtException("ProgramExclusionChanged");
  }
}

namespace {
int32_t& HotkeySettingOf(Settings& settings, HotkeyUse use) {
  return use == HotkeyUse::kPause ? settings.pauseKey : settings.findPhraseKey;
}
}  // namespace

void MainDialog::RegisterSavedHotkeys() {
  Settings& settings = Settings::Instance();
  std::u16string failed;
  for (HotkeyUse use : {HotkeyUse::kPause, HotkeyUse::kFindPhrase}) {
    const uint16_t hotkey = HotkeyFromSetting(HotkeySettingOf(settings, use));
    if (hotkey == 0 || hotkeys_.Set(use, hotkey)) continue;
    if (!failed.empty()) failed += u", ";
    failed += HotkeyDisplayText(hotkey);
  }
  if (failed.empty()) return;
  const std::u16string text = FillPlaceholders(GetLocalizedString(IDS_HOTKEY_NOT_SET_UP), {failed});
  Log(text);
  tray_.WarningBalloon(text);
}

void MainDialog::ChooseHotkey(HotkeyUse use) noexcept {
  Settings& settings = Settings::Instance();
  int32_t& setting = HotkeySettingOf(settings, use);
  const bool pause = use == HotkeyUse::kPause;
  uint16_t chosen = HotkeyFromSetting(setting);
  // A registered hotkey never reaches the hotkey control: the program's own keys are let go
  // while the dialog is open, so that the user can press them there too.
  const uint16_t before = hotkeys_.Registered(use);
  const HotkeyUse other = pause ? HotkeyUse::kFindPhrase : HotkeyUse::kPause;
  const uint16_t otherBefore = hotkeys_.Registered(other);
  hotkeys_.Clear();
  const bool accepted =
      vellix::ChooseHotkey(nullptr, GetLocalizedString(pause ? IDS_PAUSE_KEY_CAPTION : IDS_FIND_PHRASE_KEY_CAPTION),
                           GetLocalizedString(pause ? IDS_PAUSE_KEY_PROMPT : IDS_FIND_PHRASE_KEY_PROMPT), chosen);
  hotkeys_.Set(other, otherBefore);
  hotkeys_.Set(use, before);
  if (!accepted) return;
  if (chosen == HotkeyFromSetting(setting) && chosen == before) return;
  if (chosen != 0 && chosen == HotkeyFromSetting(HotkeySettingOf(settings, other))) {
    tray_.WarningBalloon(FillPlaceholders(GetLocalizedString(IDS_HOTKEY_IN_USE), {HotkeyDisplayText(chosen)}));
    return;
  }
  if (!hotkeys_.Set(use, chosen)) {
    // Not kept: the keys that worked before go on working.
    hotkeys_.Set(use, before);
    const std::u16string text = FillPlaceholders(GetLocalizedString(IDS_HOTKEY_TAKEN), {HotkeyDisplayText(chosen)});
    Log(text);
    tray_.WarningBalloon(text);
    return;
  }
  setting = chosen;
  settings.Save();
}

void MainDialog::OnHotkey(WPARAM id) {
  // A hotkey pressed while the tray menu or a modal dialog of this thread runs waits for it.
  if (id == static_cast<WPARAM>(HotkeyUse::kPause)) {
    EnableCommand();  // exactly as the tray's Disable Temporary / Enable
  } else if (id == static_cast<WPARAM>(HotkeyUse::kFindPhrase)) {
    // The hotkey was pressed in the window the user types in.
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &process);
    OpenPickerFor(foreground && process != GetCurrentProcessId() ? foreground : UserWindow());
  }
}

HWND MainDialog::UserWindow() {
  const auto word = reinterpret_cast<HWND>(engine_.CurrentWordWindow());
  if (!word || !IsWindow(word)) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(word, &process);
  return process == GetCurrentProcessId() ? nullptr : GetAncestor(word, GA_ROOT);
}

// From the tray menu: the shell had the focus for the click, so the window meant is the
// one the user typed in before.
void MainDialog::OpenPhrasePicker() noexcept { OpenPickerFor(UserWindow()); }

void MainDialog::OpenPickerFor(HWND target) {
  if (HWND open = GetOpenPickerWindow()) {
    BringToFront(open);
    return;
  }
  // The phrase is typed by the engine: switched off (by the user, the editor or a locked
  // session) it types nothing, and the picker would promise what it cannot do.
  if (!engine_.IsRunning()) {
    tray_.WarningBalloon(GetLocalizedString(IDS_PICKER_ENGINE_OFF));
    return;
  }
  std::u16string program;
  if (target) {
    ProgramNames names;
    char16_t name[ProgramNames::kNameCapacity];
    program.assign(name, names.FileNameOf(target, name, ProgramNames::kNameCapacity));
  }
  if (pickerStale_ || program != pickerProgram_) {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    pickerSearch_.Build(phrases_, program);
    pickerProgram_ = program;
    pickerStale_ = false;
  }
  PickerOpening opening;
  int32_t x = 0;
  int32_t y = 0;
  // The caret query answers for the engine's word window: only when that is the target.
  if (target && UserWindow() == target && engine_.GetCaretScreenPosition(x, y)) {
    opening.haveCaret = true;
    opening.caret = POINT{x, y};
  }
  PickerSource source;
  source.search = &pickerSearch_;
  source.describe = [this](uint32_t id, PickerRow& row) {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    const Phrase* phrase = phrases_.Find(id);
    if (!phrase) return false;
    row = DescribePhrase(*phrase);
    return true;
  };
  // The keys typed into the picker belong to no word of the window the user came from.
  engine_.SetTrackingPaused(true);
  uint32_t chosen = 0;
  const bool picked = RunPhrasePicker(source, opening, chosen);
  if (target && IsWindow(target)) SetForegroundWindow(target);
  engine_.SetTrackingPaused(false);
  if (!picked) return;
  Log(u"Picker: phrase " + Decimal(chosen) + u" chosen");
  // Typed once the focus is back in the target, and counted as a typed phrase is.
  if (!engine_.IsRunning() || !engine_.InsertNow(chosen, reinterpret_cast<WindowHandle>(target))) {
    tray_.WarningBalloon(GetLocalizedString(IDS_PICKER_ENGINE_OFF));
  }
}

void MainDialog::LanguageChanged() noexcept {
  tray_.RefreshTooltip();
  if (HWND editor = EditorWindow()) SendMessageW(editor, EditorLanguageMessage(), 0, 0);
}

int32_t MainDialog::PrintCallback(int32_t code, const EngineEntry* /*entry*/, const char16_t* word,
                                  void* context) {
  if (code == TAC_WORD_IS_PRINTED) static_cast<MainDialog*>(context)->OnWordPrinted(word);
  return 0;  // TAC_IS_ALLOW_PRINT_WORD: always allowed
}

// Worker thread, with the engine lock held: the keyboard hook waits for that lock on every
// key, so nothing here may wait for long. The usage count has to wait for the collection
// lock, which a background save holds while it serialises the whole collection, and the
// statistics write the settings file; both are left to the dialog's thread.
void MainDialog::OnWordPrinted(const char16_t* word) {
  const EngineEntry last = engine_.LastEntry();
  wchar_t id[16];
  swprintf(id, 16, L"%d", static_cast<int>(last.lParam));
  Log(u"TAC_WORD_IS_PRINTED [" + last.text + u",lParam=" + AsU16(id) + u"] ");

  auto printed = std::make_unique<WordPrinted>();
  printed->keystroke = word ? std::u16string(word) : std::u16string();
  printed->phraseId = static_cast<uint32_t>(last.lParam);
  printed->length = static_cast<uint32_t>(last.text.size());
  printed->text = last.text;
  if (PostMessageW(hwnd(), kWordPrintedMessage, 0, reinterpret_cast<LPARAM>(printed.get()))) {
    printed.release();  // the dialog's thread owns it now
  } else {
    CountWordPrinted(*printed);  // a full queue must not lose the count
  }
}

void MainDialog::CountWordPrinted(const WordPrinted& printed) {
  Settings& settings = Settings::Instance();
  const bool countChanged = settings.statistics.AddPrintedChars(printed.length);
  if (countChanged) settings.statistics.SaveStatistics(settings.Store());

  bool counted = false;
  bool recordChanged = false;
  {
    std::lock_guard<std::mutex> lock(phrasesLock_);
    if (Phrase* phrase = PhraseOfPrinted(printed)) {
      recordChanged = settings.statistics.OfferKeystroke(printed.keystroke, phrase->Word(), phrase->CountUsage());
      counted = phrases_.IncrementUsageCount(phrase->Id()) >= 0;
    }
  }
  if (recordChanged) settings.statistics.SaveStatistics(settings.Store());
  if (counted) {
    pickerStale_ = true;  // the picker ranks by usage
    if (!autoSaveBlocked_) PhraseSaver::Instance().SaveInBackground(phrases_, phrasesLock_, savePath_, &sync_);
  } else {
    Log(u"Cannot increment usage count");
  }
  if (countChanged) PostMessageW(hwnd(), kStatisticsChangedMessage, 0, 0);
}

Phrase* MainDialog::PhraseOfPrinted(const WordPrinted& printed) {
  Phrase* phrase = phrases_.Find(printed.phraseId);
  if (phrase && phrase->Word() == printed.text) return phrase;
  // The engine typed from the entries of a collection that a reload has replaced since:
  // the same phrase is the one with the same text, the typed keystroke's first.
  Phrase* sameText = nullptr;
  for (const auto& candidate : phrases_.Items()) {
    if (candidate->Word() != printed.text) continue;
    if (candidate->Prefixes().count(printed.keystroke)) return candidate.get();
    if (!sameText) sameText = candidate.get();
  }
  return sameText;
}

// Counts the typed phrases still waiting in the queue (the dialog is about to go, and
// messages posted to a destroyed window are dropped).
void MainDialog::CountPostedWords() {
  MSG message;
  while (PeekMessageW(&message, hwnd(), kWordPrintedMessage, kWordPrintedMessage, PM_REMOVE)) {
    std::unique_ptr<WordPrinted> printed(reinterpret_cast<WordPrinted*>(message.lParam));
    if (printed) CountWordPrinted(*printed);
  }
}

int32_t MainDialog::NotifyCallback(int32_t code, const EngineEntry* /*entry*/, void* context) {
  auto* self = static_cast<MainDialog*>(context);
  if (code == static_cast<int32_t>(TrackerEvent::EndPrint)) {
    SoundPlayer::Instance().RequestSound(SoundPlayer::kTypingSound);
    Log(u"OnCallBack_ENDPRINT");
    return 0;
  }
  if (code == static_cast<int32_t>(TrackerEvent::WindowEvent)) {
    // Hook thread, engine lock held: one flag compared, a message posted only on a change.
    const bool excluded = self->engine_.InExcludedProgram();
    if (self->inExcludedProgram_.exchange(excluded) != excluded)
      PostMessageW(self->hwnd(), kExcludedProgramMessage, 0, 0);
    return 0;
  }
  if (code == static_cast<int32_t>(TrackerEvent::PrintPending)) {
    int32_t x = 0;
    int32_t y = 0;
    self->engine_.GetCaretScreenPosition(x, y);
    return 1;
  }
  return 0;
}

bool MainDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDOK) return true;  // Enter on the hidden window ends nothing
  return HiddenDialog::OnCommand(id, code, control);
}

LRESULT MainDialog::OnInstanceMessage(WPARAM wparam) {
  if (wparam == 0) {
    if (HWND editor = EditorWindow()) {
      // 1: the user cancelled the editor's "Save changes?" question; the program stays.
      if (SendMessageW(editor, EditorCloseRequestMessage(), 0, 0) == 1) return 1;
    }
    tray_.MessageBalloon(GetLocalizedString(IDS_OK_COMPLETE_RUNNING) + u"\u2026");
    SetTimer(hwnd(), kExitTimer, 500, nullptr);
    return 0;
  }
  if (wparam == 1) {
    // Switched on as the Enable command does it, without its balloon: the icon and the
    // tooltip must not keep showing "off", and lock and unlock switch the engine again.
    // While the phrase editor runs the engine stays off, so that typing in the editor is
    // never expanded; it is switched on when the editor ends.
    if (editorRunning_) {
      engineAfterEditor_ = true;
    } else if (!engine_.IsRunning()) {
      ToggleEngine(false);
    }
    tray_.MessageBalloon(GetLocalizedString(IDS_ALREADY_RUNNING) + u"\u2026");
    SetTimer(hwnd(), kBalloonTimer, 2000, nullptr);
    return 1;
  }
  return 0;
}

void MainDialog::LogYesNo(std::u16string_view label, bool yes) {
  LogWriter::Instance().WriteYesNo(label, yes);
}

void MainDialog::OnSessionChange(WPARAM reason, LPARAM sessionId) {
  std::u16string name;
  SessionReaction reaction = SessionReaction::kNone;
  if (reason >= 1 && reason <= 9) {
    name = kSessionReasons[reason - 1].name;
    reaction = kSessionReasons[reason - 1].reaction;
  } else {
    name = u"Оппа-ньки! Что за нафиг WTSSessionChangeReason_2_Str: wReason=" +
           Decimal(reason);
  }
  Log(u"WTS_Session_Change " + name + u", Session ID: [" + Decimal(sessionId) +
      u"]");
  switch (reaction) {
    case SessionReaction::kInstall:
      if (!sessionStopFlag_) return;
      // The engine that the session switched off is switched on once; a later unlock
      // after the user's Disable (or after a lock that found the engine off) leaves it.
      sessionStopFlag_ = false;
      Log(u"WR_NEED_INSTALL");
      if (!engine_.IsRunning()) {
        SetEngine(true);
        LogYesNo(u"Before Uninstall Engine", !engine_.IsRunning());
      }
      if (engine_.IsRunning()) return;
      ToggleEngine(false);
      LogYesNo(u"Install Engine", engine_.IsRunning());
      return;
    case SessionReaction::kUninstall:
      // Nothing chosen in the picker is typed into a locked or ended session.
      if (HWND picker = GetOpenPickerWindow()) SendMessageW(picker, WM_COMMAND, IDCANCEL, 0);
      Log(u"WR_NEED_UNINSTALL");
      if (!engine_.IsRunning()) return;
      if (SetEngine(false)) sessionStopFlag_ = true;
      LogYesNo(u"Uninstall Engine", !engine_.IsRunning());
      return;
    case SessionReaction::kNone:
      Log(u"WR_UNKNOW");
      return;
  }
}

void MainDialog::OnTimer(UINT_PTR id) {
  if (id == kExitTimer) {
    KillTimer(hwnd(), kExitTimer);
    Close();
  } else if (id == kBalloonTimer) {
    KillTimer(hwnd(), kBalloonTimer);
    tray_.MessageBalloon(u"");
  } else if (id == kFollowTimer) {
    FollowDatabaseFile();
  }
}

INT_PTR MainDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  if (message == InstanceMessage()) {
    handled = true;
    return OnInstanceMessage(wparam);
  }
  if (message == EditRequestMessage()) {
    handled = true;
    RunPhraseEditor(reinterpret_cast<HWND>(lparam), false);
    return 1;
  }
  if (message == TrayIcon::CallbackMessage()) {
    handled = true;
    if (lparam == WM_LBUTTONDOWN || lparam == WM_RBUTTONUP || lparam == kBalloonClicked) {
      POINT at{};
      GetCursorPos(&at);
      ShowTrayMenu(*this, at);
    }
    return 1;
  }
  if (message == TrayIcon::TaskbarCreatedMessage()) {
    // Explorer restarted: the notification area forgot the icon.
    tray_.ReAdd();
    handled = true;
    return 0;
  }
  switch (message) {
    case kWordPrintedMessage: {
      handled = true;
      std::unique_ptr<WordPrinted> printed(reinterpret_cast<WordPrinted*>(lparam));
      if (printed) CountWordPrinted(*printed);
      return 1;
    }
    case kStatisticsChangedMessage:
    case kExcludedProgramMessage:
      handled = true;
      tray_.RefreshTooltip();
      return 1;
    case kDatabaseChangedMessage:
      handled = true;
      followRetries_ = 0;
      FollowDatabaseFile();
      return 1;
    case WM_ENDSESSION:
      handled = true;
      if (wparam) OnSessionEnding();
      return 0;
    case kWmWtsSessionChange:
      handled = true;
      OnSessionChange(wparam, lparam);
      return 1;
    case WM_INITMENUPOPUP:
      BuildLanguageMenu(reinterpret_cast<HMENU>(wparam));
      return 0;  // not handled: the default handling goes on
    case WM_TIMER:
      handled = true;
      OnTimer(wparam);
      return 0;
    case WM_HOTKEY:
      handled = true;
      OnHotkey(wparam);
      return 0;
    default:
      return HiddenDialog::OnMessage(message, wparam, lparam, handled);
  }
}

// The session ends: the process may be ended as soon as this returns, without the
// dialog's destruction. Nothing more is typed, and the counts made so far go to the disk.
void MainDialog::OnSessionEnding() {
  if (engine_.IsRunning()) SetEngine(false);
  CountPostedWords();
  PhraseSaver::Instance().Finish(kSaveFinishTimeout);
}

void MainDialog::OnDestroy() {
  watcher_.Stop();
  KillTimer(hwnd(), kFollowTimer);
  if (engine_.IsRunning()) SetEngine(false);
  CountPostedWords();  // the engine is stopped: nothing more comes
  hotkeys_.Clear();
  tray_.Remove();
  if (sessionNotifier_.IsRegistered(hwnd())) sessionNotifier_.Unregister(hwnd(), true);
  // The background saves read the collection this dialog owns; the last count must land.
  PhraseSaver::Instance().Finish(kSaveFinishTimeout);
  SetMainWindowHandle(nullptr);
}

}  // namespace vellix
