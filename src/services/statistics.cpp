#include "services/statistics.h"

namespace vellix {
namespace {

constexpr std::u16string_view kSettings = u"Settings";
constexpr std::u16string_view kStatistics = u"Statistics";
// Text values are read through a buffer of this many characters (259 arrive at most).
constexpr size_t kTextBuffer = 260;

// Every occurrence of from replaced by to, in one pass from left to right.
void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  std::u16string result;
  result.reserve(text.size());
  const std::u16string_view source(text);
  size_t start = 0;
  for (size_t at = source.find(from); at != std::u16string_view::npos; at = source.find(from, start)) {
    result.append(source.substr(start, at - start));
    result.append(to);
    start = at + from.size();
  }
  result.append(source.substr(start));
  text = std::move(result);
}

std::u16string Key(std::u16string_view name, std::u16string_view suffix) {
  std::u16string key(name);
  key += suffix;
  return key;
}

}  // namespace

std::u16string EncodeLineBreaks(std::u16string_view text) {
  std::u16string encoded(text);
  ReplaceAll(encoded, u"\r\n", kLineBreakMarker);
  ReplaceAll(encoded, u"\r", kLineBreakMarker);
  ReplaceAll(encoded, u"\n", kLineBreakMarker);
  return encoded;
}

std::u16string DecodeLineBreaks(std::u16string_view text) {
  std::u16string decoded(text);
  ReplaceAll(decoded, kLineBreakMarker, u"\n");
  return decoded;
}

void UpdateLaunchCounters(ProfileStore& store, const SystemTime& nowUtc) {
  const int32_t launches = store.GetInt(kSettings, u"LaunchCount", 0);
  store.WriteString(kSettings, u"LaunchCount", IntToText(int32_t(uint32_t(launches) + 1)));

  SystemTime last;
  if (store.GetStruct(kSettings, u"LastLaunch", &last, sizeof last) && last.year == nowUtc.year &&
      last.month == nowUtc.month && last.day == nowUtc.day)
    return;
  const int32_t days = store.GetInt(kSettings, u"LaunchCountPerDay", 0);
  store.WriteString(kSettings, u"LaunchCountPerDay", IntToText(int32_t(uint32_t(days) + 1)));
  store.WriteStruct(kSettings, u"LastLaunch", &nowUtc, sizeof nowUtc);
}

void Statistics::LoadStatistics(ProfileStore& store) {
  int32_t count = store.GetInt(kStatistics, u"PrintedChars", -1);
  if (count == -1) {
    count = store.GetInt(kSettings, u"Statistics_Count", -1);
    if (count == -1) count = 0;
    store.WriteString(kStatistics, u"PrintedChars", IntToText(count));
  }
  SetPrintedChars(static_cast<uint32_t>(count));

  KeystrokeRecord longest = LoadRecord(store, u"_Max");
  KeystrokeRecord shortest = LoadRecord(store, u"_Min");
  std::lock_guard lock(recordsLock_);
  longest_ = std::move(longest);
  shortest_ = std::move(shortest);
}

KeystrokeRecord Statistics::LoadRecord(ProfileStore& store, std::u16string_view suffix) {
  KeystrokeRecord record;
  record.keystroke = store.GetString(kStatistics, Key(u"Prefix", suffix), u"", kTextBuffer);
  if (record.keystroke.empty()) return record;
  record.text =
      DecodeLineBreaks(store.GetString(kStatistics, Key(u"Phrase", suffix), u"", kTextBuffer));
  record.usageCount = store.GetInt(kStatistics, Key(u"UsageCount", suffix), 0);
  return record;
}

bool Statistics::SaveStatistics(ProfileStore& store) const {
  const bool written = store.WriteString(kStatistics, u"PrintedChars",
                                         IntToText(static_cast<int32_t>(PrintedChars())));
  // Copy under the lock so that the engine thread may go on changing the records while
  // the file is written.
  const KeystrokeRecord longest = Longest();
  const KeystrokeRecord shortest = Shortest();
  SaveRecord(store, longest, u"_Max");
  SaveRecord(store, shortest, u"_Min");
  return written;
}

void Statistics::SaveRecord(ProfileStore& store, const KeystrokeRecord& record,
                            std::u16string_view suffix) {
  if (record.Empty()) return;  // keys already in the file stay
  if (!store.WriteString(kStatistics, Key(u"Prefix", suffix), record.keystroke)) return;
  store.WriteString(kStatistics, Key(u"Phrase", suffix), EncodeLineBreaks(record.text));
  store.WriteString(kStatistics, Key(u"UsageCount", suffix), IntToText(record.usageCount));
}

bool Statistics::AddPrintedChars(uint32_t length) {
  if (length == 0) return false;
  printedChars_.fetch_add(length, std::memory_order_relaxed);
  return true;
}

bool Statistics::OfferKeystroke(std::u16string_view keystroke, std::u16string_view text,
                                int32_t usageCount) {
  const KeystrokeRecord offered{std::u16string(text), std::u16string(keystroke), usageCount};
  std::lock_guard lock(recordsLock_);
  bool changed = false;
  if (shortest_.Empty() || keystroke.size() <= shortest_.keystroke.size()) {
    shortest_ = offered;
    changed = true;
  }
  if (longest_.Empty() || keystroke.size() >= longest_.keystroke.size()) {
    longest_ = offered;
    changed = true;
  }
  return changed;
}

KeystrokeRecord Statistics::Longest() const {
  std::lock_guard lock(recordsLock_);
  return longest_;
}

KeystrokeRecord Statistics::Shortest() const {
  std::lock_guard lock(recordsLock_);
  return shortest_;
}

}  // namespace vellix
