#pragma once
// Makes hostile XML text safe to hand to TinyXML. TinyXML parses nested elements by recursion
// and steps over UTF-8 sequences by their lead byte without looking for the end of the text,
// so a deeply nested document overflows the stack and a cut multi-byte sequence reads past
// the end. The guard cuts the text at its first zero byte, replaces invalid UTF-8 by U+FFFD
// and cuts the text where an element would open deeper than kMaxXmlDepth. A cut document
// parses like one that was cut short on disk: everything before the cut is kept.

#include <cstddef>
#include <string>
#include <string_view>

namespace vellix {

// The database needs four levels (root, Phrase, Prefixes, Prefix); the rest is headroom.
inline constexpr int kMaxXmlDepth = 64;
// Attributes per element: TinyXML checks each new attribute against all earlier ones.
inline constexpr int kMaxXmlAttributes = 256;

struct XmlInputGuardResult {
  std::string text;      // what may be parsed
  int deepest = 0;       // deepest element nesting TinyXML reaches on text
  bool cut = false;      // text was shortened because of kMaxXmlDepth or kMaxXmlAttributes
};

XmlInputGuardResult GuardXmlInput(std::string_view input);

}  // namespace vellix
