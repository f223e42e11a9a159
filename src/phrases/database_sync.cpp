#include "phrases/database_sync.h"

#include <algorithm>
#include <utility>

namespace vellix {

DatabaseSync::DatabaseSync(StampReader stamps, std::function<void()> changed)
    : stamps_(std::move(stamps)), changed_(std::move(changed)) {}

void DatabaseSync::Loaded(const PhraseDatabase& collection, const FileStamp& stamp) {
  SavedCounts counts = CountsOf(collection);
  std::lock_guard<std::mutex> lock(mutex_);
  known_ = stamp;
  counts_ = std::move(counts);
  ++generation_;
}

void DatabaseSync::Adopt(const FileStamp& stamp) {
  std::lock_guard<std::mutex> lock(mutex_);
  known_ = stamp;
  ++generation_;
}

FileStamp DatabaseSync::Known() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return known_;
}

std::vector<UnsavedUsage> DatabaseSync::Unsaved(const PhraseDatabase& collection) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return UnsavedUsages(collection, counts_);
}

uint64_t DatabaseSync::Taken(const PhraseDatabase& collection) {
  std::lock_guard<std::mutex> lock(mutex_);
  // The counts are copied as they are; sorting waits for a write that succeeded, outside
  // the collection's lock (the keyboard's thread waits for that lock).
  pendingCounts_.clear();
  pendingCounts_.reserve(collection.Size());
  for (const auto& phrase : collection.Items()) pendingCounts_.emplace_back(phrase->Id(), phrase->CountUsage());
  pendingToken_ = ++lastToken_;
  pendingGeneration_ = generation_;
  return pendingToken_;
}

bool DatabaseSync::MayReplace(const std::u16string& path, uint64_t token) {
  const FileStamp onDisk = stamps_(path);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (token == pendingToken_ && pendingGeneration_ == generation_ && onDisk == known_) return true;
    // The file is another one now, or the collection was reloaded since the text was
    // taken: the text is older than what the file holds.
    if (token == pendingToken_) pendingToken_ = 0;
    if (pendingGeneration_ != generation_) return false;  // the reload is done already
  }
  if (changed_) changed_();
  return false;
}

void DatabaseSync::Written(const std::u16string& path, uint64_t token, size_t bytes) {
  const FileStamp written = stamps_(path);
  std::lock_guard<std::mutex> lock(mutex_);
  if (token != pendingToken_ || pendingGeneration_ != generation_) return;
  pendingToken_ = 0;
  // Another program replaced the file in the moment after the write: that file is not
  // taken for this save's, and the change is seen as a change.
  if (!written.exists || written.size != bytes) return;
  std::sort(pendingCounts_.begin(), pendingCounts_.end());
  known_ = written;
  // The old counts' memory serves the next save's copy.
  std::swap(counts_, pendingCounts_);
}

}  // namespace vellix
