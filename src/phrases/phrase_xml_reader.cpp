#include "phrases/phrase_xml_reader.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "phrases/phrase_xml_values.h"

namespace vellix {
namespace {

// More attributes on one element than this are left to TinyXML (and to the input guard,
// which cuts an element with very many).
constexpr size_t kMaxAttributes = 64;

// TinyXML's white space: what isspace gives in the C locale.
bool IsWhite(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsNameStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

void AppendUtf16(std::u16string& out, uint32_t code) {
  if (code < 0x10000) {
    out += char16_t(code);
  } else {
    code -= 0x10000;
    out += char16_t(0xD800 + (code >> 10));
    out += char16_t(0xDC00 + (code & 0x3FF));
  }
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

enum class Tag { kFailed, kEmpty, kOpen };

// One pass over the text. Every step follows the step of TinyXML 2.6.2's parser (UTF-8,
// white space condensed) that reads the same bytes, and answers false where it would take
// another way than TinyXML or where TinyXML would stop with an error.
class Reader {
 public:
  explicit Reader(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

  bool Document(uint32_t firstId, PhraseDatabase& read, ParseReport& report) {
    SkipWhite();
    if (StartsWithIgnoringCase("<?xml")) {
      if (!Declaration()) return false;
      SkipWhite();
    }
    if (StartTag() != "Tessil_Phrase_Data") return false;
    const Tag tag = Attributes([](std::string_view, std::string_view) {});
    if (tag == Tag::kFailed) return false;
    if (tag == Tag::kOpen) {
      for (uint32_t id = firstId;; ++id) {
        SkipWhite();
        if (AtEndTag()) {
          if (!EndTag("Tessil_Phrase_Data")) return false;
          break;
        }
        if (StartTag() != "Phrase" || !ReadPhrase(id, read, report)) return false;
      }
    }
    SkipWhite();
    return p_ == end_;
  }

 private:
  // TinyXML's SkipWhiteSpace: blanks and the sequences of U+FEFF, U+FFFE and U+FFFF.
  void SkipWhite() {
    while (p_ != end_) {
      const auto c = static_cast<unsigned char>(*p_);
      if (IsWhite(c)) {
        ++p_;
      } else if (c == 0xEF && end_ - p_ >= 3 &&
                 ((static_cast<unsigned char>(p_[1]) == 0xBB && static_cast<unsigned char>(p_[2]) == 0xBF) ||
                  (static_cast<unsigned char>(p_[1]) == 0xBF &&
                   (static_cast<unsigned char>(p_[2]) == 0xBE || static_cast<unsigned char>(p_[2]) == 0xBF)))) {
        p_ += 3;
      } else {
        return;
      }
    }
  }

  bool StartsWithIgnoringCase(std::string_view lowerTag) const {
    if (size_t(end_ - p_) < lowerTag.size()) return false;
    for (size_t i = 0; i < lowerTag.size(); ++i) {
      if (LowerAscii(p_[i]) != lowerTag[i]) return false;
    }
    return true;
  }

  bool AtEndTag() const { return end_ - p_ >= 2 && p_[0] == '<' && p_[1] == '/'; }

  // A name; empty when there is none. TinyXML takes every byte from 127 up into a name, so
  // a name followed by one of those is not ours to read.
  std::string_view Name() {
    if (p_ == end_ || !IsNameStart(static_cast<unsigned char>(*p_))) return {};
    const char* start = p_;
    while (p_ != end_ && IsNameChar(static_cast<unsigned char>(*p_))) ++p_;
    if (p_ == end_ || static_cast<unsigned char>(*p_) >= 127) return {};
    return std::string_view(start, size_t(p_ - start));
  }

  // "<" and an element's name; empty when something else starts here.
  std::string_view StartTag() {
    if (p_ == end_ || *p_ != '<') return {};
    ++p_;
    return Name();
  }

  // "</", the name, blanks and ">".
  bool EndTag(std::string_view name) {
    p_ += 2;
    if (Name() != name) return false;
    SkipWhite();
    if (p_ == end_ || *p_ != '>') return false;
    ++p_;
    return true;
  }

  // A UTF-8 sequence of two to four bytes, checked as the input guard checks them.
  bool Sequence(uint32_t& code) {
    const auto c = static_cast<unsigned char>(*p_);
    const size_t length = (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                        : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (length == 0 || size_t(end_ - p_) < length) return false;
    code = c & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(p_[k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const auto second = static_cast<unsigned char>(p_[1]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) ||
        (c == 0xF0 && second < 0x90) || (c == 0xF4 && second > 0x8F)) {
      return false;
    }
    p_ += length;
    return true;
  }

  // An entity or a character reference at '&'. TinyXML drops a bare '&' and turns a
  // reference to nothing, to a surrogate or beyond U+10FFFF into bytes that are no UTF-8:
  // those, and references with more digits than any character needs, are not ours.
  bool Reference(uint32_t& code) {
    const char* q = p_ + 1;
    if (q != end_ && *q == '#') {
      ++q;
      const bool hex = q != end_ && *q == 'x';
      if (hex) ++q;
      uint32_t value = 0;
      int digits = 0;
      for (; q != end_ && *q != ';'; ++q) {
        const char c = *q;
        uint32_t digit;
        if (c >= '0' && c <= '9') {
          digit = uint32_t(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
          digit = uint32_t(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
          digit = uint32_t(c - 'A' + 10);
        } else {
          return false;
        }
        if (++digits > (hex ? 6 : 7)) return false;
        value = value * (hex ? 16 : 10) + digit;
      }
      if (q == end_ || digits == 0 || value == 0 || value > 0x10FFFF ||
          (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
      }
      code = value;
      p_ = q + 1;
      return true;
    }
    static constexpr struct {
      std::string_view text;
      char character;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    const std::string_view rest(p_, size_t(end_ - p_));
    for (const auto& entity : kEntities) {
      if (rest.substr(0, entity.text.size()) == entity.text) {
        code = uint32_t(entity.character);
        p_ += entity.text.size();
        return true;
      }
    }
    return false;
  }

  // One attribute, p_ at its name: name, '=', a quoted value with its references replaced
  // (white space kept, as TinyXML keeps it in attribute values). The value goes to value_.
  bool Attribute(std::string_view& name) {
    name = Name();
    if (name.empty()) return false;
    SkipWhite();
    if (p_ == end_ || *p_ != '=') return false;
    ++p_;
    SkipWhite();
    if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) return false;
    const char quote = *p_++;
    value_.clear();
    for (;;) {
      if (p_ == end_) return false;
      const auto c = static_cast<unsigned char>(*p_);
      if (c == static_cast<unsigned char>(quote)) break;
      uint32_t code;
      if (c == '&') {
        if (!Reference(code)) return false;
        AppendUtf8(value_, code);
      } else if (c >= 0x80) {
        const char* start = p_;
        if (!Sequence(code)) return false;
        value_.append(start, size_t(p_ - start));
      } else if (c == 0) {
        return false;
      } else {
        value_ += char(c);
        ++p_;
      }
    }
    ++p_;
    return true;
  }

  // The attributes of a start tag up to its end: "/>" (empty element) or ">" (content
  // follows). Each attribute goes to take(name, value).
  template <typename Take>
  Tag Attributes(Take take) {
    names_.clear();
    for (;;) {
      SkipWhite();
      if (p_ == end_) return Tag::kFailed;
      if (*p_ == '/') {
        if (end_ - p_ < 2 || p_[1] != '>') return Tag::kFailed;
        p_ += 2;
        return Tag::kEmpty;
      }
      if (*p_ == '>') {
        ++p_;
        return Tag::kOpen;
      }
      std::string_view name;
      if (!Attribute(name)) return Tag::kFailed;
      // TinyXML stops at a repeated attribute.
      for (std::string_view earlier : names_) {
        if (earlier == name) return Tag::kFailed;
      }
      if (names_.size() == kMaxAttributes) return Tag::kFailed;
      names_.push_back(name);
      take(name, std::string_view(value_));
    }
  }

  // The declaration "<?xml ...>", read as TinyXML reads it: its version, encoding and
  // standalone attributes are parsed, anything else is stepped over up to a blank or '>'.
  bool Declaration() {
    p_ += 5;
    for (;;) {
      if (p_ == end_) return false;
      if (*p_ == '>') {
        ++p_;
        return true;
      }
      SkipWhite();
      if (p_ == end_) return false;
      if (StartsWithIgnoringCase("version") || StartsWithIgnoringCase("encoding") ||
          StartsWithIgnoringCase("standalone")) {
        std::string_view name;
        if (!Attribute(name)) return false;
      } else {
        while (p_ != end_ && *p_ != '>' && !IsWhite(static_cast<unsigned char>(*p_))) {
          if (*p_ == 0 || static_cast<unsigned char>(*p_) >= 0x80) return false;
          ++p_;
        }
      }
    }
  }

  // A text up to the next '<', white space condensed as TinyXML condenses it: leading and
  // trailing blanks dropped, each run inside one blank; references are characters, not
  // blanks. A text of blanks alone (blanks written as references) is no text at all.
  bool Text(std::u16string& out) {
    const void* found = std::memchr(p_, '<', size_t(end_ - p_));
    if (!found) return false;
    const char* const stop = static_cast<const char*>(found);
    text_.clear();
    bool blank = false;
    bool nonBlank = false;
    while (p_ != stop) {
      const auto c = static_cast<unsigned char>(*p_);
      if (IsWhite(c)) {
        blank = true;
        ++p_;
        continue;
      }
      if (blank) {
        text_ += u' ';
        blank = false;
      }
      uint32_t code;
      if (c == '&') {
        if (!Reference(code) || p_ > stop) return false;
        AppendUtf16(text_, code);
        if (!IsWhite(static_cast<unsigned char>(code < 0x80 ? code : 0x80))) nonBlank = true;
      } else if (c >= 0x80) {
        if (!Sequence(code) || p_ > stop) return false;
        AppendUtf16(text_, code);
        nonBlank = true;
      } else if (c == 0) {
        return false;
      } else {
        text_ += char16_t(c);
        nonBlank = true;
        ++p_;
      }
    }
    if (nonBlank) out.assign(text_);
    return true;
  }

  // The content of an element that holds a text and nothing else, and its end tag.
  bool TextContent(std::string_view name, std::u16string& out) {
    SkipWhite();
    if (p_ == end_) return false;
    if (*p_ != '<' && !Text(out)) return false;
    return AtEndTag() && EndTag(name);
  }

  // Blanks and the end tag: the content of an element that holds nothing.
  bool NoContent(std::string_view name) {
    SkipWhite();
    return AtEndTag() && EndTag(name);
  }

  // `Prefixes`, `Include` or `Exclude` after its name: the entries of its children named
  // childName. Empty texts are skipped; the last occurrence of a name decides its flag.
  bool FlagList(std::string_view name, std::string_view childName, FlagMap& map) {
    const Tag tag = Attributes([](std::string_view, std::string_view) {});
    if (tag != Tag::kOpen) return tag == Tag::kEmpty;
    for (;;) {
      SkipWhite();
      if (AtEndTag()) return EndTag(name);
      if (StartTag() != childName) return false;
      int32_t disabled = 0;
      const Tag item = Attributes([&disabled](std::string_view attribute, std::string_view value) {
        if (attribute == "Disabled") disabled = ReadNumber(value, 0);
      });
      if (item == Tag::kFailed) return false;
      std::u16string entry;
      if (item == Tag::kOpen && !TextContent(childName, entry)) return false;
      if (!entry.empty()) map.insert_or_assign(std::move(entry), disabled == 0 ? 1 : 0);
    }
  }

  // `DateCreated` after its name. Fields that are absent or hold no number keep the
  // current time's; day of week and milliseconds are 0.
  bool Date(Phrase& phrase) {
    std::optional<int32_t> fields[6];
    static constexpr std::string_view kNames[6] = {"Year", "Month", "Day", "Hour", "Min", "Sec"};
    const Tag tag = Attributes([&fields](std::string_view name, std::string_view value) {
      for (int i = 0; i < 6; ++i) {
        if (name == kNames[i]) fields[i] = ParseNumber(value);
      }
    });
    if (tag == Tag::kFailed || (tag == Tag::kOpen && !NoContent("DateCreated"))) return false;
    bool complete = true;
    for (const auto& field : fields) complete = complete && field.has_value();
    SystemTime time = complete ? SystemTime() : CurrentUtcTime();
    uint16_t* targets[6] = {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second};
    for (int i = 0; i < 6; ++i) {
      if (fields[i]) *targets[i] = static_cast<uint16_t>(*fields[i]);
    }
    time.dayOfWeek = 0;
    time.milliseconds = 0;
    phrase.SetDateCreated(time);
    return true;
  }

  // A `Phrase` element after its name. A phrase without `Word` is counted and rejected.
  bool ReadPhrase(uint32_t id, PhraseDatabase& read, ParseReport& report) {
    auto phrase = std::make_unique<Phrase>();
    int32_t caseSensitive = 0;
    int32_t addOrReplace = 0;
    int32_t leftAfter = 0;
    int32_t countUsage = 0;
    int32_t listMode = kNotUse;
    int32_t enabled = 0;
    const Tag tag = Attributes([&](std::string_view name, std::string_view value) {
      if (name == "CaseSensitive") caseSensitive = ReadNumber(value, 0) != 0 ? 1 : 0;
      else if (name == "AddOrReplace") addOrReplace = ReadNumber(value, 0) != 0 ? 1 : 0;
      else if (name == "LeftAfter") leftAfter = ReadNumber(value, 0);
      else if (name == "CountUsage") countUsage = ReadNumber(value, 0);
      else if (name == "UseWithList") listMode = ReadListMode(value);
      else if (name == "Enabled") enabled = ReadNumber(value, 0) != 0 ? 1 : 0;
    });
    if (tag == Tag::kFailed) return false;
    // Each child counts once: the reading takes the first of a kind, and a second one is
    // left to TinyXML.
    bool word = false;
    bool prefixes = false;
    bool include = false;
    bool exclude = false;
    bool date = false;
    if (tag == Tag::kOpen) {
      for (;;) {
        SkipWhite();
        if (AtEndTag()) {
          if (!EndTag("Phrase")) return false;
          break;
        }
        const std::string_view name = StartTag();
        bool ok = false;
        if (name == "Word" && !word) {
          word = true;
          std::u16string text;
          const Tag wordTag = Attributes([](std::string_view, std::string_view) {});
          ok = wordTag == Tag::kEmpty || (wordTag == Tag::kOpen && TextContent(name, text));
          phrase->SetWord(std::move(text));
        } else if (name == "Prefixes" && !prefixes) {
          prefixes = true;
          ok = FlagList(name, "Prefix", phrase->Prefixes());
        } else if (name == "Include" && !include) {
          include = true;
          ok = FlagList(name, "FileName", phrase->Include());
        } else if (name == "Exclude" && !exclude) {
          exclude = true;
          ok = FlagList(name, "FileName", phrase->Exclude());
        } else if (name == "DateCreated" && !date) {
          date = true;
          ok = Date(*phrase);
        }
        if (!ok) return false;
      }
    }
    ++report.phraseElements;
    if (!word) {
      report.rejected.push_back(id);
      return true;
    }
    phrase->SetId(id);
    phrase->SetCaseSensitive(caseSensitive);
    phrase->SetAddOrReplace(addOrReplace);
    phrase->SetLeftAfter(leftAfter);
    phrase->SetCountUsage(countUsage);
    phrase->SetUseWithList(listMode);
    phrase->SetEnabled(enabled);
    read.AppendWithId(std::move(phrase));
    return true;
  }

  const char* p_;
  const char* const end_;
  std::string value_;                   // the value of the attribute just read
  std::u16string text_;                 // the text being read
  std::vector<std::string_view> names_;  // the attributes of the current start tag
};

}  // namespace

bool ReadPlainDatabaseXml(std::string_view text, uint32_t firstId, PhraseDatabase& read,
                          ParseReport& report) {
  return Reader(text).Document(firstId, read, report);
}

}  // namespace vellix
