#include "lang/language_win.h"

#include <utility>

#include "base/boundary.h"
#include "base/wide.h"
#include "lang/language_keys.h"
#include "lang/localized_dialog_win.h"
#include "resource.h"
#include "win32/dialog.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

Language* g_language = nullptr;

bool IsUntranslatedClass(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  const std::wstring_view cls(name);
  return cls == L"SysListView32" || cls == L"Edit" || cls == L"msctls_updown32" || cls == L"SysTreeView32";
}

// Writes the three "General" prompts into a newly created example file, after a pause so
// that the start-up of the program is not slowed down by it.
// A thread of its own.
void WritePrompts(std::u16string path, DWORD delay) noexcept {
  Sleep(delay);
  try {
    const LanguageFile file(std::move(path));
    file.Write(kGeneralSection, u"LANGUAGE", u"Enter localized name of language");
    file.Write(kGeneralSection, u".LANG", u"Enter abbreviated name of the language in English");
    file.Write(kGeneralSection, u"AUTHOR", u"Enter Your name and email (optional)");
  } catch (...) {
    ReportCaughtException("language prompt writer");
  }
}

}  // namespace

bool LoadBuiltInString(uint32_t id, std::u16string& text) {
  const wchar_t* resource = nullptr;
  // With a zero buffer size LoadStringW hands out the read-only resource text itself.
  const int length = LoadStringW(Dialog::ResourceModule(), UINT(id), reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || !resource) {
    text.clear();
    return false;
  }
  text = ToU16(std::wstring_view(resource, size_t(length)));
  return true;
}

Language::Language(LanguageSettings& settings, std::u16string folder)
    : settings_(settings), folder_(std::move(folder)) {}

Language::~Language() {
  if (g_language == this) g_language = nullptr;
  // The writer holds no reference to this object; never delay the end of the process.
  if (prompt_writer_.joinable()) prompt_writer_.detach();
}

void Language::Install(Language* language) { g_language = language; }
Language* Language::Current() { return g_language; }

void Language::Load() {
  current_ = LanguageFile(LanguagePath(folder_, settings_.LangFile()));
  if (!IsExampleFile(current_.path()) || current_.Exists()) return;
  if (!current_.CreateIfMissing()) return;
  if (prompt_writer_.joinable()) prompt_writer_.join();
  prompt_writer_ = std::thread(WritePrompts, current_.path(), prompt_delay_);
}

void Language::WaitForBackgroundWrites() {
  if (prompt_writer_.joinable()) prompt_writer_.join();
}

bool Language::GetString(uint32_t id, std::u16string& text) {
  std::u16string english;
  const bool built_in = LoadBuiltInString(id, english);
  if (current_.path().empty()) {
    text = english;
    return built_in;
  }
  const std::u16string key = StringKey(id);
  if (built_in && !IsExampleFile(current_.path())) {
    LanguageFile(ExampleFileBeside(current_.path())).Write(kStringSection, key, EscapeValue(english));
  }
  if (std::optional<std::u16string> value = current_.Read(kStringSection, key, kStringValueBuffer)) {
    text = UnescapeValue(*value);
    return true;
  }
  text = english;
  if (!built_in) return false;
  current_.Write(kStringSection, key, EscapeValue(english));
  return true;
}

void Language::TranslateMenu(HMENU menu) {
  if (!current_.Exists()) {
    current_.CreateIfMissing();
    current_.Write(kMainSection, u"LangPrefix", u"En");
    current_.Write(kMainSection, u"Author", u"Type Your name and email (optional)");
    current_.Write(kMainSection, u"LangLocalized", u"English (Type localized name of language here)");
  }
  TranslateMenuWith(menu, current_);
}

void Language::TranslateMenuWith(HMENU menu, const LanguageFile& file) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, UINT(position), TRUE, &info)) continue;
    if (info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP)) continue;
    TranslateMenuItem(menu, position, file);
    if (info.hSubMenu) TranslateMenuWith(info.hSubMenu, file);
  }
}

void Language::TranslateMenuItem(HMENU menu, int position, const LanguageFile& file) {
  wchar_t buffer[kMenuTextBuffer] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = buffer;
  info.cch = UINT(kMenuTextBuffer);
  if (!GetMenuItemInfoW(menu, UINT(position), TRUE, &info) || buffer[0] == 0) return;
  const MenuKey key = DeriveMenuKey(AsU16(buffer));
  if (!IsSafeKey(key.key)) return;
  if (std::optional<std::u16string> value = file.Read(kMenuSection, key.key, kMenuValueBuffer)) {
    std::wstring text = ToWide(JoinMenuText(UnescapeValue(*value), key));
    MENUITEMINFOW set{};
    set.cbSize = sizeof set;
    set.fMask = MIIM_STRING;
    set.dwTypeData = text.data();
    SetMenuItemInfoW(menu, UINT(position), TRUE, &set);
    return;
  }
  // A key with other characters (an already translated or non-Latin text) is not a key
  // a translator could type; such texts are never written.
  if (IsKeyboardKey(key.key)) file.Write(kMenuSection, key.key, EscapeValue(key.plain));
}

void Language::TranslateDialog(LocalizedDialog& dialog) {
  const HWND window = dialog.hwnd();
  if (!window) return;
  if (HMENU bar = GetMenu(window)) {
    TranslateMenu(bar);
    DrawMenuBar(window);
  }
  for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    if (dialog.IsExcluded(GetDlgCtrlID(control)) || IsUntranslatedClass(control)) continue;
    TranslateControl(control, dialog.section(), dialog.EnglishText(control));
  }
  if (dialog.HasCaption()) dialog.TranslateCaption();
}

void Language::TranslateControl(HWND control, const std::u16string& section, const std::u16string& english) {
  if (english.empty()) return;
  const std::u16string key = DeriveControlKey(english);
  if (!IsSafeKey(key)) return;
  const std::optional<std::u16string> value = current_.Read(section, key, kDialogValueBuffer);
  if (value && !value->empty()) {
    SetWindowTextW(control, AsWide(UnescapeValue(*value).c_str()));
  } else if (!value) {
    current_.Write(section, key, EscapeValue(english));
  }
}

void Language::TranslateCaption(HWND window, const std::u16string& section, const std::u16string& english) {
  const std::optional<std::u16string> value = current_.Read(section, kCaptionKey, kDialogValueBuffer);
  if (value && !value->empty()) {
    SetWindowTextW(window, AsWide(UnescapeValue(*value).c_str()));
  } else if (!value && !english.empty()) {
    current_.Write(section, kCaptionKey, EscapeValue(english));
  }
}

void Language::SetLanguage(const std::u16string& file_name) {
  settings_.SetLangFile(file_name);
  settings_.Save();
  Load();
}

const std::vector<std::u16string>& Language::LanguageFiles() {
  if (!files_.empty()) return files_;
  const std::wstring pattern = ToWide(folder_) + L"*.lng";
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files_;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::u16string name = AsU16(found.cFileName);
    // The pattern also matches longer extensions through short names; keep ".lng" only.
    if (IsListedLanguageFile(name)) files_.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files_;
}

std::u16string Language::LanguageName(const std::u16string& file_name) const {
  return LanguageFile(LanguagePath(folder_, file_name))
      .Read(kGeneralSection, u"Language", kLanguageNameBuffer)
      .value_or(std::u16string());
}

void Language::BuildLanguageMenu(HMENU submenu) {
  if (!submenu || GetMenuItemCount(submenu) <= 0 || GetMenuItemID(submenu, 0) != ID_LANGUAGE_ENGLISH) return;
  while (GetMenuItemCount(submenu) > 0) DeleteMenu(submenu, 0, MF_BYPOSITION);
  const std::u16string selected = settings_.LangFile();
  auto append = [&](UINT id, const std::u16string& text, bool checked) {
    std::wstring wide = ToWide(text);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
    info.fType = MFT_STRING | MFT_RADIOCHECK;
    info.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    info.wID = id;
    info.dwTypeData = wide.data();
    InsertMenuItemW(submenu, UINT(GetMenuItemCount(submenu)), TRUE, &info);
  };
  append(ID_LANGUAGE_ENGLISH, std::u16string(kEnglishEmbedded), selected.empty());
  const std::vector<std::u16string>& files = LanguageFiles();
  for (size_t n = 0; n < files.size() && ID_LANGUAGE_FIRST_FILE + n < ID_LANGUAGE_END; ++n) {
    const bool is_selected = !selected.empty() && EqualsIgnoreCase(files[n], selected);
    std::u16string text = FileTitle(files[n]);
    if (is_selected) {
      const std::u16string name = LanguageName(files[n]);
      if (!name.empty()) text = name;  // an empty name would leave a blank item
    }
    append(UINT(ID_LANGUAGE_FIRST_FILE + n), text, is_selected);
  }
  AppendMenuW(submenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(submenu, MF_STRING, ID_CREATE_LANGUAGE_FILE, AsWide(vellix::GetLocalizedString(IDS_CREATE_LANGUAGE_FILE).c_str()));
}

bool Language::HandleLanguageCommand(UINT id) {
  if (id < ID_LANGUAGE_ENGLISH || id >= ID_LANGUAGE_END) return false;
  std::u16string file_name;
  if (id != ID_LANGUAGE_ENGLISH) {
    const size_t n = id - ID_LANGUAGE_FIRST_FILE;
    const std::vector<std::u16string>& files = LanguageFiles();
    if (n < files.size()) file_name = files[n];  // a stale index yields English
  }
  SetLanguage(file_name);
  return true;
}

bool Language::IsRussian() const {
  const std::optional<std::u16string> value = current_.Read(kGeneralSection, u".LANG", kLanguageNameBuffer);
  return value && EqualsIgnoreCase(*value, u"RU");
}

std::u16string GetLocalizedString(uint32_t id) {
  std::u16string text;
  GetLocalizedString(id, text);
  return text;
}

bool GetLocalizedString(uint32_t id, std::u16string& text) {
  if (Language* language = Language::Current()) return language->GetString(id, text);
  return LoadBuiltInString(id, text);
}

void TranslateMenu(HMENU menu) {
  if (Language* language = Language::Current()) language->TranslateMenu(menu);
}

void TranslateDialog(LocalizedDialog& dialog) {
  if (Language* language = Language::Current()) language->TranslateDialog(dialog);
}

void SetLanguage(const std::u16string& file_name) {
  if (Language* language = Language::Current()) language->SetLanguage(file_name);
}

void BuildLanguageMenu(HMENU submenu) {
  if (Language* language = Language::Current()) language->BuildLanguageMenu(submenu);
}

bool IsRussian() {
  Language* language = Language::Current();
  return language && language->IsRussian();
}

}  // namespace vellix
