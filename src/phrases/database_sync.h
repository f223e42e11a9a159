#pragma once
// Keeps the live collection in step with its database file when another program replaces
// the file (a synchronisation client, a text editor). It remembers which file on disk the
// collection was last loaded from or saved to (its FileStamp) and the usage counts that
// file holds. From these:
//  - a background save writes only over that same file (SaveGuard): when the file changed
//    on disk meanwhile, or the collection was reloaded after the save took its text, the
//    save is dropped and the host is told to reload instead;
//  - after a reload, the counts typed since the last save (Unsaved) go into the reloaded
//    phrases that are the same phrase (CarryUsages).
//
// Threads: Loaded, Unsaved and Taken are called with the collection's lock held (the host
// and the saver take it); MayReplace and Written on the saver's thread without it; Known
// from anywhere. A mutex of its own guards the state; it is taken inside the collection's
// lock, never around it, and the changed callback is called with neither held.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "phrases/file_stamp.h"
#include "phrases/phrase_saver.h"
#include "phrases/usage_carry.h"

namespace vellix {

class DatabaseSync final : public SaveGuard {
 public:
  using StampReader = std::function<FileStamp(const std::u16string& path)>;

  // stamps: reads the stamp of a file on disk. changed: called on the saver's thread when a
  // save found its file changed on disk (the host then reloads); may be empty.
  DatabaseSync(StampReader stamps, std::function<void()> changed);

  // The collection now holds exactly what the file with stamp holds: it was loaded, reloaded
  // or saved by the user. Collection's lock held. Saves whose text was taken before are
  // dropped from here on.
  void Loaded(const PhraseDatabase& collection, const FileStamp& stamp);
  // The file the collection follows is now the one with stamp (the old one is gone), and
  // holds the same counts as before. Saves whose text was taken before are dropped.
  void Adopt(const FileStamp& stamp);
  // The stamp of the file the collection follows.
  FileStamp Known() const;
  // The counts the collection holds beyond those of its file. Collection's lock held.
  std::vector<UnsavedUsage> Unsaved(const PhraseDatabase& collection) const;

  // SaveGuard
  uint64_t Taken(const PhraseDatabase& collection) override;
  bool MayReplace(const std::u16string& path, uint64_t token) override;
  void Written(const std::u16string& path, uint64_t token, size_t bytes) override;

 private:
  const StampReader stamps_;
  const std::function<void()> changed_;

  mutable std::mutex mutex_;  // guards everything below
  FileStamp known_;
  SavedCounts counts_;  // the counts of the file with stamp known_
  uint64_t generation_ = 0;  // raised by Loaded
  // The save under way (the saver runs one at a time): its token, the generation its text
  // was taken in, and the counts of that text.
  uint64_t lastToken_ = 0;
  uint64_t pendingToken_ = 0;
  uint64_t pendingGeneration_ = 0;
  SavedCounts pendingCounts_;
};

}  // namespace vellix
