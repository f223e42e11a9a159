#pragma once
// Phrases as comma- or tab-separated values (RFC 4180: fields in double quotes may hold the
// separator, line breaks and doubled quotes; UTF-8 with or without a byte-order mark).
// The first row names the columns, in any order and case:
//   keystrokes           the keystrokes, separated by blanks (a keystroke that holds a blank
//                        could never fire); "keystroke" is taken as well
//   text                 the phrase
//   disabled keystrokes  optional: keystrokes that are kept switched off
//   case                 optional: 1/yes/true = keystrokes compare with exact case
//   action               optional: replace (the default) or append
//   caret-left           optional: Left presses after the phrase, 0 to 100
//   enabled              optional: 1/yes/true (the default) or 0/no/false
// Other columns are ignored. Export writes every column, so that a file exported from
// Vellix imports back to the same phrases (usage counts, program rules and creation dates
// are not part of it).

#include <string>
#include <string_view>

#include "import/import_result.h"
#include "phrases/phrase_database.h"

namespace vellix {

ImportResult ImportDelimited(std::string_view source, char separator);
std::string ExportCsv(const PhraseDatabase& collection);

}  // namespace vellix
