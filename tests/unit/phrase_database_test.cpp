#include "phrases/phrase_database.h"

#include <gtest/gtest.h>

namespace vellix {
namespace {

std::unique_ptr<Phrase> MakePhrase(std::u16string word, FlagMap prefixes = {},
                                   int32_t caseSensitive = 1) {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(std::move(word));
  phrase->Prefixes() = std::move(prefixes);
  phrase->SetCaseSensitive(caseSensitive);
  return phrase;
}

// A collection whose phrases carry exactly the given identifiers, in order.
void FillWithIds(PhraseDatabase& db, std::initializer_list<uint32_t> ids) {
  for (uint32_t id : ids) {
    auto phrase = MakePhrase(std::u16string{u'p', char16_t(u'0' + id % 10)});
    phrase->SetId(id);
    db.AppendWithId(std::move(phrase));
  }
}

std::vector<uint32_t> Ids(const PhraseDatabase& db) {
  std::vector<uint32_t> ids;
  for (const auto& phrase : db.Items()) ids.push_back(phrase->Id());
  return ids;
}

TEST(Phrase, NewPhraseDefaults) {
  Phrase p;
  EXPECT_EQ(p.Id(), 0u);
  EXPECT_TRUE(p.Word().empty());
  EXPECT_EQ(p.CaseSensitive(), 1);
  EXPECT_EQ(p.AddOrReplace(), 1);
  EXPECT_EQ(p.LeftAfter(), 0);
  EXPECT_EQ(p.CountUsage(), 0);
  EXPECT_EQ(p.Enabled(), 1);
  EXPECT_EQ(p.UseWithList(), kNotUse);
  EXPECT_TRUE(p.IsSavable());
  EXPECT_GE(p.DateCreated().year, 2024);
}

TEST(Phrase, KeystrokesDifferingInCaseAreTwoKeys) {
  Phrase p;
  p.Prefixes()[u"abc"] = 1;
  p.Prefixes()[u"Abc"] = 1;
  EXPECT_EQ(p.Prefixes().size(), 2u);
  EXPECT_EQ(p.Prefixes().begin()->first, u"Abc");  // code-unit order: 'A' < 'a'
}

TEST(Phrase, CountKeystrokes) {
  Phrase p;
  p.Prefixes() = {{u"a", 0}, {u"b", 1}, {u"c", 1}};
  EXPECT_EQ(p.CountKeystrokes(false).visited, 3);
  EXPECT_EQ(p.CountKeystrokes(false).enabled, 2);
  EXPECT_EQ(p.CountKeystrokes(true).visited, 2);
  EXPECT_EQ(p.CountKeystrokes(true).enabled, 1);
  EXPECT_TRUE(p.HasEnabledKeystroke());
  p.Prefixes() = {{u"a", 0}};
  EXPECT_FALSE(p.HasEnabledKeystroke());
}

TEST(Phrase, MatchesKeystrokeTable) {
  Phrase p;
  p.Prefixes() = {{u"btw", 1}, {u"OFF", 0}, {u"\u00C4x", 1}};
  struct Case {
    std::u16string text;
    bool caseSensitive;
    bool expected;
  } cases[] = {
      {u"btw", true, true},      {u"BTW", true, false},      {u"BTW", false, true},
      {u"bt", false, false},     {u"btwx", false, false},    {u"OFF", true, false},
      {u"off", false, false},    {u"\u00C4x", true, true},   {u"\u00E4x", false, false},
      {u"\u00C4X", false, true}, {u"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(p.MatchesKeystroke(c.text, c.caseSensitive), c.expected)
        << std::string(c.text.begin(), c.text.end()) << " cs=" << c.caseSensitive;
  }
}

TEST(Phrase, CloneCopiesEveryField) {
  Phrase p;
  p.SetId(7);
  p.SetWord(u"text");
  p.Prefixes()[u"k"] = 0;
  p.SetCaseSensitive(0);
  p.SetAddOrReplace(0);
  p.SetLeftAfter(4);
  p.SetCountUsage(9);
  p.SetEnabled(0);
  p.SetUseWithList(kUseExcludeList);
  p.Include()[u"a.exe"] = 1;
  p.Exclude()[u"b.exe"] = 0;
  SystemTime date;
  date.year = 2001;
  p.SetDateCreated(date);
  auto c = p.Clone();
  EXPECT_EQ(c->Id(), 7u);
  EXPECT_EQ(c->Word(), u"text");
  EXPECT_EQ(c->Prefixes(), p.Prefixes());
  EXPECT_EQ(c->CaseSensitive(), 0);
  EXPECT_EQ(c->AddOrReplace(), 0);
  EXPECT_EQ(c->LeftAfter(), 4);
  EXPECT_EQ(c->CountUsage(), 9);
  EXPECT_EQ(c->Enabled(), 0);
  EXPECT_EQ(c->UseWithList(), kUseExcludeList);
  EXPECT_EQ(c->Include(), p.Include());
  EXPECT_EQ(c->Exclude(), p.Exclude());
  EXPECT_EQ(c->DateCreated(), date);
}

TEST(PhraseDatabase, NextFreeIdAndAdd) {
  PhraseDatabase db;
  EXPECT_EQ(db.NextFreeId(), 1u);
  FillWithIds(db, {1, 2, 7});
  EXPECT_EQ(db.NextFreeId(), 8u);
  EXPECT_EQ(db.Add(MakePhrase(u"x")), 8u);
  EXPECT_EQ(db.Remove(8), 1);
  EXPECT_EQ(db.Add(MakePhrase(u"y")), 8u);  // the largest identifier is reused
  EXPECT_EQ(db.Remove(2), 1);
  EXPECT_EQ(db.Add(MakePhrase(u"z")), 9u);  // gaps below the largest stay
  EXPECT_EQ(Ids(db), (std::vector<uint32_t>{1, 7, 8, 9}));
}

TEST(PhraseDatabase, FindRemoveAndIncrement) {
  PhraseDatabase db;
  FillWithIds(db, {3, 5});
  EXPECT_EQ(db.Find(4), nullptr);
  ASSERT_NE(db.Find(5), nullptr);
  EXPECT_EQ(db.Remove(4), 0);
  EXPECT_EQ(db.IncrementUsageCount(4), -1);
  EXPECT_EQ(db.IncrementUsageCount(5), 1);
  EXPECT_EQ(db.IncrementUsageCount(5), 2);
  EXPECT_EQ(db.Find(3)->CountUsage(), 0);
  EXPECT_EQ(db.Remove(3), 1);
  EXPECT_EQ(Ids(db), (std::vector<uint32_t>{5}));
}

TEST(PhraseDatabase, AssignRenumbersInOrderAndCopiesDeeply) {
  PhraseDatabase source;
  FillWithIds(source, {3, 9, 4});
  PhraseDatabase copy;
  FillWithIds(copy, {42});
  copy.Assign(source);
  EXPECT_EQ(Ids(copy), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_EQ(copy.At(1).Word(), source.At(1).Word());
  copy.At(0).SetWord(u"changed");
  EXPECT_NE(source.At(0).Word(), u"changed");
  EXPECT_EQ(Ids(source), (std::vector<uint32_t>{3, 9, 4}));
  copy.Assign(copy);
  EXPECT_EQ(copy.Size(), 3u);
}

TEST(PhraseDatabase, TakeOverMovesAndKeepsIdsAndDates) {
  PhraseDatabase source;
  FillWithIds(source, {3, 9});
  SystemTime date;
  date.year = 1999;
  source.At(0).SetDateCreated(date);
  const Phrase* first = &source.At(0);
  PhraseDatabase live;
  FillWithIds(live, {1});
  live.TakeOver(source);
  EXPECT_TRUE(source.Empty());
  EXPECT_EQ(Ids(live), (std::vector<uint32_t>{3, 9}));
  EXPECT_EQ(&live.At(0), first);
  EXPECT_EQ(live.At(0).DateCreated(), date);
  live.TakeOver(live);
  EXPECT_EQ(live.Size(), 2u);
}

TEST(PhraseDatabase, CountPhrases) {
  PhraseDatabase db;
  EXPECT_FALSE(db.HasDisabledPhrase());
  for (int enabled : {1, 0, 1}) {
    auto p = MakePhrase(u"x");
    p->SetEnabled(enabled);
    db.Add(std::move(p));
  }
  EXPECT_EQ(db.CountPhrases(false).total, 3);
  EXPECT_EQ(db.CountPhrases(false).enabled, 2);
  EXPECT_EQ(db.CountPhrases(true).enabled, 1);
  EXPECT_TRUE(db.HasDisabledPhrase());
}

TEST(PhraseDatabase, FindKeystrokeDuplicatesTable) {
  struct Case {
    const char* name;
    int32_t editedCaseSensitive;
    int32_t otherCaseSensitive;
    int otherFlag;
    std::u16string text;
    DuplicateSet expected;
  } cases[] = {
      {"both case-sensitive, case differs", 1, 1, 1, u"abc", {}},
      {"other not case-sensitive", 1, 0, 1, u"abc", {6}},
      {"edited not case-sensitive", 0, 1, 1, u"abc", {6}},
      {"other's keystroke disabled", 1, 0, 0, u"abc", {}},
      {"exact match", 1, 1, 1, u"ABC", {6}},
      {"empty text", 0, 0, 1, u"", {}},
      {"no trimming", 0, 0, 1, u"abc ", {}},
  };
  for (const auto& c : cases) {
    PhraseDatabase db;
    auto edited = MakePhrase(u"edited", {{u"ABC", 1}}, c.editedCaseSensitive);
    edited->SetId(5);
    db.AppendWithId(std::move(edited));
    auto other = MakePhrase(u"other", {{u"ABC", c.otherFlag}}, c.otherCaseSensitive);
    other->SetId(6);
    other->SetEnabled(0);  // a disabled phrase still counts
    db.AppendWithId(std::move(other));
    DuplicateSet found{99};
    EXPECT_EQ(db.FindKeystrokeDuplicates(c.text, 5, found), c.expected.size()) << c.name;
    EXPECT_EQ(found, c.expected) << c.name;
  }
}

TEST(PhraseDatabase, FindKeystrokeDuplicatesUnknownEditedIdIsCaseSensitive) {
  PhraseDatabase db;
  db.Add(MakePhrase(u"a", {{u"abc", 1}}, 1));
  db.Add(MakePhrase(u"b", {{u"ABC", 1}}, 0));
  DuplicateSet found;
  // Reference flag 1: phrase 1 (case-sensitive) matches exactly only, phrase 2 folds.
  EXPECT_EQ(db.FindKeystrokeDuplicates(u"Abc", 77, found), 1u);
  EXPECT_EQ(found, DuplicateSet{2});
  EXPECT_EQ(db.FindKeystrokeDuplicates(u"abc", 1, found), 1u);  // never lists itself
  EXPECT_EQ(found, DuplicateSet{2});
}

}  // namespace
}  // namespace vellix
