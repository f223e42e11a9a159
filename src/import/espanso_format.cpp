#include "import/espanso_format.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "base/utf.h"

namespace vellix {
namespace {

constexpr std::u16string_view kCaretMark = u"$|$";

size_t LineOf(const YAML::Node& node) {
  const YAML::Mark mark = node.Mark();
  return mark.line >= 0 ? static_cast<size_t>(mark.line) + 1 : 0;
}

bool IsTrue(const YAML::Node& node) {
  if (!node || !node.IsScalar()) return false;
  std::string value = node.Scalar();
  std::transform(value.begin(), value.end(), value.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return value == "true" || value == "yes" || value == "on";
}

bool EndsWithExe(const std::string& name) {
  std::string end = name.substr(name.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return end == ".exe";
}

// The executables a filter_exec names: "notepad.exe" or "(notepad.exe|winword.exe)", with
// dots written as they are or escaped. Empty when it is any other pattern.
std::vector<std::u16string> Executables(const std::string& filter) {
  std::string text = filter;
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') text = text.substr(1, text.size() - 2);
  std::vector<std::u16string> names;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    std::string name;
    for (size_t i = start; i < end; ++i) {
      if (text[i] == '\\' && i + 1 < end && text[i + 1] == '.') continue;  // "\." is a dot
      name += text[i];
    }
    const bool plain = name.size() > 4 &&
                       std::all_of(name.begin(), name.end(), [](unsigned char c) {
                         return std::isalnum(c) || c == '_' || c == '-' || c == '.' || c == ' ';
                       }) &&
                       EndsWithExe(name);
    if (!plain) return {};
    names.push_back(Utf8ToUtf16(name));
    start = end + 1;
  }
  return names;
}

// Left presses that take the caret from the end of text back to where the mark stood: one
// per character after it (a CR LF pair is one).
int32_t CharactersAfter(std::u16string_view text) {
  int32_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = i + 1 < text.size() &&
                      ((text[i] == u'\r' && text[i + 1] == u'\n') ||
                       (text[i] >= 0xD800 && text[i] <= 0xDBFF && text[i + 1] >= 0xDC00 &&
                        text[i + 1] <= 0xDFFF));
    if (pair) ++i;
    ++count;
  }
  return count;
}

void ReadMatch(const YAML::Node& match, const std::vector<std::u16string>& programs,
               ImportResult& result) {
  const size_t line = LineOf(match);
  if (!match.IsMap()) {
    result.Skip(line, "an entry of matches that is not a map");
    return;
  }
  for (const char* unsupported : {"form", "vars", "image_path", "html", "markdown"}) {
    if (match[unsupported]) {
      result.Skip(line, std::string("uses ") + unsupported + ", which a plain text cannot hold");
      return;
    }
  }
  if (match["regex"]) {
    result.Skip(line, "a regex trigger");
    return;
  }
  std::vector<std::u16string> triggers;
  if (const YAML::Node trigger = match["trigger"]; trigger && trigger.IsScalar()) {
    triggers.push_back(Utf8ToUtf16(trigger.Scalar()));
  }
  if (const YAML::Node list = match["triggers"]; list && list.IsSequence()) {
    for (const YAML::Node& trigger : list) {
      if (trigger.IsScalar()) triggers.push_back(Utf8ToUtf16(trigger.Scalar()));
    }
  }
  std::erase_if(triggers, [](const std::u16string& t) { return t.empty(); });
  const YAML::Node replace = match["replace"];
  if (triggers.empty()) {
    result.Skip(line, "no trigger");
    return;
  }
  if (!replace || !replace.IsScalar() || replace.Scalar().empty()) {
    result.Skip(line, "no replace text");
    return;
  }
  std::u16string text = WithEditorLineBreaks(Utf8ToUtf16(replace.Scalar()));
  if (text.find(u"{{") != std::u16string::npos) {
    result.Skip(line, "uses a variable ({{...}})");
    return;
  }
  auto phrase = NewImportedPhrase();
  if (const size_t mark = text.find(kCaretMark); mark != std::u16string::npos) {
    text.erase(mark, kCaretMark.size());
    phrase->SetLeftAfter(std::min(CharactersAfter(std::u16string_view(text).substr(mark)), 100));
  }
  phrase->SetWord(std::move(text));
  for (const auto& trigger : triggers) phrase->Prefixes()[trigger] = 1;
  if (!programs.empty()) {
    phrase->SetUseWithList(kUseIncludeList);
    for (const auto& program : programs) phrase->Include()[program] = 1;
  }
  if (IsTrue(match["word"])) {
    result.Note(line, "word: true (in Vellix: Expand When the Word Ends, for all phrases)");
  }
  if (IsTrue(match["propagate_case"])) {
    result.Note(line, "propagate_case: true (in Vellix: Case Follows the Keystroke, for all phrases)");
  }
  result.phrases.push_back(std::move(phrase));
}

}  // namespace

ImportResult ImportEspanso(std::string_view source) {
  ImportResult result;
  if (!PrepareSource(source, result)) return result;
  YAML::Node root;
  try {
    root = YAML::Load(std::string(source));
  } catch (const YAML::Exception& e) {
    const size_t line = e.mark.line >= 0 ? static_cast<size_t>(e.mark.line) + 1 : 0;
    result.Fail(line, "not valid YAML: " + e.msg);
    return result;
  }
  try {
    if (!root.IsMap() || !root["matches"]) {
      result.Fail(0, "no matches: this is not an espanso match file");
      return result;
    }
    std::vector<std::u16string> programs;
    if (const YAML::Node filter = root["filter_exec"]; filter && filter.IsScalar()) {
      programs = Executables(filter.Scalar());
      if (programs.empty()) {
        result.Note(LineOf(filter), "filter_exec \"" + filter.Scalar() +
                                        "\" is a pattern, not a list of programs: the phrases fire everywhere");
      }
    }
    const YAML::Node matches = root["matches"];
    if (!matches.IsSequence()) {
      result.Fail(LineOf(matches), "matches is not a list");
      return result;
    }
    for (const YAML::Node& match : matches) ReadMatch(match, programs, result);
  } catch (const YAML::Exception& e) {
    result.Fail(e.mark.line >= 0 ? static_cast<size_t>(e.mark.line) + 1 : 0, "not a match file: " + e.msg);
  }
  return result;
}

}  // namespace vellix
