#pragma once
// Copy and paste of phrases through the private clipboard format. The one-phrase XML
// document is produced and read by the phrase database file's reader and writer, which
// the program plugs in at start (SetPhraseDocumentCodec); until then copying and pasting
// phrases report failure.

#include <functional>
#include <string>
#include <string_view>

namespace vellix {

class Phrase;
class PhraseDatabase;

struct PhraseDocumentCodec {
  // The one-phrase document as UTF-8; empty on failure.
  std::function<std::string(const Phrase&)> write;
  // Fills the phrase from a document; 1 when a phrase was read.
  std::function<int(Phrase&, std::string_view)> read;
};

void SetPhraseDocumentCodec(PhraseDocumentCodec codec);

// Puts the phrase's document as the private format, as 8-bit text (the same UTF-8 bytes)
// and as Unicode text, each with its terminating zero.
bool CopyPhrasesToClipboard(const Phrase& phrase);
// The private format is on the clipboard.
bool IsPhraseOnClipboard();
// Adds the phrase of the private format to collection; the number of phrases added.
int PastePhrasesFromClipboard(PhraseDatabase& collection);

}  // namespace vellix
