#include "engine/key_translator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vellix {
namespace {

constexpr uint32_t kVkCircumflex = 0xDC;  // a dead key: ^
constexpr uint32_t kVkE = 'E';
constexpr uint32_t kVkX = 'X';
constexpr uint32_t kVkShift = 0x10;

// A layout with one dead key (^, which combines with e into ê) whose dead-key state is
// shared by every caller, as the system's is: the hook and the target window translate
// with the same state. Honors the keep-state flag only when told to.
class SharedStateLayout final : public KeyboardLayoutApi {
 public:
  explicit SharedStateLayout(bool knowsKeepState) : knowsKeepState_(knowsKeepState) {}

  int ToUnicode(uint32_t vk, uint32_t, const uint8_t*, char16_t* out, int capacity,
                uint32_t flags, uintptr_t) noexcept override {
    const bool keep = knowsKeepState_ && (flags & kToUnicodeKeepState) != 0;
    std::u16string text;
    int result = 0;
    if (vk == kVkCircumflex) {
      if (armed_) {
        text = u"^^";
        result = 2;
      } else {
        text = u"^";
        result = -1;
      }
      if (!keep) armed_ = !armed_;
    } else if (vk == kVkE || vk == kVkX) {
      const char16_t base = vk == kVkE ? u'e' : u'x';
      if (armed_) {
        text = vk == kVkE ? std::u16string(u"\u00EA") : std::u16string{u'^', base};
        if (!keep) armed_ = false;
      } else {
        text = std::u16string(1, base);
      }
      result = static_cast<int>(text.size());
    }
    for (int i = 0; i < capacity && i < static_cast<int>(text.size()); ++i) out[i] = text[i];
    return result;
  }

  // The target window's own translation: always with flags 0.
  std::u16string Target(uint32_t vk) {
    char16_t out[16] = {};
    const uint8_t state[256] = {};
    const int result = ToUnicode(vk, 0, state, out, 15, 0, 1);
    return result < 0 ? u"dead" : std::u16string(out);
  }

 private:
  bool knowsKeepState_;
  bool armed_ = false;
};

struct Typed {
  std::vector<std::u16string> hook;
  std::vector<std::u16string> target;
};

// Each key is seen by the hook first and then translated by the target.
Typed TypeKeys(SharedStateLayout& layout, KeyTranslator& translator,
               const std::vector<uint32_t>& keys) {
  Typed typed;
  const uint8_t state[256] = {};
  for (const uint32_t vk : keys) {
    char16_t out[16] = {};
    translator.Translate(vk, 0, state, 1, out, 15);
    typed.hook.push_back(out);
    typed.target.push_back(layout.Target(vk));
  }
  return typed;
}

struct DeadKeyCase {
  const char* name;
  std::vector<uint32_t> keys;
  std::vector<std::u16string> hook;
  std::vector<std::u16string> target;
};

TEST(KeyTranslator, TheTargetStillCombinesDeadKeys) {
  const DeadKeyCase cases[] = {
      {"accent then letter", {kVkCircumflex, kVkE}, {u"^", u"\u00EA"}, {u"dead", u"\u00EA"}},
      {"a key without a character in between",
       {kVkCircumflex, kVkShift, kVkE},
       {u"^", u"", u"\u00EA"},
       {u"dead", u"", u"\u00EA"}},
      {"accent twice", {kVkCircumflex, kVkCircumflex}, {u"^", u"^^"}, {u"dead", u"^^"}},
      {"accent before a letter it does not combine with",
       {kVkCircumflex, kVkX, kVkE},
       {u"^", u"^x", u"e"},
       {u"dead", u"^x", u"e"}},
      {"plain letters", {kVkE, kVkX}, {u"e", u"x"}, {u"e", u"x"}},
  };
  for (const bool keepStateFlag : {true, false}) {
    for (const DeadKeyCase& c : cases) {
      SharedStateLayout layout(keepStateFlag);
      KeyTranslator translator(layout, keepStateFlag);
      const Typed typed = TypeKeys(layout, translator, c.keys);
      EXPECT_EQ(typed.target, c.target) << c.name << (keepStateFlag ? " (flag)" : " (repair)");
      EXPECT_EQ(typed.hook, c.hook) << c.name << (keepStateFlag ? " (flag)" : " (repair)");
    }
  }
}

TEST(KeyTranslator, LayoutAnswerIsPassedOn) {
  SharedStateLayout layout(true);
  KeyTranslator translator(layout, true);
  const uint8_t state[256] = {};
  char16_t out[16] = {};
  EXPECT_EQ(translator.Translate(kVkCircumflex, 0, state, 1, out, 15), -1);
  EXPECT_EQ(translator.Translate(kVkE, 0, state, 1, out, 15), 1);
  EXPECT_EQ(translator.Translate(kVkShift, 0, state, 1, out, 15), 0);
}

}  // namespace
}  // namespace vellix
