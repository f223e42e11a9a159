#pragma once
// Platform-free rules of the language files: how menu, control and string keys are derived
// from the English texts, which keys may be written, the escaping of line breaks and tabs
// in values, and the names of the files involved.

#include <cstdint>
#include <string>
#include <string_view>

namespace vellix {

inline constexpr std::u16string_view kExampleFileName = u"LocalizeExample.lng";
inline constexpr std::u16string_view kEnglishEmbedded = u"English (Embedded)";
inline constexpr std::u16string_view kStringSection = u"Strings";
inline constexpr std::u16string_view kMenuSection = u"Menu";
inline constexpr std::u16string_view kGeneralSection = u"General";
inline constexpr std::u16string_view kMainSection = u"Main";
inline constexpr std::u16string_view kCaptionKey = u"DLG_CAPTION";

// Sizes of the read buffers, in characters with the terminator: values are cut to one less.
inline constexpr size_t kStringValueBuffer = 20560;
inline constexpr size_t kMenuValueBuffer = 2000;
inline constexpr size_t kMenuTextBuffer = 260;
inline constexpr size_t kDialogValueBuffer = 260;
inline constexpr size_t kLanguageNameBuffer = 101;

// A menu item's text split for translation: "&Edit Phrase…\tCtrl+E" has the shortcut
// "Ctrl+E", the plain text "Edit Phrase…" and the key "Edit_Phrase".
struct MenuKey {
  std::u16string shortcut;
  bool has_shortcut = false;
  std::u16string plain;
  std::u16string key;
};
MenuKey DeriveMenuKey(std::u16string_view item_text);

// A translated menu text with the item's shortcut put back behind a tab.
std::u16string JoinMenuText(std::u16string_view translation, const MenuKey& key);

// True when every character of the key is one a US keyboard types directly (letters,
// digits and the usual punctuation). Only such keys are written into a language file.
bool IsKeyboardKey(std::u16string_view key);

// True when a key can be stored as one line of an INI section without changing the meaning
// of the file: not empty, no line break, no "=", and not starting with "[" or ";" (which
// would read back as a section header or a comment and hide the keys after it).
bool IsSafeKey(std::u16string_view key);

// The dialog control key: the text trimmed of blanks at both ends, inner blanks as "_".
std::u16string DeriveControlKey(std::u16string_view text);

// The string-table key: the id in decimal.
std::u16string StringKey(uint32_t id);

// Carriage return, line feed and tab as "\r", "\n", "\t" in a value, and back.
std::u16string EscapeValue(std::u16string_view text);
std::u16string UnescapeValue(std::u16string_view value);

// The folder part of a path, with its trailing separator ("C:\a\b.lng" gives "C:\a\").
std::u16string FolderOf(std::u16string_view path);
// The name part of a path.
std::u16string_view FileNameOf(std::u16string_view path);
// The file name without its extension ("German.lng" gives "German").
std::u16string FileTitle(std::u16string_view file_name);

// Comparison of file names and paths ignoring the case of ASCII letters.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool EndsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix);

// The example file "LocalizeExample.lng" in the folder of the given path.
std::u16string ExampleFileBeside(std::u16string_view path);
// True when the path names the example file of its own folder.
bool IsExampleFile(std::u16string_view path);

// The current language path: the folder joined with the setting's file name, or the
// example file when the setting is empty.
std::u16string LanguagePath(std::u16string_view folder, std::u16string_view lang_file);

// True for a name the language scan lists: ends in ".lng" and is not the example file.
bool IsListedLanguageFile(std::u16string_view file_name);

// The combo box entry of the language dialog: name, " [", file name, "]".
std::u16string LanguageComboEntry(std::u16string_view name, std::u16string_view file_name);

}  // namespace vellix
