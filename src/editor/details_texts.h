#pragma once
// Platform-free rules of the phrase details panel: the text a new keystroke starts with,
// the caret-left count typed into the panel, the frame caption with its "not used" suffix,
// and how the panel's keystroke items are stored into a phrase.

#include <string>
#include <string_view>
#include <vector>

#include "phrases/phrase.h"

namespace vellix {

// The text a new keystroke starts with: the clipboard's first field (cut before the first
// "\r\n", then before the first tab unless the tab is the first character). "Keystroke"
// when there is no clipboard text (null) or the field is empty.
std::u16string DefaultKeystrokeText(const std::u16string* clipboardText);

// The caret-left count of the count field's text: the value of its leading decimal digits,
// 0 when it starts with anything else. Values beyond the int32 range saturate.
int32_t CaretLeftCount(std::u16string_view text);

// "Details - [word]" with the translated "Details".
std::u16string DetailsCaption(std::u16string_view details, std::u16string_view word);
// The caption with " - " + notUse appended, once: an already marked caption is unchanged.
std::u16string MarkNotUsed(std::u16string_view caption, std::u16string_view notUse);
// The caption without the " - " + notUse mark at its end (also a repeated one).
std::u16string UnmarkNotUsed(std::u16string_view caption, std::u16string_view notUse);

struct KeystrokeItem {
  std::u16string text;
  bool checked = false;
};

// Replaces phrase's keystrokes by the items, in list order: items with equal texts become
// one keystroke whose enabled flag is the check of the last of them.
void StoreKeystrokes(const std::vector<KeystrokeItem>& items, Phrase& phrase);

}  // namespace vellix
