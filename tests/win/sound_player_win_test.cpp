// The typing-sound thread: requests, the Sounds switch and the stop handle.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "services/sound_player_win.h"

namespace vellix {
namespace {

struct Recorder {
  std::mutex lock;
  std::vector<std::u16string> played;
  std::atomic<bool> on{true};
  size_t Count() {
    std::lock_guard guard(lock);
    return played.size();
  }
};

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 200 && !condition(); ++i) Sleep(10);
  return condition();
}

TEST(SoundPlayerTest, PlaysTheTypingSoundOnlyWhenSoundsAreOn) {
  Recorder recorder;
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    SoundPlayer player([&] { return recorder.on.load(); },
                       [&](const std::u16string& path) {
                         std::lock_guard guard(recorder.lock);
                         recorder.played.push_back(path);
                       },
                       u"C:\\prog\\");
    ASSERT_TRUE(player.StartSoundThread(stop));
    player.RequestSound(SoundPlayer::kTypingSound);
    ASSERT_TRUE(WaitFor([&] { return recorder.Count() == 1; }));
    EXPECT_EQ(recorder.played[0], u"C:\\prog\\print.wav");

    player.RequestSound(7);  // no file for other kinds
    Sleep(100);
    EXPECT_EQ(recorder.Count(), 1u);

    recorder.on = false;
    player.RequestSound(SoundPlayer::kTypingSound);
    Sleep(100);
    EXPECT_EQ(recorder.Count(), 1u);
    recorder.on = true;
    player.RequestSound(SoundPlayer::kTypingSound);
    ASSERT_TRUE(WaitFor([&] { return recorder.Count() == 2; }));

    SetEvent(stop);
    Sleep(100);
    player.RequestSound(SoundPlayer::kTypingSound);
    Sleep(100);
    EXPECT_EQ(recorder.Count(), 2u);  // the thread ended with the stop handle
  }
  CloseHandle(stop);
}

TEST(SoundPlayerTest, EndsWithoutTheStopHandleWhenDestroyed) {
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    SoundPlayer player([] { return true; }, [](const std::u16string&) {}, u"");
    ASSERT_TRUE(player.StartSoundThread(stop));
    EXPECT_FALSE(player.StartSoundThread(stop));
  }
  CloseHandle(stop);
}

// A file played no time reports that nothing started. Whether a system sound or the
// default sound for a missing file starts depends on the sound device; they are asked for
// asynchronously and must come back.
TEST(SoundPlayerTest, PlaySoundFileReportsWhetherAPlayStarted) {
  EXPECT_FALSE(PlaySoundFile(u"C:\\no\\such\\print.wav", 0, true));
  EXPECT_FALSE(PlaySoundFile(u"C:\\no\\such\\print.wav", -1, true));
  PlaySystemSound(u"SystemNotification", true);
  PlaySoundFile(u"C:\\no\\such\\print.wav", 2, true);
}

}  // namespace
}  // namespace vellix
