#pragma once
// Where the program's own files live: the folder of the executable.

#include <string>

namespace vellix {

// The full path of the running executable.
std::u16string ProgramFile();
// The folder of the running executable, always ending in "\".
std::u16string ProgramFolder();

}  // namespace vellix
