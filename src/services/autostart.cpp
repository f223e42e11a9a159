#include "services/autostart.h"

namespace vellix {
namespace {

char16_t FoldAsciiCase(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

}  // namespace

std::u16string AutostartCommand(std::u16string_view programPath) {
  std::u16string command = u"\"";
  command += programPath;
  command += u"\" /autoload";
  return command;
}

bool AutostartNamesProgram(std::u16string_view value, std::u16string_view programPath) {
  std::u16string_view named = value;
  if (!named.empty() && named.front() == u'"') {
    const size_t close = named.find(u'"', 1);
    if (close == std::u16string_view::npos) return false;
    named = named.substr(1, close - 1);
  } else {
    named = named.substr(0, named.find(u'/'));
    while (!named.empty() && named.back() == u' ') named.remove_suffix(1);
  }
  if (named.empty() || named.size() != programPath.size()) return false;
  for (size_t i = 0; i < named.size(); ++i)
    if (FoldAsciiCase(named[i]) != FoldAsciiCase(programPath[i])) return false;
  return true;
}

}  // namespace vellix
