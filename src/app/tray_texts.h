#pragma once
// The texts of the tray icon: its tooltip, its balloons and their parts. Localised strings
// come through a lookup so that the rules are the same for every language.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vellix {

// The string-table text of an id in the current language.
using TrayStringLookup = std::function<std::u16string(uint32_t id)>;

// Limits of the notification-icon record, in UTF-16 code units without the terminator.
inline constexpr size_t kMaxTipLength = 127;
inline constexpr size_t kMaxBalloonTextLength = 255;
inline constexpr size_t kMaxBalloonTitleLength = 63;

// What the balloon after adding the icon reports.
enum class TrayBalloonKind { kStarted, kState };

// Appends part as a new line: "\r\n" first when the text is not empty and does not end
// with "\n" already.
void AppendLine(std::u16string& text, std::u16string_view part);

// The long program title, " : " and "Turn On" or "Turn Off".
std::u16string TrayHeader(std::u16string_view longTitle, bool engineOn, const TrayStringLookup& lookup);

// "Chars typed", with ": " and the count in digit groups only when the count is not 0.
std::u16string StatisticsLine(uint32_t printedChars, const TrayStringLookup& lookup);

// The tip set together with a start or state balloon: the header, "\n", the statistics
// line, and the database path as a line of its own.
std::u16string AddedTipText(std::u16string_view header, std::u16string_view databasePath,
                            uint32_t printedChars, const TrayStringLookup& lookup);

// "Vellix has been started…" (or "Vellix Turn On…" / "Turn Off…" for the state balloon),
// "\r", "Snippets: enabled/total", the database path as a new line, "\n" and the
// statistics line.
std::u16string BalloonText(TrayBalloonKind kind, bool engineOn, int enabled, int total,
                           std::u16string_view databasePath, uint32_t printedChars,
                           const TrayStringLookup& lookup);

// The refreshed tooltip: the header, "Snippets: N", the database path and
// "Chars typed: count" (0 included), each on a line of its own. With an excluded program
// (the focused one, where nothing is expanded), "Expansion is off in program" follows the
// header, before the path that may be cut at the tip's end.
std::u16string TooltipText(std::u16string_view header, size_t entryCount,
                           std::u16string_view databasePath, uint32_t printedChars,
                           const TrayStringLookup& lookup, std::u16string_view excludedProgram = {});

// "Do Not Expand in program", the tray command's text.
std::u16string DoNotExpandInText(std::u16string_view program, const TrayStringLookup& lookup);
// The balloon after the command: "Expansion is off in program" or "... on again in ...".
std::u16string ExclusionChangedText(std::u16string_view program, bool excluded, const TrayStringLookup& lookup);

}  // namespace vellix
