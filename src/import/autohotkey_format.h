#pragma once
// Phrases from AutoHotkey hotstrings: ":OPTIONS:abbreviation::replacement", with
// continuation sections "(" ... ")" for texts of several lines and #Hotstring lines that
// change the default options. What a plain text can express is taken:
//   `n `r `t `` `; `: `{ `} escapes; {Enter} {Tab} {Space} {!} {#} {+} {^} {{} {}}
//   and {U+XXXX}; {Left n} at the end becomes Left presses after the phrase; +x in the
//   default mode types the capital letter.
//   C     keystrokes compare with exact case;  C0, C1: without case
//   B0    the abbreviation stays: append mode with the phrase written after it
//   R, T  the replacement is plain text (no braces, no !+^#)
//   *, O, K, P, S, Z and the send modes have no effect on the text and are ignored.
// Taken with a note: "?" (fires inside words; Vellix fires only on whole words).
// Left out and counted: hotstrings that run code (X, a function, or a body of commands),
// hotkeys and other script lines, and replacements that use what a text cannot hold
// (Alt, Ctrl or Windows key combinations, other keys in braces, {Left n} followed by
// text). A hotstring that waits for an ending character (no *) fires in Vellix as soon as
// it is typed, unless "Expand When the Word Ends" is switched on.

#include <string_view>

#include "import/import_result.h"

namespace vellix {

ImportResult ImportAutoHotkey(std::string_view source);

}  // namespace vellix
