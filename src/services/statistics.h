#pragma once
// Typing statistics and launch counters kept in settings.ini.
//
// Threads: AddPrintedChars, OfferKeystroke and the saves after a typed phrase run on the
// engine's thread; settings saves and the tray tooltip run on the user-interface thread.
// The character count is one atomic word; the two keystroke records are strings, so they
// are guarded by a mutex and saves copy them under it before touching the file.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "base/system_time.h"
#include "services/profile_store.h"

namespace vellix {

// One typed keystroke with the phrase it produced. Empty while keystroke is empty.
struct KeystrokeRecord {
  std::u16string text;
  std::u16string keystroke;
  int32_t usageCount = 0;

  bool Empty() const { return keystroke.empty(); }
  friend bool operator==(const KeystrokeRecord&, const KeystrokeRecord&) = default;
};

// Stands for one line break in the record texts of the file.
inline constexpr std::u16string_view kLineBreakMarker = u"{!!!^^^4AA3DFB4^^^^PREFIX!!!!";
// Characters of one page for the page figure.
inline constexpr uint32_t kCharsPerPage = 1800;

// CR LF, then lone CR, then lone LF each become the marker.
std::u16string EncodeLineBreaks(std::u16string_view text);
// Every marker becomes LF.
std::u16string DecodeLineBreaks(std::u16string_view text);

// Counts this start in section "Settings": LaunchCount always, LaunchCountPerDay and
// LastLaunch when the stored LastLaunch is not of the same UTC day as nowUtc.
void UpdateLaunchCounters(ProfileStore& store, const SystemTime& nowUtc);

class Statistics {
 public:
  Statistics() = default;
  Statistics(const Statistics&) = delete;
  Statistics& operator=(const Statistics&) = delete;

  void LoadStatistics(ProfileStore& store);
  // True when the PrintedChars write succeeded.
  bool SaveStatistics(ProfileStore& store) const;

  // True when the count changed (length not 0). The count wraps at 2^32.
  bool AddPrintedChars(uint32_t length);
  // True when the shortest or the longest record was replaced.
  bool OfferKeystroke(std::u16string_view keystroke, std::u16string_view text,
                      int32_t usageCount);

  uint32_t PrintedChars() const { return printedChars_.load(std::memory_order_relaxed); }
  void SetPrintedChars(uint32_t value) { printedChars_.store(value, std::memory_order_relaxed); }
  uint32_t PagesFigure() const { return PrintedChars() / kCharsPerPage; }

  // Copies taken under the lock.
  KeystrokeRecord Longest() const;
  KeystrokeRecord Shortest() const;

 private:
  static KeystrokeRecord LoadRecord(ProfileStore& store, std::u16string_view suffix);
  static void SaveRecord(ProfileStore& store, const KeystrokeRecord& record,
                         std::u16string_view suffix);

  std::atomic<uint32_t> printedChars_{0};
  mutable std::mutex recordsLock_;
  KeystrokeRecord longest_;
  KeystrokeRecord shortest_;
};

}  // namespace vellix
