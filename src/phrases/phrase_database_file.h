#pragma once
// Reader and writer of the phrase database file (UTF-8 XML, root "Tessil_Phrase_Data"), of
// its time-stamped backups and of the phrase documents that the clipboard carries.
// Stateless: every operation takes the collection or phrase and the path it works on, so
// all of them are reentrant. Results are 1/0 (or an empty string); nothing throws.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "phrases/phrase.h"
#include "phrases/phrase_database.h"
#include "phrases/xml_input_guard.h"

#if defined(_WIN32)
struct HWND__;
#endif

namespace vellix {

// An element whose content the collection does not hold, so that saving the collection
// over the file would lose it.
struct DroppedElement {
  std::string name;  // as written in the file
  uint32_t id = 0;   // a `Phrase` under the root: the identifier it would have had; else 0
  TextPosition at;   // its start tag
};

// What Parse found besides the phrases: for tools that report on a file, and for the host,
// which must not save over a file that it could not read whole.
struct ParseReport {
  uint32_t phraseElements = 0;     // `Phrase` elements under the root
  std::vector<uint32_t> rejected;  // identifiers the rejected elements would have had
  bool inputCut = false;           // the text nested too deep and was read up to that point
  // Rejected `Phrase` elements that held more than Vellix writes for a phrase whose text is
  // empty (a misspelt `Word`, text), and elements beside the root; in file order.
  std::vector<DroppedElement> lost;
  // Where reading stopped short of the end of the text (a syntax error, the guard's cut,
  // or text after the root that the parser does not read); line 0 when it did not.
  TextPosition stop;
  std::string stopReason;  // English, for tools: the parser's error text or the reason
  uint32_t ampersandsRepaired = 0;  // bare "&" read as the character "&"

  // Every element of the file is in the collection, or is one the file format drops on
  // every load anyway.
  bool ReadWhole() const { return stop.line == 0 && lost.empty(); }
};

// Why a file's text could not be read (the tool names the reason; Load only says 0).
enum class FileReadStatus { kOk, kNotFound, kInUse, kCannotOpen, kIsFolder, kEmpty, kTooLarge, kReadFailed };

// What Load found, for the message about a database file that was not read whole.
struct LoadReport {
  FileReadStatus status = FileReadStatus::kNotFound;  // reading the file's bytes
  bool rootFound = false;
  ParseReport parse;  // filled when the bytes were read

  bool ReadWhole() const { return status == FileReadStatus::kOk && rootFound && parse.ReadWhole(); }
};

// Called with the database path and the hook argument before a save writes; 0 stops the
// save.
using BeforeWriteHook = int (*)(const std::u16string& path, void* argument);

class PhraseDatabaseFile {
 public:
  // Files larger than this are not read: their tree would not fit in memory.
  static constexpr uint64_t kMaxFileSize = uint64_t(256) << 20;

  // The database document of the savable phrases; empty on failure.
  static std::string Serialize(const PhraseDatabase& collection);
  // Serialize into text, reusing its memory (a buffer kept between saves); false, and text
  // empty, on failure.
  static bool SerializeInto(const PhraseDatabase& collection, std::string& text);
  // The size in bytes of Serialize's text.
  static size_t SerializedSize(const PhraseDatabase& collection);
  // 1 when the root was found (the collection then holds exactly the accepted phrases,
  // numbered by their position among the `Phrase` elements from firstId on); 0 when not,
  // and the collection is untouched. The report is filled in both cases.
  static int Parse(PhraseDatabase& collection, std::string_view text, uint32_t firstId,
                   ParseReport* report = nullptr);
  // Parse with TinyXML alone. Parse reads a document in the plain form Vellix writes with a
  // quick reader of its own and leaves every other text to this; both give the same result
  // for every text.
  static int ParseWithTinyXml(PhraseDatabase& collection, std::string_view text, uint32_t firstId,
                              ParseReport* report = nullptr);
  // Parse of a file's bytes as Load reads them: up to the first zero byte, from id 1.
  static int ParseFileBytes(PhraseDatabase& collection, std::string_view bytes,
                            ParseReport* report = nullptr);

  // The document holding exactly one phrase (no IsSavable test); empty on failure.
  static std::string WritePhraseDocument(const Phrase& phrase);
  // The document holding the given phrases in order (no IsSavable test): the clipboard
  // copy of several phrases. Parse reads it back.
  static std::string SerializePhrases(std::span<const Phrase* const> phrases);
  // Reads the first phrase of a document into phrase (identifier 1): 1 when accepted, 0
  // when the root or the `Phrase` element is missing or it was rejected (phrase unchanged).
  static int ReadPhraseDocument(Phrase& phrase, std::string_view text);

  // Backup file name: base name, "_", the stamp with every blank turned into "_" and every
  // character a file name cannot hold (":" \ / * ? " < > | and controls) into "-", extension.
  static std::u16string BackupName(std::u16string_view databasePath, std::u16string_view stamp);

#if defined(_WIN32)
  // 1 loaded, 0 not (missing, empty, locked, unreadable, no root); the collection is untouched
  // on 0. The report (may be null) says whether the file was read whole.
  static int Load(PhraseDatabase& collection, const std::u16string& path, LoadReport* report = nullptr);
  // Serializes, asks the hook (may be null), then replaces the file in one step through a
  // temporary file in the same folder: 1 written, 0 not (the old file is then unchanged).
  // The file is left read-only after every attempt.
  static int Save(const PhraseDatabase& collection, const std::u16string& path,
                  BeforeWriteHook hook, void* hookArgument);
  // Copies the database into BackupFolder() under a time-stamped name; failures are
  // ignored. Always 1, so that a save goes on.
  static int MakeBackup(const std::u16string& path, void* unused = nullptr);
  // The program's folder + "Phrases_Backup".
  static std::u16string BackupFolder();
  // Opens the backup folder in the shell; false when it cannot (e.g. no backup yet).
  static bool OpenBackupFolder(HWND__* owner);
  // The file's bytes with Load's rules (no sharing, existing files only, all or nothing).
  static FileReadStatus ReadFileBytes(const std::u16string& path, std::string& bytes);
#endif
};

}  // namespace vellix
