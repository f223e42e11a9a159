#include "services/sound_player_win.h"

#include <mmsystem.h>

#include "base/boundary.h"
#include "base/wide.h"
#include "services/settings.h"
#include "win32/program_folder.h"

namespace vellix {

bool PlaySystemSound(std::u16string_view alias, bool async) {
  PlaySoundW(nullptr, nullptr, 0);
  const std::wstring name = ToWide(alias);
  return PlaySoundW(name.c_str(), nullptr, SND_ALIAS | (async ? SND_ASYNC : 0)) != FALSE;
}

bool PlaySoundFile(std::u16string_view path, int repeat, bool async) {
  const std::wstring file = ToWide(path);
  bool started = false;
  for (int i = 0; i < repeat; ++i) {
    PlaySoundW(nullptr, nullptr, 0);
    if (PlaySoundW(file.c_str(), nullptr, SND_FILENAME | (async ? SND_ASYNC : 0))) started = true;
  }
  return started;
}

SoundPlayer::SoundPlayer()
    : SoundPlayer([] { return Settings::Instance().sounds != 0; },
                  [](const std::u16string& path) { PlaySoundFile(path, 1, true); }, ProgramFolder()) {}

SoundPlayer::SoundPlayer(SoundsOn soundsOn, PlayFile play, std::u16string programFolder)
    : soundsOn_(std::move(soundsOn)), play_(std::move(play)), programFolder_(std::move(programFolder)) {}

SoundPlayer::~SoundPlayer() {
  if (thread_.joinable()) {
    SetEvent(quit_.get());
    thread_.join();
  }
}

SoundPlayer& SoundPlayer::Instance() {
  static SoundPlayer player;
  return player;
}

bool SoundPlayer::StartSoundThread(HANDLE stop) {
  if (thread_.joinable()) return false;
  request_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  quit_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!request_ || !quit_) return false;
  try {
    thread_ = std::thread([this, stop] { Run(stop); });
  } catch (...) {
    return false;
  }
  return true;
}

void SoundPlayer::RequestSound(int kind) {
  slot_.exchange(kind);
  if (request_) SetEvent(request_.get());
}

void SoundPlayer::Run(HANDLE stop) noexcept {
  for (;;) {
    const HANDLE handles[] = {quit_.get(), request_.get(), stop};
    const DWORD count = stop ? 3 : 2;
    const DWORD woke = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    // A failed wait (say, a stop handle closed under us) ends the thread instead of
    // spinning on it.
    if (woke != WAIT_OBJECT_0 + 1) return;
    try {
      if (soundsOn_()) {
        const int kind = slot_.load();
        if (kind == kTypingSound) play_(programFolder_ + u"print.wav");
      }
    } catch (...) {
      ReportCaughtException("sound thread");  // this sound is lost, the next one plays
    }
    ResetEvent(request_.get());
  }
}

}  // namespace vellix
