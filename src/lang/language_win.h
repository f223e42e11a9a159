#pragma once
// The interface language: the current language file, string lookup, menu and dialog
// translation, the language list and menu, and the choice of the language.
// One object per process, installed at start-up; everything runs on the user-interface
// thread except the short-lived writer of the example file's "General" prompts.

#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "lang/language_file_win.h"
#include "lang/language_settings.h"

namespace vellix {

class LocalizedDialog;

class Language {
 public:
  // folder: the program folder, where language files live (ending in "\").
  Language(LanguageSettings& settings, std::u16string folder);
  ~Language();
  Language(const Language&) = delete;
  Language& operator=(const Language&) = delete;

  // The process-wide object used by the free functions below; null until installed.
  static void Install(Language* language);
  static Language* Current();

  // Computes the current language path from the settings and creates the example file
  // when it is the current file and missing.
  void Load();
  const std::u16string& CurrentPath() const { return current_.path(); }
  // Makes another file the current one until the next Load (the export uses it).
  void UseFile(std::u16string path) { current_ = LanguageFile(std::move(path)); }

  // The string-table text of the id in the current language; false when the id has
  // neither a built-in text nor a translation.
  bool GetString(uint32_t id, std::u16string& text);

  // Translates every item of the menu and its submenus.
  void TranslateMenu(HMENU menu);
  // Walks a menu into the given file: translates what it translates, writes missing keys.
  void TranslateMenuWith(HMENU menu, const LanguageFile& file);

  // Translates the dialog's menu bar, its controls and its caption.
  void TranslateDialog(LocalizedDialog& dialog);
  // Translates a window caption under "DLG_CAPTION" of the section.
  void TranslateCaption(HWND window, const std::u16string& section, const std::u16string& english);

  // Stores `LangFile`, saves the settings and loads the language.
  void SetLanguage(const std::u16string& file_name);

  // The language files of the program folder, scanned when first needed.
  const std::vector<std::u16string>& LanguageFiles();
  // The "General" "Language" value of a file of the program folder (up to 100 characters).
  std::u16string LanguageName(const std::u16string& file_name) const;
  // Rebuilds the "Language" submenu (only when its first item is "English (Embedded)").
  void BuildLanguageMenu(HMENU submenu);
  // Carries out a language item (32000 to 32099); false for any other id.
  bool HandleLanguageCommand(UINT id);

  bool IsRussian() const;

  // The wait of the example file's prompt writer (3000 ms); tests shorten it.
  void SetPromptDelay(DWORD milliseconds) { prompt_delay_ = milliseconds; }
  // Waits until the prompt writer, if any, has finished.
  void WaitForBackgroundWrites();

  LanguageSettings& settings() { return settings_; }
  const std::u16string& folder() const { return folder_; }

 private:
  void TranslateMenuItem(HMENU menu, int position, const LanguageFile& file);
  void TranslateControl(HWND control, const std::u16string& section, const std::u16string& english);

  LanguageSettings& settings_;
  std::u16string folder_;
  LanguageFile current_{u""};
  std::vector<std::u16string> files_;
  DWORD prompt_delay_ = 3000;
  std::thread prompt_writer_;
};

// The free functions every window uses. Without an installed Language they answer the
// built-in English texts and translate nothing.
std::u16string GetLocalizedString(uint32_t id);
bool GetLocalizedString(uint32_t id, std::u16string& text);
void TranslateMenu(HMENU menu);
void TranslateDialog(LocalizedDialog& dialog);
void SetLanguage(const std::u16string& file_name);
void BuildLanguageMenu(HMENU submenu);
bool IsRussian();

// The built-in English text of a string-table entry; false when there is none.
bool LoadBuiltInString(uint32_t id, std::u16string& text);

}  // namespace vellix
