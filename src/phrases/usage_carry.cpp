#include "phrases/usage_carry.h"

#include <algorithm>
#include <limits>

namespace vellix {
namespace {

std::set<std::u16string> KeystrokesOf(const Phrase& phrase) {
  std::set<std::u16string> keystrokes;
  for (const auto& [keystroke, enabled] : phrase.Prefixes()) keystrokes.insert(keystroke);
  return keystrokes;
}

}  // namespace

SavedCounts CountsOf(const PhraseDatabase& collection) {
  SavedCounts counts;
  counts.reserve(collection.Size());
  for (const auto& phrase : collection.Items()) counts.emplace_back(phrase->Id(), phrase->CountUsage());
  std::sort(counts.begin(), counts.end());
  return counts;
}

std::vector<UnsavedUsage> UnsavedUsages(const PhraseDatabase& collection, const PhraseDatabase& saved) {
  return UnsavedUsages(collection, CountsOf(saved));
}

std::vector<UnsavedUsage> UnsavedUsages(const PhraseDatabase& collection, const SavedCounts& saved) {
  std::vector<UnsavedUsage> usages;
  for (const auto& phrase : collection.Items()) {
    const auto it = std::lower_bound(saved.begin(), saved.end(), phrase->Id(),
                                     [](const auto& count, uint32_t id) { return count.first < id; });
    const int64_t before = it != saved.end() && it->first == phrase->Id() ? it->second : 0;
    const int64_t added = int64_t(phrase->CountUsage()) - before;
    if (added <= 0) continue;
    usages.push_back({phrase->Word(), KeystrokesOf(*phrase),
                      static_cast<int32_t>(std::min<int64_t>(added, std::numeric_limits<int32_t>::max()))});
  }
  return usages;
}

size_t CarryUsages(const std::vector<UnsavedUsage>& usages, PhraseDatabase& reloaded) {
  std::vector<bool> taken(reloaded.Size(), false);
  size_t lost = 0;
  for (const UnsavedUsage& usage : usages) {
    bool carried = false;
    for (size_t i = 0; i < reloaded.Size() && !carried; ++i) {
      Phrase& phrase = reloaded.At(i);
      if (taken[i] || phrase.Word() != usage.text || KeystrokesOf(phrase) != usage.keystrokes) continue;
      const int64_t sum = int64_t(phrase.CountUsage()) + usage.count;
      phrase.SetCountUsage(static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max())));
      taken[i] = true;
      carried = true;
    }
    if (!carried) ++lost;
  }
  return lost;
}

}  // namespace vellix
