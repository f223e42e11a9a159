#pragma once
// Texts of the log file LogReport.txt: the record layout and the start record.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/system_time.h"

namespace vellix {

// The composition limit: records this long or longer are written as their bare text.
inline constexpr size_t kLogRecordLimit = 102399;

// prefix + ": [" + MM/DD/YY + " " + HH:MM:SS + "] " + text (local time); without a prefix
// the record starts at "[". Over the limit the text alone.
std::u16string FormatLogRecord(std::u16string_view text, std::u16string_view prefix,
                               const SystemTime& localTime);

// Whether an appended line gets "\r\n" after it: lines of two or more characters that do
// not already end with it.
bool LogLineNeedsBreak(std::u16string_view line);

// "\r\n\r\n======================Start <title> with cmdline [<command line>] on <system>,
// admin privilegies: <yes/no>".
std::u16string BuildStartRecord(std::u16string_view longTitle, std::u16string_view commandLine,
                                std::u16string_view systemDescription,
                                std::u16string_view adminYesNo);
// "This version released " + build stamp.
std::u16string BuildReleaseRecord(std::u16string_view buildStamp);

}  // namespace vellix
