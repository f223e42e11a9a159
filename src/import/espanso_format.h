#pragma once
// Phrases from espanso match files (YAML): every entry of "matches" with a "trigger" or
// "triggers" and a "replace" text. "$|$" in the text marks where the caret goes: the
// phrase is typed without it and the caret moves back there with Left presses.
// A file whose "filter_exec" names executables ("notepad.exe", or several joined with
// "|") gives its phrases a rule: they fire only in those programs.
// Taken with a note: "word: true" (Vellix has "Expand When the Word Ends" for all phrases),
// "propagate_case: true" ("Case Follows the Keystroke" for all phrases), a filter_exec
// that is a pattern and not a list of executables (the phrases fire everywhere).
// Left out and counted: forms, variables ("vars" or {{...}} in the text), images, HTML and
// Markdown texts, regex triggers, and entries without a trigger or a text.

#include <string_view>

#include "import/import_result.h"

namespace vellix {

ImportResult ImportEspanso(std::string_view source);

}  // namespace vellix
