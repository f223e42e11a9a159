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
// A write that fails is tried again a few times, at growing intervals: the file cannot be
// replaced while another program has it open (a backup tool, a virus scanner, someone
// reading it), and that lasts a moment. A new mark of the same collection makes the next
// attempt at once.
//
// Finish waits until everything marked so far is on the disk; the host calls it before the
// editor takes the collection, when the session ends and when Vellix ends.
//
// A background save may carry a SaveGuard: the file on disk may have been replaced by
// another program since the collection was loaded from it or last saved to it, and then
// the guard stops the write (the host reloads and merges instead of writing over it).
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

// Keeps a background save from writing over a file that is not the one the collection
// follows. The saver calls it for one save at a time.
class SaveGuard {
 public:
  virtual ~SaveGuard() = default;
  // With the collection's lock held, as the save takes the collection's text: a token
  // for this text.
  virtual uint64_t Taken(const PhraseDatabase& collection) = 0;
  // Before the write, without the collection's lock: whether the text of token may
  // replace the file at path. False drops the save; it is not tried again.
  virtual bool MayReplace(const std::u16string& path, uint64_t token) = 0;
  // The text of token, bytes long, was written to path.
  virtual void Written(const std::u16string& path, uint64_t token, size_t bytes) = 0;
};

class PhraseSaver {
 public:
  // Replaces the file at path with text: 1 written, 0 not. Called on the saver's thread.
  using Writer = std::function<int(const std::u16string& path, std::string_view text)>;

  struct Timing {
    // How long the saver thread waits for more work before it ends.
    std::chrono::milliseconds linger{30000};
    // The wait before the first new attempt of a failed write; it doubles with each one.
    std::chrono::milliseconds firstRetry{100};
    // New attempts of a failed write before the saver waits for the next mark (100 ms
    // doubled six times: about six seconds in all).
    int retries = 6;
  };

  // The process's saver, writing through DatabaseFileWriter.
  static PhraseSaver& Instance();

  explicit PhraseSaver(Writer writer);
  PhraseSaver(Writer writer, Timing timing);
  PhraseSaver(const PhraseSaver&) = delete;
  PhraseSaver& operator=(const PhraseSaver&) = delete;
  // Writes what is still marked, then ends the saver thread.
  ~PhraseSaver();

  // Marks collection (guarded by collectionLock) changed, to be saved to path without a
  // before-write hook, under guard when one is given. All of them must live until Finish
  // has answered.
  void SaveInBackground(const PhraseDatabase& collection, std::mutex& collectionLock,
                        std::u16string path, SaveGuard* guard = nullptr);
  // Saves now on the calling thread after asking hook (may be null): 1 written, 0 not.
  int SaveNow(const PhraseDatabase& collection, std::mutex& collectionLock,
              const std::u16string& path, BeforeWriteHook hook, void* hookArgument);
  // Waits until every collection marked so far has been written, or its write failed
  // through all attempts, at most timeout: true when so. On time-out the marks and attempts
  // not yet begun are dropped and a save still reading a collection is waited for, so that
  // the caller may destroy its collections either way; a write already under way goes on
  // by itself.
  bool Finish(std::chrono::milliseconds timeout);

 private:
  using Clock = std::chrono::steady_clock;

  struct Target {
    const PhraseDatabase* collection = nullptr;
    std::mutex* lock = nullptr;
    std::u16string path;
    SaveGuard* guard = nullptr;
    int failures = 0;        // attempts of this save that failed so far
    Clock::time_point due;   // a new attempt: not before this

    bool Same(const Target& other) const { return collection == other.collection && path == other.path; }
  };

  // The saver thread: RunSaves, and on its way out (an exception included) the state that
  // lets the next mark start a new thread.
  void Run() noexcept;
  void RunSaves();
  // Saves the marked collections on the calling thread (no saver thread could be started).
  void SaveMarked();
  // Takes the next marked collection, or a new attempt that is due; false when there is
  // none. Called with mutex_ held.
  bool TakeNext(Target& target);
  // After an attempt: schedules the next one of a failed write. Called with mutex_ held.
  void Settle(Target& target, bool written);
  // The save itself, under saveLock_: 1 written, 0 not, kRefused when the guard stopped
  // it. Clears reading_ once the text has been taken when background is set.
  static constexpr int kRefused = -1;
  int Save(const Target& target, std::string& buffer, BeforeWriteHook hook, void* hookArgument,
           bool background);

  const Writer writer_;
  const Timing timing_;
  std::mutex saveLock_;  // one save at a time in the process

  std::mutex mutex_;  // guards everything below
  std::condition_variable work_;  // to the saver thread: a mark or the end
  std::condition_variable idle_;  // to Finish: a save is done
  std::vector<Target> marked_;    // collections changed since the saver last took them
  std::vector<Target> retries_;   // failed writes waiting for their next attempt
  bool saving_ = false;           // the saver took a collection and has not written it yet
  bool reading_ = false;          // the saver took a collection and is still reading it
  bool threadRunning_ = false;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace vellix
