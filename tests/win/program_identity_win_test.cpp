#include <gtest/gtest.h>

#include "services/program_title.h"
#include "services/system_description.h"

namespace vellix {
namespace {

TEST(ProgramIdentityWinTest, TitleFallsBackToTheProjectVersion) {
  // The test program carries no version resource.
  EXPECT_EQ(ProgramTitle(false), u"Vellix 1.00");
  EXPECT_EQ(ProgramTitle(true), u"Vellix 1.00 build 1");
}

TEST(ProgramIdentityWinTest, SystemDescriptionIsComputedOnce) {
  const std::u16string first = GetSystemDescription();
  const int queries = SystemDescriptionQueries();
  EXPECT_EQ(GetSystemDescription(), first);
  EXPECT_EQ(SystemDescriptionQueries(), queries);
  EXPECT_EQ(queries, 1);
  EXPECT_EQ(first.rfind(u"Windows", 0), 0u);
  EXPECT_NE(first.find(u" 64x build "), std::u16string::npos);
}

}  // namespace
}  // namespace vellix
