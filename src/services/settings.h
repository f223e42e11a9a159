#pragma once
// The user's preferences in section "Settings" of settings.ini, with the typing statistics
// of section "Statistics". One object per process (Settings::Instance, Windows build);
// tests build their own on any ProfileStore.
//
// Members are read and assigned directly by their users on the user-interface thread;
// they reach the file only through Save. Every read and write goes to the file at once.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/system_time.h"
#include "services/excluded_programs.h"
#include "services/profile_store.h"
#include "services/statistics.h"

namespace vellix {

// A window rectangle in screen coordinates, as stored by SavePlacement.
struct WindowPlacement {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

class Settings {
 public:
  // Longest values read, in characters.
  static constexpr size_t kMaxLangFile = 100;
  static constexpr size_t kMaxDatabasePath = 259;

  // Decides the first run, marks the file as started once, loads every member and counts
  // this start (nowUtc is the start time for the launch counters).
  // programUpper: the upper case of one unit by which program names compare.
  Settings(std::unique_ptr<ProfileStore> store, const SystemTime& nowUtc,
           ProgramUnitUpper programUpper = AsciiUpper);
  explicit Settings(std::unique_ptr<ProfileStore> store, ProgramUnitUpper programUpper = AsciiUpper);
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // The process-wide object on "settings.ini" in the program's folder, created and loaded
  // on the first call (Windows build only).
  static Settings& Instance();

  // Writes LangFile, ShowCheckedPhrasesOnly, Sounds, PasteLongPhrases, PasteFromLength,
  // ExpandOnWordEnd, UndoWithBackspace, CaseFollowsKeystroke, PauseKey, FindPhraseKey,
  // DatabasePath and the statistics.
  bool Save();
  // name + "_X", "_Y", "_RIGHT", "_BOTTOM"; stops at the first failed write.
  bool SavePlacement(const WindowPlacement& rect, std::u16string_view name);
  // Reads the four keys in order; the first missing one (-1000) ends with false, the
  // values read before it stay stored in rect.
  bool LoadPlacement(WindowPlacement& rect, std::u16string_view name);

  ProfileStore& Store() { return *store_; }

  // Writes section "ExcludedPrograms" from excludedPrograms, replacing the whole section.
  bool SaveExcludedPrograms();
  // The tray command for program: excludes it, or takes an excluded one out of the list,
  // then saves the section. Answers whether program is excluded afterwards.
  bool ToggleExcludedProgram(std::u16string_view program);
  bool IsProgramExcluded(std::u16string_view program) const;

  std::u16string databasePath;
  bool firstRun = false;
  std::u16string langFile;
  Statistics statistics;
  int32_t showCheckedPhrasesOnly = 0;
  // Read by the sound thread while the tray menu switches it: atomic.
  std::atomic<int32_t> sounds{1};
  // Phrases of at least pasteFromLength units are pasted through the clipboard while
  // pasteLongPhrases is on (a length of 0 switches pasting off as well).
  int32_t pasteLongPhrases = 1;
  int32_t pasteFromLength = kDefaultPasteFromLength;
  static constexpr int32_t kDefaultPasteFromLength = 200;
  // The programs in which nothing is expanded (section "ExcludedPrograms"; entries the
  // file holds damaged are left out when it is read).
  std::vector<ExcludedProgram> excludedPrograms;
  // Global hotkeys as the hotkey control gives them (virtual key in the low byte, its
  // modifier flags in the high byte); 0 is none, the default.
  int32_t pauseKey = 0;       // switches expansion off and on
  int32_t findPhraseKey = 0;  // opens the phrase picker
  // The length from which the engine pastes; 0 when it types every phrase.
  uint32_t PasteThreshold() const {
    return pasteLongPhrases != 0 && pasteFromLength > 0 ? static_cast<uint32_t>(pasteFromLength) : 0;
  }
  // How keystrokes expand; each 0 or 1, all off by default so that a keystroke fires as
  // soon as it is typed, as it always has. A keystroke fires only when its word ends;
  // a Backspace right after an expansion undoes it; the keystroke's capitals carry over.
  int32_t expandOnWordEnd = 0;
  int32_t undoWithBackspace = 0;
  int32_t caseFollowsKeystroke = 0;

 private:
  void Load();

  std::unique_ptr<ProfileStore> store_;
  ProgramUnitUpper programUpper_;
};

}  // namespace vellix
