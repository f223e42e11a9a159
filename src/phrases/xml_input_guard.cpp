#include "phrases/xml_input_guard.h"

#include <utf8.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

namespace vellix {
namespace {

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values beyond
// U+10FFFF). Runs of ASCII are passed eight bytes at a time: database files are mostly
// markup.
bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (!(word & 0x8080808080808080ull)) {
        i += 8;
        continue;
      }
    }
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    const size_t length = (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                        : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (length == 0 || i + length > n) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
    }
    const unsigned char second = p[i + 1];
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) ||
        (c == 0xF0 && second < 0x90) || (c == 0xF4 && second > 0x8F)) {
      return false;
    }
    i += length;
  }
  return true;
}

// The scanner below follows TinyXML 2.6.2's parser step by step (UTF-8 mode, white space
// condensed) without building nodes, to learn how deep its recursion goes. Every function
// returns where TinyXML would go on, or nullptr where TinyXML stops with an error: after
// such a stop TinyXML parses nothing more, so the scan stops too. Where the scan cannot be
// sure it follows TinyXML it errs towards deeper nesting, never shallower.
class Scanner {
 public:
  explicit Scanner(const char* text) : start_(text) {}

  void Run() {
    const char* p = SkipWhite(start_);
    while (p && *p) {
      p = ParseNode(p, 0);
      p = SkipWhite(p);
    }
  }

  const char* cut() const { return cut_; }
  int deepest() const { return deepest_; }
  const std::vector<const char*>& bare() const { return bare_; }

 private:
  static bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  static bool IsAlpha(unsigned char c) {
    return c >= 127 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  static bool IsAlphaNum(unsigned char c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }
  static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

  static bool Equal(const char* p, const char* tag, bool ignoreCase = false) {
    while (*p && *tag && (ignoreCase ? Lower(*p) == Lower(*tag) : *p == *tag)) {
      ++p;
      ++tag;
    }
    return *tag == 0;
  }

  // TinyXML skips blanks and three byte sequences (U+FEFF, U+FFFE, U+FFFF); it answers
  // nullptr when it is called at the end of the text.
  static const char* SkipWhite(const char* p) {
    if (!p || !*p) return nullptr;
    for (;;) {
      const auto* u = reinterpret_cast<const unsigned char*>(p);
      if (u[0] == 0xEF && ((u[1] == 0xBB && u[2] == 0xBF) ||
                           (u[1] == 0xBF && (u[2] == 0xBE || u[2] == 0xBF)))) {
        p += 3;
      } else if (IsWhite(*p)) {
        ++p;
      } else {
        return p;
      }
    }
  }

  static const char* ReadName(const char* p) {
    if (!*p || !(IsAlpha(static_cast<unsigned char>(*p)) || *p == '_')) return nullptr;
    while (*p && (IsAlphaNum(static_cast<unsigned char>(*p)) || *p == '_' || *p == '-' ||
                  *p == '.' || *p == ':')) {
      ++p;
    }
    return p;
  }

  // The end of the entity or character reference that the "&" at p starts, or null when it
  // starts none. A character reference is "&#" with decimal digits or "&#x" with hexadecimal
  // ones, then ";", for a character from U+0001 to U+10FFFF. (TinyXML itself takes the
  // next ";" anywhere after "&#" and everything between the last "#" or "x" and it as the
  // digits, so "&#x</a>x41;" would hide an end tag; it turns "&#;" and "&#0;" into a zero
  // character, which ends the text, and drops a value beyond U+10FFFF.)
  static const char* ReferenceEnd(const char* p) {
    if (p[1] == '#') {
      const bool hex = p[2] == 'x';
      const char* digits = p + (hex ? 3 : 2);
      const char* q = digits;
      uint32_t value = 0;
      for (;; ++q) {
        uint32_t digit;
        if (*q >= '0' && *q <= '9') {
          digit = uint32_t(*q - '0');
        } else if (hex && *q >= 'a' && *q <= 'f') {
          digit = uint32_t(*q - 'a' + 10);
        } else if (hex && *q >= 'A' && *q <= 'F') {
          digit = uint32_t(*q - 'A' + 10);
        } else {
          break;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) return nullptr;
      }
      return (q != digits && *q == ';' && value != 0) ? q + 1 : nullptr;
    }
    for (const char* name : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
      const size_t length = std::strlen(name);
      if (std::strncmp(name, p, length) == 0) return p + length;
    }
    return nullptr;
  }

  // An "&" in a text or an attribute value. A bare one is recorded: the guard writes it as
  // "&amp;", so TinyXML reads it as one character and goes on as the scan does.
  const char* Entity(const char* p) {
    if (const char* end = ReferenceEnd(p)) return end;
    bare_.push_back(p);
    return p + 1;
  }

  // One character of text: the text is valid UTF-8, so a lead byte's length never runs
  // past the end.
  const char* NextChar(const char* p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c >= 0xC2 && c < 0xE0) return p + 2;
    if (c >= 0xE0 && c < 0xF0) return p + 3;
    if (c >= 0xF0 && c < 0xF5) return p + 4;
    return *p == '&' ? Entity(p) : p + 1;
  }

  // Text up to end; keepWhite is TinyXML's "keep all the white space" branch.
  const char* ReadText(const char* p, const char* end, bool keepWhite) {
    if (!keepWhite) p = SkipWhite(p);
    while (p && *p && !Equal(p, end)) {
      p = (!keepWhite && IsWhite(*p)) ? p + 1 : NextChar(p);
    }
    if (p && *p) p += std::strlen(end);
    return (p && *p) ? p : nullptr;
  }

  const char* Attribute(const char* p) {
    p = SkipWhite(p);
    if (!p) return nullptr;
    p = ReadName(p);
    if (!p || !*p) return nullptr;
    p = SkipWhite(p);
    if (!p || *p != '=') return nullptr;
    p = SkipWhite(p + 1);
    if (!p) return nullptr;
    if (*p == '\'') return ReadText(p + 1, "'", true);
    if (*p == '"') return ReadText(p + 1, "\"", true);
    while (*p && !IsWhite(*p) && *p != '/' && *p != '>') {
      if (*p == '\'' || *p == '"') return nullptr;
      ++p;
    }
    return p;
  }

  static const char* Unknown(const char* p) {
    ++p;
    while (*p && *p != '>') ++p;
    return *p == '>' ? p + 1 : p;
  }

  static const char* Comment(const char* p) {
    p += 4;
    while (*p && !Equal(p, "-->")) ++p;
    return *p ? p + 3 : p;
  }

  const char* CData(const char* p) {
    p += 9;
    while (*p && !Equal(p, "]]>")) ++p;
    return ReadText(p, "]]>", true);
  }

  const char* Declaration(const char* p) {
    p += 5;
    while (p && *p) {
      if (*p == '>') return p + 1;
      p = SkipWhite(p);
      if (!p) break;
      if (Equal(p, "version", true) || Equal(p, "encoding", true) ||
          Equal(p, "standalone", true)) {
        p = Attribute(p);
      } else {
        while (*p && *p != '>' && !IsWhite(*p)) ++p;
      }
    }
    return nullptr;
  }

  // TinyXML's Identify and the Parse of the node it makes; p is at a '<' (or at text, which
  // ends the document level).
  const char* ParseNode(const char* p, int depth) {
    if (*p != '<') return nullptr;
    if (Equal(p, "<?xml", true)) return Declaration(p);
    if (Equal(p, "<!--")) return Comment(p);
    if (Equal(p, "<![CDATA[")) return CData(p);
    if (Equal(p, "<!")) return Unknown(p);
    if (IsAlpha(static_cast<unsigned char>(p[1])) || p[1] == '_') return Element(p, depth + 1);
    return Unknown(p);
  }

  const char* Element(const char* p, int depth) {
    if (depth > kMaxXmlDepth) return Cut(p);
    if (depth > deepest_) deepest_ = depth;
    const char* nameStart = SkipWhite(p + 1);
    if (!nameStart) return nullptr;
    const char* nameEnd = ReadName(nameStart);
    if (!nameEnd || !*nameEnd) return nullptr;
    const std::string_view name(nameStart, size_t(nameEnd - nameStart));
    p = nameEnd;
    int attributes = 0;
    while (p && *p) {
      p = SkipWhite(p);
      if (!p) return nullptr;
      if (*p == '/') return p[1] == '>' ? p + 2 : nullptr;
      if (*p == '>') {
        p = Content(p + 1, depth);
        if (!p || !*p) return nullptr;
        if (!Equal(p, "</") || std::strncmp(p + 2, name.data(), name.size()) != 0) return nullptr;
        p = SkipWhite(p + 2 + name.size());
        return (p && *p == '>') ? p + 1 : nullptr;
      }
      if (++attributes > kMaxXmlAttributes) return Cut(p);
      p = Attribute(p);
      if (!p || !*p) return nullptr;
    }
    return p;
  }

  // TinyXML's ReadValue: text and nodes up to an end tag.
  const char* Content(const char* p, int depth) {
    p = SkipWhite(p);
    while (p && *p) {
      if (*p != '<') {
        p = ReadText(p, "<", false);
        if (p) --p;  // TinyXML keeps the '<' for the next node
      } else if (Equal(p, "</")) {
        return p;
      } else {
        p = ParseNode(p, depth);
      }
      p = SkipWhite(p);
    }
    return p;
  }

  const char* Cut(const char* p) {
    cut_ = p;
    return nullptr;
  }

  const char* start_;
  const char* cut_ = nullptr;
  int deepest_ = 0;
  std::vector<const char*> bare_;  // bare "&" characters, in text order
};

}  // namespace

XmlInputGuardResult GuardXmlInput(std::string_view input) {
  XmlInputGuardResult result;
  input = input.substr(0, input.find('\0'));
  if (IsValidUtf8(input)) {
    result.text.assign(input);
  } else {
    result.text.reserve(input.size() + 16);
    utf8::replace_invalid(input.begin(), input.end(), std::back_inserter(result.text), 0xFFFD);
  }
  Scanner scanner(result.text.c_str());
  scanner.Run();
  result.deepest = scanner.deepest();
  // The scan stops at a cut: every bare "&" it found lies before it.
  std::vector<size_t> bare;
  bare.reserve(scanner.bare().size());
  for (const char* p : scanner.bare()) bare.push_back(size_t(p - result.text.c_str()));
  if (scanner.cut()) {
    result.text.resize(size_t(scanner.cut() - result.text.c_str()));
    result.cut = true;
  }
  if (!bare.empty()) {
    std::string repaired;
    repaired.reserve(result.text.size() + 4 * bare.size());
    size_t from = 0;
    result.repairedAmpersands.reserve(bare.size());
    for (size_t at : bare) {
      repaired.append(result.text, from, at + 1 - from);
      result.repairedAmpersands.push_back(repaired.size() - 1);
      repaired += "amp;";
      from = at + 1;
    }
    repaired.append(result.text, from, std::string::npos);
    result.text = std::move(repaired);
  }
  return result;
}

namespace {

// Walks guarded text as TinyXML's cursor moves with tab size 1 (CR LF and LF CR are one line
// break, a byte-order mark and U+FFFE/U+FFFF take no column) and, beside it, as an editor
// counts (CR LF one line break, CR and LF each one; the "amp;" the guard added not counted).
class PositionWalker {
 public:
  explicit PositionWalker(const XmlInputGuardResult& guarded)
      : text_(guarded.text), repairs_(guarded.repairedAmpersands) {}

  // Walks until at reports true for (offset, parser row, parser column), all from 0, or the
  // text ends; the editor's position there.
  template <typename Stop>
  TextPosition WalkTo(Stop at) {
    const auto* u = reinterpret_cast<const unsigned char*>(text_.data());
    const size_t n = text_.size();
    size_t p = 0;
    int row = 0;
    int col = 0;
    uint32_t line = 0;
    uint32_t column = 0;
    size_t repair = 0;     // next repaired "&" at or after p
    size_t inserted = 0;   // end of the "amp;" being walked
    while (p < n && !at(p, row, col)) {
      if (p < inserted) {  // added by the guard: the parser counts it, the user never saw it
        ++p;
        ++col;
        continue;
      }
      if (repair < repairs_.size() && repairs_[repair] == p) {
        inserted = p + 5;
        ++repair;
      }
      const unsigned char c = u[p];
      if (c == '\r' || c == '\n') {
        const bool pair = p + 1 < n && u[p + 1] == (c == '\r' ? '\n' : '\r');
        ++row;
        col = 0;
        line += (pair && c == '\n') ? 2 : 1;  // LF CR is two line breaks in an editor
        column = 0;
        p += pair ? 2 : 1;
        continue;
      }
      if (c == 0xEF && p + 2 < n &&
          ((u[p + 1] == 0xBB && u[p + 2] == 0xBF) || (u[p + 1] == 0xBF && (u[p + 2] == 0xBE || u[p + 2] == 0xBF)))) {
        p += 3;
        continue;
      }
      p += (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 1;
      ++col;
      ++column;
    }
    return {line + 1, column + 1};
  }

 private:
  const std::string& text_;
  const std::vector<size_t>& repairs_;
};

}  // namespace

TextPosition PositionOfOffset(const XmlInputGuardResult& guarded, size_t offset) {
  return PositionWalker(guarded).WalkTo([offset](size_t p, int, int) { return p >= offset; });
}

TextPosition PositionOfParserPlace(const XmlInputGuardResult& guarded, int row, int column) {
  if (row < 1) return {};
  const int targetRow = row - 1;
  const int targetCol = column < 1 ? 0 : column - 1;
  return PositionWalker(guarded).WalkTo([targetRow, targetCol](size_t, int r, int c) {
    return r > targetRow || (r == targetRow && c >= targetCol);
  });
}

}  // namespace vellix
