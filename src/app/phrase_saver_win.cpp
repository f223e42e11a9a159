#include "app/phrase_saver_win.h"

#include <chrono>
#include <thread>

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"

namespace vellix {

PhraseSaver& PhraseSaver::Instance() {
  static PhraseSaver saver;
  return saver;
}

int PhraseSaver::Save(const PhraseDatabase& collection, std::mutex& collectionLock,
                      const std::u16string& path, BeforeWriteHook hook, void* hookArgument) {
  // Called with saveLock_ held.
  if (path.empty()) return 0;
  std::string text;
  {
    std::lock_guard<std::mutex> lock(collectionLock);
    text = PhraseDatabaseFile::Serialize(collection);
  }
  if (text.empty()) return 0;
  if (hook && !hook(path, hookArgument)) return 0;
  return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(path), text);
}

int PhraseSaver::SaveNow(const PhraseDatabase& collection, std::mutex& collectionLock,
                         const std::u16string& path, BeforeWriteHook hook, void* hookArgument) {
  std::lock_guard<std::mutex> lock(saveLock_);
  return Save(collection, collectionLock, path, hook, hookArgument);
}

void PhraseSaver::RunBackground(const PhraseDatabase* collection, std::mutex* collectionLock,
                                const std::u16string& path, uint64_t request) {
  {
    std::lock_guard<std::mutex> save(saveLock_);
    bool newerComing;
    {
      std::lock_guard<std::mutex> lock(runningLock_);
      newerComing = requested_[path] != request;
    }
    // A later request runs after this one and takes a later text: it carries this count.
    if (!newerComing) Save(*collection, *collectionLock, path, nullptr, nullptr);
  }
  std::lock_guard<std::mutex> lock(runningLock_);
  --running_;
  idle_.notify_all();
}

void PhraseSaver::SaveInBackground(const PhraseDatabase& collection, std::mutex& collectionLock,
                                   std::u16string path) {
  uint64_t request;
  {
    std::lock_guard<std::mutex> lock(runningLock_);
    ++running_;
    request = ++requested_[path];
  }
  try {
    std::thread([this, &collection, &collectionLock, path, request] {
      RunBackground(&collection, &collectionLock, path, request);
    }).detach();
  } catch (...) {
    // No thread could be made: save on this thread rather than lose the count.
    RunBackground(&collection, &collectionLock, path, request);
  }
}

bool PhraseSaver::WaitIdle(unsigned timeoutMs) {
  std::unique_lock<std::mutex> lock(runningLock_);
  return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return running_ == 0; });
}

}  // namespace vellix
