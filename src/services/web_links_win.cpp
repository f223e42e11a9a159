#include "services/web_links_win.h"

#include <shellapi.h>

#include <string>

#include "base/wide.h"

namespace vellix {

bool OpenWebPage(HWND owner, std::u16string_view address) {
  const std::wstring target = ToWide(address);
  // ShellExecuteW reports success by a value above 32.
  const HINSTANCE result = ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace vellix
