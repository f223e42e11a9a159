#pragma once
// Writes the database document straight into one buffer, without building an XML tree:
// the declaration, the root "Tessil_Phrase_Data" and one `Phrase` element per phrase,
// with exactly the bytes of TinyXML's printer (four blanks of indentation per level, CR LF,
// the five markup characters as entities, characters below 32 as "&#x%02X;"). The text is
// measured first and written into a buffer of exactly that size, so a save needs no more
// memory than the file's size.

#include <span>
#include <string>

#include "phrases/phrase.h"
#include "phrases/phrase_database.h"

namespace vellix {

// The document of the collection's phrases for which IsSavable is true; empty when there
// is not enough memory.
std::string WriteDatabaseXml(const PhraseDatabase& collection);
// The same document into text, whose memory is reused: a buffer kept from one save to the
// next needs no fresh pages from the system. False (text empty) when there is not enough
// memory.
bool WriteDatabaseXml(const PhraseDatabase& collection, std::string& text);
// The size in bytes of the collection's document.
size_t MeasureDatabaseXml(const PhraseDatabase& collection);
// The document of the given phrases in order, savable or not; empty when there is not
// enough memory.
std::string WritePhrasesXml(std::span<const Phrase* const> phrases);

}  // namespace vellix
