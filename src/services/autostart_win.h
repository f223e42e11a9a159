#pragma once
// "Start With Windows": the value "Vellix" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.

#include <string_view>

namespace vellix {

// The entry exists and names this program.
bool IsAutostartOn();
// Writes the entry for this program, or deletes it; reports success.
bool SetAutostart(bool on);

// The same for any program path (tests).
bool IsAutostartOnFor(std::u16string_view programPath);
bool SetAutostartFor(std::u16string_view programPath, bool on);

}  // namespace vellix
