#include "editor/program_rules.h"

#include "editor/database_texts.h"
#include "resource.h"
#include "services/excluded_programs.h"

namespace vellix {

ProgramRuleMode RuleModeOf(const Phrase& phrase) {
  switch (phrase.UseWithList()) {
    case kUseIncludeList: return ProgramRuleMode::kOnlyIn;
    case kUseExcludeList: return ProgramRuleMode::kNeverIn;
    default: return ProgramRuleMode::kEverywhere;
  }
}

int32_t UseWithListOf(ProgramRuleMode mode) {
  switch (mode) {
    case ProgramRuleMode::kOnlyIn: return kUseIncludeList;
    case ProgramRuleMode::kNeverIn: return kUseExcludeList;
    default: return kNotUse;
  }
}

const FlagMap* RuleList(const Phrase& phrase, ProgramRuleMode mode) {
  switch (mode) {
    case ProgramRuleMode::kOnlyIn: return &phrase.Include();
    case ProgramRuleMode::kNeverIn: return &phrase.Exclude();
    default: return nullptr;
  }
}

bool FiresNowhere(const Phrase& phrase) {
  if (RuleModeOf(phrase) != ProgramRuleMode::kOnlyIn) return false;
  for (const auto& [name, enabled] : phrase.Include()) {
    if (enabled != 0 && !name.empty()) return false;
  }
  return true;
}

std::u16string ProgramRuleText(const Phrase& phrase, const std::function<std::u16string(uint32_t)>& lookup) {
  const ProgramRuleMode mode = RuleModeOf(phrase);
  if (FiresNowhere(phrase)) return lookup(IDS_FIRES_NOWHERE);
  const FlagMap* list = RuleList(phrase, mode);
  if (!list) return {};
  std::u16string names;
  for (const auto& [name, enabled] : *list) {
    if (enabled == 0 || name.empty()) continue;
    if (!names.empty()) names += u", ";
    names += name;
  }
  if (names.empty()) return {};  // never in no program: everywhere
  return FillPlaceholders(lookup(mode == ProgramRuleMode::kOnlyIn ? IDS_ONLY_IN : IDS_NEVER_IN), {names});
}

std::u16string ProgramNameFromInput(std::u16string_view typed) {
  const auto isTrimmed = [](char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'"'; };
  while (!typed.empty() && isTrimmed(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && isTrimmed(typed.back())) typed.remove_suffix(1);
  const size_t slash = typed.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) typed.remove_prefix(slash + 1);
  return IsProgramFileName(typed) ? std::u16string(typed) : std::u16string();
}

void StoreProgramList(const std::vector<KeystrokeItem>& items, FlagMap& list) {
  list.clear();
  for (const KeystrokeItem& item : items) {
    if (!item.text.empty()) list[item.text] = item.checked ? 1 : 0;
  }
}

}  // namespace vellix
