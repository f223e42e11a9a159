#include "app/tray_texts.h"

#include <string>

#include "base/number_text.h"
#include "editor/database_texts.h"
#include "resource.h"
#include "services/program_title.h"

namespace vellix {
namespace {

// String-table ids of the texts used here.
constexpr uint32_t kHasBeenStarted = IDS_HAS_BEEN_STARTED;
constexpr uint32_t kSnippets = IDS_SNIPPETS;
constexpr uint32_t kTurnOn = IDS_TURN_ON;
constexpr uint32_t kTurnOff = IDS_TURN_OFF;
constexpr uint32_t kCharsTyped = IDS_CHARS_TYPED;

constexpr std::u16string_view kEllipsis = u"\u2026";

}  // namespace

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
                           const TrayStringLookup& lookup, std::u16string_view excludedProgram) {
  std::u16string text(header);
  if (!excludedProgram.empty()) AppendLine(text, FillPlaceholders(lookup(IDS_EXPANSION_OFF_IN), {excludedProgram}));
  AppendLine(text, lookup(kSnippets));
  text += u": ";
  text += Decimal(entryCount);
  AppendLine(text, databasePath);
  AppendLine(text, lookup(kCharsTyped));
  text += u": ";
  text += FormatDigitGroups(printedChars);
  return text;
}

std::u16string DoNotExpandInText(std::u16string_view program, const TrayStringLookup& lookup) {
  return FillPlaceholders(lookup(IDS_DO_NOT_EXPAND_IN), {program});
}

std::u16string ExclusionChangedText(std::u16string_view program, bool excluded, const TrayStringLookup& lookup) {
  return FillPlaceholders(lookup(excluded ? IDS_EXPANSION_OFF_IN : IDS_EXPANSION_BACK_IN), {program});
}

}  // namespace vellix
