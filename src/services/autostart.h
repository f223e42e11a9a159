#pragma once
// The autostart entry "Vellix" under the current user's Run key: its text and whether a
// stored text names this program.

#include <string>
#include <string_view>

namespace vellix {

// "\"<program path>\" /autoload". The path is quoted so that a path with blanks
// (C:\Program Files\...) cannot be taken for a shorter program such as C:\Program.exe.
std::u16string AutostartCommand(std::u16string_view programPath);

// Whether a Run value names programPath: the text before its first "/", without trailing
// blanks and without quotation marks around it, equals the path ignoring the case of the
// letters A to Z. Both the quoted form and the older unquoted form are recognised.
bool AutostartNamesProgram(std::u16string_view value, std::u16string_view programPath);

}  // namespace vellix
