#include "win32/menu_helpers_win.h"

#include <vector>

#include "base/wide.h"
#include "win32/unique_handle.h"

namespace vellix {
namespace {

bool Visit(HMENU menu, UINT id, const std::function<void(HMENU, UINT)>& visit) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &info)) continue;
    if (info.hSubMenu) {
      if (Visit(info.hSubMenu, id, visit)) return true;
    } else if (info.wID == id) {
      visit(menu, UINT(i));
      return true;
    }
  }
  return false;
}

std::wstring ItemText(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return {};
  std::vector<wchar_t> buffer(info.cch + 1, L'\0');
  info.dwTypeData = buffer.data();
  info.cch = UINT(buffer.size());
  if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return {};
  return buffer.data();
}

}  // namespace

bool FindMenuItem(HMENU menu, UINT id, const std::function<void(HMENU, UINT)>& visit) {
  return menu && Visit(menu, id, visit);
}

bool SetMenuItemText(HMENU menu, UINT id, std::u16string_view text) {
  std::wstring wide = ToWide(text);
  bool done = false;
  FindMenuItem(menu, id, [&](HMENU parent, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = wide.data();
    done = SetMenuItemInfoW(parent, position, TRUE, &info) != FALSE;
  });
  return done;
}

bool SetMenuItemRadioCheck(HMENU menu, UINT id, bool checked) {
  bool done = false;
  FindMenuItem(menu, id, [&](HMENU parent, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!GetMenuItemInfoW(parent, position, TRUE, &info)) return;
    info.fType |= MFT_RADIOCHECK;
    info.fState = checked ? (info.fState | MFS_CHECKED) : (info.fState & ~UINT(MFS_CHECKED));
    done = SetMenuItemInfoW(parent, position, TRUE, &info) != FALSE;
  });
  return done;
}

std::u16string GetMenuItemText(HMENU menu, UINT id) {
  std::wstring text;
  FindMenuItem(menu, id, [&](HMENU parent, UINT position) { text = ItemText(parent, position); });
  if (text.ends_with(L"\u2026")) text.pop_back();
  else if (text.ends_with(L"...")) text.resize(text.size() - 3);
  return ToU16(text);
}

bool CopyMenuItem(HMENU source, UINT id, HMENU target) {
  std::wstring text;
  if (!FindMenuItem(source, id, [&](HMENU parent, UINT position) { text = ItemText(parent, position); }))
    return false;
  return AppendMenuW(target, MF_STRING, id, text.c_str()) != FALSE;
}

bool CopyMenuItemFromResource(HINSTANCE module, UINT resourceId, UINT id, HMENU target) {
  const UniqueMenu source(LoadMenuW(module, MAKEINTRESOURCEW(resourceId)));
  return source && CopyMenuItem(source.get(), id, target);
}

}  // namespace vellix
