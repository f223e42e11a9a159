#pragma once
// Whether a keystroke can ever fire. The engine compares the word typed in a window with
// the keystrokes, and the word never holds a separator (a key whose text is one of them ends
// the word) nor a full stop after other characters (a full stop starts a new word). Defined
// beside the engine's classification of key texts, so that both follow the same rules.

#include <string_view>

namespace vellix {

// False for an empty keystroke, for one that holds a separator (comma, number sign, question
// mark, quotation mark, apostrophe, CR, LF, tab, equals sign, slash, backslash, blank), and
// for one with a full stop after a character that is not a full stop.
bool KeystrokeCanFire(std::u16string_view keystroke) noexcept;

}  // namespace vellix
