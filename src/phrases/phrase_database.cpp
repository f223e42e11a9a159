#include "phrases/phrase_database.h"

#include <algorithm>

namespace vellix {

PhraseDatabase::PhraseDatabase() = default;
PhraseDatabase::~PhraseDatabase() = default;

void PhraseDatabase::Clear() { phrases_.clear(); }

uint32_t PhraseDatabase::NextFreeId() const {
  uint32_t largest = 0;
  for (const auto& phrase : phrases_) largest = std::max(largest, phrase->Id());
  return largest + 1;
}

uint32_t PhraseDatabase::Add(std::unique_ptr<Phrase> phrase) {
  const uint32_t id = NextFreeId();
  phrase->SetId(id);
  phrases_.push_back(std::move(phrase));
  return id;
}

uint32_t PhraseDatabase::AddCopy(const Phrase& phrase) { return Add(phrase.Clone()); }

void PhraseDatabase::AppendWithId(std::unique_ptr<Phrase> phrase) {
  phrases_.push_back(std::move(phrase));
}

Phrase* PhraseDatabase::Find(uint32_t id) {
  for (auto& phrase : phrases_) {
    if (phrase->Id() == id) return phrase.get();
  }
  return nullptr;
}

const Phrase* PhraseDatabase::Find(uint32_t id) const {
  return const_cast<PhraseDatabase*>(this)->Find(id);
}

int PhraseDatabase::Remove(uint32_t id) {
  auto it = std::find_if(phrases_.begin(), phrases_.end(),
                         [id](const auto& phrase) { return phrase->Id() == id; });
  if (it == phrases_.end()) return 0;
  phrases_.erase(it);
  return 1;
}

int32_t PhraseDatabase::IncrementUsageCount(uint32_t id) {
  Phrase* phrase = Find(id);
  if (!phrase) return -1;
  phrase->SetCountUsage(phrase->CountUsage() + 1);
  return phrase->CountUsage();
}

void PhraseDatabase::Assign(const PhraseDatabase& other) {
  if (&other == this) return;
  Clear();
  phrases_.reserve(other.phrases_.size());
  uint32_t id = 1;
  for (const auto& phrase : other.phrases_) {
    auto copy = phrase->Clone();
    copy->SetId(id++);
    phrases_.push_back(std::move(copy));
  }
}

void PhraseDatabase::TakeOver(PhraseDatabase& other) {
  if (&other == this) return;
  phrases_ = std::move(other.phrases_);
  other.phrases_.clear();
}

void PhraseDatabase::Renumber() {
  uint32_t id = 1;
  for (auto& phrase : phrases_) phrase->SetId(id++);
}

PhraseDatabase::PhraseCount PhraseDatabase::CountPhrases(bool stopAtFirstDisabled) const {
  PhraseCount count;
  count.total = static_cast<int>(phrases_.size());
  for (const auto& phrase : phrases_) {
    if (!phrase->Enabled()) {
      if (stopAtFirstDisabled) break;
      continue;
    }
    ++count.enabled;
  }
  return count;
}

bool PhraseDatabase::HasDisabledPhrase() const {
  const PhraseCount count = CountPhrases(true);
  return count.enabled != count.total;
}

size_t PhraseDatabase::FindKeystrokeDuplicates(std::u16string_view keystroke, uint32_t editedId,
                                               DuplicateSet& duplicates) const {
  duplicates.clear();
  if (keystroke.empty()) return 0;
  const Phrase* edited = Find(editedId);
  const bool referenceCaseSensitive = edited ? edited->CaseSensitive() != 0 : true;
  for (const auto& phrase : phrases_) {
    if (phrase->Id() == editedId) continue;
    const bool exact = referenceCaseSensitive && phrase->CaseSensitive() != 0;
    if (phrase->MatchesKeystroke(keystroke, exact)) duplicates.insert(phrase->Id());
  }
  return duplicates.size();
}

}  // namespace vellix
