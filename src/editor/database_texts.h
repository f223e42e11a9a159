#pragma once
// The messages about phrase database files: one that Vellix could not read whole (shown as a
// balloon and written to the log at start, and by the phrase editor before it opens such a
// file) and a keystroke that can never fire. Localised strings come through a lookup so that
// the rules are the same for every language.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "phrases/phrase_database_file.h"

namespace vellix {

using DatabaseStringLookup = std::function<std::u16string(uint32_t id)>;

// format with every "%1" to "%9" replaced by that argument ("" when there is none) and
// "%%" by "%"; a translation may put the parts in another order.
std::u16string FillPlaceholders(std::u16string_view format, std::initializer_list<std::u16string_view> arguments);

// Empty when the file was read whole or does not exist. Otherwise, with the file's name:
// "… was not read to its end. Phrases read: N. Reading stopped at line L, column C." (or
// the damaged element that was left out, or "… could not be read."), then that Vellix will
// not save the file by itself until the user saves from the phrase editor.
std::u16string DatabaseNotReadText(std::u16string_view path, const LoadReport& report, size_t phrasesRead,
                                   const DatabaseStringLookup& lookup);

// The question before the editor saves over a file that another program changed after the
// editor loaded it: the file's name, and that the file on disk is kept as a backup.
std::u16string OverwriteChangedFileText(std::u16string_view path, const DatabaseStringLookup& lookup);

// The warning about a keystroke that holds a separator or a full stop after other
// characters and so can never fire.
std::u16string KeystrokeNeverFiresText(std::u16string_view keystroke, const DatabaseStringLookup& lookup);

}  // namespace vellix
