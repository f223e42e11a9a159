#include "services/clipboard_text.h"

namespace vellix {

std::u16string FirstLineOf(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u"\r\n")));
}

std::u16string FirstFieldOf(std::u16string_view text) {
  std::u16string line = FirstLineOf(text);
  const size_t tab = line.find(u'\t');
  if (tab != std::u16string::npos && tab > 0) line.resize(tab);
  return line;
}

}  // namespace vellix
