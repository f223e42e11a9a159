#include "services/excluded_programs.h"

#include <algorithm>

namespace vellix {
namespace {

constexpr size_t kMaxFileName = 255;
constexpr std::u16string_view kForbidden = u"<>:\"/\\|?*=";

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t'; }

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

auto FindProgram(std::vector<ExcludedProgram>& programs, std::u16string_view program, ProgramUnitUpper upper) {
  return std::find_if(programs.begin(), programs.end(),
                      [&](const ExcludedProgram& p) { return SameProgram(p.name, program, upper); });
}

}  // namespace

char16_t AsciiUpper(char16_t unit) noexcept {
  return unit >= u'a' && unit <= u'z' ? char16_t(unit - 32) : unit;
}

bool IsProgramFileName(std::u16string_view name) noexcept {
  if (name.empty() || name.size() > kMaxFileName) return false;
  if (name.front() == u';' || name.front() == u'[') return false;
  if (IsBlank(name.front()) || IsBlank(name.back())) return false;
  for (char16_t unit : name) {
    if (unit < 0x20 || kForbidden.find(unit) != std::u16string_view::npos) return false;
  }
  return true;
}

bool SameProgram(std::u16string_view a, std::u16string_view b, ProgramUnitUpper upper) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::vector<ExcludedProgram> ParseExcludedPrograms(const std::vector<std::u16string>& lines,
                                                   ProgramUnitUpper upper) {
  std::vector<ExcludedProgram> programs;
  for (const std::u16string& line : lines) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) continue;
    const std::u16string_view name = Trimmed(std::u16string_view(line).substr(0, equals));
    const std::u16string_view value = Trimmed(std::u16string_view(line).substr(equals + 1));
    if (!IsProgramFileName(name) || (value != u"0" && value != u"1")) continue;
    if (FindProgram(programs, name, upper) != programs.end()) continue;
    programs.push_back({std::u16string(name), value == u"1"});
  }
  return programs;
}

std::vector<std::u16string> ExcludedProgramLines(const std::vector<ExcludedProgram>& programs) {
  std::vector<std::u16string> lines;
  lines.reserve(programs.size());
  for (const ExcludedProgram& p : programs) lines.push_back(p.name + (p.enabled ? u"=1" : u"=0"));
  return lines;
}

std::vector<std::u16string> EnabledPrograms(const std::vector<ExcludedProgram>& programs) {
  std::vector<std::u16string> names;
  for (const ExcludedProgram& p : programs) {
    if (p.enabled) names.push_back(p.name);
  }
  return names;
}

bool IsExcluded(const std::vector<ExcludedProgram>& programs, std::u16string_view program,
                ProgramUnitUpper upper) noexcept {
  return std::any_of(programs.begin(), programs.end(), [&](const ExcludedProgram& p) {
    return p.enabled && SameProgram(p.name, program, upper);
  });
}

bool ToggleExcludedProgram(std::vector<ExcludedProgram>& programs, std::u16string_view program,
                           ProgramUnitUpper upper) {
  if (!IsProgramFileName(program)) return false;
  const auto found = FindProgram(programs, program, upper);
  if (found == programs.end()) {
    programs.push_back({std::u16string(program), true});
    return true;
  }
  if (found->enabled) {
    programs.erase(found);
    return false;
  }
  found->enabled = true;
  return true;
}

}  // namespace vellix
