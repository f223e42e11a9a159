#pragma once
// Finding phrases by words of their keystrokes or their text, for the phrase picker and
// the editor's search box. Every word of the query must occur, without regard to case, in a
// keystroke or in the text; phrases whose keystrokes hold more of the words come first, then
// the more used ones, then collection order. An empty query lists every phrase, the most
// used first.
//
// The index keeps each phrase's keystrokes and text in upper case, built once when the
// phrases are loaded or changed. A query that only grows the previous one (the user typed
// one more character) looks only among the previous hits, so typing stays quick at 100 000
// phrases. Platform-free: the upper case comes from the caller.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/phrase_database.h"

namespace vellix {

// Turns text into its upper-case form in place (the invariant locale's on Windows).
using UpperCaseText = void (*)(std::u16string& text);

struct SearchHit {
  uint32_t id = 0;           // the phrase's identifier
  uint32_t keystrokeWords = 0;  // query words found in its keystrokes
  int32_t usage = 0;
  uint32_t order = 0;        // position in the collection
};

// A range of units to emphasise.
struct Emphasis {
  size_t begin = 0;
  size_t length = 0;
};

class PhraseSearch {
 public:
  explicit PhraseSearch(UpperCaseText upper) : upper_(upper) {}

  // Indexes the enabled phrases of collection that apply in program (its file name, any
  // case; empty when not known, as for an elevated program: only phrases without a program
  // rule apply there). Pass applyRules = false for every enabled phrase, and enabledOnly =
  // false for the switched-off ones too (the editor).
  void Build(const PhraseDatabase& collection, std::u16string_view program, bool applyRules = true,
             bool enabledOnly = true);
  size_t Size() const { return entries_.size(); }

  // The hits for query, best first.
  const std::vector<SearchHit>& Find(std::u16string_view query);

  // Where the words of the last query stand in text (a keystroke, or a line of a phrase's
  // text), for emphasis: every occurrence, in order, not overlapping.
  std::vector<Emphasis> EmphasisIn(std::u16string_view text) const;

  // The words of a query in upper case.
  std::vector<std::u16string> Words(std::u16string_view query) const;

 private:
  struct Entry {
    uint32_t id;
    int32_t usage;
    uint32_t order;
    std::u16string keystrokes;  // upper case, separated by U+001F
    std::u16string text;        // upper case
  };
  void Rank(std::vector<SearchHit>& hits) const;
  bool Matches(const Entry& entry, uint32_t& keystrokeWords) const;

  UpperCaseText upper_;
  std::vector<Entry> entries_;
  std::vector<std::u16string> words_;   // of the last query
  std::u16string lastQuery_;
  bool haveLast_ = false;
  std::vector<uint32_t> lastMatches_;   // entry indexes that matched the last query
  std::vector<SearchHit> hits_;
};

}  // namespace vellix
