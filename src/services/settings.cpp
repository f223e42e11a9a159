#include "services/settings.h"

#include <algorithm>
#include <utility>

namespace vellix {
namespace {

constexpr std::u16string_view kSection = u"Settings";
constexpr std::u16string_view kExcludedProgramsSection = u"ExcludedPrograms";
constexpr int32_t kMissingCoordinate = -1000;

std::u16string Key(std::u16string_view name, std::u16string_view suffix) {
  std::u16string key(name);
  key += suffix;
  return key;
}

// A hotkey value outside the control's 16 bits is damaged: no hotkey.
int32_t HotkeySetting(int32_t value) { return value > 0 && value <= 0xFFFF ? value : 0; }

constexpr std::u16string_view kPlacementSuffixes[] = {u"_X", u"_Y", u"_RIGHT", u"_BOTTOM"};

// An on/off key, off when missing; any value other than 0 reads as on and is saved as 1.
int32_t ReadSwitch(ProfileStore& store, std::u16string_view key) {
  return store.GetInt(kSection, key, 0) != 0 ? 1 : 0;
}

}  // namespace

Settings::Settings(std::unique_ptr<ProfileStore> store, ProgramUnitUpper programUpper)
    : Settings(std::move(store), CurrentUtcTime(), programUpper) {}

Settings::Settings(std::unique_ptr<ProfileStore> store, const SystemTime& nowUtc, ProgramUnitUpper programUpper)
    : store_(std::move(store)), programUpper_(programUpper) {
  firstRun = !store_->Exists() || store_->GetInt(kSection, u"AlreadyRunning2", 0) == 0;
  store_->WriteString(kSection, u"AlreadyRunning2", u"1");
  Load();
  UpdateLaunchCounters(*store_, nowUtc);
}

void Settings::Load() {
  // An empty or missing text leaves the member at its default.
  std::u16string text = store_->GetString(kSection, u"LangFile", u"", kMaxLangFile + 1);
  if (!text.empty()) langFile = std::move(text);
  showCheckedPhrasesOnly = store_->GetInt(kSection, u"ShowCheckedPhrasesOnly", 0);
  sounds = store_->GetInt(kSection, u"Sounds", 1);
  pasteLongPhrases = store_->GetInt(kSection, u"PasteLongPhrases", 1) != 0 ? 1 : 0;
  // A negative length reads as 0 (pasting off), as a damaged value must not paste short ones.
  pasteFromLength = std::max(0, store_->GetInt(kSection, u"PasteFromLength", kDefaultPasteFromLength));
  expandOnWordEnd = ReadSwitch(*store_, u"ExpandOnWordEnd");
  undoWithBackspace = ReadSwitch(*store_, u"UndoWithBackspace");
  caseFollowsKeystroke = ReadSwitch(*store_, u"CaseFollowsKeystroke");
  pauseKey = HotkeySetting(store_->GetInt(kSection, u"PauseKey", 0));
  findPhraseKey = HotkeySetting(store_->GetInt(kSection, u"FindPhraseKey", 0));
  text = store_->GetString(kSection, u"DatabasePath", u"", kMaxDatabasePath + 1);
  if (!text.empty()) databasePath = std::move(text);
  statistics.LoadStatistics(*store_);
  excludedPrograms = ParseExcludedPrograms(store_->GetSectionLines(kExcludedProgramsSection), programUpper_);
}

bool Settings::SaveExcludedPrograms() {
  return store_->WriteSectionLines(kExcludedProgramsSection, ExcludedProgramLines(excludedPrograms));
}

bool Settings::ToggleExcludedProgram(std::u16string_view program) {
  const bool excluded = vellix::ToggleExcludedProgram(excludedPrograms, program, programUpper_);
  SaveExcludedPrograms();
  return excluded;
}

bool Settings::IsProgramExcluded(std::u16string_view program) const {
  return IsExcluded(excludedPrograms, program, programUpper_);
}

bool Settings::Save() {
  store_->WriteString(kSection, u"LangFile", langFile);
  store_->WriteString(kSection, u"ShowCheckedPhrasesOnly", IntToText(showCheckedPhrasesOnly));
  store_->WriteString(kSection, u"Sounds", IntToText(sounds));
  store_->WriteString(kSection, u"PasteLongPhrases", IntToText(pasteLongPhrases));
  store_->WriteString(kSection, u"PasteFromLength", IntToText(pasteFromLength));
  store_->WriteString(kSection, u"ExpandOnWordEnd", IntToText(expandOnWordEnd));
  store_->WriteString(kSection, u"UndoWithBackspace", IntToText(undoWithBackspace));
  store_->WriteString(kSection, u"CaseFollowsKeystroke", IntToText(caseFollowsKeystroke));
  store_->WriteString(kSection, u"PauseKey", IntToText(pauseKey));
  store_->WriteString(kSection, u"FindPhraseKey", IntToText(findPhraseKey));
  store_->WriteString(kSection, u"DatabasePath", databasePath);
  statistics.SaveStatistics(*store_);
  return true;
}

bool Settings::SavePlacement(const WindowPlacement& rect, std::u16string_view name) {
  const int32_t values[] = {rect.left, rect.top, rect.right, rect.bottom};
  for (size_t i = 0; i < 4; ++i)
    if (!store_->WriteString(kSection, Key(name, kPlacementSuffixes[i]), IntToText(values[i])))
      return false;
  return true;
}

bool Settings::LoadPlacement(WindowPlacement& rect, std::u16string_view name) {
  int32_t* fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
  for (size_t i = 0; i < 4; ++i) {
    const int32_t value = store_->GetInt(kSection, Key(name, kPlacementSuffixes[i]), kMissingCoordinate);
    if (value == kMissingCoordinate) return false;
    *fields[i] = value;
  }
  return true;
}

}  // namespace vellix
