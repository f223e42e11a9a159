#pragma once
// The programs in which Vellix never types: section "ExcludedPrograms" of settings.ini, one
// key per program (its executable file name, "notepad.exe") whose value is 1 while the
// exclusion is on and 0 while it is kept but off. The rules here are platform-free: the
// section arrives as its raw lines, and program names compare through the caller's upper
// case of one unit (the invariant upper case, as the engine compares them).

#include <string>
#include <string_view>
#include <vector>

namespace vellix {

struct ExcludedProgram {
  std::u16string name;
  bool enabled = true;
  friend bool operator==(const ExcludedProgram&, const ExcludedProgram&) = default;
};

using ProgramUnitUpper = char16_t (*)(char16_t unit);

// The upper case of ASCII letters only; for callers without the system's case tables.
char16_t AsciiUpper(char16_t unit) noexcept;

// Whether name can stand for a program in the list and as a key of the INI file: a file
// name of 1 to 255 units without control characters, without any of < > : " / \ | ? * =,
// not starting with ';' or '[' (a comment or a section header in the file), without blanks
// at either end (the file would lose them).
bool IsProgramFileName(std::u16string_view name) noexcept;

// The same two names without regard to case.
bool SameProgram(std::u16string_view a, std::u16string_view b, ProgramUnitUpper upper) noexcept;

// The list from the section's lines ("name=1"). A line that is no such entry (no "=", a
// name that IsProgramFileName refuses, a value other than 0 or 1 after trimming blanks) is
// skipped, as is a second entry for a program already listed.
std::vector<ExcludedProgram> ParseExcludedPrograms(const std::vector<std::u16string>& lines,
                                                   ProgramUnitUpper upper);
// The section's lines for the list, in its order.
std::vector<std::u16string> ExcludedProgramLines(const std::vector<ExcludedProgram>& programs);

// The names of the enabled entries: what the engine leaves alone.
std::vector<std::u16string> EnabledPrograms(const std::vector<ExcludedProgram>& programs);

// Whether program is in the list and enabled.
bool IsExcluded(const std::vector<ExcludedProgram>& programs, std::u16string_view program,
                ProgramUnitUpper upper) noexcept;

// The tray command: an excluded program is taken out of the list; any other (not listed,
// or listed but off) is excluded. Answers whether program is excluded afterwards; a name
// that IsProgramFileName refuses changes nothing and answers false.
bool ToggleExcludedProgram(std::vector<ExcludedProgram>& programs, std::u16string_view program,
                           ProgramUnitUpper upper);

}  // namespace vellix
