#pragma once
// Opening a web address in the user's browser.

#include <windows.h>

#include <string_view>

namespace vellix {

// The shell's "open" verb on the address, owned by owner, shown normally. Failures are
// not reported to the user; the result says whether the shell accepted the request.
bool OpenWebPage(HWND owner, std::u16string_view address);

}  // namespace vellix
