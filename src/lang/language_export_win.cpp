#include "lang/language_export_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string_view>
#include <vector>

#include "base/wide.h"
#include "lang/language_keys.h"
#include "lang/language_win.h"
#include "lang/localized_dialog_win.h"
#include "resource.h"
#include "win32/dialog.h"
#include "win32/file_dialogs_win.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

// Integer names of every resource of one type in the program's module.
std::vector<WORD> ResourceIds(LPCWSTR type) {
  std::vector<WORD> ids;
  EnumResourceNamesW(
      Dialog::ResourceModule(), type,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) -> BOOL {
        if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(context)->push_back(LOWORD(name));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

std::u16string SignedKey(int value) {
  return value < 0 ? u"-" + StringKey(uint32_t(-(long long)value)) : StringKey(uint32_t(value));
}

INT_PTR CALLBACK SilentDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }

// Creates the dialog from a copy of its template with WS_VISIBLE cleared, so that it never
// appears on the screen, and runs none of the dialog's own code.
HWND CreateHiddenDialog(WORD id, HWND parent) {
  const HINSTANCE module = Dialog::ResourceModule();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  if (!data || size < sizeof(DLGTEMPLATE)) return nullptr;
  std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  memcpy(copy.data(), data, size);
  auto* words = reinterpret_cast<WORD*>(copy.data());
  const bool extended = words[0] == 1 && words[1] == 0xFFFF;
  // DLGTEMPLATEEX: version, signature, help id, extended style, style; DLGTEMPLATE: style first.
  DWORD* style = extended ? reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DWORD*>(words);
  if (extended && size < 16) return nullptr;
  *style &= ~DWORD(WS_VISIBLE);
  return CreateDialogIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(copy.data()), parent,
                                    SilentDialogProc, 0);
}

bool IsExportedClass(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  const std::wstring_view cls(name);
  return cls != L"msctls_updown32" && cls != L"SysListView32" && cls != L"SysTreeView32";
}

void ExportDialog(WORD id, HWND parent, const LanguageFile& file, const LanguageFile* example) {
  HWND dialog = CreateHiddenDialog(id, parent);
  if (!dialog) return;  // a template whose control classes are not available here
  const std::u16string section = u"Dialog_" + StringKey(id);
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
    const std::u16string text = WindowText(control);
    if (text.empty() || !IsExportedClass(control)) continue;
    const std::u16string key = SignedKey(GetDlgCtrlID(control));
    const std::u16string value = EscapeValue(text);
    if (!file.Read(section, key, kDialogValueBuffer)) file.Write(section, key, value);
    if (example && !example->Read(section, key, kDialogValueBuffer)) example->Write(section, key, value);
  }
  DestroyWindow(dialog);
}

void WriteInstructions(const LanguageFile& file) {
  file.Write(kMainSection, u"LangPrefix",
             u"Write here the prefix of Your language. A short prefix such as De, En or Sp, "
             u"as the Windows language bar shows it");
  file.Write(kMainSection, u"Author", u"Write here the Your name and email (optional)");
  file.Write(kMainSection, u"LangLocalized", u"Write here the localized name of Your language");
  file.Write(kMainSection, u"TIP", u"ATTENTION: Save the file as Unicode encoding!!!!");
}

}  // namespace

void OpenInNotepad(const std::u16string& path) {
  const std::wstring file = L"\"" + ToWide(path) + L"\"";
  const std::wstring folder = ToWide(FolderOf(path));
  ShellExecuteW(nullptr, L"open", L"notepad.exe", file.c_str(), folder.c_str(), SW_SHOWMAXIMIZED);
}

bool ExportLanguageFile(const std::u16string& path, const LanguageFileOpener& open) {
  Language* language = Language::Current();
  if (!language || path.empty()) return false;
  const LanguageFile file(path);
  if (file.CreateIfMissing()) WriteInstructions(file);

  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&classes);

  language->UseFile(path);
  for (WORD id : ResourceIds(RT_MENU)) {
    if (const UniqueMenu menu(LoadMenuW(Dialog::ResourceModule(), MAKEINTRESOURCEW(id))); menu) {
      language->TranslateMenuWith(menu.get(), file);
    }
  }
  // String blocks hold 16 entries each: block b holds the ids (b - 1) * 16 to b * 16 - 1.
  for (WORD block : ResourceIds(RT_STRING)) {
    for (uint32_t index = 0; index < 16; ++index) {
      const uint32_t id = (uint32_t(block) - 1) * 16 + index;
      std::u16string text;
      if (LoadBuiltInString(id, text)) language->GetString(id, text);
    }
  }
  const std::u16string example_path = ExampleFileBeside(path);
  const LanguageFile example(example_path);
  const bool is_example = EqualsIgnoreCase(example_path, path);
  // Child-dialog templates (panels) need a parent window; a hidden one serves every template.
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  for (WORD id : ResourceIds(RT_DIALOG)) ExportDialog(id, parent, file, is_example ? nullptr : &example);
  if (parent) DestroyWindow(parent);

  if (open) open(path);
  // The setting was never changed; loading it again makes its file current once more.
  language->Load();
  return true;
}

bool CreateLanguageFile(HWND owner, const LanguageFileOpener& open) {
  if (!Language::Current()) return false;
  wchar_t file[MAX_PATH] = {};
  const std::wstring title = L"Vellix : " + ToWide(GetLocalizedString(IDS_CREATE_LANGUAGE_FILE));
  static const wchar_t kFilter[] = L"Language Files (*.lng)\0*.lng\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"lng";
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!ShowSaveFileDialog(dialog)) return false;
  return ExportLanguageFile(AsU16(file), open);
}

}  // namespace vellix
