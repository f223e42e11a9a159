#pragma once
// Sounds: the system sounds by alias, sound files, and the typing-sound thread that plays
// "print.wav" on request without making the requester wait.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "win32/unique_handle.h"

namespace vellix {

// "SystemNotification" or "SystemExclamation" by sound alias. Any sound still playing is
// stopped first.
bool PlaySystemSound(std::u16string_view alias, bool async);
// Plays the file repeat times (each repetition stops the previous one); true when at
// least one play started. The system's default sound plays for a file that cannot be.
bool PlaySoundFile(std::u16string_view path, int repeat, bool async);

class SoundPlayer {
 public:
  // Whether sounds are on (the Sounds setting by default).
  using SoundsOn = std::function<bool()>;
  // Plays one file asynchronously (PlaySoundFile by default).
  using PlayFile = std::function<void(const std::u16string& path)>;

  static constexpr int kTypingSound = 0;

  SoundPlayer();
  SoundPlayer(SoundsOn soundsOn, PlayFile play, std::u16string programFolder);
  // Ends the thread even when the stop handle was never set.
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  static SoundPlayer& Instance();

  // Creates the request event and the sound thread, which ends when stop is set.
  bool StartSoundThread(HANDLE stop);
  // Any thread: asks for a sound of kind; requests made while one is being started merge.
  void RequestSound(int kind);

 private:
  // The sound thread.
  void Run(HANDLE stop) noexcept;

  SoundsOn soundsOn_;
  PlayFile play_;
  std::u16string programFolder_;
  std::atomic<int> slot_{0};
  UniqueKernelHandle request_;
  UniqueKernelHandle quit_;
  std::thread thread_;
};

}  // namespace vellix
