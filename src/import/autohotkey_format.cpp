#include "import/autohotkey_format.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"

namespace vellix {
namespace {

struct Options {
  bool caseSensitive = false;
  bool keepAbbreviation = false;  // B0
  bool raw = false;               // R or T
  bool insideWords = false;       // ?
  bool execute = false;           // X
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

// Applies the option letters of a hotstring or a #Hotstring line to options.
void ApplyOptions(std::string_view letters, Options& options) {
  for (size_t i = 0; i < letters.size(); ++i) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(letters[i])));
    const char next = i + 1 < letters.size() ? letters[i + 1] : '\0';
    switch (c) {
      case 'C':
        options.caseSensitive = next != '0' && next != '1';
        if (next == '0' || next == '1') ++i;
        break;
      case 'B':
        options.keepAbbreviation = next == '0';
        if (next == '0') ++i;
        break;
      case 'R':
      case 'T':
        options.raw = next != '0';
        if (next == '0') ++i;
        break;
      case '?':
        options.insideWords = next != '0';
        if (next == '0') ++i;
        break;
      case 'X':
        options.execute = true;
        break;
      case 'K':
      case 'P':
        while (i + 1 < letters.size() && (std::isdigit(static_cast<unsigned char>(letters[i + 1])) ||
                                          letters[i + 1] == '-')) {
          ++i;
        }
        break;
      case 'S':  // SI, SP, SE: the send mode
        if (next != '\0') ++i;
        break;
      default:  // *, O, Z and blanks change nothing in the text
        if (next == '0') ++i;
        break;
    }
  }
}

// The text of an escape sequence `c.
std::u16string Escape(char16_t c) {
  switch (c) {
    case u'n':
    case u'r': return u"\r\n";
    case u't': return u"\t";
    case u's': return u" ";
    default: return std::u16string(1, c);
  }
}

// Removes a comment (" ;" or a tab and ";", not escaped) from the end of a line.
std::string_view WithoutComment(std::string_view line) {
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == ';' && IsBlank(line[i - 1])) {
      // An escaped semicolon ("`;") is text.
      return TrimRight(line.substr(0, i));
    }
  }
  return TrimRight(line);
}

struct Converted {
  std::u16string text;
  int32_t leftAfter = 0;
  std::string problem;  // why the text cannot be taken
};

// One {Name} or {Name n} of the default mode.
bool ApplyBrace(std::u16string_view inside, bool atStart, Converted& out, bool& raw,
                bool& leftSeen) {
  std::u16string name(inside);
  int count = 1;
  if (const size_t blank = name.find(u' '); blank != std::u16string::npos && blank > 0) {
    const std::string digits = Utf16ToUtf8(name.substr(blank + 1));
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(), ::isdigit)) {
      out.problem = "uses the key {" + Utf16ToUtf8(name) + "}";
      return false;
    }
    count = std::stoi(digits);
    name.resize(blank);
  }
  const std::string key = Utf16ToUtf8(name);
  auto repeat = [&](std::u16string_view text) {
    for (int i = 0; i < count; ++i) out.text += text;
  };
  if (leftSeen && !EqualsNoCase(key, "Left")) {
    out.problem = "text follows {Left}: Vellix moves the caret only after the whole phrase";
    return false;
  }
  if (EqualsNoCase(key, "Enter") || EqualsNoCase(key, "Return")) {
    repeat(u"\r\n");
  } else if (EqualsNoCase(key, "Tab")) {
    repeat(u"\t");
  } else if (EqualsNoCase(key, "Space")) {
    repeat(u" ");
  } else if (key.size() == 1 && std::string_view("!#+^{}").find(key[0]) != std::string_view::npos) {
    repeat(name);
  } else if (EqualsNoCase(key, "Left")) {
    out.leftAfter += count;
    leftSeen = true;
  } else if ((EqualsNoCase(key, "Raw") || EqualsNoCase(key, "Text")) && atStart) {
    raw = true;
  } else if (StartsWithNoCase(key, "U+") && key.size() > 2 && key.size() <= 8) {
    const std::string hex = key.substr(2);
    if (!std::all_of(hex.begin(), hex.end(), ::isxdigit)) {
      out.problem = "uses the key {" + key + "}";
      return false;
    }
    const unsigned long code = std::stoul(hex, nullptr, 16);
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out.problem = "uses the character {" + key + "}, which is none";
      return false;
    }
    std::u16string character;
    if (code >= 0x10000) {
      character += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      character += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      character += static_cast<char16_t>(code);
    }
    repeat(character);
  } else {
    out.problem = "uses the key {" + key + "}, which a text cannot hold";
    return false;
  }
  return true;
}

// The text that a replacement types.
Converted Convert(std::u16string_view replacement, bool raw) {
  Converted out;
  bool leftSeen = false;
  for (size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    if (c == u'`' && i + 1 < replacement.size()) {
      if (leftSeen) {
        out.problem = "text follows {Left}: Vellix moves the caret only after the whole phrase";
        return out;
      }
      const std::u16string escaped = Escape(replacement[++i]);
      // `r`n is one line break.
      if (escaped == u"\r\n" && replacement[i] == u'r' && i + 2 < replacement.size() &&
          replacement[i + 1] == u'`' && replacement[i + 2] == u'n') {
        i += 2;
      }
      out.text += escaped;
      continue;
    }
    if (raw) {
      out.text += c;
      continue;
    }
    if (c == u'{') {
      // "{}}" is a closing brace, "{{}" an opening one.
      size_t close = replacement.find(u'}', i + 2);
      if (i + 1 < replacement.size() && replacement[i + 1] == u'}') close = i + 2;
      if (close == std::u16string_view::npos || close >= replacement.size()) {
        out.problem = "a brace that does not close";
        return out;
      }
      if (!ApplyBrace(replacement.substr(i + 1, close - i - 1), i == 0, out, raw, leftSeen)) {
        return out;
      }
      i = close;
      continue;
    }
    if (leftSeen) {
      out.problem = "text follows {Left}: Vellix moves the caret only after the whole phrase";
      return out;
    }
    if (c == u'!' || c == u'^' || c == u'#') {
      out.problem = "holds ! ^ or # (Alt, Ctrl or the Windows key with a key)";
      return out;
    }
    if (c == u'+') {
      // Shift and a letter: the capital letter.
      const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : 0;
      if ((next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z')) {
        out.text += static_cast<char16_t>(next >= u'a' ? next - 0x20 : next);
        ++i;
        continue;
      }
      out.problem = "holds + with a key that is not a letter (Shift with a key)";
      return out;
    }
    out.text += c;
  }
  return out;
}

std::u16string Unescaped(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'`' && i + 1 < text.size()) {
      out += Escape(text[++i]);
    } else {
      out += text[i];
    }
  }
  return out;
}

struct Line {
  size_t number;
  std::string_view text;
};

std::vector<Line> Lines(std::string_view source) {
  std::vector<Line> lines;
  size_t number = 1;
  size_t start = 0;
  while (start <= source.size()) {
    size_t end = source.find('\n', start);
    if (end == std::string_view::npos) end = source.size();
    lines.push_back({number++, TrimRight(source.substr(start, end - start))});
    start = end + 1;
  }
  return lines;
}

bool IsHotstring(std::string_view trimmed) {
  if (trimmed.size() < 5 || trimmed[0] != ':') return false;
  const size_t optionsEnd = trimmed.find(':', 1);
  return optionsEnd != std::string_view::npos && trimmed.find("::", optionsEnd + 1) != std::string_view::npos;
}

}  // namespace

ImportResult ImportAutoHotkey(std::string_view source) {
  ImportResult result;
  if (!PrepareSource(source, result)) return result;
  const std::vector<Line> lines = Lines(source);
  Options defaults;
  size_t codeLines = 0;
  bool inBlockComment = false;
  for (size_t index = 0; index < lines.size(); ++index) {
    const Line& line = lines[index];
    const std::string_view trimmed = TrimLeft(line.text);
    if (inBlockComment) {
      if (trimmed.substr(0, 2) == "*/" || trimmed.find("*/") != std::string_view::npos) inBlockComment = false;
      continue;
    }
    if (trimmed.empty() || trimmed[0] == ';') continue;
    if (trimmed.substr(0, 2) == "/*") {
      inBlockComment = trimmed.find("*/", 2) == std::string_view::npos;
      continue;
    }
    if (StartsWithNoCase(trimmed, "#Hotstring")) {
      const std::string_view rest = TrimLeft(WithoutComment(trimmed.substr(10)));
      if (!StartsWithNoCase(rest, "EndChars") && !StartsWithNoCase(rest, "NoMouse") &&
          !StartsWithNoCase(rest, "Reset")) {
        ApplyOptions(rest, defaults);
      }
      continue;
    }
    if (!IsHotstring(trimmed)) {
      ++codeLines;  // a hotkey, a directive, a command or a label
      continue;
    }
    const size_t optionsEnd = trimmed.find(':', 1);
    const size_t abbreviationEnd = trimmed.find("::", optionsEnd + 1);
    Options options = defaults;
    ApplyOptions(trimmed.substr(1, optionsEnd - 1), options);
    const std::u16string abbreviation =
        Unescaped(Utf8ToUtf16(trimmed.substr(optionsEnd + 1, abbreviationEnd - optionsEnd - 1)));
    std::string_view replacement = WithoutComment(trimmed.substr(abbreviationEnd + 2));
    replacement = TrimLeft(replacement);
    if (options.execute) {
      result.Skip(line.number, "runs code (option X)");
      continue;
    }
    if (replacement == "{" || (replacement.empty() && index + 1 < lines.size() &&
                               TrimLeft(lines[index + 1].text).substr(0, 1) == "{")) {
      result.Skip(line.number, "runs a function");
      // The function body: up to the brace that closes it at the start of a line.
      while (index + 1 < lines.size() && TrimLeft(lines[index + 1].text).substr(0, 1) != "}") {
        ++index;
      }
      if (index + 1 < lines.size()) ++index;
      continue;
    }
    std::u16string text;
    if (replacement.empty()) {
      // A continuation section, or a body of commands.
      size_t next = index + 1;
      while (next < lines.size() && TrimLeft(lines[next].text).empty()) ++next;
      if (next >= lines.size() || TrimLeft(lines[next].text).substr(0, 1) != "(") {
        result.Skip(line.number, "runs commands");
        while (index + 1 < lines.size() && !IsHotstring(TrimLeft(lines[index + 1].text)) &&
               !EqualsNoCase(TrimLeft(lines[index + 1].text), "return")) {
          ++index;
          ++codeLines;
        }
        if (index + 1 < lines.size() && EqualsNoCase(TrimLeft(lines[index + 1].text), "return")) {
          ++index;
        }
        continue;
      }
      const std::string_view sectionOptions = TrimLeft(lines[next].text).substr(1);
      const bool leftTrim = StartsWithNoCase(TrimLeft(sectionOptions), "LTrim");
      std::u16string joined;
      size_t end = next + 1;
      bool first = true;
      while (end < lines.size() && TrimLeft(lines[end].text).substr(0, 1) != ")") {
        if (!first) joined += u"`n";
        joined += Utf8ToUtf16(leftTrim ? TrimLeft(lines[end].text) : lines[end].text);
        first = false;
        ++end;
      }
      if (end >= lines.size()) {
        result.Skip(line.number, "a continuation section that does not end with )");
        index = end;
        continue;
      }
      index = end;
      text = joined;
    } else {
      text = Utf8ToUtf16(replacement);
    }
    const Converted converted = Convert(text, options.raw);
    if (!converted.problem.empty()) {
      result.Skip(line.number, converted.problem);
      continue;
    }
    if (abbreviation.empty()) {
      result.Skip(line.number, "no abbreviation");
      continue;
    }
    if (converted.text.empty()) {
      result.Skip(line.number, "no text");
      continue;
    }
    auto phrase = NewImportedPhrase();
    phrase->Prefixes()[abbreviation] = 1;
    phrase->SetCaseSensitive(options.caseSensitive ? 1 : 0);
    phrase->SetLeftAfter(std::min(converted.leftAfter, 100));
    if (options.keepAbbreviation) {
      // The abbreviation stays and the text follows it: append mode types the phrase
      // without the units the user typed.
      phrase->SetAddOrReplace(0);
      phrase->SetWord(abbreviation + converted.text);
    } else {
      phrase->SetWord(converted.text);
    }
    if (options.insideWords) {
      result.Note(line.number, "fires inside words in AutoHotkey (option ?); Vellix fires on a whole word");
    }
    result.phrases.push_back(std::move(phrase));
  }
  if (codeLines > 0) {
    result.Skip(0, "hotkeys, commands or directives: " + std::to_string(codeLines) + " lines");
  }
  return result;
}

}  // namespace vellix
