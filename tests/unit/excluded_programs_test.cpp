// The list of programs in which nothing is expanded: its lines in settings.ini, names that
// can stand in the file, and the tray command that adds and removes a program.

#include "services/excluded_programs.h"

#include <gtest/gtest.h>

#include "base/utf.h"

namespace vellix {
namespace {

TEST(ExcludedProgramsTest, ProgramFileNames) {
  const struct {
    std::u16string_view name;
    bool valid;
  } cases[] = {
      {u"notepad.exe", true},
      {u"My Editor (x64).exe", true},
      {u"\u00e9diteur.exe", true},
      {u"", false},
      {u"C:\\Windows\\notepad.exe", false},
      {u"dir/app.exe", false},
      {u"a=b.exe", false},  // the key would end at "="
      {u";comment.exe", false},
      {u"[section].exe", false},
      {u" app.exe", false},
      {u"app.exe ", false},
      {u"app\t.exe", false},
      {u"a?.exe", false},
      {u"a*.exe", false},
      {u"a|b.exe", false},
      {u"a\"b.exe", false},
      {std::u16string_view(u"a\0b.exe", 7), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProgramFileName(c.name), c.valid) << Utf16ToUtf8(c.name);
  EXPECT_TRUE(IsProgramFileName(std::u16string(255, u'a')));
  EXPECT_FALSE(IsProgramFileName(std::u16string(256, u'a')));
}

TEST(ExcludedProgramsTest, DamagedLinesAreSkipped) {
  const std::vector<std::u16string> lines = {
      u"notepad.exe=1",
      u"winword.exe=0",
      u"  spaced.exe  =  1 ",  // the file's own blanks around key and value
      u"no-equals-sign",
      u"=1",
      u"bad.exe=2",
      u"bad2.exe=yes",
      u"bad3.exe=",
      u"C:\\path\\app.exe=1",
      u";comment.exe=1",
      u"NOTEPAD.EXE=0",  // the same program again: the first entry stands
      u"last.exe=1=1",
  };
  const std::vector<ExcludedProgram> expected = {
      {u"notepad.exe", true}, {u"winword.exe", false}, {u"spaced.exe", true}};
  EXPECT_EQ(ParseExcludedPrograms(lines, AsciiUpper), expected);
  EXPECT_TRUE(ParseExcludedPrograms({}, AsciiUpper).empty());
}

TEST(ExcludedProgramsTest, LinesRoundTrip) {
  const std::vector<ExcludedProgram> programs = {{u"b.exe", true}, {u"A.exe", false}, {u"c d.exe", true}};
  const std::vector<std::u16string> lines = ExcludedProgramLines(programs);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"b.exe=1", u"A.exe=0", u"c d.exe=1"}));
  EXPECT_EQ(ParseExcludedPrograms(lines, AsciiUpper), programs);
  EXPECT_EQ(EnabledPrograms(programs), (std::vector<std::u16string>{u"b.exe", u"c d.exe"}));
}

TEST(ExcludedProgramsTest, ToggleAddsRemovesAndSwitchesOn) {
  std::vector<ExcludedProgram> programs = {{u"Off.exe", false}};
  const struct {
    std::u16string_view program;
    bool excludedAfter;
    std::vector<ExcludedProgram> listAfter;
  } steps[] = {
      {u"notepad.exe", true, {{u"Off.exe", false}, {u"notepad.exe", true}}},
      {u"NotePad.EXE", false, {{u"Off.exe", false}}},  // chosen again: out of the list
      {u"off.exe", true, {{u"Off.exe", true}}},        // kept but off: switched on
      {u"OFF.EXE", false, {}},
      {u"", false, {}},
      {u"C:\\x\\app.exe", false, {}},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(ToggleExcludedProgram(programs, step.program, AsciiUpper), step.excludedAfter)
        << Utf16ToUtf8(step.program);
    EXPECT_EQ(programs, step.listAfter) << Utf16ToUtf8(step.program);
    EXPECT_EQ(IsExcluded(programs, step.program, AsciiUpper), step.excludedAfter) << Utf16ToUtf8(step.program);
  }
}

}  // namespace
}  // namespace vellix
