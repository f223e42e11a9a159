#pragma once
// Usage counts that were counted but not yet saved when the database file changed on disk
// (replaced by a synchronisation client, or edited in another program). The file on disk
// wins: it is loaded again, and the counts typed since the last save are added to the
// reloaded phrases that are the same phrase (the same text and the same keystrokes), so
// that neither the other side's changes nor the user's counts are lost.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "phrases/phrase_database.h"

namespace vellix {

struct UnsavedUsage {
  std::u16string text;
  std::set<std::u16string> keystrokes;  // every keystroke, enabled or not
  int32_t count = 0;                    // uses counted since the last save
};

// The unsaved uses of the phrases of collection: its usage counts minus those of saved (the
// collection as it was last loaded or saved), matched by identifier.
std::vector<UnsavedUsage> UnsavedUsages(const PhraseDatabase& collection,
                                        const PhraseDatabase& saved);

// The usage count of each identifier as the file holds it, sorted by identifier.
using SavedCounts = std::vector<std::pair<uint32_t, int32_t>>;

// The counts of collection, sorted by identifier.
SavedCounts CountsOf(const PhraseDatabase& collection);

// UnsavedUsages against the counts the file holds (sorted by identifier); an identifier
// that is not there counts from 0.
std::vector<UnsavedUsage> UnsavedUsages(const PhraseDatabase& collection, const SavedCounts& saved);

// Adds each unsaved count to the first phrase of reloaded with the same text and keystrokes
// that no other count was added to; answers how many counts found no such phrase (their
// phrase was deleted or changed on the other side).
size_t CarryUsages(const std::vector<UnsavedUsage>& usages, PhraseDatabase& reloaded);

}  // namespace vellix
