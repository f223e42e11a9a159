// The worker's stop: Stop during the wait or in the middle of typing, many times over, and
// nothing is sent or reported after Stop has returned. The engine core runs on the fake
// desktop; the injector records every batch and sleeps inside Send, so that Stop often
// falls in the middle of an insertion.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string_view>

#include "engine/engine_worker_win.h"
#include "engine/input_hold_gate.h"
#include "engine/synthetic_typing.h"
#include "engine/typing_engine.h"
#include "phrases/phrase_database.h"
#include "unit/engine_fakes.h"

namespace vellix {
namespace {

using namespace vellix::testing;

class SlowRecorder final : public KeyInjector {
 public:
  std::atomic<bool> stopReturned{false};
  std::atomic<int> sends{0};
  std::atomic<int> sendsAfterStop{0};

  size_t Send(std::span<const KeyRecord> records) noexcept override {
    if (stopReturned.load()) ++sendsAfterStop;
    Sleep(1);
    if (stopReturned.load()) ++sendsAfterStop;
    ++sends;
    return records.size();
  }
  uint16_t ScanCode(uint16_t) noexcept override { return 0; }
  void Pause(uint32_t milliseconds) noexcept override { Sleep(milliseconds); }
};

// 30 Backspaces with their 10 ms pauses: an insertion of about 300 ms before its text.
constexpr std::u16string_view kLongKeystroke = u"abcdefghijklmnopqrstuvwxyzabcd";

struct StopHarness {
  FakeDesktop desktop;
  FakeRegistrar hooks;
  TypingEngine engine{desktop, hooks};
  SlowRecorder injector;
  InputHoldGate gate;
  // The fake windows are no real windows: the focus test always agrees.
  EngineWorker worker{engine, injector, gate, [](uintptr_t) { return true; }};
  PhraseDatabase phrases;
  std::atomic<int> printedAfterStop{0};
  std::atomic<int> printed{0};

  StopHarness() {
    auto phrase = std::make_unique<Phrase>();
    phrase->SetWord(u"a phrase typed key by key");
    phrase->Prefixes()[u"btw"] = 1;
    phrase->SetAddOrReplace(kReplace);
    phrases.Add(std::move(phrase));
    auto longWord = std::make_unique<Phrase>();
    longWord->SetWord(u"the phrase of a long keystroke");
    longWord->Prefixes()[std::u16string(kLongKeystroke)] = 1;
    longWord->SetAddOrReplace(kReplace);
    phrases.Add(std::move(longWord));
    engine.LoadPhrases(phrases);
    engine.SetInsertionSignals(&worker);
    engine.SetPrintCallback(&StopHarness::OnPrint, this);
  }
  ~StopHarness() { engine.SetInsertionSignals(nullptr); }

  static int32_t OnPrint(int32_t code, const EngineEntry*, const char16_t*, void* context) {
    auto* self = static_cast<StopHarness*>(context);
    if (code == TAC_WORD_IS_PRINTED) {
      ++self->printed;
      if (self->injector.stopReturned.load()) ++self->printedAfterStop;
    }
    return 0;
  }

  // Starts as the desktop engine does, types the keystroke and stops after pauseMs.
  void Cycle(uint32_t delay, DWORD pauseMs, std::u16string_view keystroke = u"btw") {
    injector.stopReturned = false;
    ASSERT_TRUE(engine.StartTracking(false));
    ASSERT_TRUE(worker.Start(delay));
    engine.OnWinEvent({.event = kEventSystemForeground, .window = kWindowA}, 0);
    for (char16_t unit : keystroke) {
      engine.OnKeyboardEvent({.message = kWmKeyDown, .vkCode = unit}, 0);
    }
    Sleep(pauseMs);
    ASSERT_TRUE(engine.StopTracking());
    ASSERT_TRUE(worker.Stop());
    injector.stopReturned = true;
  }
};

TEST(EngineWorkerStop, NothingIsTypedOrReportedAfterStopReturned) {
  StopHarness harness;
  // A 6 ms delay (3 ms for a phrase without caret movement) against stops after 0 to 12 ms:
  // during the wait, during the Backspaces (10 ms pauses) and during the text.
  for (int i = 0; i < 200; ++i) {
    harness.Cycle(6, static_cast<DWORD>(i % 13));
    if (::testing::Test::HasFatalFailure()) return;
  }
  Sleep(50);  // a worker that survived Stop would type now
  EXPECT_EQ(harness.injector.sendsAfterStop.load(), 0);
  EXPECT_EQ(harness.printedAfterStop.load(), 0);
  // The loop really stopped inside insertions, not only before them.
  EXPECT_GT(harness.injector.sends.load(), 0);
  EXPECT_FALSE(harness.worker.IsRunning());
  EXPECT_FALSE(harness.worker.Stop());
}

TEST(EngineWorkerStop, AnUninterruptedCycleTypesAndReports) {
  StopHarness harness;
  harness.Cycle(6, 300);
  // Three Backspace batches and the text, then the report.
  EXPECT_GE(harness.injector.sends.load(), 4);
  EXPECT_EQ(harness.printed.load(), 1);
}

TEST(EngineWorkerStop, AStopDuringTheBackspacesEndsTheInsertionAtOnce) {
  StopHarness harness;
  harness.Cycle(0, 100, kLongKeystroke);
  // Stop did not wait for the rest: not all 30 Backspaces nor the text went out, and the
  // insertion was not reported as typed.
  EXPECT_GT(harness.injector.sends.load(), 0);
  EXPECT_LT(harness.injector.sends.load(), 31);
  EXPECT_EQ(harness.printed.load(), 0);
}

}  // namespace
}  // namespace vellix
