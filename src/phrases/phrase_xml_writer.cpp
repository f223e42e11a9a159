#include "phrases/phrase_xml_writer.h"

#include <charconv>
#include <cstring>
#include <new>
#include <string_view>

#include "base/utf.h"
#include "phrases/phrase_xml_values.h"

namespace vellix {
namespace {

// Counts the bytes of the document; the first of the two passes.
class Counter {
 public:
  void Put(char) { ++size_; }
  void Put(std::string_view text) { size_ += text.size(); }
  size_t size() const { return size_; }

 private:
  size_t size_ = 0;
};

// Writes into a buffer that the measuring pass sized.
class Fill {
 public:
  explicit Fill(char* at) : at_(at) {}
  void Put(char c) { *at_++ = c; }
  void Put(std::string_view text) {
    if (text.empty()) return;
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
  }
  const char* at() const { return at_; }

 private:
  char* at_;
};

constexpr std::string_view kLineBreak = "\r\n";
constexpr char kHexDigits[] = "0123456789ABCDEF";

template <typename Out>
void PutIndent(Out& out, int depth) {
  for (int i = 0; i < depth; ++i) out.Put("    ");
}

template <typename Out>
void PutNumber(Out& out, int32_t value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.Put(std::string_view(digits, size_t(result.ptr - digits)));
}

// ` name="value"`: the values written here need no escaping.
template <typename Out>
void PutAttribute(Out& out, std::string_view name, std::string_view value) {
  out.Put(' ');
  out.Put(name);
  out.Put("=\"");
  out.Put(value);
  out.Put('"');
}

template <typename Out>
void PutAttribute(Out& out, std::string_view name, int32_t value) {
  out.Put(' ');
  out.Put(name);
  out.Put("=\"");
  PutNumber(out, value);
  out.Put('"');
}

// The text as UTF-8 (an unpaired surrogate becomes U+FFFD), each byte escaped as TinyXML's
// printer escapes it.
template <typename Out>
void PutText(Out& out, std::u16string_view text) {
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      switch (u) {
        case u'&': out.Put("&amp;"); break;
        case u'<': out.Put("&lt;"); break;
        case u'>': out.Put("&gt;"); break;
        case u'"': out.Put("&quot;"); break;
        case u'\'': out.Put("&apos;"); break;
        default:
          if (u < 32) {
            out.Put("&#x");
            out.Put(kHexDigits[u >> 4]);
            out.Put(kHexDigits[u & 15]);
            out.Put(';');
          } else {
            out.Put(char(u));
          }
      }
      continue;
    }
    uint32_t code = u;
    if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      code = 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      code = 0xFFFD;
    }
    if (code < 0x800) {
      out.Put(char(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
      out.Put(char(0xE0 | (code >> 12)));
      out.Put(char(0x80 | ((code >> 6) & 0x3F)));
    } else {
      out.Put(char(0xF0 | (code >> 18)));
      out.Put(char(0x80 | ((code >> 12) & 0x3F)));
      out.Put(char(0x80 | ((code >> 6) & 0x3F)));
    }
    out.Put(char(0x80 | (code & 0x3F)));
  }
}

// An element whose only child is a text, on one line.
template <typename Out>
void PutTextElement(Out& out, int depth, std::string_view name, std::u16string_view text,
                    std::string_view disabled = {}) {
  PutIndent(out, depth);
  out.Put('<');
  out.Put(name);
  if (!disabled.empty()) PutAttribute(out, "Disabled", disabled);
  out.Put('>');
  PutText(out, text);
  out.Put("</");
  out.Put(name);
  out.Put('>');
  out.Put(kLineBreak);
}

// A list element with one child per non-empty name; the short form when it has none.
template <typename Out>
void PutFlagMap(Out& out, std::string_view listName, std::string_view childName, const FlagMap& map) {
  bool any = false;
  for (const auto& entry : map) {
    if (!entry.first.empty()) {
      any = true;
      break;
    }
  }
  PutIndent(out, 2);
  out.Put('<');
  out.Put(listName);
  if (!any) {
    out.Put(" />");
    out.Put(kLineBreak);
    return;
  }
  out.Put('>');
  out.Put(kLineBreak);
  for (const auto& [name, enabled] : map) {
    if (!name.empty()) PutTextElement(out, 3, childName, name, enabled ? "0" : "1");
  }
  PutIndent(out, 2);
  out.Put("</");
  out.Put(listName);
  out.Put('>');
  out.Put(kLineBreak);
}

template <typename Out>
void PutPhrase(Out& out, const Phrase& phrase) {
  PutIndent(out, 1);
  out.Put("<Phrase");
  PutAttribute(out, "CaseSensitive", phrase.CaseSensitive() ? 1 : 0);
  PutAttribute(out, "AddOrReplace", phrase.AddOrReplace());
  PutAttribute(out, "LeftAfter", phrase.LeftAfter());
  PutAttribute(out, "CountUsage", phrase.CountUsage());
  PutAttribute(out, "UseWithList", ListModeWord(phrase.UseWithList()));
  PutAttribute(out, "Enabled", phrase.Enabled());
  out.Put('>');
  out.Put(kLineBreak);
  if (!phrase.Word().empty()) PutTextElement(out, 2, "Word", phrase.Word());
  PutFlagMap(out, "Prefixes", "Prefix", phrase.Prefixes());
  PutFlagMap(out, "Include", "FileName", phrase.Include());
  PutFlagMap(out, "Exclude", "FileName", phrase.Exclude());
  const SystemTime& time = phrase.DateCreated();
  PutIndent(out, 2);
  out.Put("<DateCreated");
  PutAttribute(out, "Year", time.year);
  PutAttribute(out, "Month", time.month);
  PutAttribute(out, "Day", time.day);
  PutAttribute(out, "Hour", time.hour);
  PutAttribute(out, "Min", time.minute);
  PutAttribute(out, "Sec", time.second);
  out.Put(" />");
  out.Put(kLineBreak);
  PutIndent(out, 1);
  out.Put("</Phrase>");
  out.Put(kLineBreak);
}

template <typename Out, typename Phrases, typename Keep>
void PutDocument(Out& out, const Phrases& phrases, Keep keep, bool any) {
  out.Put("<?xml version=\"1.0\" ?>");
  out.Put(kLineBreak);
  if (!any) {
    out.Put("<Tessil_Phrase_Data />");
    out.Put(kLineBreak);
    return;
  }
  out.Put("<Tessil_Phrase_Data>");
  out.Put(kLineBreak);
  for (const auto& phrase : phrases) {
    if (keep(*phrase)) PutPhrase(out, *phrase);
  }
  out.Put("</Tessil_Phrase_Data>");
  out.Put(kLineBreak);
}

template <typename Phrases, typename Keep>
bool AnyKept(const Phrases& phrases, Keep keep) {
  for (const auto& phrase : phrases) {
    if (keep(*phrase)) return true;
  }
  return false;
}

template <typename Phrases, typename Keep>
size_t MeasureDocument(const Phrases& phrases, Keep keep) {
  Counter counter;
  PutDocument(counter, phrases, keep, AnyKept(phrases, keep));
  return counter.size();
}

// Measures, then writes into text, sized to fit. The phrases must not change in between
// (the callers hold the collection's lock).
template <typename Phrases, typename Keep>
bool Write(const Phrases& phrases, Keep keep, std::string& text) {
  try {
    // Only bytes beyond the old size are cleared first.
    text.resize(MeasureDocument(phrases, keep));
  } catch (const std::bad_alloc&) {
    text.clear();
    return false;
  }
  Fill fill(text.data());
  PutDocument(fill, phrases, keep, AnyKept(phrases, keep));
  if (fill.at() == text.data() + text.size()) return true;
  text.clear();
  return false;
}

}  // namespace

size_t MeasureDatabaseXml(const PhraseDatabase& collection) {
  return MeasureDocument(collection.Items(), [](const Phrase& phrase) { return phrase.IsSavable(); });
}

bool WriteDatabaseXml(const PhraseDatabase& collection, std::string& text) {
  return Write(collection.Items(), [](const Phrase& phrase) { return phrase.IsSavable(); }, text);
}

std::string WriteDatabaseXml(const PhraseDatabase& collection) {
  std::string text;
  if (!WriteDatabaseXml(collection, text)) return {};
  return text;
}

std::string WritePhrasesXml(std::span<const Phrase* const> phrases) {
  std::string text;
  if (!Write(phrases, [](const Phrase&) { return true; }, text)) return {};
  return text;
}

}  // namespace vellix
