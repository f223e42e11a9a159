#include "engine/entry_index.h"

#include <algorithm>

namespace vellix {

bool KeystrokeMatches(std::u16string_view keystroke, std::u16string_view word,
                      bool caseSensitive, Desktop& desktop) noexcept {
  if (keystroke.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    const char16_t a = keystroke[i];
    const char16_t b = word[i];
    if (a == b) continue;
    if (caseSensitive || desktop.UpperCase(a) != desktop.UpperCase(b)) return false;
  }
  return true;
}

bool AppliesIn(const EngineEntry& entry, std::u16string_view program) noexcept {
  if (entry.programRule == kEverywhere) return true;
  if (program.empty()) return false;
  const bool listed = std::find(entry.programs.begin(), entry.programs.end(), program) !=
                      entry.programs.end();
  return entry.programRule == kOnlyIn ? listed : !listed;
}

size_t FindEntryPlain(const std::vector<EngineEntry>& entries, std::u16string_view word,
                      Desktop& desktop, std::u16string_view program) noexcept {
  for (size_t i = 0; i < entries.size(); ++i) {
    const EngineEntry& entry = entries[i];
    if (!AppliesIn(entry, program)) continue;
    for (const std::u16string& keystroke : entry.keystrokes) {
      if (KeystrokeMatches(keystroke, word, entry.caseSensitive != 0, desktop)) return i;
    }
  }
  return entries.size();
}

uint64_t EntryIndex::FoldedHash(std::u16string_view text, Desktop& desktop) noexcept {
  // FNV-1a over the upper-case form of each unit.
  uint64_t hash = 14695981039346656037ull;
  for (char16_t unit : text) {
    const char16_t folded = desktop.UpperCase(unit);
    hash = (hash ^ static_cast<uint64_t>(folded & 0xFF)) * 1099511628211ull;
    hash = (hash ^ static_cast<uint64_t>(folded >> 8)) * 1099511628211ull;
  }
  return hash;
}

void EntryIndex::Clear() noexcept {
  candidates_.clear();
  buckets_.clear();
}

void EntryIndex::Build(const std::vector<EngineEntry>& entries, Desktop& desktop) {
  Clear();
  for (size_t i = 0; i < entries.size(); ++i) {
    for (const std::u16string& keystroke : entries[i].keystrokes) {
      candidates_.push_back(
          Candidate{FoldedHash(keystroke, desktop), static_cast<uint32_t>(i), &keystroke});
    }
  }
  // Stable: inside one hash the candidates stay in collection order.
  std::stable_sort(candidates_.begin(), candidates_.end(),
                   [](const Candidate& a, const Candidate& b) { return a.hash < b.hash; });
  buckets_.reserve(candidates_.size());
  for (size_t i = 0; i < candidates_.size();) {
    size_t end = i + 1;
    while (end < candidates_.size() && candidates_[end].hash == candidates_[i].hash) ++end;
    buckets_.emplace(candidates_[i].hash,
                     Range{static_cast<uint32_t>(i), static_cast<uint32_t>(end - i)});
    i = end;
  }
}

size_t EntryIndex::Find(const std::vector<EngineEntry>& entries, std::u16string_view word,
                        Desktop& desktop, std::u16string_view program) const noexcept {
  const auto bucket = buckets_.find(FoldedHash(word, desktop));
  if (bucket == buckets_.end()) return entries.size();
  const Range range = bucket->second;
  for (uint32_t i = range.begin; i < range.begin + range.count; ++i) {
    const Candidate& candidate = candidates_[i];
    const EngineEntry& entry = entries[candidate.entry];
    if (KeystrokeMatches(*candidate.keystroke, word, entry.caseSensitive != 0, desktop) &&
        AppliesIn(entry, program)) {
      return candidate.entry;
    }
  }
  return entries.size();
}

}  // namespace vellix
