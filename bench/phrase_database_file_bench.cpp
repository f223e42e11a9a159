// Serialize and Parse of large phrase databases: time per operation and the peak of heap
// memory in use during one operation (counted by replacing the global allocation functions,
// so TinyXML's nodes and strings are included), plus the process's peak resident size.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "phrases/phrase_database_file.h"

namespace {

std::atomic<size_t> inUse{0};
std::atomic<size_t> peak{0};

void* Allocate(size_t size) {
  // A header in front of each block remembers its size.
  auto* block = static_cast<size_t*>(std::malloc(size + 16));
  if (!block) throw std::bad_alloc();
  *block = size;
  const size_t now = inUse.fetch_add(size) + size;
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return reinterpret_cast<char*>(block) + 16;
}

void Release(void* pointer) {
  if (!pointer) return;
  auto* block = reinterpret_cast<size_t*>(static_cast<char*>(pointer) - 16);
  inUse.fetch_sub(*block);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace {

std::u16string Number(int value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// A collection like a real one: a text of a few words to a few lines, two keystrokes, one
// of them disabled now and then, a few usage counts.
void Fill(vellix::PhraseDatabase& db, int count) {
  for (int i = 0; i < count; ++i) {
    auto phrase = std::make_unique<vellix::Phrase>();
    std::u16string text = u"Phrase number ";
    text += Number(i);
    if (i % 3 == 0) text += u"\r\nwith a second line and \u00e4 little more text to type";
    if (i % 7 == 0) text += u"\r\n\tand an indented third line <with> markup & entities";
    phrase->SetWord(text);
    std::u16string keystroke = u"k";
    keystroke += Number(i);
    phrase->Prefixes()[keystroke] = 1;
    keystroke = u"alt";
    keystroke += Number(i % 1000);
    phrase->Prefixes()[keystroke] = i % 5 != 0;
    phrase->SetCountUsage(i % 13);
    phrase->SetId(uint32_t(i + 1));
    db.AppendWithId(std::move(phrase));  // Add looks for the largest id: quadratic
  }
}

void ReportMemory(benchmark::State& state, size_t baseline) {
  state.counters["peak_heap_MB"] = double(peak.load() - baseline) / (1024.0 * 1024.0);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["process_max_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_Serialize(benchmark::State& state) {
  vellix::PhraseDatabase db;
  Fill(db, int(state.range(0)));
  size_t bytes = 0;
  const size_t baseline = inUse.load();
  peak = baseline;
  for (auto _ : state) {
    const std::string text = vellix::PhraseDatabaseFile::Serialize(db);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  ReportMemory(state, baseline);
  state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
}

// A save that keeps its buffer from the last one, as the background saver does: no fresh
// pages from the system.
void BM_SerializeReused(benchmark::State& state) {
  vellix::PhraseDatabase db;
  Fill(db, int(state.range(0)));
  std::string text;
  vellix::PhraseDatabaseFile::SerializeInto(db, text);
  const size_t baseline = inUse.load();
  peak = baseline;
  for (auto _ : state) {
    vellix::PhraseDatabaseFile::SerializeInto(db, text);
    benchmark::DoNotOptimize(text.data());
  }
  ReportMemory(state, baseline);
  state.counters["file_MB"] = double(text.size()) / (1024.0 * 1024.0);
}

void BM_Parse(benchmark::State& state) {
  std::string text;
  {
    vellix::PhraseDatabase db;
    Fill(db, int(state.range(0)));
    text = vellix::PhraseDatabaseFile::Serialize(db);
  }
  const size_t baseline = inUse.load();
  peak = baseline;
  for (auto _ : state) {
    vellix::PhraseDatabase db;
    if (!vellix::PhraseDatabaseFile::Parse(db, text, 1)) state.SkipWithError("no root");
    benchmark::DoNotOptimize(db.Size());
  }
  ReportMemory(state, baseline);
  state.counters["file_MB"] = double(text.size()) / (1024.0 * 1024.0);
}

}  // namespace

BENCHMARK(BM_Serialize)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeReused)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
