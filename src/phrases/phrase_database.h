#pragma once
// The ordered, owning collection of phrases. Order is the order of the database file; new
// phrases go to the end; removal keeps the order of the rest. Identifiers are unique within
// one collection but need not be contiguous. No lock: callers that share a collection
// between threads serialise their access themselves.

#include <cstdint>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "phrases/phrase.h"

namespace vellix {

using DuplicateSet = std::set<uint32_t>;

class PhraseDatabase {
 public:
  using Phrases = std::vector<std::unique_ptr<Phrase>>;

  PhraseDatabase();
  PhraseDatabase(const PhraseDatabase&) = delete;
  PhraseDatabase& operator=(const PhraseDatabase&) = delete;
  virtual ~PhraseDatabase();

  void Clear();
  // The largest identifier plus 1; 1 for an empty collection.
  uint32_t NextFreeId() const;
  // Gives the phrase the next free identifier, appends it and returns the identifier.
  uint32_t Add(std::unique_ptr<Phrase> phrase);
  uint32_t AddCopy(const Phrase& phrase);
  // Appends a phrase keeping the identifier it already has (the file reader's numbering).
  void AppendWithId(std::unique_ptr<Phrase> phrase);
  Phrase* Find(uint32_t id);
  const Phrase* Find(uint32_t id) const;
  // 1 when removed, 0 when no phrase has the identifier.
  int Remove(uint32_t id);
  // The new usage count, or -1 when no phrase has the identifier.
  int32_t IncrementUsageCount(uint32_t id);
  // Deep copy of other, numbered 1..n in order; assigning to itself does nothing.
  void Assign(const PhraseDatabase& other);
  // Moves every phrase of other into this collection (after clearing it), keeping
  // identifiers; other is left empty. Taking over from itself does nothing.
  void TakeOver(PhraseDatabase& other);
  // Numbers the phrases 1, 2, 3 ... in sequence order.
  void Renumber();

  struct PhraseCount {
    int total = 0;
    int enabled = 0;
  };
  // total = number of phrases; enabled counted in order, stopping at the first disabled
  // phrase when stopAtFirstDisabled is set.
  PhraseCount CountPhrases(bool stopAtFirstDisabled) const;
  bool HasDisabledPhrase() const;

  // Fills duplicates with the identifiers of the other phrases that have an enabled
  // keystroke equal to keystroke (exact only when both sides are case-sensitive) and
  // returns how many there are.
  size_t FindKeystrokeDuplicates(std::u16string_view keystroke, uint32_t editedId,
                                 DuplicateSet& duplicates) const;

  size_t Size() const { return phrases_.size(); }
  bool Empty() const { return phrases_.empty(); }
  const Phrases& Items() const { return phrases_; }
  Phrase& At(size_t index) { return *phrases_[index]; }
  const Phrase& At(size_t index) const { return *phrases_[index]; }

 private:
  Phrases phrases_;
};

}  // namespace vellix
