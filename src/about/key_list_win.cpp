#include "about/key_list_win.h"

#include <string>

#include "base/wide.h"
#include "lang/language_win.h"
#include "services/command_line_keys.h"

namespace vellix {

void ShowKeyList(HWND owner) {
  const std::u16string text = KeyListText([](uint32_t id) { return GetLocalizedString(id); });
  UINT style = MB_OK | MB_ICONINFORMATION;
  if (!owner) style |= MB_TOPMOST;
  MessageBoxW(owner, AsWide(text.c_str()), L"Vellix", style);
}

}  // namespace vellix
