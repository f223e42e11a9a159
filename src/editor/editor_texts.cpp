#include "editor/editor_texts.h"

#include "editor/program_rules.h"

#include <algorithm>

#include "base/number_text.h"
#include "base/utf.h"
#include "editor/database_texts.h"
#include "lang/language_keys.h"
#include "phrases/phrase.h"
#include "resource.h"

namespace vellix {
namespace {

constexpr std::u16string_view kEllipsis = u"\u2026";

// The first length code units of text, one fewer when the cut would split a surrogate
// pair, with "…" appended when anything was cut.
std::u16string CutWithEllipsis(std::u16string_view text, size_t length) {
  if (text.size() <= length) return std::u16string(text);
  std::u16string cut = CutText(text, length);
  cut += kEllipsis;
  return cut;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::u16string EditorTitle(const EditorTitleState& state, const EditorStringLookup& lookup) {
  std::u16string title;
  if (state.modified) title += u"* ";
  title += state.programTitle;
  title += u" - ";
  title += lookup(IDS_EDIT_PHRASES);
  title += u" [" + Decimal(state.checkedRows) + u"/" + Decimal(state.phraseCount);
  if (state.checkedOnly) title += u", " + lookup(IDS_CHECKED_ONLY);
  if (!state.searchQuery.empty()) title += u", " + FillPlaceholders(lookup(IDS_EDITOR_FOUND), {state.searchQuery});
  title += u"] - ";
  title += state.databasePath;
  if (state.isConfiguredDatabase) title += u" [" + lookup(IDS_AS_DEFAULT) + u"]";
  if (state.changedOnDisk) title += u" [" + lookup(IDS_CHANGED_ON_DISK) + u"]";
  return title;
}

std::u16string RowTooltip(const Phrase& phrase, const EditorStringLookup& lookup) {
  const Phrase::KeystrokeCount count = phrase.CountKeystrokes(false);
  std::u16string tip = CutWithEllipsis(phrase.Word(), kTooltipWordLength);
  tip += u" [" + Decimal(count.enabled) + u"/" + Decimal(count.visited) + u"]";
  tip += u", " + lookup(IDS_CHARACTERS) + u": " + Decimal(static_cast<long long>(phrase.Word().size()));
  tip += u"\n";
  for (const auto& [keystroke, enabled] : phrase.Prefixes()) {
    if (enabled) tip += u"\n       " + keystroke;
  }
  tip += u"\n\n";
  tip += lookup(IDS_DETECTION_TYPE);
  tip += u": ";
  tip += lookup(phrase.CaseSensitive() ? IDS_CASE_SENSITIVE : IDS_CASE_INSENSITIVE);
  tip += u"\n";
  tip += lookup(IDS_ACTION);
  tip += u": ";
  tip += lookup(phrase.AddOrReplace() == 0 ? IDS_APPEND : IDS_REPLACE);
  // Where it fires, for a phrase with a program rule.
  const std::u16string rule = ProgramRuleText(phrase, lookup);
  if (!rule.empty()) tip += u"\n" + rule;
  return tip;
}

std::u16string ContextMenuSuffix(std::u16string_view word, bool rowSelected) {
  if (!rowSelected) return {};
  const std::u16string cut = CutWithEllipsis(Trim(word), kMenuSuffixLength);
  std::u16string suffix = u" [";
  for (const char16_t c : cut) {
    if (c == u'&') {
      suffix += u"&&";  // a single "&" would underline the next letter
    } else {
      suffix += (c < u' ') ? u' ' : c;  // a tab would split the item into two columns
    }
  }
  suffix += u"]";
  return suffix;
}

std::u16string SavePromptText(std::u16string_view path, const EditorStringLookup& lookup) {
  std::u16string text = lookup(IDS_SAVE_CHANGES);
  text += u"\n[";
  text += path.empty() ? std::u16string_view(u"noname") : path;
  text += u"]";
  return text;
}

std::u16string OpenDialogTitle(const EditorStringLookup& lookup) {
  const std::u16string prompt = lookup(ID_OPEN_DATABASE);
  return u"Vellix : " + prompt.substr(0, prompt.find(u'\n'));
}

std::u16string OpenFileFilter() {
  std::u16string filter = u"XML Files (*.xml)|*.xml|All Files (*.*)|*.*||";
  std::replace(filter.begin(), filter.end(), u'|', u'\0');
  return filter;
}

std::u16string FolderOfDatabase(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  if (slash == std::u16string_view::npos) return {};
  // "C:\Database.xml": the root keeps its separator, "C:" alone would be the current folder.
  if (slash == 2 && path[1] == u':') return std::u16string(path.substr(0, 3));
  return std::u16string(path.substr(0, slash));
}

std::u16string ResolveDatabasePath(std::u16string_view databasePathSetting,
                                   std::u16string_view programFolder) {
  if (!databasePathSetting.empty()) return std::u16string(databasePathSetting);
  return std::u16string(programFolder) + u"Database.xml";
}

bool IsConfiguredDatabase(std::u16string_view path, std::u16string_view databasePathSetting,
                          std::u16string_view programFolder) {
  return !path.empty() && EqualsIgnoreCase(path, ResolveDatabasePath(databasePathSetting, programFolder));
}

}  // namespace vellix
