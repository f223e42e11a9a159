#include "services/program_title.h"

namespace vellix {

std::u16string FormatProgramTitle(std::u16string_view productVersion, bool longForm) {
  std::u16string version;
  for (char16_t c : productVersion) {
    if (c == u' ') continue;
    version += c == u',' ? u'.' : c;
  }
  const size_t lastDot = version.rfind(u'.');
  std::u16string head = lastDot == std::u16string::npos ? version : version.substr(0, lastDot);
  const std::u16string build = lastDot == std::u16string::npos ? u"" : version.substr(lastDot + 1);
  const size_t dot = head.rfind(u'.');
  if (dot != std::u16string::npos) head.erase(dot, 1);

  std::u16string title(kProductName);
  title += u' ';
  title += head;
  if (longForm && !build.empty()) title += u" build " + build;
  return title;
}

std::u16string FormatBuildStamp(std::string_view date, std::string_view time) {
  std::string stamp(date);
  stamp += ' ';
  stamp += time;
  for (size_t at = stamp.find("  "); at != std::string::npos; at = stamp.find("  ", at))
    stamp.erase(at, 1);
  return std::u16string(stamp.begin(), stamp.end());
}

std::u16string GetBuildStamp() { return FormatBuildStamp(__DATE__, __TIME__); }

}  // namespace vellix
