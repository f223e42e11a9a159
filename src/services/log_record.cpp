#include "services/log_record.h"

namespace vellix {
namespace {

void AppendTwoDigits(std::u16string& out, unsigned value) {
  out += char16_t(u'0' + (value / 10) % 10);
  out += char16_t(u'0' + value % 10);
}

}  // namespace

std::u16string FormatLogRecord(std::u16string_view text, std::u16string_view prefix,
                               const SystemTime& t) {
  constexpr size_t kDateAndTime = 16;  // "MM/DD/YY" and "HH:MM:SS"
  if (prefix.size() + text.size() + kDateAndTime + 11 >= kLogRecordLimit) return std::u16string(text);
  std::u16string record;
  record.reserve(prefix.size() + text.size() + 32);
  if (!prefix.empty()) {
    record += prefix;
    record += u": ";
  }
  record += u'[';
  AppendTwoDigits(record, t.month);
  record += u'/';
  AppendTwoDigits(record, t.day);
  record += u'/';
  AppendTwoDigits(record, t.year % 100);
  record += u' ';
  AppendTwoDigits(record, t.hour);
  record += u':';
  AppendTwoDigits(record, t.minute);
  record += u':';
  AppendTwoDigits(record, t.second);
  record += u"] ";
  record += text;
  return record;
}

bool LogLineNeedsBreak(std::u16string_view line) {
  return line.size() >= 2 && !line.ends_with(u"\r\n");
}

std::u16string BuildStartRecord(std::u16string_view longTitle, std::u16string_view commandLine,
                                std::u16string_view systemDescription,
                                std::u16string_view adminYesNo) {
  std::u16string text = u"\r\n\r\n======================Start ";
  text += longTitle;
  text += u" with cmdline [";
  text += commandLine;
  text += u"] on ";
  text += systemDescription;
  text += u", admin privilegies: ";
  text += adminYesNo;
  return text;
}

std::u16string BuildReleaseRecord(std::u16string_view buildStamp) {
  return u"This version released " + std::u16string(buildStamp);
}

}  // namespace vellix
