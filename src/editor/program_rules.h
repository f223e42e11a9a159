#pragma once
// A phrase's program rule as the editor shows and edits it: the mode (everywhere, only in
// the programs of the include list, never in those of the exclude list), the row tooltip's
// line that names it, whether it fires nowhere, and program names as the user types them.
// Localised strings come through a lookup so that the rules are the same for every language.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/details_texts.h"
#include "phrases/phrase.h"

namespace vellix {

// The modes in the order the panel's choice lists them.
enum class ProgramRuleMode : int { kEverywhere = 0, kOnlyIn = 1, kNeverIn = 2 };

ProgramRuleMode RuleModeOf(const Phrase& phrase);
// The UseWithList value of a mode.
int32_t UseWithListOf(ProgramRuleMode mode);

// The list a mode edits: the include list for kOnlyIn, the exclude list for kNeverIn, none
// for kEverywhere.
const FlagMap* RuleList(const Phrase& phrase, ProgramRuleMode mode);

// An include rule with no enabled program: the phrase fires in no program at all.
bool FiresNowhere(const Phrase& phrase);

// "only in: notepad.exe, winword.exe" or "never in: …" with the enabled programs of the
// list in use; for an include rule without one, the text that it fires nowhere. Empty for
// a phrase that fires everywhere (or never in an empty list).
std::u16string ProgramRuleText(const Phrase& phrase, const std::function<std::u16string(uint32_t)>& lookup);

// The program name in what the user typed or pasted: blanks and quotes around it dropped
// and a folder before it too ("C:\Program Files\App\app.exe" gives "app.exe"). Empty when
// what is left cannot name a program (IsProgramFileName).
std::u16string ProgramNameFromInput(std::u16string_view typed);

// Replaces list by the items, in list order: items with equal names become one entry whose
// enabled flag is the check of the last of them; empty names are left out.
void StoreProgramList(const std::vector<KeystrokeItem>& items, FlagMap& list);

}  // namespace vellix
