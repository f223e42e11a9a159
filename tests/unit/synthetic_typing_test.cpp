#include "engine/synthetic_typing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vellix {
namespace {

// One call to the injector: a batch of records, or a pause.
struct Call {
  std::vector<KeyRecord> records;
  uint32_t pauseMs = 0;
  friend bool operator==(const Call&, const Call&) = default;
};

void PrintTo(const Call& call, std::ostream* os) {
  if (call.records.empty()) {
    *os << "pause " << call.pauseMs;
    return;
  }
  *os << "send";
  for (const KeyRecord& r : call.records) {
    *os << " {" << r.vk << "," << r.scan << "," << r.flags << "," << r.time << "}";
  }
}

class RecordingInjector final : public KeyInjector {
 public:
  size_t Send(std::span<const KeyRecord> records) noexcept override {
    calls.push_back({{records.begin(), records.end()}, 0});
    return records.size();
  }
  uint16_t ScanCode(uint16_t vk) noexcept override { return static_cast<uint16_t>(0x100 + vk); }
  void Pause(uint32_t ms) noexcept override { calls.push_back({{}, ms}); }

  std::vector<Call> calls;
};

constexpr KeyRecord kCtrlUp{0x11, 0, 2, 0};
constexpr KeyRecord kShiftUp{0x10, 0, 2, 0};
constexpr KeyRecord kLeftDown{0x25, 0, 0, 0};
constexpr KeyRecord kLeftUp{0x25, 0, 2, 0};
const Call kBackspace{{{8, 0, 4, 0}, {8, 0, 6, 0}}, 0};
const Call kPlainBackspace{{{8, 0, 0, 0}, {8, 0, 2, 0}}, 0};
const Call kPause{{}, 10};

KeyRecord CharDown(char16_t c) { return {0, c, 4, 0}; }
KeyRecord CharUp(char16_t c) { return {0, c, 6, 0}; }
KeyRecord ControlDown(uint16_t vk) { return {vk, static_cast<uint16_t>(0x100 + vk), 0, 400}; }
KeyRecord ControlUp(uint16_t vk) { return {vk, static_cast<uint16_t>(0x100 + vk), 2, 400}; }

struct TypeCase {
  const char* name;
  std::u16string text;
  uint32_t erase;
  uint32_t left;
  std::vector<Call> expected;
};

TEST(SyntheticTyping, TypeTextTable) {
  const TypeCase cases[] = {
      {"erase 2, CR LF, left 1",
       u"Hi\r\n",
       2,
       1,
       {{{kCtrlUp}},
        kBackspace,
        kPause,
        kBackspace,
        kPause,
        {{CharDown(u'H'), CharUp(u'H'), CharDown(u'i'), CharUp(u'i'), ControlDown(13),
          ControlUp(13), ControlDown(10), ControlUp(10), kShiftUp, kLeftDown, kLeftUp}}}},
      {"one character: two calls", u"x", 0, 0, {{{kCtrlUp}}, {{CharDown(u'x'), CharUp(u'x')}}}},
      {"erase 3",
       u"y",
       3,
       0,
       {{{kCtrlUp}},
        kBackspace,
        kPause,
        kBackspace,
        kPause,
        kBackspace,
        kPause,
        {{CharDown(u'y'), CharUp(u'y')}}}},
      {"outside the BMP as two surrogates",
       u"\U0001F600",
       0,
       0,
       {{{kCtrlUp}}, {{CharDown(0xD83D), CharUp(0xD83D), CharDown(0xDE00), CharUp(0xDE00)}}}},
      {"tab as the Tab key",
       u"a\tb",
       0,
       0,
       {{{kCtrlUp}},
        {{CharDown(u'a'), CharUp(u'a'), ControlDown(9), ControlUp(9), CharDown(u'b'),
          CharUp(u'b')}}}},
      {"left 2",
       u"()",
       0,
       2,
       {{{kCtrlUp}},
        {{CharDown(u'('), CharUp(u'('), CharDown(u')'), CharUp(u')'), kShiftUp, kLeftDown,
          kLeftUp, kLeftDown, kLeftUp}}}},
  };
  for (const TypeCase& c : cases) {
    RecordingInjector injector;
    EXPECT_TRUE(TypeText(injector, c.text, c.erase, c.left, BackspaceStyle::kUnicodeFlagged))
        << c.name;
    EXPECT_THAT(injector.calls, testing::ElementsAreArray(c.expected)) << c.name;
  }
}

TEST(SyntheticTyping, EmptyTextSendsNothing) {
  RecordingInjector injector;
  EXPECT_FALSE(TypeText(injector, u"", 3, 2));
  EXPECT_TRUE(injector.calls.empty());
}

TEST(SyntheticTyping, PlainBackspacesCarryNoUnicodeFlag) {
  RecordingInjector injector;
  SendBackspaces(injector, 2, BackspaceStyle::kPlainKey);
  EXPECT_THAT(injector.calls,
              testing::ElementsAre(kPlainBackspace, kPause, kPlainBackspace, kPause));
}

TEST(SyntheticTyping, ZeroBackspacesSendNothing) {
  RecordingInjector injector;
  SendBackspaces(injector, 0);
  EXPECT_TRUE(injector.calls.empty());
}

}  // namespace
}  // namespace vellix
