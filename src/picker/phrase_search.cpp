#include "picker/phrase_search.h"

#include <algorithm>

namespace vellix {
namespace {

constexpr char16_t kKeystrokeSeparator = 0x1F;

bool IsQueryBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n'; }

// Whether program (upper case) may see phrase, as the engine decides it.
bool Applies(const Phrase& phrase, std::u16string_view program, UpperCaseText upper) {
  const int32_t mode = phrase.UseWithList();
  if (mode != kUseIncludeList && mode != kUseExcludeList) return true;
  if (program.empty()) return false;
  bool listed = false;
  for (const auto& [name, enabled] : mode == kUseIncludeList ? phrase.Include() : phrase.Exclude()) {
    if (enabled != 1 || name.empty()) continue;
    std::u16string key = name;
    upper(key);
    if (key == program) {
      listed = true;
      break;
    }
  }
  return mode == kUseIncludeList ? listed : !listed;
}

}  // namespace

std::vector<std::u16string> PhraseSearch::Words(std::u16string_view query) const {
  std::vector<std::u16string> words;
  std::u16string word;
  for (char16_t unit : query) {
    if (IsQueryBlank(unit)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += unit;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  for (auto& w : words) upper_(w);
  return words;
}

void PhraseSearch::Build(const PhraseDatabase& collection, std::u16string_view program,
                         bool applyRules, bool enabledOnly) {
  entries_.clear();
  haveLast_ = false;
  std::u16string programKey(program);
  upper_(programKey);
  uint32_t order = 0;
  for (const auto& phrase : collection.Items()) {
    const uint32_t position = order++;
    if (enabledOnly && phrase->Enabled() == 0) continue;
    if (applyRules && !Applies(*phrase, programKey, upper_)) continue;
    Entry entry{phrase->Id(), phrase->CountUsage(), position, {}, phrase->Word()};
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (enabled != 1) continue;
      if (!entry.keystrokes.empty()) entry.keystrokes += kKeystrokeSeparator;
      entry.keystrokes += keystroke;
    }
    upper_(entry.keystrokes);
    upper_(entry.text);
    entries_.push_back(std::move(entry));
  }
  // Kept in the order of the ranking's last two keys, so that a search only has to group
  // its hits by the first one.
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    return a.usage != b.usage ? a.usage > b.usage : a.order < b.order;
  });
}

bool PhraseSearch::Matches(const Entry& entry, uint32_t& keystrokeWords) const {
  keystrokeWords = 0;
  for (const std::u16string& word : words_) {
    if (entry.keystrokes.find(word) != std::u16string::npos) {
      ++keystrokeWords;
    } else if (entry.text.find(word) == std::u16string::npos) {
      return false;
    }
  }
  return true;
}

void PhraseSearch::Rank(std::vector<SearchHit>& hits) const {
  // The hits come in usage and collection order already; a stable grouping by the words
  // found in keystrokes, most first, finishes the ranking without comparing them again.
  uint32_t most = 0;
  for (const SearchHit& hit : hits) most = std::max(most, hit.keystrokeWords);
  if (most == 0) return;
  std::vector<size_t> start(most + 2, 0);  // where each group begins, most words first
  for (const SearchHit& hit : hits) ++start[most - hit.keystrokeWords + 1];
  for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
  std::vector<SearchHit> ranked(hits.size());
  for (const SearchHit& hit : hits) ranked[start[most - hit.keystrokeWords]++] = hit;
  hits = std::move(ranked);
}

const std::vector<SearchHit>& PhraseSearch::Find(std::u16string_view query) {
  words_ = Words(query);
  // A query that extends the last one can only match among the last one's matches: each of
  // its words holds the word at the same place in the last one (or is new).
  const bool narrowing = haveLast_ && query.substr(0, lastQuery_.size()) == lastQuery_;
  std::vector<uint32_t> matches;
  hits_.clear();
  auto consider = [&](uint32_t index) {
    uint32_t keystrokeWords = 0;
    if (!Matches(entries_[index], keystrokeWords)) return;
    matches.push_back(index);
    const Entry& e = entries_[index];
    hits_.push_back({e.id, keystrokeWords, e.usage, e.order});
  };
  if (narrowing) {
    for (uint32_t index : lastMatches_) consider(index);
  } else {
    for (uint32_t index = 0; index < entries_.size(); ++index) consider(index);
  }
  Rank(hits_);
  lastMatches_ = std::move(matches);
  lastQuery_.assign(query);
  haveLast_ = true;
  return hits_;
}

std::vector<Emphasis> PhraseSearch::EmphasisIn(std::u16string_view text) const {
  std::u16string upper(text);
  upper_(upper);
  std::vector<bool> marked(upper.size(), false);
  for (const std::u16string& word : words_) {
    for (size_t at = upper.find(word); at != std::u16string::npos; at = upper.find(word, at + 1)) {
      for (size_t i = at; i < at + word.size(); ++i) marked[i] = true;
    }
  }
  std::vector<Emphasis> ranges;
  for (size_t i = 0; i < marked.size(); ++i) {
    if (!marked[i]) continue;
    size_t end = i;
    while (end < marked.size() && marked[end]) ++end;
    ranges.push_back({i, end - i});
    i = end;
  }
  return ranges;
}

}  // namespace vellix
