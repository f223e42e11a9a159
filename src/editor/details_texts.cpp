#include "editor/details_texts.h"

#include <cstdint>
#include <limits>

#include "services/clipboard_text.h"

namespace vellix {
namespace {

constexpr std::u16string_view kSeparator = u" - ";

std::u16string NotUseSuffix(std::u16string_view notUse) {
  std::u16string suffix(kSeparator);
  suffix += notUse;
  return suffix;
}

}  // namespace

std::u16string DefaultKeystrokeText(const std::u16string* clipboardText) {
  std::u16string text = clipboardText ? FirstFieldOf(*clipboardText) : std::u16string();
  if (text.empty()) text = u"Keystroke";
  return text;
}

int32_t CaretLeftCount(std::u16string_view text) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c - u'0');
    if (value > kMax) return int32_t(kMax);  // stop before the sum could overflow
  }
  return int32_t(value);
}

std::u16string DetailsCaption(std::u16string_view details, std::u16string_view word) {
  std::u16string caption(details);
  caption += kSeparator;
  caption += u'[';
  caption += word;
  caption += u']';
  return caption;
}

std::u16string MarkNotUsed(std::u16string_view caption, std::u16string_view notUse) {
  // Disabling twice must not stack the suffix.
  std::u16string marked = UnmarkNotUsed(caption, notUse);
  marked += NotUseSuffix(notUse);
  return marked;
}

std::u16string UnmarkNotUsed(std::u16string_view caption, std::u16string_view notUse) {
  // Only the end of the caption carries the mark; the same words inside the phrase text
  // between the brackets belong to the phrase and stay.
  const std::u16string suffix = NotUseSuffix(notUse);
  std::u16string result(caption);
  if (notUse.empty()) return result;
  while (result.size() >= suffix.size() &&
         std::u16string_view(result).substr(result.size() - suffix.size()) == suffix) {
    result.resize(result.size() - suffix.size());
  }
  return result;
}

void StoreKeystrokes(const std::vector<KeystrokeItem>& items, Phrase& phrase) {
  FlagMap& prefixes = phrase.Prefixes();
  prefixes.clear();
  // The map holds each text once; assigning in list order leaves the last item's check.
  for (const KeystrokeItem& item : items) prefixes[item.text] = item.checked ? 1 : 0;
}

}  // namespace vellix
