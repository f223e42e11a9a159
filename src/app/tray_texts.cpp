#include "app/tray_texts.h"

#include <string>

#include "services/program_title.h"

namespace vellix {
namespace {

// String-table ids of the texts used here.
constexpr uint32_t kHasBeenStarted = 1;
constexpr uint32_t kSnippets = 4;
constexpr uint32_t kTurnOn = 5;
constexpr uint32_t kTurnOff = 6;
constexpr uint32_t kCharsTyped = 57668;

constexpr std::u16string_view kEllipsis = u"\u2026";

std::u16string Decimal(uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

std::u16string Decimal(int value) {
  if (value >= 0) return Decimal(static_cast<uint64_t>(value));
  std::u16string text = Decimal(static_cast<uint64_t>(-static_cast<int64_t>(value)));
  text.insert(text.begin(), u'-');
  return text;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::u16string FormatDigitGroups(uint64_t value) {
  const std::u16string digits = Decimal(value);
  std::u16string grouped;
  grouped.reserve(digits.size() + digits.size() / 3);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) grouped += u' ';
    grouped += digits[i];
  }
  return grouped;
}

void AppendLine(std::u16string& text, std::u16string_view part) {
  if (!text.empty() && text.back() != u'\n') text += u"\r\n";
  text += part;
}

std::u16string TrayHeader(std::u16string_view longTitle, bool engineOn, const TrayStringLookup& lookup) {
  std::u16string header(longTitle);
  header += u" : ";
  header += lookup(engineOn ? kTurnOn : kTurnOff);
  return header;
}

std::u16string StatisticsLine(uint32_t printedChars, const TrayStringLookup& lookup) {
  std::u16string line = lookup(kCharsTyped);
  if (printedChars != 0) {
    line += u": ";
    line += FormatDigitGroups(printedChars);
  }
  return line;
}

std::u16string AddedTipText(std::u16string_view header, std::u16string_view databasePath,
                            uint32_t printedChars, const TrayStringLookup& lookup) {
  std::u16string tip(header);
  tip += u"\n";
  tip += StatisticsLine(printedChars, lookup);
  AppendLine(tip, databasePath);
  return tip;
}

std::u16string BalloonText(TrayBalloonKind kind, bool engineOn, int enabled, int total,
                           std::u16string_view databasePath, uint32_t printedChars,
                           const TrayStringLookup& lookup) {
  const uint32_t word = kind == TrayBalloonKind::kStarted ? kHasBeenStarted : (engineOn ? kTurnOn : kTurnOff);
  std::u16string text(kProductName);
  text += u" ";
  text += lookup(word);
  text += kEllipsis;
  text += u"\r";
  text += lookup(kSnippets);
  text += u": ";
  text += Decimal(enabled);
  text += u"/";
  text += Decimal(total);
  AppendLine(text, databasePath);
  text += u"\n";
  text += StatisticsLine(printedChars, lookup);
  return text;
}

std::u16string TooltipText(std::u16string_view header, size_t entryCount,
                           std::u16string_view databasePath, uint32_t printedChars,
                           const TrayStringLookup& lookup) {
  std::u16string text(header);
  AppendLine(text, lookup(kSnippets));
  text += u": ";
  text += Decimal(static_cast<uint64_t>(entryCount));
  AppendLine(text, databasePath);
  AppendLine(text, lookup(kCharsTyped));
  text += u": ";
  text += FormatDigitGroups(printedChars);
  return text;
}

std::u16string CutText(std::u16string_view text, size_t maxLength) {
  if (text.size() <= maxLength) return std::u16string(text);
  size_t length = maxLength;
  if (length != 0 && IsHighSurrogate(text[length - 1])) --length;
  return std::u16string(text.substr(0, length));
}

}  // namespace vellix
