#include "lang/language_keys.h"

#include <algorithm>

namespace vellix {
namespace {

constexpr char16_t kEllipsis = u'\u2026';

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

}  // namespace

MenuKey DeriveMenuKey(std::u16string_view item_text) {
  MenuKey result;
  std::u16string_view text = item_text;
  const size_t tab = text.find(u'\t');
  if (tab != std::u16string_view::npos && tab > 0) {
    result.shortcut = std::u16string(text.substr(tab + 1));
    result.has_shortcut = true;
    text = text.substr(0, tab);
  }
  for (char16_t c : text) {
    if (c != u'&') result.plain += c;
  }
  for (char16_t c : result.plain) {
    if (c == kEllipsis) continue;
    result.key += (c == u' ') ? u'_' : c;
  }
  while (!result.key.empty() && (result.key.back() == u'.' || result.key.back() == kEllipsis)) {
    result.key.pop_back();
  }
  return result;
}

std::u16string JoinMenuText(std::u16string_view translation, const MenuKey& key) {
  std::u16string text(translation);
  if (key.has_shortcut) {
    text += u'\t';
    text += key.shortcut;
  }
  return text;
}

bool IsKeyboardKey(std::u16string_view key) {
  constexpr std::u16string_view kPunctuation = u"<>,./?;:']}[{!#$%^&*()-_=+\\|\"@";
  return std::all_of(key.begin(), key.end(), [&](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           kPunctuation.find(c) != std::u16string_view::npos;
  });
}

bool IsSafeKey(std::u16string_view key) {
  if (key.empty() || key.front() == u'[' || key.front() == u';') return false;
  return key.find_first_of(u"=\r\n") == std::u16string_view::npos && key.find(u'\0') == std::u16string_view::npos;
}

std::u16string DeriveControlKey(std::u16string_view text) {
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  const size_t last = text.find_last_not_of(u' ');
  std::u16string key(text.substr(first, last - first + 1));
  std::replace(key.begin(), key.end(), u' ', u'_');
  return key;
}

std::u16string StringKey(uint32_t id) {
  std::u16string key;
  do {
    key.insert(key.begin(), char16_t(u'0' + id % 10));
    id /= 10;
  } while (id != 0);
  return key;
}

std::u16string EscapeValue(std::u16string_view text) {
  std::u16string value;
  value.reserve(text.size());
  for (char16_t c : text) {
    switch (c) {
      case u'\r': value += u"\\r"; break;
      case u'\n': value += u"\\n"; break;
      case u'\t': value += u"\\t"; break;
      default: value += c;
    }
  }
  return value;
}

std::u16string UnescapeValue(std::u16string_view value) {
  std::u16string text;
  text.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == u'\\' && i + 1 < value.size()) {
      const char16_t next = value[i + 1];
      const char16_t plain = next == u'r' ? u'\r' : next == u'n' ? u'\n' : next == u't' ? u'\t' : 0;
      if (plain != 0) {
        text += plain;
        ++i;
        continue;
      }
    }
    text += value[i];
  }
  return text;
}

std::u16string FolderOf(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

std::u16string_view FileNameOf(std::u16string_view path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string FileTitle(std::u16string_view file_name) {
  const size_t dot = file_name.find_last_of(u'.');
  return std::u16string(dot == std::u16string_view::npos ? file_name : file_name.substr(0, dot));
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::u16string ExampleFileBeside(std::u16string_view path) {
  return FolderOf(path) + std::u16string(kExampleFileName);
}

bool IsExampleFile(std::u16string_view path) { return EqualsIgnoreCase(path, ExampleFileBeside(path)); }

std::u16string LanguagePath(std::u16string_view folder, std::u16string_view lang_file) {
  std::u16string path(folder);
  if (!path.empty() && path.back() != u'\\' && path.back() != u'/') path += u'\\';
  // The setting names a file of the program folder; a folder part in it is ignored so that
  // a damaged or hostile settings file cannot make the program write elsewhere.
  const std::u16string_view name = FileNameOf(lang_file);
  path += name.empty() ? kExampleFileName : name;
  return path;
}

bool IsListedLanguageFile(std::u16string_view file_name) {
  return EndsWithIgnoreCase(file_name, u".lng") && !EqualsIgnoreCase(file_name, kExampleFileName);
}

std::u16string LanguageComboEntry(std::u16string_view name, std::u16string_view file_name) {
  std::u16string entry(name);
  entry += u" [";
  entry += file_name;
  entry += u']';
  return entry;
}

}  // namespace vellix
