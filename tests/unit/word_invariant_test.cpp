// The engine's word against a model of text fields: thousands of random sequences of typing,
// clicks, caret keys, shortcuts, dead keys, AltGr and insertions, each step checked. The
// sequences come from a fixed seed, so a failure names a sequence that fails every time.

#include <gtest/gtest.h>

#include <random>

#include "unit/text_field_model.h"

namespace vellix::testing {
namespace {

class SeededChoices : public ChoiceSource {
 public:
  explicit SeededChoices(uint32_t seed) : generator_(seed) {}
  uint32_t Next(uint32_t bound) override {
    return std::uniform_int_distribution<uint32_t>(0, bound - 1)(generator_);
  }

 private:
  std::mt19937 generator_;
};

// Each sequence runs under one set of options: the classic behaviour, words that expand at
// their end, undo with case following the keystroke, and all of them.
ExpansionOptions OptionsFor(uint32_t seed) {
  switch (seed % 4) {
    case 1: return {.expandOnWordEnd = true};
    case 2: return {.undoWithBackspace = true, .caseFollowsKeystroke = true};
    case 3: return {true, true, true};
    default: return {};
  }
}

TEST(WordInvariant, TheWordIsAlwaysTheTextBeforeTheCaret) {
  constexpr int kSequences = 4000;
  constexpr int kSteps = 80;
  int insertions = 0;
  for (uint32_t seed = 1; seed <= kSequences; ++seed) {
    TextFieldModel model(OptionsFor(seed));
    SeededChoices choices(seed);
    const std::string error = model.Run(choices, kSteps);
    ASSERT_EQ(error, "") << "sequence " << seed;
    insertions += model.insertions();
  }
  // The sequences must reach the case that matters: insertions that erase.
  EXPECT_GT(insertions, kSequences / 4);
  std::printf("%d insertions checked\n", insertions);
}

}  // namespace
}  // namespace vellix::testing
