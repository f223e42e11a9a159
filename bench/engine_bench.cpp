// Cost of the typing engine core per key event: the key filter, the word tracker and the
// keystroke matching, with 100, 10 000 and 100 000 entries of two keystrokes each. The
// desktop is a trivial stand-in (the key code is the typed unit, ASCII upper case), so the
// figures are the engine's own share of the hook's work.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "engine/typing_engine.h"
#include "phrases/phrase_database.h"

// GCC sees malloc inside operator new and free inside operator delete as a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// Every allocation of the program is counted, so that the key-event benchmarks can report
// how many a key costs.
namespace {
std::atomic<size_t> g_allocations{0};
}  // namespace

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace vellix {
namespace {

class BenchDesktop : public Desktop {
 public:
  bool WindowExists(WindowHandle) noexcept override { return true; }
  int KeyText(const KeyboardEventInfo& key, WindowHandle, char16_t* buffer,
              size_t capacity) noexcept override {
    if (capacity == 0) return 0;
    buffer[0] = static_cast<char16_t>(key.vkCode);
    return 1;
  }
  size_t ComposeDeadKey(char16_t, std::u16string_view, char16_t*, size_t) noexcept override {
    return 0;
  }
  size_t ProgramFileName(WindowHandle, char16_t* buffer, size_t capacity) noexcept override {
    constexpr std::u16string_view kName = u"notepad.exe";
    const size_t n = std::min(capacity, kName.size());
    std::copy_n(kName.data(), n, buffer);
    return n;
  }
  char16_t UpperCase(char16_t unit) noexcept override {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit;
  }
};

class BenchHooks : public HookRegistrar {
 public:
  bool AddWinEventListener(WinEventListener*, uint32_t, uint32_t) noexcept override {
    return true;
  }
  bool RemoveWinEventListener(WinEventListener*) noexcept override { return true; }
  bool IsWinEventHooked() noexcept override { return true; }
  void SetKeyboardModule(uintptr_t) noexcept override {}
  bool RegisterKeyboardListener(KeyboardListener*, uint32_t) noexcept override { return true; }
  bool UnregisterKeyboardListener(KeyboardListener*) noexcept override { return true; }
};

class NoSignals : public InsertionSignals {
 public:
  void StartDelayed() noexcept override {}
  void Cancel() noexcept override {}
};

std::u16string RandomWord(std::mt19937& random, size_t length) {
  std::u16string word;
  for (size_t i = 0; i < length; ++i) word += static_cast<char16_t>(u'a' + random() % 26);
  return word;
}

struct Fixture {
  BenchDesktop desktop;
  BenchHooks hooks;
  NoSignals signals;
  TypingEngine engine{desktop, hooks};
  std::vector<std::u16string> keystrokes;

  // withRules: every second phrase fires only in some programs or never in some.
  explicit Fixture(size_t entries, bool withRules = false) {
    std::mt19937 random(42);
    PhraseDatabase phrases;
    for (size_t i = 0; i < entries; ++i) {
      auto phrase = std::make_unique<Phrase>();
      for (int k = 0; k < 2; ++k) {
        keystrokes.push_back(RandomWord(random, 4 + random() % 3));
        phrase->Prefixes()[keystrokes.back()] = 1;
      }
      phrase->SetWord(u"phrase text number " + keystrokes.back());
      phrase->SetCaseSensitive(static_cast<int32_t>(i % 2));
      if (withRules && i % 2 == 0) {
        phrase->SetUseWithList(static_cast<int32_t>(i / 2 % 2));  // include, exclude
        phrase->Include()[u"notepad.exe"] = 1;
        phrase->Include()[u"winword.exe"] = 1;
        phrase->Exclude()[u"notepad.exe"] = 1;
        phrase->Exclude()[u"mstsc.exe"] = 1;
      }
      phrases.Add(std::move(phrase));
    }
    engine.LoadPhrases(phrases);
    engine.SetInsertionSignals(&signals);
    engine.StartTracking(true);
    engine.OnWinEvent({kEventSystemForeground, 0x1234, 0, 0, 0, 0}, 0);
  }

  void Key(char16_t unit) { engine.OnKeyboardEvent({kWmKeyDown, unit, 0, 0}, 0); }
};

void RunKeys(benchmark::State& state, Fixture& f, const std::u16string& stream) {
  size_t position = 0;
  const size_t before = g_allocations.load();
  for (auto _ : state) {
    f.Key(stream[position]);
    if (++position == stream.size()) position = 0;
  }
  const double allocations = static_cast<double>(g_allocations.load() - before);
  state.counters["allocs_per_key"] = allocations / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations());
}

// Words that mostly match nothing, each ended by a space: the common case.
void BM_KeyEvent(benchmark::State& state) {
  Fixture f(static_cast<size_t>(state.range(0)));
  std::mt19937 random(7);
  std::u16string stream;
  for (int i = 0; i < 2000; ++i) stream += RandomWord(random, 3 + random() % 6) + u" ";
  RunKeys(state, f, stream);
}

// Every word is a keystroke: each one ends in a match and a scheduled insertion.
void BM_KeyEventMatching(benchmark::State& state) {
  Fixture f(static_cast<size_t>(state.range(0)));
  std::mt19937 random(9);
  std::u16string stream;
  for (int i = 0; i < 2000; ++i) stream += f.keystrokes[random() % f.keystrokes.size()] + u" ";
  RunKeys(state, f, stream);
}

// Every word is a keystroke, and half the phrases have program rules, checked against the
// focused program (looked up when the focus changed, not here).
void BM_KeyEventMatchingWithRules(benchmark::State& state) {
  Fixture f(static_cast<size_t>(state.range(0)), true);
  std::mt19937 random(9);
  std::u16string stream;
  for (int i = 0; i < 2000; ++i) stream += f.keystrokes[random() % f.keystrokes.size()] + u" ";
  RunKeys(state, f, stream);
}

// The plain walk that the index replaces, for one word that matches nothing.
void BM_FindEntryPlain(benchmark::State& state) {
  Fixture f(static_cast<size_t>(state.range(0)));
  const std::u16string word = u"zzzzzz";
  for (auto _ : state) benchmark::DoNotOptimize(f.engine.FindEntryPlain(word));
}

BENCHMARK(BM_KeyEvent)->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_KeyEventMatching)->Arg(100)->Arg(10000)->Arg(100000);
BENCHMARK(BM_KeyEventMatchingWithRules)->Arg(10000);
BENCHMARK(BM_FindEntryPlain)->Arg(100)->Arg(10000)->Arg(100000);

}  // namespace
}  // namespace vellix

BENCHMARK_MAIN();
