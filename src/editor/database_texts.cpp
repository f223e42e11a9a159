#include "editor/database_texts.h"

#include "base/number_text.h"
#include "lang/language_keys.h"
#include "resource.h"

namespace vellix {
std::u16string FillPlaceholders(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
  std::u16string text;
  text.reserve(format.size() + 64);
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t next = i + 1 < format.size() ? format[i + 1] : u'\0';
    if (format[i] == u'%' && next >= u'1' && next <= u'9') {
      const size_t index = size_t(next - u'1');
      if (index < arguments.size()) text += *(arguments.begin() + index);
      ++i;
    } else if (format[i] == u'%' && next == u'%') {
      text += u'%';
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

std::u16string DatabaseNotReadText(std::u16string_view path, const LoadReport& report, size_t phrasesRead,
                                   const DatabaseStringLookup& lookup) {
  if (report.status == FileReadStatus::kNotFound || report.ReadWhole()) return {};
  const std::u16string_view name = FileNameOf(path);
  const ParseReport& parse = report.parse;
  std::u16string text;
  if (report.status != FileReadStatus::kOk) {
    text = FillPlaceholders(lookup(IDS_DATABASE_NOT_READ), {name});
  } else if (parse.stop.line != 0) {
    text = FillPlaceholders(lookup(IDS_DATABASE_READ_STOPPED),
                            {name, Decimal(phrasesRead), Decimal(parse.stop.line), Decimal(parse.stop.column)});
  } else if (report.rootFound && !parse.lost.empty()) {
    const TextPosition at = parse.lost.front().at;
    text = FillPlaceholders(lookup(IDS_DATABASE_ELEMENT_LEFT_OUT),
                            {name, Decimal(phrasesRead), Decimal(at.line), Decimal(at.column)});
  } else {
    text = FillPlaceholders(lookup(IDS_DATABASE_NOT_READ), {name});
  }
  text += u' ';
  text += lookup(IDS_DATABASE_NOT_SAVED);
  return text;
}

std::u16string OverwriteChangedFileText(std::u16string_view path, const DatabaseStringLookup& lookup) {
  return FillPlaceholders(lookup(IDS_OVERWRITE_CHANGED_FILE), {FileNameOf(path)});
}

std::u16string KeystrokeNeverFiresText(std::u16string_view keystroke, const DatabaseStringLookup& lookup) {
  return FillPlaceholders(lookup(IDS_KEYSTROKE_NEVER_FIRES), {keystroke});
}

}  // namespace vellix
