#include "phrases/keystroke_conflicts.h"

#include <algorithm>
#include <tuple>

namespace vellix {
namespace {

struct Key {
  std::u16string folded;
  const std::u16string* original;
  uint32_t id;
  bool caseSensitive;
  size_t order;  // position in collection order, for the examples
};

std::u16string Folded(std::u16string_view text, UnitUpperCase upper) {
  std::u16string folded(text);
  for (char16_t& unit : folded) unit = upper(unit);
  return folded;
}

// Whether shorter begins longer under the rule of the two phrases.
bool Begins(const Key& shorter, const Key& longer) {
  if (longer.folded.size() <= shorter.folded.size()) return false;
  if (longer.folded.compare(0, shorter.folded.size(), shorter.folded) != 0) return false;
  if (shorter.caseSensitive && longer.caseSensitive) {
    return longer.original->compare(0, shorter.original->size(), *shorter.original) == 0;
  }
  return true;
}

std::vector<Key> EnabledKeys(const PhraseDatabase& collection, UnitUpperCase upper) {
  std::vector<Key> keys;
  size_t order = 0;
  for (const auto& phrase : collection.Items()) {
    if (phrase->Enabled() == 0) continue;
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (enabled != 1 || keystroke.empty()) continue;
      keys.push_back({Folded(keystroke, upper), &keystroke, phrase->Id(),
                      phrase->CaseSensitive() != 0, order++});
    }
  }
  return keys;
}

}  // namespace

KeystrokeConflicts FindPrefixConflicts(const PhraseDatabase& collection, UnitUpperCase upper,
                                       size_t maxExamples) {
  std::vector<Key> keys = EnabledKeys(collection, upper);
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
    return std::tie(a.folded, a.order) < std::tie(b.folded, b.order);
  });
  KeystrokeConflicts result;
  std::vector<std::pair<std::pair<size_t, size_t>, KeystrokeConflict>> examples;
  for (size_t i = 0; i < keys.size(); ++i) {
    const Key& shorter = keys[i];
    // Everything that begins with shorter's folded form follows it in the sorted order.
    for (size_t j = i + 1; j < keys.size(); ++j) {
      const Key& longer = keys[j];
      if (longer.folded.compare(0, shorter.folded.size(), shorter.folded) != 0) break;
      if (!Begins(shorter, longer)) continue;
      ++result.total;
      examples.push_back({{shorter.order, longer.order},
                          {*shorter.original, shorter.id, *longer.original, longer.id}});
      // Keep only the first ones in collection order, without holding every pair.
      if (examples.size() > 4 * maxExamples + 64) {
        std::sort(examples.begin(), examples.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        examples.resize(maxExamples);
      }
    }
  }
  std::sort(examples.begin(), examples.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  if (examples.size() > maxExamples) examples.resize(maxExamples);
  for (auto& example : examples) result.examples.push_back(std::move(example.second));
  return result;
}

std::vector<uint32_t> PhrasesInPrefixConflicts(const PhraseDatabase& collection, UnitUpperCase upper) {
  std::vector<Key> keys = EnabledKeys(collection, upper);
  std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.folded < b.folded; });
  std::vector<uint32_t> ids;
  for (size_t i = 0; i < keys.size(); ++i) {
    for (size_t j = i + 1; j < keys.size(); ++j) {
      if (keys[j].folded.compare(0, keys[i].folded.size(), keys[i].folded) != 0) break;
      if (!Begins(keys[i], keys[j])) continue;
      ids.push_back(keys[i].id);
      ids.push_back(keys[j].id);
    }
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

std::vector<KeystrokeConflict> ConflictsOf(const PhraseDatabase& collection, uint32_t id,
                                           std::u16string_view keystroke, UnitUpperCase upper) {
  std::vector<KeystrokeConflict> conflicts;
  const Phrase* own = collection.Find(id);
  if (!own || keystroke.empty()) return conflicts;
  const std::u16string original(keystroke);
  const Key mine{Folded(keystroke, upper), &original, id, own->CaseSensitive() != 0, 0};
  for (const Key& other : EnabledKeys(collection, upper)) {
    if (other.id == id && *other.original == original) continue;
    if (Begins(mine, other)) conflicts.push_back({original, id, *other.original, other.id});
    if (Begins(other, mine)) conflicts.push_back({*other.original, other.id, original, id});
  }
  return conflicts;
}

}  // namespace vellix
