#include "import/import_result.h"

#include <utf8.h>

namespace vellix {

bool PrepareSource(std::string_view& source, ImportResult& result) {
  if (source.size() > kMaxSourceBytes) {
    result.Fail(0, "the file is larger than " + std::to_string(kMaxSourceBytes >> 20) + " MB");
    return false;
  }
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
  if (source.find('\0') != std::string_view::npos) {
    result.Fail(0, "this is not a text file (it holds zero bytes)");
    return false;
  }
  size_t line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i <= source.size(); ++i) {
    if (i == source.size() || source[i] == '\n') {
      if (i - lineStart > kMaxLineBytes) {
        result.Fail(line, "line " + std::to_string(line) + " is longer than " +
                              std::to_string(kMaxLineBytes >> 20) + " MB");
        return false;
      }
      ++line;
      lineStart = i + 1;
    }
  }
  if (!utf8::is_valid(source.begin(), source.end())) {
    result.Fail(0, "the file is not UTF-8 text");
    return false;
  }
  return true;
}

std::unique_ptr<Phrase> NewImportedPhrase() {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetEnabled(1);
  phrase->SetAddOrReplace(1);
  phrase->SetCaseSensitive(0);
  phrase->SetLeftAfter(0);
  phrase->SetUseWithList(kNotUse);
  return phrase;
}

std::u16string WithEditorLineBreaks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      out += u"\r\n";
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (text[i] == u'\n') {
      out += u"\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vellix
