#pragma once
// Small system services: administrator check and the file test.

#include <string_view>

namespace vellix {

// The process's user belongs to the built-in Administrators group (S-1-5-32-544).
bool IsAdministrator();

// True for an existing file (also one whose attributes are denied to the user), false for
// a folder, a missing path or any other error. System error boxes are suppressed.
bool FileExists(std::u16string_view path);

}  // namespace vellix
