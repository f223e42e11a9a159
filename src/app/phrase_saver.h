#pragma once
// Saves of the live phrase database, one at a time in the whole process.
//
// After every typed phrase the host marks the collection changed (SaveInBackground). One
// saver thread writes marked collections: it takes the collection's lock only while it
// turns the collection into the file's text, then writes that text. Phrases typed while it
// writes only mark the collection again, so however many there were, exactly one more save
// follows, and it holds every count made before it. The saver keeps its text buffer and
// waits a while for more work before it ends, so that the saves of a typing session reuse
// the same memory instead of asking the system for fresh pages each time.
//
// Finish waits until everything marked so far is on the disk; the host calls it before the
// editor takes the collection, when the session ends and when Vellix ends.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "phrases/phrase_database_file.h"

namespace vellix {

class PhraseSaver {
 public:
  // Replaces the file at path with text: 1 written, 0 not. Called on the saver's thread.
  using Writer = std::function<int(const std::u16string& path, std::string_view text)>;

  static constexpr std::chrono::milliseconds kLinger{30000};

  // The process's saver, writing through DatabaseFileWriter.
  static PhraseSaver& Instance();

  // linger: how long the saver thread waits for more work before it ends.
  explicit PhraseSaver(Writer writer, std::chrono::milliseconds linger = kLinger);
  PhraseSaver(const PhraseSaver&) = delete;
  PhraseSaver& operator=(const PhraseSaver&) = delete;
  // Writes what is still marked, then ends the saver thread.
  ~PhraseSaver();

  // Marks collection (guarded by collectionLock) changed, to be saved to path without a
  // before-write hook. Both must live until Finish has answered.
  void SaveInBackground(const PhraseDatabase& collection, std::mutex& collectionLock,
                        std::u16string path);
  // Saves now on the calling thread after asking hook (may be null): 1 written, 0 not.
  int SaveNow(const PhraseDatabase& collection, std::mutex& collectionLock,
              const std::u16string& path, BeforeWriteHook hook, void* hookArgument);
  // Waits until every collection marked so far has been written (or its write failed), at
  // most timeout: true when it has. On time-out the marks not yet taken are dropped and a
  // save still reading a collection is waited for, so that the caller may destroy its
  // collections either way; a write already under way goes on by itself.
  bool Finish(std::chrono::milliseconds timeout);

 private:
  struct Target {
    const PhraseDatabase* collection;
    std::mutex* lock;
    std::u16string path;
  };

  void Run();
  // Saves the marked collections on the calling thread (no saver thread could be started).
  void SaveMarked();
  // Takes the next marked collection; false when there is none. Called with mutex_ held.
  bool TakeNext(Target& target);
  // The save itself, under saveLock_. Clears reading_ once the text has been taken when
  // background is set.
  int Save(const Target& target, std::string& buffer, BeforeWriteHook hook, void* hookArgument,
           bool background);
  void SaveTaken(const Target& target, std::string& buffer);

  const Writer writer_;
  const std::chrono::milliseconds linger_;
  std::mutex saveLock_;  // one save at a time in the process

  std::mutex mutex_;  // guards everything below
  std::condition_variable work_;  // to the saver thread: a mark or the end
  std::condition_variable idle_;  // to Finish: a save is done
  std::vector<Target> marked_;    // collections changed since the saver last took them
  bool saving_ = false;           // the saver took a collection and has not written it yet
  bool reading_ = false;          // the saver took a collection and is still reading it
  bool threadRunning_ = false;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace vellix
