#include "services/command_line_keys.h"

#include <array>

#include "resource.h"

namespace vellix {
namespace {

struct KeyName {
  std::u16string_view name;
  uint32_t flag;
};

constexpr std::array<KeyName, 5> kKeys = {{
    {u"exit", CommandLineKeys::kExit},
    {u"autoload", CommandLineKeys::kAutoload},
    {u"noautoload", CommandLineKeys::kNoAutoload},
    {u"edit", CommandLineKeys::kEdit},
    {u"?", CommandLineKeys::kHelp},
}};

// The help table, ordered by key in code-unit order; "autoload" is not shown.
struct HelpRow {
  std::u16string_view key;
  uint32_t stringId;
};
constexpr std::array<HelpRow, 4> kHelpRows = {{
    {u"?", IDS_COMMAND_LINE_HELP},
    {u"edit", IDS_EDIT_PHRASES_KEY},
    {u"exit", IDS_DONE_RUNNING_INSTANCE},
    {u"noautoload", IDS_DISABLE_AUTOSTART},
}};

// The invariant lower-case as far as it can reach the plain ASCII key names: A to Z, and
// the two other characters whose lower-case is an ASCII letter, the capital I with dot
// above (i) and the Kelvin sign (k).
char16_t LowerAscii(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
  if (c == u'\u0130') return u'i';
  if (c == u'\u212A') return u'k';
  return c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

uint32_t CommandLineKeys::KeyFlag(std::u16string_view name) {
  for (const KeyName& key : kKeys) {
    if (EqualsIgnoringCase(name, key.name)) return key.flag;
  }
  return 0;
}

void CommandLineKeys::ParseParam(std::u16string_view param, bool isSwitch, bool /*isLast*/) {
  if (!isSwitch) return;
  flags_ |= KeyFlag(param);
}

void CommandLineKeys::ParseArgument(std::u16string_view argument, bool isLast) {
  const bool isSwitch = !argument.empty() && (argument[0] == u'/' || argument[0] == u'-');
  ParseParam(isSwitch ? argument.substr(1) : argument, isSwitch, isLast);
}

std::u16string KeyListText(const std::function<std::u16string(uint32_t id)>& lookup) {
  std::u16string text = lookup(IDS_COMMAND_LINE_KEYS);
  text += u"\n\n";
  for (const HelpRow& row : kHelpRows) {
    text += u"/";
    text += row.key;
    text += u"    - ";
    text += lookup(row.stringId);
    text += u"\n";
  }
  return text;
}

}  // namespace vellix
