#pragma once
// What a target window types for a dead key followed by another key. The layout gives the
// dead key's spacing form (^ for the circumflex key); the next key's text then either
// combines with it into one character (^ and e give ê), or, as every Windows layout does
// for a pair it has no character for, both are typed (^ and x give ^x). A blank after the
// dead key gives the spacing form alone.
//
// Platform-free: the precomposition itself (letter plus combining mark to one character)
// is the caller's, through Precompose.

#include <cstddef>
#include <string_view>

namespace vellix {

// The combining mark that a dead key's spacing form stands for; 0 when there is none.
char16_t CombiningMarkFor(char16_t spacing) noexcept;

// Letter plus combining mark to one precomposed character; 0 when there is none.
using Precompose = char16_t (*)(char16_t letter, char16_t mark) noexcept;

// Writes what the target types for dead followed by text into out; returns the length.
size_t ComposeAfterDeadKey(char16_t dead, std::u16string_view text, Precompose precompose,
                           char16_t* out, size_t capacity) noexcept;

}  // namespace vellix
