#include "phrases/phrase_saver.h"

#include <algorithm>
#include <utility>

#include "base/boundary.h"

namespace vellix {

PhraseSaver::PhraseSaver(Writer writer) : PhraseSaver(std::move(writer), Timing()) {}

PhraseSaver::PhraseSaver(Writer writer, Timing timing) : writer_(std::move(writer)), timing_(timing) {}

PhraseSaver::~PhraseSaver() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    thread = std::move(thread_);
  }
  work_.notify_all();
  if (thread.joinable()) thread.join();
  // No thread could be started for the last marks: they are written here.
  SaveMarked();
}

void PhraseSaver::SaveInBackground(const PhraseDatabase& collection, std::mutex& collectionLock,
                                   std::u16string path, SaveGuard* guard) {
  std::thread ended;
  bool started = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Target mark;
    mark.collection = &collection;
    mark.lock = &collectionLock;
    mark.path = std::move(path);
    mark.guard = guard;
    // The mark writes at once what a failed write would have tried again later.
    std::erase_if(retries_, [&mark](const Target& retry) { return retry.Same(mark); });
    if (std::none_of(marked_.begin(), marked_.end(), [&mark](const Target& t) { return t.Same(mark); })) {
      marked_.push_back(std::move(mark));
    }
    if (threadRunning_) {
      work_.notify_one();
      return;
    }
    // The last saver thread has ended (or there was none yet): a new one.
    ended = std::move(thread_);
    try {
      thread_ = std::thread(&PhraseSaver::Run, this);
      threadRunning_ = true;
    } catch (...) {
      started = false;
    }
  }
  if (ended.joinable()) ended.join();
  // Without a thread the save happens here rather than the count being lost.
  if (!started) SaveMarked();
}

bool PhraseSaver::TakeNext(Target& target) {
  if (!marked_.empty()) {
    target = std::move(marked_.front());
    marked_.erase(marked_.begin());
  } else {
    const auto due = std::min_element(retries_.begin(), retries_.end(),
                                      [](const Target& a, const Target& b) { return a.due < b.due; });
    if (due == retries_.end() || due->due > Clock::now()) return false;
    target = std::move(*due);
    retries_.erase(due);
  }
  saving_ = true;
  reading_ = true;
  return true;
}

void PhraseSaver::Settle(Target& target, bool written) {
  saving_ = false;
  reading_ = false;
  // A failed write is tried again unless a newer mark of the same collection will.
  if (!written && !stop_ && target.failures < timing_.retries &&
      std::none_of(marked_.begin(), marked_.end(), [&target](const Target& t) { return t.Same(target); })) {
    target.due = Clock::now() + timing_.firstRetry * (1 << target.failures);
    ++target.failures;
    retries_.push_back(std::move(target));
  }
  idle_.notify_all();
}

void PhraseSaver::Run() noexcept {
  try {
    RunSaves();
  } catch (...) {
    // The marks stay: the next one starts a new thread for them.
    ReportCaughtException("phrase saver");
  }
  std::lock_guard<std::mutex> lock(mutex_);
  // Attempts still to come when Vellix ends are dropped: Finish has waited for them.
  retries_.clear();
  saving_ = false;
  reading_ = false;
  threadRunning_ = false;
  idle_.notify_all();
}

void PhraseSaver::RunSaves() {
  // Kept from one save to the next for as long as the thread lives.
  std::string buffer;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Target target;
    if (TakeNext(target)) {
      lock.unlock();
      // A save the guard stopped is not tried again: the host reloads instead.
      const bool settled = Save(target, buffer, nullptr, nullptr, true) != 0;
      lock.lock();
      Settle(target, settled);
      continue;
    }
    if (stop_) break;
    const auto woken = [this] { return stop_ || !marked_.empty(); };
    if (!retries_.empty()) {
      const auto next = std::min_element(retries_.begin(), retries_.end(),
                                         [](const Target& a, const Target& b) { return a.due < b.due; });
      work_.wait_until(lock, next->due, woken);
    } else if (!work_.wait_for(lock, timing_.linger, woken)) {
      break;
    }
  }
}

void PhraseSaver::SaveMarked() {
  std::string buffer;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!marked_.empty()) {
    Target target;
    TakeNext(target);
    lock.unlock();
    Save(target, buffer, nullptr, nullptr, true);
    lock.lock();
    saving_ = false;
    reading_ = false;
    idle_.notify_all();
  }
}

int PhraseSaver::Save(const Target& target, std::string& buffer, BeforeWriteHook hook,
                      void* hookArgument, bool background) {
  std::lock_guard<std::mutex> save(saveLock_);
  // The dialog's thread, which also runs the keyboard hook, waits for the collection's lock
  // when it counts a typed phrase: the lock is held only to measure and to write the text.
  // Fresh memory for the text costs a page fault per page (about as long as writing the
  // text itself), so the buffer grows to the measured size, with room for counts that gain
  // a digit meanwhile, before the lock is taken again.
  size_t size;
  {
    std::lock_guard<std::mutex> lock(*target.lock);
    size = PhraseDatabaseFile::SerializedSize(*target.collection);
  }
  try {
    const size_t room = size + size / 64 + 4096;
    if (buffer.size() < room) buffer.resize(room);
  } catch (const std::bad_alloc&) {
    // SerializeInto asks for only what it needs.
  }
  bool taken;
  uint64_t token = 0;
  {
    std::lock_guard<std::mutex> lock(*target.lock);
    taken = !target.path.empty() && PhraseDatabaseFile::SerializeInto(*target.collection, buffer);
    if (taken && target.guard) token = target.guard->Taken(*target.collection);
  }
  if (background) {
    // From here on the collection is not touched: Finish may let it go.
    std::lock_guard<std::mutex> lock(mutex_);
    reading_ = false;
    idle_.notify_all();
  }
  if (!taken) return 0;
  if (target.guard && !target.guard->MayReplace(target.path, token)) return kRefused;
  if (hook && !hook(target.path, hookArgument)) return 0;
  const int written = writer_(target.path, buffer);
  if (written == 1 && target.guard) target.guard->Written(target.path, token, buffer.size());
  return written;
}

int PhraseSaver::SaveNow(const PhraseDatabase& collection, std::mutex& collectionLock,
                         const std::u16string& path, BeforeWriteHook hook, void* hookArgument) {
  Target target;
  target.collection = &collection;
  target.lock = &collectionLock;
  target.path = path;
  std::string buffer;
  return Save(target, buffer, hook, hookArgument, false);
}

bool PhraseSaver::Finish(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (idle_.wait_for(lock, timeout, [this] { return marked_.empty() && retries_.empty() && !saving_; })) {
    return true;
  }
  marked_.clear();
  retries_.clear();
  idle_.wait(lock, [this] { return !reading_; });
  return false;
}

}  // namespace vellix
