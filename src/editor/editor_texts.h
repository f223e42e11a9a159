#pragma once
// The texts the phrase editor builds: its title, the row tooltip, the context-menu suffix,
// the save prompt and the open-file dialog's title and filter; and which database file is
// the configured one. Localised strings come through a lookup so that the rules are the
// same for every language.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vellix {

class Phrase;

// The string-table text of an id in the current language.
using EditorStringLookup = std::function<std::u16string(uint32_t id)>;

// What the title shows.
struct EditorTitleState {
  bool modified = false;
  std::u16string_view programTitle;  // short form, "Vellix 1.38"
  int checkedRows = 0;               // listed rows whose Phrase check is set
  int phraseCount = 0;               // phrases of the working collection
  bool checkedOnly = false;          // ShowCheckedPhrasesOnly
  std::u16string_view databasePath;
  bool isConfiguredDatabase = false;
  bool changedOnDisk = false;        // another program changed the file after it was loaded
  std::u16string_view searchQuery;   // the search box's text; rows are hidden when not empty
};

// "* " when modified, the program title, " - Edit Phrases", " [3/5", ", Checked only" when
// filtered, ", found by "query"" while the search box holds a query, "] - ", the path,
// " [as default]" for the configured database and " [changed on disk]" when another program
// changed the file after it was loaded.
std::u16string EditorTitle(const EditorTitleState& state, const EditorStringLookup& lookup);

// Longest phrase text shown in a row tooltip and in a context-menu item, in code units.
inline constexpr size_t kTooltipWordLength = 320;
inline constexpr size_t kMenuSuffixLength = 30;

// The info tip of a phrase's row: text, keystroke counts, length, the enabled keystrokes,
// detection type and action, and for a phrase with a program rule the line that names it
// ("only in: notepad.exe, winword.exe", or that it fires nowhere).
std::u16string RowTooltip(const Phrase& phrase, const EditorStringLookup& lookup);

// " [" + the trimmed phrase text cut to 30 characters (with "…" when longer) + "]", shown
// after "Edit Phrase…" and "Delete"; empty when no row is selected. The text is made safe
// for a menu item: line breaks and tabs become blanks and "&" is doubled.
std::u16string ContextMenuSuffix(std::u16string_view word, bool rowSelected);

// "Save changes?", "\n" and "[" + path + "]" ("[noname]" for an empty path).
std::u16string SavePromptText(std::u16string_view path, const EditorStringLookup& lookup);

// Title of the open-file dialog: the product name, " : " and the part of string 32790
// before its "\n".
std::u16string OpenDialogTitle(const EditorStringLookup& lookup);
// The filter "XML Files (*.xml)|*.xml|All Files (*.*)|*.*||" with every "|" as a NUL.
std::u16string OpenFileFilter();
// The folder of a path without its trailing separator (initial directory of the dialog);
// empty when the path has no folder part.
std::u16string FolderOfDatabase(std::u16string_view path);

// The configured database file: the DatabasePath setting, or "Database.xml" in the
// program folder (ending in "\") when the setting is empty.
std::u16string ResolveDatabasePath(std::u16string_view databasePathSetting,
                                   std::u16string_view programFolder);
// The path names the configured database (ASCII letters compared without case); an empty
// path never does.
bool IsConfiguredDatabase(std::u16string_view path, std::u16string_view databasePathSetting,
                          std::u16string_view programFolder);

}  // namespace vellix
