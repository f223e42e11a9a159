#pragma once
// The database document as TinyXML builds and prints it: a tree of elements printed by
// TiXmlPrinter with four blanks of indentation and CR LF. The program writes its files with
// the streaming writer (phrase_xml_writer.h), which must give the same bytes; this printer
// is the reference that the tests, the fuzzer and the benchmark hold it against.

#include <span>
#include <string>

#include "phrases/phrase.h"
#include "phrases/phrase_database.h"

namespace vellix {

// The document of the collection's savable phrases; empty when printing fails.
std::string PrintDatabaseWithTinyXml(const PhraseDatabase& collection);
// The document of the given phrases, savable or not; empty when printing fails.
std::string PrintPhrasesWithTinyXml(std::span<const Phrase* const> phrases);

}  // namespace vellix
