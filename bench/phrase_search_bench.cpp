// The phrase picker's search at 100 000 phrases: building the index, and the time of every
// keystroke while a query is typed (the first letter searches everything, the following
// ones narrow the previous hits). The goal is one frame (16 ms) per keystroke.

#include <benchmark/benchmark.h>

#include <cwctype>
#include <memory>
#include <random>
#include <string>

#include "picker/phrase_search.h"

namespace vellix {
namespace {

void Upper(std::u16string& text) {
  for (char16_t& unit : text) unit = static_cast<char16_t>(std::towupper(unit));
}

std::u16string Number(size_t i) {
  const std::string digits = std::to_string(i);
  return std::u16string(digits.begin(), digits.end());
}

// Phrases of a few words from a small vocabulary, with usage counts and a keystroke.
void Fill(PhraseDatabase& collection, size_t count) {
  static const char16_t* kWords[] = {u"best", u"regards", u"meeting", u"tomorrow", u"invoice",
                                     u"please", u"thank", u"you", u"address", u"street",
                                     u"report", u"weekly", u"sales", u"project", u"update"};
  std::mt19937 random(11);
  for (size_t i = 0; i < count; ++i) {
    auto phrase = std::make_unique<Phrase>();
    std::u16string text;
    for (int w = 0; w < 12; ++w) {
      if (!text.empty()) text += u' ';
      text += kWords[random() % 15];
    }
    text += u" #" + Number(i);
    phrase->SetWord(text);
    phrase->Prefixes()[u"k" + Number(i)] = 1;
    phrase->SetCountUsage(static_cast<int32_t>(random() % 100));
    collection.AppendWithId(std::move(phrase));
  }
  collection.Renumber();
}

void BM_BuildIndex(benchmark::State& state) {
  PhraseDatabase collection;
  Fill(collection, static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    PhraseSearch search(&Upper);
    search.Build(collection, u"notepad.exe");
    benchmark::DoNotOptimize(search.Size());
  }
}

// One iteration types "weekly sales upd" key by key; the time is per keystroke.
void BM_TypeQuery(benchmark::State& state) {
  PhraseDatabase collection;
  Fill(collection, static_cast<size_t>(state.range(0)));
  PhraseSearch search(&Upper);
  search.Build(collection, u"notepad.exe");
  const std::u16string query = u"weekly sales upd";
  size_t hits = 0;
  for (auto _ : state) {
    for (size_t n = 1; n <= query.size(); ++n) hits += search.Find(query.substr(0, n)).size();
    search.Find(u"");  // the user clears the box: the next query starts afresh
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * query.size()));
  state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

// The first keystroke alone: a search of every phrase.
void BM_FirstKeystroke(benchmark::State& state) {
  PhraseDatabase collection;
  Fill(collection, static_cast<size_t>(state.range(0)));
  PhraseSearch search(&Upper);
  search.Build(collection, u"notepad.exe");
  bool flip = false;
  for (auto _ : state) {
    benchmark::DoNotOptimize(search.Find(flip ? u"w" : u"s").size());
    flip = !flip;
  }
}

BENCHMARK(BM_BuildIndex)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeQuery)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstKeystroke)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellix

BENCHMARK_MAIN();
