#include <gtest/gtest.h>

#include "services/program_title.h"
#include "services/system_description.h"

namespace vellix {
namespace {

TEST(ProgramTitleTest, ShortAndLongForms) {
  struct Case {
    std::u16string_view version, shortTitle, longTitle;
  } cases[] = {
      {u"1, 3, 8, 56", u"Vellix 1.38", u"Vellix 1.38 build 56"},
      {u"4, 0, 1, 2", u"Vellix 4.01", u"Vellix 4.01 build 2"},
      {u"1.0.0.1", u"Vellix 1.00", u"Vellix 1.00 build 1"},
      {u"2, 5, 0, ", u"Vellix 2.50", u"Vellix 2.50"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatProgramTitle(c.version, false), c.shortTitle);
    EXPECT_EQ(FormatProgramTitle(c.version, true), c.longTitle);
  }
}

TEST(BuildStampTest, JoinsDateAndTimeWithSingleBlanks) {
  EXPECT_EQ(FormatBuildStamp("Dec  5 2026", "05:11:33"), u"Dec 5 2026 05:11:33");
  EXPECT_EQ(FormatBuildStamp("Dec 15 2026", "23:00:01"), u"Dec 15 2026 23:00:01");
  EXPECT_EQ(GetBuildStamp().find(u"  "), std::u16string::npos);
}

TEST(SystemDescriptionTest, NamesByVersion) {
  struct Case {
    uint32_t major, minor;
    bool nt, workstation;
    std::u16string_view name;
  } cases[] = {
      {3, 51, true, true, u"Windows NT 3.51"},     {4, 0, false, true, u"Windows 95"},
      {4, 0, true, true, u"Windows NT 4.0"},       {4, 10, false, true, u"Windows 98"},
      {4, 90, false, true, u"Windows ME"},         {5, 0, true, true, u"Windows 2000"},
      {5, 1, true, true, u"Windows XP"},           {5, 2, true, false, u"Windows Server 2003"},
      {6, 0, true, true, u"Windows Vista"},        {6, 0, true, false, u"Windows Server 2008"},
      {6, 1, true, true, u"Windows 7"},            {6, 1, true, false, u"Windows Server 2008 R2"},
      {6, 2, true, true, u"Windows 8"},            {6, 2, true, false, u"Windows Server 2012"},
      {6, 3, true, true, u"Windows 8.1"},          {6, 3, true, false, u"Windows Server 2012 R2"},
      {10, 0, true, true, u"Windows 10"},          {10, 0, true, false, u"Windows Server 2016"},
      {6, 4, true, true, u"Unknown Windows"},      {11, 0, true, true, u"Unknown Windows"},
  };
  for (const Case& c : cases) {
    WindowsVersion v;
    v.major = c.major;
    v.minor = c.minor;
    v.ntPlatform = c.nt;
    v.workstation = c.workstation;
    EXPECT_EQ(WindowsName(v), c.name) << c.major << "." << c.minor;
  }
}

TEST(SystemDescriptionTest, FormatsBitnessBuildAndServicePack) {
  WindowsVersion v;
  v.major = 10;
  v.build = 19045;
  EXPECT_EQ(FormatSystemDescription(v, true), u"Windows 10 64x build 19045 ");
  v.major = 4;
  v.minor = 10;
  v.ntPlatform = false;
  v.build = 0x040A0B22;
  v.servicePack = u" A";
  EXPECT_EQ(FormatSystemDescription(v, false), u"Windows 98 32x build 2850  A");
  v.servicePack = std::u16string(150, u's');
  EXPECT_EQ(FormatSystemDescription(v, false).size(), std::u16string(u"Windows 98 32x build 2850 ").size() + 99);
}

}  // namespace
}  // namespace vellix
