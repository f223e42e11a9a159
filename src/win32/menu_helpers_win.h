#pragma once
// Menu operations of the tray menu and the translation of menus, by command id. Lookups
// search the menu and its submenus depth first.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace vellix {

// Calls visit(menu holding the item, position) for the first item with id; false when
// there is none.
bool FindMenuItem(HMENU menu, UINT id, const std::function<void(HMENU, UINT)>& visit);
bool SetMenuItemText(HMENU menu, UINT id, std::u16string_view text);
// Sets or clears a radio-style check mark.
bool SetMenuItemRadioCheck(HMENU menu, UINT id, bool checked);
// The item's text without a trailing "…" (or "..."); empty when there is no such item.
std::u16string GetMenuItemText(HMENU menu, UINT id);
// Appends a copy (id and text) of the item id of source to the end of target.
bool CopyMenuItem(HMENU source, UINT id, HMENU target);
// The same with the source loaded from the menu resource resourceId of module.
bool CopyMenuItemFromResource(HINSTANCE module, UINT resourceId, UINT id, HMENU target);

}  // namespace vellix
