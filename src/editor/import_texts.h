#pragma once
// The texts and rules of the phrase editor's Import command: the file dialog's title and
// filter, the format of a chosen file, and the report of what was imported, left out and
// what now collides. Localised strings come through a lookup; the reasons the readers give
// for an entry are their own (English) texts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_texts.h"
#include "import/phrase_import.h"

namespace vellix {

// The filter's entries, in order: CSV, TSV, AutoHotkey, espanso.
inline constexpr ImportFormat kImportFilterFormats[] = {ImportFormat::kCsv, ImportFormat::kTsv,
                                                        ImportFormat::kAutoHotkey, ImportFormat::kEspanso};

// "Vellix : " and the part of the command's prompt string before its "\n".
std::u16string ImportDialogTitle(const EditorStringLookup& lookup);
// The localised filter text with every "|" as a NUL and the list's end ("\0\0").
std::u16string ImportFileFilter(const EditorStringLookup& lookup);

// The format of a chosen file: its extension when it names one (.csv, .tsv, .tab, .ahk,
// .yml, .yaml, any case), else the filter entry chosen (1-based; nothing when out of range).
std::optional<ImportFormat> ImportFormatForFile(std::u16string_view path, unsigned filterIndex);

// At most this many left-out entries and notes are listed one by one.
inline constexpr size_t kImportReportLines = 15;

// What an import brought into the editor.
struct ImportOutcome {
  std::u16string_view path;
  size_t imported = 0;
  const std::vector<ImportMessage>* skipped = nullptr;
  const std::vector<ImportMessage>* notes = nullptr;
  std::vector<std::u16string> collidingKeystrokes;  // in order, each once
};

// "Phrases imported from NAME: N. …" (or "No phrases were found in NAME."), then the
// entries left out and those imported without something, line by line, and the keystrokes
// that now belong to more than one phrase.
std::u16string ImportReportText(const ImportOutcome& outcome, const EditorStringLookup& lookup);

// "NAME could not be imported: REASON (line N)".
std::u16string ImportFailedText(std::u16string_view path, const ImportMessage& error,
                                const EditorStringLookup& lookup);

}  // namespace vellix
