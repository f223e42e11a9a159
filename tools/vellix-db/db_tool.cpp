#include "db_tool.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/utf.h"
#include "engine/keystroke_rule.h"
#include "import/csv_format.h"
#include "import/phrase_import.h"
#include "phrases/keystroke_conflicts.h"

namespace vellix {
namespace {

constexpr char kToolHelp[] =
    "usage: vellix-db VERB [--help] FILE...\n"
    "\n"
    "Checks, lists and normalizes Vellix phrase database files (Database.xml).\n"
    "Files are read exactly as Vellix loads them.\n"
    "\n"
    "verbs:\n"
    "  check FILE          report what loads and what looks wrong\n"
    "  list FILE           one line per phrase\n"
    "  normalize IN OUT    load IN and write OUT as Vellix saves it\n"
    "  import FORMAT SOURCE... DATABASE   phrases from CSV/TSV, AutoHotkey or espanso files\n"
    "  export csv DATABASE OUT            the phrases as comma-separated values\n"
    "\n"
    "Run 'vellix-db VERB --help' for the details of a verb.\n"
    "exit status: 0 done, 1 a file could not be read, had no root or could not be written,\n"
    "2 wrong usage.\n";

constexpr char kCheckHelp[] =
    "usage: vellix-db check FILE\n"
    "\n"
    "Loads FILE as Vellix does and prints the number of phrases loaded, the Phrase\n"
    "elements that were dropped (no Word element), whether the file was read to its end\n"
    "(else the line and column where reading stopped, as Vellix reports them), the\n"
    "elements whose content a save would lose, the bare & read as the character &, the\n"
    "phrases without an enabled keystroke, the keystrokes that can never fire (they hold\n"
    "a blank or another character that ends a word, or a full stop after other\n"
    "characters), the caret-left counts below 0 or above 100, and the enabled keystrokes\n"
    "that several phrases share, the keystrokes that begin a longer one (typed slowly,\n"
    "the longer one expands the shorter one first; no conflict when phrases expand at\n"
    "the end of a word), and the phrases that may fire only in listed programs but list\n"
    "none that is enabled (they fire nowhere). Positions count the Phrase elements of\n"
    "the file from 1; lines and columns count from 1, every character (a tab too) one\n"
    "column.\n"
    "Vellix does not save over a file that was not read whole until the user saves it\n"
    "from the phrase editor.\n"
    "exit status: 0 the root element was found, 1 it was not or FILE cannot be read,\n"
    "2 wrong usage.\n";

constexpr char kListHelp[] =
    "usage: vellix-db list FILE\n"
    "\n"
    "Prints one line per loaded phrase: position, enabled, case-sensitive, action\n"
    "(replace or append), caret-left steps, usage count, the keystrokes with their flags,\n"
    "the program rule (only-in=[...] or never-in=[...], the executable file names with\n"
    "their flags; none when the phrase fires everywhere) and the first 40 characters of\n"
    "the text, control characters escaped (\\r \\n \\t \\xNN).\n"
    "exit status as for check.\n";

constexpr char kNormalizeHelp[] =
    "usage: vellix-db normalize IN OUT\n"
    "\n"
    "Loads IN as Vellix does and writes OUT with exactly the bytes Vellix writes when it\n"
    "saves that collection. Nothing is written when IN cannot be loaded. On Windows OUT\n"
    "is left read-only, as Vellix leaves its database. IN and OUT may be the same file.\n"
    "exit status: 0 written, 1 IN could not be loaded or OUT could not be written,\n"
    "2 wrong usage.\n";

constexpr char kImportHelp[] =
    "usage: vellix-db import FORMAT SOURCE... DATABASE [--force]\n"
    "\n"
    "Reads the phrases of every SOURCE and writes them to DATABASE. Without --force\n"
    "DATABASE must not exist yet; with --force the phrases are added after those of the\n"
    "existing DATABASE (which must then be read whole). When a SOURCE cannot be read at\n"
    "all (bad quoting, bad YAML, a binary file, a line over 1 MB), nothing is written.\n"
    "Prints, for each SOURCE, the phrases imported, the entries left out (line and\n"
    "reason) and the notes on entries that lost something; then the keystrokes that the\n"
    "new phrases share with phrases already in DATABASE or imported before them.\n"
    "\n"
    "FORMAT:\n"
    "  csv, tsv     comma- or tab-separated values (RFC 4180 quotes, UTF-8 with or without\n"
    "               a byte-order mark). The first row names the columns: keystrokes (blank-\n"
    "               separated) and text, and optionally disabled keystrokes, case (yes/no),\n"
    "               action (replace/append), caret-left (0-100), enabled (yes/no).\n"
    "  ahk          AutoHotkey hotstrings :OPTIONS:abbreviation::replacement, continuation\n"
    "               sections ( ... ) and #Hotstring defaults. C: exact case; B0: append\n"
    "               mode; R, T: plain text; `n `t and the other escapes; {Enter} {Tab}\n"
    "               {Space} {!} {#} {+} {^} {{} {}} {U+XXXX}; {Left n} at the end: caret-left.\n"
    "               Left out and counted: code (X, functions, command bodies), hotkeys and\n"
    "               other script lines, Alt/Ctrl/Windows key combinations (! ^ #), other keys\n"
    "               in braces, text after {Left}. No equivalent: ? (fires inside words:\n"
    "               taken, with a note); * and the ending character (Vellix fires as soon\n"
    "               as the keystroke is typed, or at the end of the word for all phrases\n"
    "               with Expand When the Word Ends); O, K, P, S, Z (ignored).\n"
    "  espanso      match files (YAML): trigger or triggers, replace, $|$ for the caret;\n"
    "               a filter_exec naming executables (notepad.exe|winword.exe) becomes\n"
    "               a rule: the phrases fire only in those programs. Left out and counted:\n"
    "               form, vars and {{variables}}, image_path, html, markdown, regex\n"
    "               triggers. No equivalent per phrase: word and propagate_case (taken,\n"
    "               with a note; Vellix has Expand When the Word Ends and Case Follows the\n"
    "               Keystroke for all phrases); a filter_exec that is a pattern.\n"
    "exit status: 0 written, 1 a file could not be read or written, 2 wrong usage.\n";

constexpr char kExportHelp[] =
    "usage: vellix-db export csv DATABASE OUT [--force]\n"
    "\n"
    "Writes the phrases of DATABASE to OUT as comma-separated values with the columns\n"
    "keystrokes, text, disabled keystrokes, case, action, caret-left and enabled, which\n"
    "vellix-db import csv reads back to the same phrases. Usage counts, program rules and\n"
    "creation dates are not written. OUT is not overwritten without --force.\n"
    "exit status: 0 written, 1 DATABASE could not be read or OUT written, 2 wrong usage.\n";

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

std::string Describe(FileReadStatus status) {
  switch (status) {
    case FileReadStatus::kOk: return "read";
    case FileReadStatus::kNotFound: return "no such file";
    case FileReadStatus::kInUse: return "the file is in use by another program";
    case FileReadStatus::kCannotOpen: return "the file cannot be opened";
    case FileReadStatus::kIsFolder: return "this is a folder, not a file";
    case FileReadStatus::kEmpty: return "the file is empty";
    case FileReadStatus::kTooLarge: return "the file is larger than 256 MiB";
    case FileReadStatus::kReadFailed: return "the file could not be read completely";
  }
  return "the file cannot be read";
}

std::string At(const TextPosition& at) {
  return "line " + std::to_string(at.line) + ", column " + std::to_string(at.column);
}

std::string StopText(const ParseReport& report) {
  return "reading stopped at " + At(report.stop) + ": " + report.stopReason;
}

// Loads path into collection; on failure writes the one-line reason and returns false.
bool LoadFile(const std::u16string& path, DbToolFiles& files, PhraseDatabase& collection,
              ParseReport& report, DbToolOutput& output) {
  std::string bytes;
  const FileReadStatus status = files.Read(path, bytes);
  if (status != FileReadStatus::kOk) {
    output.err += "vellix-db: " + Utf8(path) + ": " + Describe(status) + "\n";
    return false;
  }
  if (!PhraseDatabaseFile::ParseFileBytes(collection, bytes, &report)) {
    output.err += "vellix-db: " + Utf8(path) + ": not a phrase database (no Tessil_Phrase_Data root element)";
    output.err += report.stop.line ? "; " + StopText(report) + "\n" : "\n";
    return false;
  }
  if (report.inputCut) {
    output.err += "vellix-db: " + Utf8(path) +
                  ": warning: elements nest too deep; read up to that point, as Vellix does\n";
  }
  return true;
}

// Text with control characters, backslash and quote escaped; at most limit code points.
std::string Escape(const std::u16string& text, size_t limit) {
  const std::string utf8 = Utf8(text);
  std::string result;
  size_t codePoints = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) != 0x80 && codePoints++ == limit) {
      result += "...";
      break;
    }
    switch (c) {
      case '\r': result += "\\r"; break;
      case '\n': result += "\\n"; break;
      case '\t': result += "\\t"; break;
      case '\\': result += "\\\\"; break;
      case '"': result += "\\\""; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          static const char kHex[] = "0123456789ABCDEF";
          result += "\\x";
          result += kHex[c >> 4];
          result += kHex[c & 15];
        } else {
          result += char(c);
        }
    }
  }
  return result;
}

std::string Positions(const std::vector<uint32_t>& ids) {
  std::string text = ids.size() == 1 ? "position " : "positions ";
  for (size_t i = 0; i < ids.size(); ++i) text += (i ? ", " : "") + std::to_string(ids[i]);
  return text;
}

std::u16string FoldAscii(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  }
  return text;
}

// Enabled keystrokes that trigger more than one phrase: equal keystrokes, or keystrokes
// equal but for ASCII case where one of the two phrases is not case-sensitive.
void ReportSharedKeystrokes(const PhraseDatabase& collection, DbToolOutput& output) {
  struct Entry {
    uint32_t id;
    const std::u16string* keystroke;
    bool caseSensitive;
  };
  std::map<std::u16string, std::vector<Entry>> groups;
  for (const auto& phrase : collection.Items()) {
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (enabled) groups[FoldAscii(keystroke)].push_back({phrase->Id(), &keystroke, phrase->CaseSensitive() != 0});
    }
  }
  std::vector<std::string> lines;
  for (const auto& [folded, entries] : groups) {
    std::set<uint32_t> ids;
    std::set<std::u16string> keystrokes;
    for (const Entry& a : entries) {
      for (const Entry& b : entries) {
        if (a.id == b.id) continue;
        if (*a.keystroke == *b.keystroke || !a.caseSensitive || !b.caseSensitive) {
          ids.insert(a.id);
          keystrokes.insert(*a.keystroke);
        }
      }
    }
    if (ids.size() < 2) continue;
    std::string names;
    for (const auto& k : keystrokes) names += (names.empty() ? "\"" : " / \"") + Escape(k, 40) + "\"";
    lines.push_back("  " + names + ": " + Positions({ids.begin(), ids.end()}) + "\n");
  }
  output.out += "keystrokes shared by several phrases: " + std::to_string(lines.size()) + "\n";
  for (const std::string& line : lines) output.out += line;
}

// Keystrokes that can never be the typed word.
void ReportKeystrokesThatNeverFire(const PhraseDatabase& collection, DbToolOutput& output) {
  std::vector<std::string> lines;
  for (const auto& phrase : collection.Items()) {
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      if (!KeystrokeCanFire(keystroke)) {
        lines.push_back("  \"" + Escape(keystroke, 40) + "\": position " + std::to_string(phrase->Id()) +
                        (enabled ? "\n" : " (disabled)\n"));
      }
    }
  }
  output.out += "keystrokes that can never fire (a separator, or a full stop after other characters): " +
                std::to_string(lines.size()) + "\n";
  for (const std::string& line : lines) output.out += line;
}

// Phrases that may fire only in the programs they list but list none that is enabled.
void ReportEmptyProgramLists(const PhraseDatabase& collection, DbToolOutput& output) {
  std::vector<uint32_t> nowhere;
  for (const auto& phrase : collection.Items()) {
    if (phrase->UseWithList() != kUseIncludeList) continue;
    const auto& include = phrase->Include();
    const bool any = std::any_of(include.begin(), include.end(), [](const auto& entry) {
      return entry.second == 1 && !entry.first.empty();
    });
    if (!any) nowhere.push_back(phrase->Id());
  }
  output.out += "phrases that fire only in listed programs but list none (they fire nowhere): " +
                std::to_string(nowhere.size());
  output.out += nowhere.empty() ? "\n" : " at " + Positions(nowhere) + "\n";
}

// Keystrokes that are the beginning of a longer one: typed slowly, the longer one expands
// the shorter one first.
void ReportPrefixConflicts(const PhraseDatabase& collection, DbToolOutput& output) {
  constexpr size_t kShown = 20;
  const KeystrokeConflicts found = FindPrefixConflicts(collection, &ToolUpperCase, kShown);
  output.out += "keystrokes that begin a longer keystroke (it then expands first, unless typed "
                "within the print delay; no conflict when phrases expand at the end of a word): " +
                std::to_string(found.total) + "\n";
  for (const KeystrokeConflict& conflict : found.examples) {
    output.out += "  \"" + Escape(conflict.shorter, 40) + "\" (position " +
                  std::to_string(conflict.shorterId) + ") begins \"" + Escape(conflict.longer, 40) +
                  "\" (position " + std::to_string(conflict.longerId) + ")\n";
  }
  if (found.total > found.examples.size()) {
    output.out += "  and " + std::to_string(found.total - found.examples.size()) + " more\n";
  }
}

// The engine types no Left press for a negative caret-left count and at most 100.
void ReportCaretLeftCounts(const PhraseDatabase& collection, DbToolOutput& output) {
  std::vector<std::string> lines;
  for (const auto& phrase : collection.Items()) {
    const int32_t count = phrase->LeftAfter();
    if (count >= 0 && count <= 100) continue;
    lines.push_back("  position " + std::to_string(phrase->Id()) + ": " + std::to_string(count) +
                    (count < 0 ? " (no Left press is typed)\n" : " (100 Left presses are typed)\n"));
  }
  output.out += "caret-left counts below 0 or above 100: " + std::to_string(lines.size()) + "\n";
  for (const std::string& line : lines) output.out += line;
}

int Check(const std::u16string& path, DbToolFiles& files, DbToolOutput& output) {
  PhraseDatabase collection;
  ParseReport report;
  if (!LoadFile(path, files, collection, report, output)) return 1;
  output.out += Utf8(path) + ": phrase database\n";
  output.out += "phrases loaded: " + std::to_string(collection.Size()) + " of " +
                std::to_string(report.phraseElements) + " Phrase elements\n";
  output.out += "Phrase elements rejected (no Word element): " + std::to_string(report.rejected.size());
  output.out += report.rejected.empty() ? "\n" : " at " + Positions(report.rejected) + "\n";
  output.out += "read to its end: " + (report.stop.line ? "no, " + StopText(report) : std::string("yes")) + "\n";
  output.out += "elements a save would lose: " + std::to_string(report.lost.size()) + "\n";
  for (const DroppedElement& element : report.lost) {
    output.out += "  " + element.name + " at " + At(element.at);
    output.out += element.id ? " (position " + std::to_string(element.id) + ")\n" : " (beside the root)\n";
  }
  if (!report.ReadWhole()) {
    output.out += "Vellix reads what it can, says so, and does not save over this file until it is saved "
                  "from the phrase editor\n";
  }
  output.out += "bare & read as the character &: " + std::to_string(report.ampersandsRepaired) + "\n";
  std::vector<uint32_t> silent;
  for (const auto& phrase : collection.Items()) {
    if (!phrase->HasEnabledKeystroke()) silent.push_back(phrase->Id());
  }
  output.out += "phrases without an enabled keystroke: " + std::to_string(silent.size());
  output.out += silent.empty() ? "\n" : " at " + Positions(silent) + "\n";
  ReportKeystrokesThatNeverFire(collection, output);
  ReportCaretLeftCounts(collection, output);
  ReportSharedKeystrokes(collection, output);
  ReportPrefixConflicts(collection, output);
  ReportEmptyProgramLists(collection, output);
  return 0;
}

// " only-in=[...]" or " never-in=[...]" for a phrase with a program rule, else nothing.
std::string ProgramRule(const Phrase& phrase) {
  const int32_t mode = phrase.UseWithList();
  if (mode != kUseIncludeList && mode != kUseExcludeList) return {};
  const auto& list = mode == kUseIncludeList ? phrase.Include() : phrase.Exclude();
  std::string text = mode == kUseIncludeList ? " only-in=[" : " never-in=[";
  bool first = true;
  for (const auto& [program, enabled] : list) {
    text += (first ? "\"" : ", \"") + Escape(program, 60) + (enabled ? "\"" : "\" (disabled)");
    first = false;
  }
  return text + "]";
}

int List(const std::u16string& path, DbToolFiles& files, DbToolOutput& output) {
  PhraseDatabase collection;
  ParseReport report;
  if (!LoadFile(path, files, collection, report, output)) return 1;
  for (const auto& phrase : collection.Items()) {
    std::string line = std::to_string(phrase->Id());
    line += " enabled=" + std::to_string(phrase->Enabled());
    line += " case-sensitive=" + std::to_string(phrase->CaseSensitive());
    line += std::string(" action=") + (phrase->AddOrReplace() ? "replace" : "append");
    line += " caret-left=" + std::to_string(phrase->LeftAfter());
    line += " usage=" + std::to_string(phrase->CountUsage());
    line += " keystrokes=[";
    bool first = true;
    for (const auto& [keystroke, enabled] : phrase->Prefixes()) {
      line += (first ? "\"" : ", \"") + Escape(keystroke, 40) + (enabled ? "\"" : "\" (disabled)");
      first = false;
    }
    line += "]" + ProgramRule(*phrase);
    line += " text=\"" + Escape(phrase->Word(), 40) + "\"\n";
    output.out += line;
  }
  return 0;
}

int Normalize(const std::u16string& in, const std::u16string& out, DbToolFiles& files,
              DbToolOutput& output) {
  PhraseDatabase collection;
  ParseReport report;
  if (!LoadFile(in, files, collection, report, output)) return 1;
  if (!files.Save(collection, out)) {
    output.err += "vellix-db: " + Utf8(out) + ": could not be written\n";
    return 1;
  }
  output.out += Utf8(out) + ": " + std::to_string(collection.Size()) + " phrases written\n";
  return 0;
}

int Usage(DbToolOutput& output, const std::string& message, const char* help) {
  output.err += "vellix-db: " + message + "\n" + help;
  return 2;
}

std::string Where(const ImportMessage& message) {
  return message.line ? "line " + std::to_string(message.line) + ": " : std::string();
}

int Import(std::vector<std::u16string> rest, bool force, DbToolFiles& files, DbToolOutput& output) {
  if (rest.size() < 3) return Usage(output, "import takes a format, sources and a database", kImportHelp);
  const auto format = ImportFormatNamed(Utf8(rest[0]));
  if (!format) return Usage(output, "unknown format '" + Utf8(rest[0]) + "'", kImportHelp);
  const std::u16string database = rest.back();
  PhraseDatabase collection;
  if (files.Exists(database)) {
    if (!force) {
      output.err += "vellix-db: " + Utf8(database) + " exists; --force adds the phrases to it\n";
      return 1;
    }
    ParseReport report;
    if (!LoadFile(database, files, collection, report, output)) return 1;
    if (!report.ReadWhole()) {
      output.err += "vellix-db: " + Utf8(database) + " was not read whole (" + StopText(report) +
                    "); nothing is written over it\n";
      return 1;
    }
  }
  const size_t before = collection.Size();
  std::vector<KeystrokeCollision> collisions;
  for (size_t i = 1; i + 1 < rest.size(); ++i) {
    std::string bytes;
    const FileReadStatus status = files.Read(rest[i], bytes);
    if (status != FileReadStatus::kOk && status != FileReadStatus::kEmpty) {
      output.err += "vellix-db: " + Utf8(rest[i]) + ": " + Describe(status) + "; nothing is written\n";
      return 1;
    }
    ImportResult result = ImportPhrases(*format, bytes);
    if (result.failed) {
      output.err += "vellix-db: " + Utf8(rest[i]) + ": " + Where(result.error) + result.error.text +
                    "; nothing is written\n";
      return 1;
    }
    output.out += Utf8(rest[i]) + ": " + std::to_string(result.phrases.size()) + " phrases imported, " +
                  std::to_string(result.skipped.size()) + " entries left out, " +
                  std::to_string(result.notes.size()) + " notes\n";
    for (const auto& skip : result.skipped) output.out += "  " + Where(skip) + "left out: " + skip.text + "\n";
    for (const auto& note : result.notes) output.out += "  " + Where(note) + "note: " + note.text + "\n";
    for (auto& collision : AppendImported(result, collection)) collisions.push_back(std::move(collision));
  }
  output.out += "keystrokes that now collide: " + std::to_string(collisions.size()) + "\n";
  for (const auto& collision : collisions) {
    output.out += "  \"" + Escape(collision.keystroke, 40) + "\": position " +
                  std::to_string(collision.importedId) + " and " + Positions(collision.otherIds) + "\n";
  }
  if (!files.Save(collection, database)) {
    output.err += "vellix-db: " + Utf8(database) + ": could not be written\n";
    return 1;
  }
  output.out += Utf8(database) + ": " + std::to_string(collection.Size()) + " phrases written (" +
                std::to_string(collection.Size() - before) + " new)\n";
  return 0;
}

int Export(const std::vector<std::u16string>& rest, bool force, DbToolFiles& files, DbToolOutput& output) {
  if (rest.size() != 3 || rest[0] != u"csv") {
    return Usage(output, "export takes csv, a database and an output file", kExportHelp);
  }
  if (files.Exists(rest[2]) && !force) {
    output.err += "vellix-db: " + Utf8(rest[2]) + " exists; --force writes over it\n";
    return 1;
  }
  PhraseDatabase collection;
  ParseReport report;
  if (!LoadFile(rest[1], files, collection, report, output)) return 1;
  if (!files.WriteFile(rest[2], ExportCsv(collection))) {
    output.err += "vellix-db: " + Utf8(rest[2]) + ": could not be written\n";
    return 1;
  }
  output.out += Utf8(rest[2]) + ": " + std::to_string(collection.Size()) + " phrases written\n";
  return 0;
}

}  // namespace

int RunDbTool(const std::vector<std::u16string>& arguments, DbToolFiles& files, DbToolOutput& output) {
  if (arguments.empty()) return Usage(output, "no verb given", kToolHelp);
  const std::u16string& verb = arguments[0];
  if (verb == u"--help" || verb == u"-h" || verb == u"help") {
    output.out += kToolHelp;
    return 0;
  }
  struct Verb {
    const char16_t* name;
    const char* help;
    size_t files;
  } const verbs[] = {{u"check", kCheckHelp, 1}, {u"list", kListHelp, 1},
                     {u"normalize", kNormalizeHelp, 2}, {u"import", kImportHelp, 0},
                     {u"export", kExportHelp, 0}};
  const auto it = std::find_if(std::begin(verbs), std::end(verbs), [&](const Verb& v) { return verb == v.name; });
  if (it == std::end(verbs)) return Usage(output, "unknown verb '" + Utf8(verb) + "'", kToolHelp);
  const std::vector<std::u16string> rest(arguments.begin() + 1, arguments.end());
  if (std::find(rest.begin(), rest.end(), u"--help") != rest.end() ||
      std::find(rest.begin(), rest.end(), u"-h") != rest.end()) {
    output.out += it->help;
    return 0;
  }
  if (verb == u"import" || verb == u"export") {
    std::vector<std::u16string> operands;
    bool force = false;
    for (const auto& argument : rest) {
      if (argument == u"--force") {
        force = true;
      } else {
        operands.push_back(argument);
      }
    }
    return verb == u"import" ? Import(operands, force, files, output)
                             : Export(operands, force, files, output);
  }
  if (rest.size() != it->files) {
    return Usage(output, Utf8(verb) + " takes " + (it->files == 1 ? "one file" : "two files"), it->help);
  }
  if (verb == u"check") return Check(rest[0], files, output);
  if (verb == u"list") return List(rest[0], files, output);
  return Normalize(rest[0], rest[1], files, output);
}

}  // namespace vellix
