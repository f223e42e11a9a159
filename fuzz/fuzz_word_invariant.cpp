// The word-follows-the-caret model of the unit tests, driven by the fuzzer's bytes instead
// of a seeded generator: every byte sequence is a sequence of user actions, and a broken
// invariant aborts with the step that broke it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "unit/text_field_model.h"

namespace {

class ByteChoices : public vellix::testing::ChoiceSource {
 public:
  ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint32_t Next(uint32_t bound) override {
    if (position_ >= size_) return 0;
    return data_[position_++] % bound;
  }
  bool Exhausted() const override { return position_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the options, the rest are the user's actions.
  const vellix::ExpansionOptions options{(data[0] & 1) != 0, (data[0] & 2) != 0,
                                         (data[0] & 4) != 0};
  vellix::testing::TextFieldModel model(options);
  ByteChoices choices(data + 1, size - 1);
  const std::string error = model.Run(choices, 100000);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  return 0;
}
