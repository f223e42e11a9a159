#pragma once
// Makes hostile XML text safe to hand to TinyXML. TinyXML parses nested elements by recursion
// and steps over UTF-8 sequences by their lead byte without looking for the end of the text,
// so a deeply nested document overflows the stack and a cut multi-byte sequence reads past
// the end. The guard cuts the text at its first zero byte, replaces invalid UTF-8 by U+FFFD
// and cuts the text where an element would open deeper than kMaxXmlDepth. A cut document
// parses like one that was cut short on disk: everything before the cut is kept.
//
// TinyXML also drops a bare "&" from a text (one that starts none of the five entities and
// no character reference), and a "&#" that is not followed by a reference stops it with an
// error. The guard writes such an "&" as "&amp;", so that it is read as the character "&"
// and the next save writes it back properly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellix {

// The database needs four levels (root, Phrase, Prefixes, Prefix); the rest is headroom.
inline constexpr int kMaxXmlDepth = 64;
// Attributes per element: TinyXML checks each new attribute against all earlier ones.
inline constexpr int kMaxXmlAttributes = 256;

struct XmlInputGuardResult {
  std::string text;      // what may be parsed
  int deepest = 0;       // deepest element nesting TinyXML reaches on text
  bool cut = false;      // text was shortened because of kMaxXmlDepth or kMaxXmlAttributes
  // Offsets in text of the bare "&" characters, in order; the guard inserted "amp;" after
  // each of them.
  std::vector<size_t> repairedAmpersands;
};

XmlInputGuardResult GuardXmlInput(std::string_view input);

// A place in a file's text as a user finds it in an editor: line and column from 1, where
// CR, LF and CR LF end a line and every character (a tab too) is one column. Line 0: none.
struct TextPosition {
  uint32_t line = 0;
  uint32_t column = 0;
  bool operator==(const TextPosition&) const = default;
};

// The position of an offset of the guarded text, not counting the "amp;" the guard added.
TextPosition PositionOfOffset(const XmlInputGuardResult& guarded, size_t offset);
// The position of a place TinyXML reports (its Row() and Column(), or ErrorRow() and
// ErrorCol(), of a parse of guarded.text with tab size 1); line 0 when row is not above 0.
TextPosition PositionOfParserPlace(const XmlInputGuardResult& guarded, int row, int column);

}  // namespace vellix
