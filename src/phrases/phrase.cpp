#include "phrases/phrase.h"

namespace vellix {
namespace {

char16_t FoldAscii(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') ? char16_t(unit - u'A' + u'a') : unit;
}

}  // namespace

bool KeystrokesEqual(std::u16string_view a, std::u16string_view b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

Phrase::Phrase() : dateCreated_(CurrentUtcTime()) {}

Phrase::~Phrase() = default;

std::unique_ptr<Phrase> Phrase::Clone() const {
  auto copy = std::make_unique<Phrase>();
  copy->id_ = id_;
  copy->word_ = word_;
  copy->prefixes_ = prefixes_;
  copy->caseSensitive_ = caseSensitive_;
  copy->addOrReplace_ = addOrReplace_;
  copy->leftAfter_ = leftAfter_;
  copy->countUsage_ = countUsage_;
  copy->enabled_ = enabled_;
  copy->useWithList_ = useWithList_;
  copy->include_ = include_;
  copy->exclude_ = exclude_;
  copy->dateCreated_ = dateCreated_;
  return copy;
}

Phrase::KeystrokeCount Phrase::CountKeystrokes(bool stopAtFirstEnabled) const {
  KeystrokeCount count;
  for (const auto& [keystroke, enabled] : prefixes_) {
    ++count.visited;
    if (enabled) {
      ++count.enabled;
      if (stopAtFirstEnabled) break;
    }
  }
  return count;
}

bool Phrase::HasEnabledKeystroke() const { return CountKeystrokes(true).enabled > 0; }

bool Phrase::MatchesKeystroke(std::u16string_view text, bool caseSensitive) const {
  for (const auto& [keystroke, enabled] : prefixes_) {
    if (enabled && KeystrokesEqual(keystroke, text, caseSensitive)) return true;
  }
  return false;
}

}  // namespace vellix
