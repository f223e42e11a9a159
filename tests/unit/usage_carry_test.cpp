// Counts typed since the last save, carried into a database that changed on disk.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phrases/usage_carry.h"

namespace vellix {
namespace {

void Add(PhraseDatabase& collection, std::u16string text, std::u16string keystroke, int32_t count,
         uint32_t id) {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(std::move(text));
  phrase->Prefixes()[keystroke] = 1;
  phrase->SetCountUsage(count);
  phrase->SetId(id);
  collection.AppendWithId(std::move(phrase));
}

TEST(UsageCarry, UnsavedUsesAreTheCountsAboveTheSavedOnes) {
  PhraseDatabase saved;
  Add(saved, u"by the way", u"btw", 3, 1);
  Add(saved, u"regards", u"rg", 5, 2);
  PhraseDatabase current;
  Add(current, u"by the way", u"btw", 5, 1);   // two typed since the save
  Add(current, u"regards", u"rg", 5, 2);       // none
  Add(current, u"new one", u"nw", 1, 3);       // added and typed once, never saved
  const auto usages = UnsavedUsages(current, saved);
  ASSERT_EQ(usages.size(), 2u);
  EXPECT_EQ(usages[0].text, u"by the way");
  EXPECT_EQ(usages[0].count, 2);
  EXPECT_EQ(usages[1].text, u"new one");
  EXPECT_EQ(usages[1].count, 1);
}

TEST(UsageCarry, CountsGoToTheSamePhraseWhereverItStandsNow) {
  PhraseDatabase reloaded;  // as the other side saved it: reordered, one changed, one new
  Add(reloaded, u"added elsewhere", u"ae", 0, 1);
  Add(reloaded, u"by the way", u"btw", 10, 2);
  Add(reloaded, u"regards!", u"rg", 5, 3);      // the text changed on the other side
  Add(reloaded, u"by the way", u"btw", 1, 4);   // the same phrase twice
  const std::vector<UnsavedUsage> usages = {
      {u"by the way", {u"btw"}, 2}, {u"by the way", {u"btw"}, 4}, {u"regards", {u"rg"}, 1},
      {u"by the way", {u"btw", u"bw"}, 7}};
  EXPECT_EQ(CarryUsages(usages, reloaded), 2u) << "the changed phrase and the other keystrokes";
  EXPECT_EQ(reloaded.At(1).CountUsage(), 12);
  EXPECT_EQ(reloaded.At(3).CountUsage(), 5) << "a second count goes to the second copy";
  EXPECT_EQ(reloaded.At(2).CountUsage(), 5);
  EXPECT_EQ(reloaded.At(0).CountUsage(), 0);
}

// The counts of the file as the saves record them: sorted by identifier, any order of the
// collection, identifiers the file never had counting from 0.
TEST(UsageCarry, UnsavedUsesAgainstTheCountsOfTheFile) {
  PhraseDatabase current;
  Add(current, u"new one", u"nw", 2, 9);
  Add(current, u"by the way", u"btw", 5, 4);
  Add(current, u"regards", u"rg", 5, 2);
  const SavedCounts saved = {{2, 5}, {4, 3}, {7, 100}};
  const auto usages = UnsavedUsages(current, saved);
  ASSERT_EQ(usages.size(), 2u);
  EXPECT_EQ(usages[0].text, u"new one");
  EXPECT_EQ(usages[0].count, 2);
  EXPECT_EQ(usages[1].text, u"by the way");
  EXPECT_EQ(usages[1].count, 2);
  EXPECT_EQ(CountsOf(current), (SavedCounts{{2, 5}, {4, 5}, {9, 2}}));
}

TEST(UsageCarry, CountsNeverOverflow) {
  PhraseDatabase reloaded;
  Add(reloaded, u"x", u"x", 2147483000, 1);
  CarryUsages({{u"x", {u"x"}, 1000}}, reloaded);
  EXPECT_EQ(reloaded.At(0).CountUsage(), 2147483647);
}

}  // namespace
}  // namespace vellix
