#pragma once
// What reading phrases from another program's file gives: the phrases, the entries that
// were left out (each with its line and the reason), the notes on entries that were taken
// but lost something Vellix has no equivalent for, or the error that stopped the reading
// (then nothing at all is taken).

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "phrases/phrase.h"

namespace vellix {

struct ImportMessage {
  size_t line = 0;     // from 1; 0 when the message concerns the whole source
  std::string text;    // English, for the tool and the log
};

struct ImportResult {
  std::vector<std::unique_ptr<Phrase>> phrases;
  std::vector<ImportMessage> skipped;  // entries not taken, with the reason
  std::vector<ImportMessage> notes;    // entries taken without something they had
  bool failed = false;                 // the source could not be read: nothing is taken
  ImportMessage error;

  void Fail(size_t line, std::string text) {
    failed = true;
    error = {line, std::move(text)};
    phrases.clear();
  }
  void Skip(size_t line, std::string text) { skipped.push_back({line, std::move(text)}); }
  void Note(size_t line, std::string text) { notes.push_back({line, std::move(text)}); }
};

// Limits every reader applies before it looks at the text: a source over kMaxSourceBytes,
// holding a zero byte (a binary file) or invalid UTF-8, or with a line over kMaxLineBytes,
// fails with a clear error.
inline constexpr size_t kMaxSourceBytes = size_t(64) << 20;
inline constexpr size_t kMaxLineBytes = size_t(1) << 20;

// Checks source against those limits and strips a UTF-8 byte-order mark; false (with the
// error in result) when the source cannot be read.
bool PrepareSource(std::string_view& source, ImportResult& result);

// A phrase with the fields every importer starts from: enabled, replace, no case, no rule.
std::unique_ptr<Phrase> NewImportedPhrase();

// Lone LF and lone CR become CR LF, as the phrase editor stores line breaks.
std::u16string WithEditorLineBreaks(std::u16string_view text);

}  // namespace vellix
