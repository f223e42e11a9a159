#include "app/application_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>

#include "about/key_list_win.h"
#include "app/main_dialog_win.h"
#include "base/boundary.h"
#include "base/messages.h"
#include "base/utf.h"
#include "base/wide.h"
#include "editor/phrase_clipboard_win.h"
#include "lang/language_dialog_win.h"
#include "lang/language_settings.h"
#include "lang/language_win.h"
#include "phrases/phrase_database_file.h"
#include "resource.h"
#include "services/autostart_win.h"
#include "services/log_writer.h"
#include "services/settings.h"
#include "win32/program_folder.h"

namespace vellix {
namespace {

// The language code's view of the process-wide settings.
class SettingsLanguage final : public LanguageSettings {
 public:
  std::u16string LangFile() const override { return Settings::Instance().langFile; }
  void SetLangFile(const std::u16string& file_name) override {
    Settings::Instance().langFile = file_name;
  }
  bool Save() override { return Settings::Instance().Save(); }
};

void PlugPhraseDocumentCodec() {
  PhraseDocumentCodec codec;
  codec.write = [](const Phrase& phrase) { return PhraseDatabaseFile::WritePhraseDocument(phrase); };
  codec.read = [](Phrase& phrase, std::string_view text) {
    return PhraseDatabaseFile::ReadPhraseDocument(phrase, text);
  };
  SetPhraseDocumentCodec(std::move(codec));
}

void LoadLanguage() {
  static SettingsLanguage settings;
  // Lives until the process ends: every window translates through it.
  static Language language(settings, ProgramFolder());
  Language::Install(&language);
  language.Load();
  LogWriter::Instance().SetYesNoSource(
      [](bool yes) { return GetLocalizedString(yes ? IDS_YES : IDS_NO); });
}

}  // namespace

CommandLineKeys Application::ParseCommandLine() {
  CommandLineKeys keys;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return keys;
  for (int i = 1; i < count; ++i) {
    keys.ParseArgument(AsU16(arguments[i]), i == count - 1);
  }
  LocalFree(arguments);
  return keys;
}

// Writes an exception caught at a window procedure or thread as one log record.
static void LogCaughtException(const char* where, const char* what) noexcept {
  try {
    LogWriter::Instance().Write(u"CAUGHT_EXCEPTION: " + Utf8ToUtf16(where) + u": " +
                                Utf8ToUtf16(what));
  } catch (...) {
    // Out of memory while reporting: nothing more can be done.
  }
}

bool Application::Run() {
  LogWriter& log = LogWriter::Instance();
  if (log.Open(ProgramFolder() + u"LogReport.txt")) WriteStartRecords(log);
  SetBoundaryReporter(&LogCaughtException);

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  PlugPhraseDocumentCodec();

  const CommandLineKeys keys = ParseCommandLine();
  LoadLanguage();  // first use of the settings: first run, launch counters
  Settings& settings = Settings::Instance();

  if (keys.Help()) ShowKeyList(nullptr);
  if (keys.NoAutoload()) SetAutostart(false);
  if (keys.Exit()) {
    SignalInstanceEvent(kExitEventSuffix);
    log.Flush();
    return false;
  }
  if (settings.firstRun) ShowLanguageDialog(nullptr);
  const bool openEditorAtStart = keys.Edit() || settings.firstRun;

  if (InstanceGuard::IsAnotherInstanceRunning()) {
    if (openEditorAtStart) {
      InstanceGuard::SignalEdit();
    } else if (!SignalInstanceEvent(u"_WaitAutoLoad")) {
      SignalInstanceEvent(kSecondStartedEventSuffix);
    }
    log.Flush();
    return false;
  }

  guard_.Claim();
  guard_.StartEditWatcher();
  if (settings.firstRun && !keys.NoAutoload()) SetAutostart(true);
  {
    auto dialog = std::make_unique<MainDialog>(openEditorAtStart, guard_.InstanceEvent());
    dialog->RunModal(nullptr);
    if (dialog->IsRestartRequested()) Restart();
  }
  guard_.Release();
  log.Flush();
  return false;
}

void Application::Restart() {
  const std::u16string file = ProgramFile();
  guard_.Release();  // the new process must find no running instance
  ShellExecuteW(nullptr, L"open", AsWide(file.c_str()), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vellix
