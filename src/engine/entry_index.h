#pragma once
// Keystroke matching. The plain rule walks the entries in collection order and takes the
// first one of which a keystroke equals the whole word; case-insensitive equality folds each
// UTF-16 unit alone (two units match when they are equal or their upper-case forms are).
// EntryIndex gives exactly that answer without the walk: it hashes every keystroke in its
// upper-case-folded form, so a lookup hashes the folded word once and checks only the few
// keystrokes of that bucket, in collection order, with the plain rule. Any keystroke that
// matches the word under the plain rule folds to the word's folded form, so it is always
// among the candidates; hash collisions are harmless because every candidate is checked.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/engine_entry.h"
#include "engine/engine_types.h"

namespace vellix {

// The plain equality of one keystroke with the whole word.
bool KeystrokeMatches(std::u16string_view keystroke, std::u16string_view word,
                      bool caseSensitive, Desktop& desktop) noexcept;

// The plain walk: index of the first entry that matches and applies in program (see
// AppliesIn), or entries.size() when none does.
size_t FindEntryPlain(const std::vector<EngineEntry>& entries, std::u16string_view word,
                      Desktop& desktop, std::u16string_view program = {}) noexcept;

class EntryIndex {
 public:
  // Indexes entries, which must stay unchanged (not moved, not edited) until the next Build.
  void Build(const std::vector<EngineEntry>& entries, Desktop& desktop);
  void Clear() noexcept;
  // Same answer as FindEntryPlain on the entries given to Build. Does not allocate.
  size_t Find(const std::vector<EngineEntry>& entries, std::u16string_view word,
              Desktop& desktop, std::u16string_view program = {}) const noexcept;

 private:
  struct Candidate {
    uint64_t hash;
    uint32_t entry;
    const std::u16string* keystroke;
  };
  struct Range {
    uint32_t begin;
    uint32_t count;
  };
  static uint64_t FoldedHash(std::u16string_view text, Desktop& desktop) noexcept;

  // Candidates grouped by hash; inside a group in collection order, then keystroke order.
  std::vector<Candidate> candidates_;
  std::unordered_map<uint64_t, Range> buckets_;
};

}  // namespace vellix
