// The scan for keystrokes that fire before a longer one, over large collections: the phrase
// editor and vellix-db run it over the whole collection.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "phrases/keystroke_conflicts.h"

namespace vellix {
namespace {

char16_t AsciiUpper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit;
}

// keystrokes: the number of keystrokes, two per phrase, three to six letters each.
void Fill(PhraseDatabase& collection, size_t keystrokes) {
  std::mt19937 random(5);
  for (size_t i = 0; i < keystrokes / 2; ++i) {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(u"text");
    for (int k = 0; k < 2; ++k) {
      std::u16string keystroke;
      const size_t length = 3 + random() % 4;
      for (size_t c = 0; c < length; ++c) keystroke += static_cast<char16_t>(u'a' + random() % 26);
      phrase->Prefixes()[keystroke] = 1;
    }
    phrase->SetCaseSensitive(static_cast<int32_t>(i % 2));
    collection.Add(std::move(phrase));
  }
  collection.Renumber();
}

void BM_PrefixConflicts(benchmark::State& state) {
  PhraseDatabase collection;
  Fill(collection, static_cast<size_t>(state.range(0)));
  size_t total = 0;
  for (auto _ : state) {
    const KeystrokeConflicts found = FindPrefixConflicts(collection, &AsciiUpper, 20);
    total = found.total;
    benchmark::DoNotOptimize(total);
  }
  state.counters["conflicts"] = static_cast<double>(total);
}

// The phrase editor's marks, taken again after every change in the editor.
void BM_PhrasesInPrefixConflicts(benchmark::State& state) {
  PhraseDatabase collection;
  Fill(collection, static_cast<size_t>(state.range(0)));
  size_t marked = 0;
  for (auto _ : state) {
    marked = PhrasesInPrefixConflicts(collection, &AsciiUpper).size();
    benchmark::DoNotOptimize(marked);
  }
  state.counters["phrases"] = static_cast<double>(marked);
}

BENCHMARK(BM_PrefixConflicts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhrasesInPrefixConflicts)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellix

BENCHMARK_MAIN();
