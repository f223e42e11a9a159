#pragma once
// Texts of the running executable's version resource.

#include <string>

namespace vellix {

// The string value name ("ProductVersion", "LegalCopyright", ...) of the first language the
// version resource lists; empty when there is none.
std::u16string ReadVersionString(const wchar_t* name);

}  // namespace vellix
