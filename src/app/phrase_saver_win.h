#pragma once
// Saves of the live phrase database, one at a time in the whole process. After every typed
// phrase the usage count is saved on a short-lived background thread.
//
// Each save takes the process-wide save lock, then the collection's own lock only while it
// turns the collection into the file's text, and writes that text before it lets the save
// lock go. So no save writes a collection that is being changed, saves reach the disk in
// the order their texts were taken, and the last save holds every count made before it.
// A background save that finds a later request for the same file still to come leaves the
// work to that one: quick typing does not queue one full write per phrase.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "phrases/phrase_database_file.h"

namespace vellix {

class PhraseSaver {
 public:
  static PhraseSaver& Instance();

  // Saves collection (guarded by collectionLock) to path on a new thread, without a
  // before-write hook. Both must live until WaitIdle has answered true.
  void SaveInBackground(const PhraseDatabase& collection, std::mutex& collectionLock,
                        std::u16string path);
  // Saves now on the calling thread after asking hook (may be null): 1 written, 0 not.
  int SaveNow(const PhraseDatabase& collection, std::mutex& collectionLock,
              const std::u16string& path, BeforeWriteHook hook, void* hookArgument);
  // Waits until no background save is running, at most timeoutMs; false on time-out.
  bool WaitIdle(unsigned timeoutMs);

 private:
  int Save(const PhraseDatabase& collection, std::mutex& collectionLock,
           const std::u16string& path, BeforeWriteHook hook, void* hookArgument);
  void RunBackground(const PhraseDatabase* collection, std::mutex* collectionLock,
                     const std::u16string& path, uint64_t request);

  std::mutex saveLock_;  // one save at a time in the process
  std::map<std::u16string, uint64_t> requested_;  // newest background request per path

  std::mutex runningLock_;  // guards requested_ and running_
  std::condition_variable idle_;
  int running_ = 0;
};

}  // namespace vellix
