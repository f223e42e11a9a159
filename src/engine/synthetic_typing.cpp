#include "engine/synthetic_typing.h"

#include <vector>

namespace vellix {
namespace {

bool IsControlUnit(char16_t unit) { return unit == 9 || unit == 10 || unit == 13; }

void Send(KeyInjector& injector, const KeyRecord& record) {
  injector.Send(std::span<const KeyRecord>(&record, 1));
}

void AppendUnit(KeyInjector& injector, char16_t unit, std::vector<KeyRecord>& records) {
  if (IsControlUnit(unit)) {
    // Tab, CR and LF go out as keys so that edit controls start a line or move to the
    // next tab stop as for the real keys.
    const uint16_t vk = unit;
    const uint16_t scan = injector.ScanCode(vk);
    records.push_back({vk, scan, 0, kControlKeyTime});
    records.push_back({vk, scan, kKeyEventKeyUp, kControlKeyTime});
  } else {
    records.push_back({0, unit, kKeyEventUnicode, 0});
    records.push_back({0, unit, kKeyEventUnicode | kKeyEventKeyUp, 0});
  }
}

}  // namespace

void AppendLeftPresses(std::vector<KeyRecord>& records, uint32_t count) {
  if (count == 0) return;
  records.push_back({kVkShift, 0, kKeyEventKeyUp, 0});
  for (uint32_t i = 0; i < count; ++i) {
    records.push_back({kVkLeft, 0, 0, 0});
    records.push_back({kVkLeft, 0, kKeyEventKeyUp, 0});
  }
}

// The Unicode-flagged record; Wine erases one character for it as well
// (tests/e2e/injection_e2e.sh checks both styles).
BackspaceStyle DefaultBackspaceStyle() noexcept { return BackspaceStyle::kUnicodeFlagged; }

void SendBackspaces(KeyInjector& injector, uint32_t count, BackspaceStyle style) {
  const uint32_t extra = style == BackspaceStyle::kUnicodeFlagged ? kKeyEventUnicode : 0;
  const KeyRecord pair[] = {
      {kVkBackspace, 0, extra, 0},
      {kVkBackspace, 0, extra | kKeyEventKeyUp, 0},
  };
  for (uint32_t i = 0; i < count; ++i) {
    injector.Send(pair);
    // The target needs time to process each erase before the next one or the text.
    injector.Pause(kBackspacePauseMs);
  }
}

bool TypeText(KeyInjector& injector, std::u16string_view text, uint32_t eraseCount,
              uint32_t leftAfter, BackspaceStyle style) {
  if (text.empty()) return false;

  // A Ctrl still held from a shortcut would turn the typed characters into commands.
  Send(injector, {kVkControl, 0, kKeyEventKeyUp, 0});
  if (eraseCount > 0) SendBackspaces(injector, eraseCount, style);

  std::vector<KeyRecord> records;
  records.reserve(2 * text.size() + 2 * static_cast<size_t>(leftAfter) + 1);
  for (const char16_t unit : text) AppendUnit(injector, unit, records);
  AppendLeftPresses(records, leftAfter);
  injector.Send(records);
  return true;
}

}  // namespace vellix
