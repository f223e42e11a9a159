#include "editor/import_texts.h"

#include <algorithm>

#include "base/number_text.h"
#include "base/utf.h"
#include "editor/database_texts.h"
#include "lang/language_keys.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string Extension(std::u16string_view path) {
  const std::u16string_view name = FileNameOf(path);
  const size_t dot = name.find_last_of(u'.');
  if (dot == std::u16string_view::npos) return {};
  std::u16string extension(name.substr(dot + 1));
  for (char16_t& c : extension) {
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  }
  return extension;
}

// "Line N: reason", or the reason alone when it concerns the whole file.
std::u16string MessageLine(const ImportMessage& message, const EditorStringLookup& lookup) {
  const std::u16string reason = Utf8ToUtf16(message.text);
  if (message.line == 0) return reason;
  return FillPlaceholders(lookup(IDS_IMPORT_LINE), {Decimal(static_cast<long long>(message.line)), reason});
}

void AppendMessages(std::u16string& text, uint32_t headingId, const std::vector<ImportMessage>* messages,
                    const EditorStringLookup& lookup) {
  if (!messages || messages->empty()) return;
  text += u"\n\n";
  text += FillPlaceholders(lookup(headingId), {Decimal(static_cast<long long>(messages->size()))});
  const size_t shown = std::min(messages->size(), kImportReportLines);
  for (size_t i = 0; i < shown; ++i) {
    text += u'\n';
    text += MessageLine((*messages)[i], lookup);
  }
  if (messages->size() > shown) {
    text += u'\n';
    text += FillPlaceholders(lookup(IDS_IMPORT_MORE), {Decimal(static_cast<long long>(messages->size() - shown))});
  }
}

}  // namespace

std::u16string ImportDialogTitle(const EditorStringLookup& lookup) {
  const std::u16string prompt = lookup(ID_IMPORT_PHRASES);
  return u"Vellix : " + prompt.substr(0, prompt.find(u'\n'));
}

std::u16string ImportFileFilter(const EditorStringLookup& lookup) {
  std::u16string filter = lookup(IDS_IMPORT_FILTER);
  std::replace(filter.begin(), filter.end(), u'|', u'\0');
  filter.push_back(u'\0');
  filter.push_back(u'\0');
  return filter;
}

std::optional<ImportFormat> ImportFormatForFile(std::u16string_view path, unsigned filterIndex) {
  const std::u16string extension = Extension(path);
  if (extension == u"csv") return ImportFormat::kCsv;
  if (extension == u"tsv" || extension == u"tab") return ImportFormat::kTsv;
  if (extension == u"ahk") return ImportFormat::kAutoHotkey;
  if (extension == u"yml" || extension == u"yaml") return ImportFormat::kEspanso;
  if (filterIndex >= 1 && filterIndex <= std::size(kImportFilterFormats)) return kImportFilterFormats[filterIndex - 1];
  return std::nullopt;
}

std::u16string ImportReportText(const ImportOutcome& outcome, const EditorStringLookup& lookup) {
  const std::u16string name(FileNameOf(outcome.path));
  std::u16string text = outcome.imported == 0
                            ? FillPlaceholders(lookup(IDS_IMPORT_NOTHING), {name})
                            : FillPlaceholders(lookup(IDS_IMPORT_DONE),
                                               {name, Decimal(static_cast<long long>(outcome.imported))});
  AppendMessages(text, IDS_IMPORT_LEFT_OUT, outcome.skipped, lookup);
  AppendMessages(text, IDS_IMPORT_NOTES, outcome.notes, lookup);
  if (!outcome.collidingKeystrokes.empty()) {
    std::u16string list;
    for (const std::u16string& keystroke : outcome.collidingKeystrokes) {
      if (!list.empty()) list += u", ";
      list += keystroke;
    }
    text += u"\n\n";
    text += FillPlaceholders(lookup(IDS_IMPORT_COLLISIONS), {list});
  }
  return text;
}

std::u16string ImportFailedText(std::u16string_view path, const ImportMessage& error,
                                const EditorStringLookup& lookup) {
  return FillPlaceholders(lookup(IDS_IMPORT_FAILED), {FileNameOf(path), MessageLine(error, lookup)});
}

}  // namespace vellix
