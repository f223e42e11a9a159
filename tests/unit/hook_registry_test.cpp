#include <gtest/gtest.h>

#include <vector>

#include "engine/keyboard_listener_registry.h"
#include "engine/win_event_listener_registry.h"

namespace vellix {
namespace {

class FakeHook final : public HookSwitch {
 public:
  bool Install() noexcept override {
    ++installs;
    return installWorks;
  }
  bool Release() noexcept override {
    ++releases;
    return releaseWorks;
  }
  bool installWorks = true;
  bool releaseWorks = true;
  int installs = 0;
  int releases = 0;
};

// Records what it receives into a log shared by several listeners, to see the order.
struct Received {
  const void* listener;
  uint32_t context;
  uint32_t code;
};

class Listener final : public KeyboardListener, public WinEventListener {
 public:
  explicit Listener(std::vector<Received>& log) : log_(log) {}
  void OnKeyboardEvent(const KeyboardEventInfo& info, uint32_t context) noexcept override {
    log_.push_back({this, context, info.vkCode});
  }
  void OnWinEvent(const WinEventInfo& info, uint32_t context) noexcept override {
    log_.push_back({this, context, info.event});
  }

 private:
  std::vector<Received>& log_;
};

using Result = KeyboardListenerRegistry::RegisterResult;

class KeyboardRegistryTest : public testing::Test {
 protected:
  FakeHook hook_;
  KeyboardListenerRegistry registry_{hook_};
  std::vector<Received> log_;
  Listener listeners_[2]{Listener(log_), Listener(log_)};
};

TEST_F(KeyboardRegistryTest, FirstRegisterInstallsAndLastUnregisterReleases) {
  EXPECT_EQ(registry_.Register(&listeners_[0], 0), Result::kRegistered);
  EXPECT_TRUE(registry_.IsHooked());
  EXPECT_EQ(hook_.installs, 1);
  EXPECT_TRUE(registry_.Unregister(&listeners_[0]));
  EXPECT_FALSE(registry_.IsHooked());
  EXPECT_EQ(hook_.releases, 1);
}

TEST_F(KeyboardRegistryTest, UnregisterOfOneOfTwoKeepsTheHook) {
  registry_.Register(&listeners_[0], 0);
  EXPECT_EQ(registry_.Register(&listeners_[1], 0), Result::kRegistered);
  EXPECT_EQ(hook_.installs, 1);
  EXPECT_FALSE(registry_.Unregister(&listeners_[1]));
  EXPECT_TRUE(registry_.IsHooked());
  EXPECT_EQ(hook_.releases, 0);
  EXPECT_EQ(registry_.size(), 1u);
}

TEST_F(KeyboardRegistryTest, RepeatedRegisterIsRejectedAndChangesNothing) {
  registry_.Register(&listeners_[0], 5);
  EXPECT_EQ(registry_.Register(&listeners_[0], 9), Result::kAlreadyRegistered);
  EXPECT_TRUE(registry_.IsHooked());
  registry_.Dispatch({kWmKeyDown, 65, 30, 0});
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].context, 5u);
}

TEST_F(KeyboardRegistryTest, FailedInstallDropsEveryRegistration) {
  hook_.installWorks = false;
  EXPECT_EQ(registry_.Register(&listeners_[0], 0), Result::kHookFailed);
  EXPECT_FALSE(registry_.IsHooked());
  EXPECT_EQ(registry_.size(), 0u);
}

TEST_F(KeyboardRegistryTest, UnregisterWithoutHookOrUnknownListenerIsFalse) {
  EXPECT_FALSE(registry_.Unregister(&listeners_[0]));
  registry_.Register(&listeners_[0], 0);
  EXPECT_FALSE(registry_.Unregister(&listeners_[1]));
  EXPECT_EQ(registry_.size(), 1u);
  EXPECT_EQ(hook_.releases, 0);
}

TEST_F(KeyboardRegistryTest, FailedReleaseKeepsTheHookButAnswersTrue) {
  hook_.releaseWorks = false;
  registry_.Register(&listeners_[0], 0);
  EXPECT_TRUE(registry_.Unregister(&listeners_[0]));
  EXPECT_TRUE(registry_.IsHooked());
  // The hook is still there, so a new listener does not install a second one.
  EXPECT_EQ(registry_.Register(&listeners_[1], 0), Result::kRegistered);
  EXPECT_EQ(hook_.installs, 1);
}

TEST_F(KeyboardRegistryTest, DispatchGoesToEveryListenerInAddressOrder) {
  registry_.Register(&listeners_[1], 2);
  registry_.Register(&listeners_[0], 1);
  registry_.Dispatch({kWmKeyDown, 65, 30, 0});
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_EQ(log_[0].listener, &listeners_[0]);
  EXPECT_EQ(log_[0].context, 1u);
  EXPECT_EQ(log_[1].listener, &listeners_[1]);
  EXPECT_EQ(log_[1].code, 65u);
}

// A listener that leaves the registry when it receives its first event.
template <typename Registry>
class LeavingListener final : public KeyboardListener, public WinEventListener {
 public:
  explicit LeavingListener(Registry& registry) : registry_(registry) {}
  void OnKeyboardEvent(const KeyboardEventInfo&, uint32_t) noexcept override {
    ++calls;
    if constexpr (requires { registry_.Unregister(this); }) registry_.Unregister(this);
  }
  void OnWinEvent(const WinEventInfo&, uint32_t) noexcept override {
    ++calls;
    if constexpr (requires { registry_.Remove(this); }) registry_.Remove(this);
  }
  int calls = 0;

 private:
  Registry& registry_;
};

TEST_F(KeyboardRegistryTest, ListenerMayUnregisterWhileCalled) {
  LeavingListener<KeyboardListenerRegistry> leaving(registry_);
  registry_.Register(&leaving, 0);
  registry_.Register(&listeners_[0], 0);
  registry_.Register(&listeners_[1], 0);
  registry_.Dispatch({kWmKeyDown, 65, 30, 0});
  registry_.Dispatch({kWmKeyDown, 66, 48, 0});
  EXPECT_EQ(leaving.calls, 1);
  EXPECT_EQ(log_.size(), 4u);
  EXPECT_EQ(registry_.size(), 2u);
}

class WinEventRegistryTest : public testing::Test {
 protected:
  FakeHook hook_;
  WinEventListenerRegistry registry_{hook_};
  std::vector<Received> log_;
  Listener listeners_[2]{Listener(log_), Listener(log_)};
};

TEST_F(WinEventRegistryTest, SecondEventOfAListenerDoesNotInstallAgain) {
  EXPECT_TRUE(registry_.Add(&listeners_[0], 0, kEventObjectFocus));
  EXPECT_TRUE(registry_.Add(&listeners_[0], 0, kEventSystemForeground));
  EXPECT_FALSE(registry_.Add(&listeners_[0], 0, kEventObjectFocus));
  EXPECT_EQ(hook_.installs, 1);
  EXPECT_TRUE(registry_.IsHooked());
}

TEST_F(WinEventRegistryTest, RemoveOfTheOnlyListenerReleases) {
  registry_.Add(&listeners_[0], 0, kEventObjectFocus);
  EXPECT_FALSE(registry_.Remove(&listeners_[1]));
  EXPECT_EQ(hook_.releases, 0);
  EXPECT_TRUE(registry_.Remove(&listeners_[0]));
  EXPECT_FALSE(registry_.IsHooked());
  EXPECT_EQ(hook_.releases, 1);
  EXPECT_FALSE(registry_.Remove(&listeners_[0]));
}

TEST_F(WinEventRegistryTest, FailedInstallStillAddsAndIsRetriedByTheNextListener) {
  hook_.installWorks = false;
  EXPECT_TRUE(registry_.Add(&listeners_[0], 0, kEventObjectFocus));
  EXPECT_FALSE(registry_.IsHooked());
  hook_.installWorks = true;
  EXPECT_TRUE(registry_.Add(&listeners_[1], 0, kEventObjectFocus));
  EXPECT_TRUE(registry_.IsHooked());
}

TEST_F(WinEventRegistryTest, FailedReleaseKeepsTheHookButAnswersTrue) {
  hook_.releaseWorks = false;
  registry_.Add(&listeners_[0], 0, kEventObjectFocus);
  EXPECT_TRUE(registry_.Remove(&listeners_[0]));
  EXPECT_TRUE(registry_.IsHooked());
}

TEST_F(WinEventRegistryTest, DispatchFiltersByEachListenersSetInRegistrationOrder) {
  registry_.Add(&listeners_[1], 7, kEventObjectFocus);
  registry_.Add(&listeners_[1], 99, kEventObjectLocationChange);  // context stays 7
  registry_.Add(&listeners_[0], 3, kEventObjectLocationChange);
  registry_.Dispatch({kEventObjectLocationChange, 1, 2, kObjIdCaret, 0, 0});
  registry_.Dispatch({kEventObjectFocus, 1, 2, 0, 0, 0});
  registry_.Dispatch({kEventSystemForeground, 1, 2, 0, 0, 0});
  ASSERT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_[0].listener, &listeners_[1]);
  EXPECT_EQ(log_[0].context, 7u);
  EXPECT_EQ(log_[1].listener, &listeners_[0]);
  EXPECT_EQ(log_[1].context, 3u);
  EXPECT_EQ(log_[2].listener, &listeners_[1]);
  EXPECT_EQ(log_[2].code, kEventObjectFocus);
}

TEST_F(WinEventRegistryTest, ListenerMayRemoveItselfWhileCalled) {
  LeavingListener<WinEventListenerRegistry> leaving(registry_);
  registry_.Add(&leaving, 0, kEventObjectFocus);
  registry_.Add(&listeners_[0], 0, kEventObjectFocus);
  registry_.Dispatch({kEventObjectFocus, 1, 2, 0, 0, 0});
  registry_.Dispatch({kEventObjectFocus, 1, 2, 0, 0, 0});
  EXPECT_EQ(leaving.calls, 1);
  EXPECT_EQ(log_.size(), 2u);  // the listener after it got both events
  EXPECT_EQ(registry_.size(), 1u);
  EXPECT_TRUE(registry_.IsHooked());
}

TEST_F(WinEventRegistryTest, RemoveKeepsTheOrderOfTheOthers) {
  Listener third(log_);
  registry_.Add(&listeners_[0], 0, kEventObjectFocus);
  registry_.Add(&listeners_[1], 0, kEventObjectFocus);
  registry_.Add(&third, 0, kEventObjectFocus);
  registry_.Remove(&listeners_[1]);
  registry_.Dispatch({kEventObjectFocus, 1, 2, 0, 0, 0});
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_EQ(log_[0].listener, &listeners_[0]);
  EXPECT_EQ(log_[1].listener, &third);
}

}  // namespace
}  // namespace vellix
