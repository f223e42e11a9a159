#pragma once
// The quick reader of the database file. It reads documents in the plain form that Vellix
// writes (and the small liberties a person editing one by hand takes: other blanks and line
// breaks, single quotes, attributes in another order or unknown ones, elements of a phrase
// in another order) in one pass, straight into phrases, without building an XML tree. What
// it reads is exactly what TinyXML's reading gives for the same text: white space condensed,
// entities and character references replaced, a text taken only when it is an element's
// first child and not blank, numbers and list modes read by the same rules.
//
// It leaves every other document to TinyXML: it answers false as soon as it meets a
// construct whose reading it does not follow itself (a comment, CDATA, a processing
// instruction, a document type, text or an element where the file has none, an element
// twice where the reading takes the first, a repeated attribute, an attribute value
// without quotes, an unknown entity or a bare '&', a character reference that does not
// name a character, invalid UTF-8, a zero byte, anything after the root) and for any
// document that is malformed or cut short. The caller then reads the text with TinyXML,
// which also reports where such a document stopped.

#include <cstdint>
#include <string_view>

#include "phrases/phrase_database.h"
#include "phrases/phrase_database_file.h"

namespace vellix {

// True when the whole text was read: read holds the accepted phrases, numbered by their
// position among the `Phrase` elements from firstId on, and report what was found. False
// when the text is left to TinyXML; read and report are then to be discarded. Throws
// std::bad_alloc when memory runs out.
bool ReadPlainDatabaseXml(std::string_view text, uint32_t firstId, PhraseDatabase& read,
                          ParseReport& report);

}  // namespace vellix
