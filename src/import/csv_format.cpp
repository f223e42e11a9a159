#include "import/csv_format.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "base/utf.h"

namespace vellix {
namespace {

struct Row {
  size_t line = 0;  // where the row begins
  std::vector<std::string> cells;
};

// Splits source into rows of cells. False, with the error in result, for a quote that does
// not close or stray text after a closing quote.
bool SplitRows(std::string_view source, char separator, std::vector<Row>& rows,
               ImportResult& result) {
  size_t line = 1;
  size_t i = 0;
  while (i < source.size()) {
    Row row;
    row.line = line;
    for (;;) {
      std::string cell;
      if (i < source.size() && source[i] == '"') {
        const size_t opened = line;
        ++i;
        for (;;) {
          if (i >= source.size()) {
            result.Fail(opened, "the quoted field that begins on line " + std::to_string(opened) +
                                    " has no closing quote");
            return false;
          }
          const char c = source[i++];
          if (c == '"') {
            if (i < source.size() && source[i] == '"') {
              cell += '"';
              ++i;
              continue;
            }
            break;
          }
          if (c == '\n') ++line;
          cell += c;
        }
        if (i < source.size() && source[i] != separator && source[i] != '\r' && source[i] != '\n') {
          result.Fail(line, "line " + std::to_string(line) +
                                ": text after the closing quote of a field (a quote inside a "
                                "field must be doubled)");
          return false;
        }
      } else {
        while (i < source.size() && source[i] != separator && source[i] != '\n' &&
               !(source[i] == '\r' && (i + 1 == source.size() || source[i + 1] == '\n'))) {
          if (source[i] == '"') {
            result.Fail(line, "line " + std::to_string(line) +
                                  ": a quote inside a field that does not begin with one");
            return false;
          }
          cell += source[i++];
        }
      }
      row.cells.push_back(std::move(cell));
      if (i < source.size() && source[i] == separator) {
        ++i;
        continue;
      }
      break;
    }
    if (i < source.size() && source[i] == '\r') ++i;
    if (i < source.size() && source[i] == '\n') {
      ++i;
      ++line;
    }
    const bool blank = row.cells.size() == 1 && row.cells[0].empty();
    if (!blank) rows.push_back(std::move(row));
  }
  return true;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// 1 for yes, 0 for no, nothing for anything else.
std::optional<int32_t> Flag(const std::string& cell) {
  const std::string value = Lower(Trimmed(cell));
  if (value == "1" || value == "yes" || value == "true" || value == "y") return 1;
  if (value == "0" || value == "no" || value == "false" || value == "n") return 0;
  return std::nullopt;
}

std::vector<std::u16string> Keystrokes(const std::string& cell) {
  std::vector<std::u16string> keystrokes;
  std::u16string current;
  for (char16_t unit : Utf8ToUtf16(cell)) {
    if (unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n') {
      if (!current.empty()) keystrokes.push_back(std::move(current));
      current.clear();
    } else {
      current += unit;
    }
  }
  if (!current.empty()) keystrokes.push_back(std::move(current));
  return keystrokes;
}

enum class Column { kKeystrokes, kText, kDisabled, kCase, kAction, kCaretLeft, kEnabled };

std::map<Column, size_t> ReadHeader(const Row& header) {
  static const std::map<std::string, Column> kNames = {
      {"keystrokes", Column::kKeystrokes}, {"keystroke", Column::kKeystrokes},
      {"text", Column::kText},             {"disabled keystrokes", Column::kDisabled},
      {"case", Column::kCase},             {"action", Column::kAction},
      {"caret-left", Column::kCaretLeft},  {"enabled", Column::kEnabled},
  };
  std::map<Column, size_t> columns;
  for (size_t i = 0; i < header.cells.size(); ++i) {
    const auto it = kNames.find(Lower(Trimmed(header.cells[i])));
    if (it != kNames.end() && !columns.contains(it->second)) columns[it->second] = i;
  }
  return columns;
}

// Fills phrase from one row; the reason when the row cannot be taken.
std::string ReadRow(const Row& row, const std::map<Column, size_t>& columns, Phrase& phrase) {
  auto cell = [&](Column column) -> const std::string* {
    const auto it = columns.find(column);
    if (it == columns.end() || it->second >= row.cells.size()) return nullptr;
    return &row.cells[it->second];
  };
  const std::string* keystrokes = cell(Column::kKeystrokes);
  const std::string* text = cell(Column::kText);
  if (!text || text->empty()) return "no text";
  for (const auto& k : keystrokes ? Keystrokes(*keystrokes) : std::vector<std::u16string>{}) {
    phrase.Prefixes()[k] = 1;
  }
  if (const std::string* disabled = cell(Column::kDisabled)) {
    for (const auto& k : Keystrokes(*disabled)) phrase.Prefixes().try_emplace(k, 0);
  }
  if (phrase.Prefixes().empty()) return "no keystroke";
  phrase.SetWord(WithEditorLineBreaks(Utf8ToUtf16(*text)));
  if (const std::string* value = cell(Column::kCase); value && !Trimmed(*value).empty()) {
    const auto flag = Flag(*value);
    if (!flag) return "case is \"" + *value + "\", not yes or no";
    phrase.SetCaseSensitive(*flag);
  }
  if (const std::string* value = cell(Column::kAction); value && !Trimmed(*value).empty()) {
    const std::string action = Lower(Trimmed(*value));
    if (action == "replace" || action == "1") {
      phrase.SetAddOrReplace(1);
    } else if (action == "append" || action == "0") {
      phrase.SetAddOrReplace(0);
    } else {
      return "action is \"" + *value + "\", not replace or append";
    }
  }
  if (const std::string* value = cell(Column::kCaretLeft); value && !Trimmed(*value).empty()) {
    const std::string digits = Trimmed(*value);
    if (digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), ::isdigit) ||
        std::stoi(digits) > 100) {
      return "caret-left is \"" + *value + "\", not a number from 0 to 100";
    }
    phrase.SetLeftAfter(std::stoi(digits));
  }
  if (const std::string* value = cell(Column::kEnabled); value && !Trimmed(*value).empty()) {
    const auto flag = Flag(*value);
    if (!flag) return "enabled is \"" + *value + "\", not yes or no";
    phrase.SetEnabled(*flag);
  }
  return {};
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

ImportResult ImportDelimited(std::string_view source, char separator) {
  ImportResult result;
  if (!PrepareSource(source, result)) return result;
  std::vector<Row> rows;
  if (!SplitRows(source, separator, rows, result)) return result;
  if (rows.empty()) {
    result.Fail(0, "the file holds no rows");
    return result;
  }
  const auto columns = ReadHeader(rows[0]);
  if (!columns.contains(Column::kKeystrokes) || !columns.contains(Column::kText)) {
    result.Fail(rows[0].line, std::string("the first row must name the columns: keystrokes and text, ") +
                                  "and optionally disabled keystrokes, case, action, caret-left, enabled");
    return result;
  }
  for (size_t r = 1; r < rows.size(); ++r) {
    auto phrase = NewImportedPhrase();
    const std::string reason = ReadRow(rows[r], columns, *phrase);
    if (!reason.empty()) {
      result.Skip(rows[r].line, reason);
      continue;
    }
    result.phrases.push_back(std::move(phrase));
  }
  return result;
}

std::string ExportCsv(const PhraseDatabase& collection) {
  std::string out = "keystrokes,text,disabled keystrokes,case,action,caret-left,enabled\r\n";
  for (const auto& phrase : collection.Items()) {
    std::u16string enabled;
    std::u16string disabled;
    for (const auto& [keystroke, on] : phrase->Prefixes()) {
      std::u16string& list = on ? enabled : disabled;
      if (!list.empty()) list += u' ';
      list += keystroke;
    }
    out += Quoted(Utf16ToUtf8(enabled)) + "," + Quoted(Utf16ToUtf8(phrase->Word())) + "," +
           Quoted(Utf16ToUtf8(disabled)) + "," + (phrase->CaseSensitive() ? "yes" : "no") + "," +
           (phrase->AddOrReplace() ? "replace" : "append") + "," +
           std::to_string(std::clamp(phrase->LeftAfter(), 0, 100)) + "," +
           (phrase->Enabled() ? "yes" : "no") + "\r\n";
  }
  return out;
}

}  // namespace vellix
