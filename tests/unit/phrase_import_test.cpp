// Phrases from other programs' files: for each format a table of small sources and the
// phrases they give, the entries left out with their lines, and damaged sources that give
// a clear error and nothing else.

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "import/csv_format.h"
#include "import/phrase_import.h"

namespace vellix {
namespace {

// One phrase as the tests write it: "keystrokes|text|options" where options are letters:
// c case-sensitive, a append, Ln caret-left n, d disabled phrase, ~k a disabled keystroke k,
// only:prog / never:prog a program rule.
struct Expected {
  std::string keystrokes;  // blank-separated enabled keystrokes
  std::u16string text;
  std::string options;
};

std::string Describe(const Phrase& p) {
  std::string keys;
  std::string disabled;
  for (const auto& [k, on] : p.Prefixes()) {
    std::string& list = on ? keys : disabled;
    if (!list.empty()) list += ' ';
    list += Utf16ToUtf8(k);
  }
  std::string options;
  if (p.CaseSensitive()) options += "c ";
  if (!p.AddOrReplace()) options += "a ";
  if (p.LeftAfter()) options += "L" + std::to_string(p.LeftAfter()) + " ";
  if (!p.Enabled()) options += "d ";
  if (!disabled.empty()) options += "~" + disabled + " ";
  if (p.UseWithList() == kUseIncludeList || p.UseWithList() == kUseExcludeList) {
    options += p.UseWithList() == kUseIncludeList ? "only:" : "never:";
    for (const auto& [program, on] : p.UseWithList() == kUseIncludeList ? p.Include() : p.Exclude()) {
      options += Utf16ToUtf8(program) + (on ? "," : "(off),");
    }
    options += " ";
  }
  if (!options.empty()) options.pop_back();
  return keys + "|" + Utf16ToUtf8(p.Word()) + "|" + options;
}

struct ImportCase {
  const char* name;
  ImportFormat format;
  std::string source;
  std::vector<Expected> phrases;
  std::vector<size_t> skippedLines;  // lines of the entries left out (0: a summary)
  size_t notes = 0;
  size_t failLine = SIZE_MAX;  // when the source must fail: the line it names
};

const ImportCase kCases[] = {
    // CSV and TSV.
    {"csv: header in any order, quotes, line breaks and doubled quotes", ImportFormat::kCsv,
     "Text,Keystrokes\r\n\"by the way\",btw\r\n\"say \"\"hi\"\",\nthen go\",\"hi hello\"\r\n",
     {{"btw", u"by the way"}, {"hello hi", u"say \"hi\",\r\nthen go"}}},
    {"csv: a byte-order mark and the optional columns", ImportFormat::kCsv,
     "\xEF\xBB\xBFkeystroke,text,case,action,caret-left,enabled,disabled keystrokes\n"
     "Sig,Best,YES,append,2,no,old\n",
     {{"Sig", u"Best", "c a L2 d ~old"}}},
    {"csv: rows without text or keystroke, or with bad values, are left out", ImportFormat::kCsv,
     "keystrokes,text,action,caret-left\n,no keystroke,,\nk1,,,\nk2,x,move,\nk3,x,,101\nk4,ok,,\n",
     {{"k4", u"ok"}}, {2, 3, 4, 5}},
    {"tsv: tabs separate, quotes still group", ImportFormat::kTsv,
     "keystrokes\ttext\nbtw\tby the way\nq\t\"a\tb\"\n",
     {{"btw", u"by the way"}, {"q", u"a\tb"}}},
    {"csv: an unclosed quote fails", ImportFormat::kCsv, "keystrokes,text\nbtw,\"by the way\n", {},
     {}, 0, 2},
    {"csv: a quote inside a field fails", ImportFormat::kCsv, "keystrokes,text\nbtw,by \"the\" way\n",
     {}, {}, 0, 2},
    {"csv: text after a closing quote fails", ImportFormat::kCsv, "keystrokes,text\nbtw,\"by\"x\n", {},
     {}, 0, 2},
    {"csv: no header naming the columns fails", ImportFormat::kCsv, "btw,by the way\n", {}, {}, 0, 1},
    {"csv: a binary file fails", ImportFormat::kCsv, std::string("keystrokes,text\n\0\1\2", 19), {}, {},
     0, 0},
    {"csv: a line of more than a megabyte fails", ImportFormat::kCsv,
     "keystrokes,text\nx," + std::string(1 << 20 | 1, 'y') + "\n", {}, {}, 0, 2},
    {"csv: invalid UTF-8 fails", ImportFormat::kCsv, "keystrokes,text\nx,\xC3\x28\n", {}, {}, 0, 0},
    // AutoHotkey.
    {"ahk: plain hotstrings with comments and escapes", ImportFormat::kAutoHotkey,
     "; my script\n::btw::by the way ; a comment\n:*:addr::1 Main St`nSpringfield\n"
     "::semi::a `; b\n",
     {{"btw", u"by the way"}, {"addr", u"1 Main St\r\nSpringfield"}, {"semi", u"a ; b"}}},
    {"ahk: options C, B0, R and #Hotstring defaults", ImportFormat::kAutoHotkey,
     ":C:BTW::By The Way\n:B0:hel::lo there\n:R:raw::a+b {Enter} c!\n#Hotstring C\n::Ok::okay\n",
     {{"BTW", u"By The Way", "c"}, {"hel", u"hello there", "a"}, {"raw", u"a+b {Enter} c!"},
      {"Ok", u"okay", "c"}}},
    {"ahk: braces a text can hold, Left at the end, Shift and a letter", ImportFormat::kAutoHotkey,
     "::p::({Left}\n::tab::a{Tab}b{Enter}{!}{{}{}}\n::cap::+hello {U+20AC}\n::two::()[]{Left 3}\n",
     {{"p", u"(", "L1"}, {"tab", u"a\tb\r\n!{}"}, {"cap", u"Hello \u20AC"}, {"two", u"()[]", "L3"}}},
    {"ahk: continuation sections", ImportFormat::kAutoHotkey,
     "::sig::\n(\nBest regards,\n  Me\n)\n::lt::\n(LTrim\n  one\n  two\n)\n",
     {{"sig", u"Best regards,\r\n  Me"}, {"lt", u"one\r\ntwo"}}},
    {"ahk: code, hotkeys and what a text cannot hold are left out and counted",
     ImportFormat::kAutoHotkey,
     "#Requires AutoHotkey v2\n^j::Send \"x\"\n:X:dt::Send(A_Now)\n::fn::\n{\n  MsgBox \"x\"\n}\n"
     "::cmd::\nSend x\nreturn\n::ctl::^c\n::mid::a{Left}b\n::key::{F5}\n::ok::fine\n",
     {{"ok", u"fine"}}, {0, 3, 4, 8, 11, 12, 13}},
    {"ahk: ? is taken with a note", ImportFormat::kAutoHotkey, ":?:ing::ING\n", {{"ing", u"ING"}}, {},
     1},
    // espanso.
    {"espanso: triggers, replace, line breaks and the caret mark", ImportFormat::kEspanso,
     "matches:\n  - trigger: \":btw\"\n    replace: \"by the way\"\n"
     "  - triggers: [\":a\", \":b\"]\n    replace: \"line one\\nline $|$two\"\n",
     {{":btw", u"by the way"}, {":a :b", u"line one\r\nline two", "L3"}}},
    {"espanso: word and propagate_case are taken with notes", ImportFormat::kEspanso,
     "matches:\n  - trigger: \"ty\"\n    replace: \"thank you\"\n    word: true\n"
     "    propagate_case: true\n",
     {{"ty", u"thank you"}}, {}, 2},
    {"espanso: forms, variables, images and regex triggers are left out",
     ImportFormat::kEspanso,
     "matches:\n  - trigger: \":f\"\n    form: \"x\"\n  - trigger: \":d\"\n    replace: \"{{date}}\"\n"
     "    vars: []\n  - trigger: \":i\"\n    image_path: \"a.png\"\n  - regex: \"x(?P<n>.*)\"\n"
     "    replace: \"y\"\n  - trigger: \":g\"\n    replace: \"{{global}}\"\n  - trigger: \":ok\"\n"
     "    replace: \"fine\"\n",
     {{":ok", u"fine"}}, {2, 4, 7, 9, 11}},
    {"espanso: filter_exec naming executables becomes a program rule", ImportFormat::kEspanso,
     "filter_exec: \"(notepad\\\\.exe|WINWORD.EXE)\"\nmatches:\n  - trigger: \"x\"\n    replace: \"y\"\n",
     {{"x", u"y", "only:WINWORD.EXE,notepad.exe,"}}},
    {"espanso: filter_exec that is a pattern gives a note", ImportFormat::kEspanso,
     "filter_exec: \"Telegram.*\"\nmatches:\n  - trigger: \"x\"\n    replace: \"y\"\n", {{"x", u"y"}},
     {}, 1},
    {"espanso: bad YAML fails with its line", ImportFormat::kEspanso,
     "matches:\n  - trigger: x\n    replace: [a, b\n", {}, {}, 0, 4},
    {"espanso: a file without matches fails", ImportFormat::kEspanso, "global_vars: []\n", {}, {}, 0, 0},
};

class ImportTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportTest, GivesThePhrasesAndSaysWhatItLeftOut) {
  const ImportCase& c = GetParam();
  const ImportResult result = ImportPhrases(c.format, c.source);
  if (c.failLine != SIZE_MAX) {
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.error.line, c.failLine) << result.error.text;
    EXPECT_FALSE(result.error.text.empty());
    EXPECT_TRUE(result.phrases.empty());
    return;
  }
  ASSERT_FALSE(result.failed) << result.error.text;
  std::vector<std::string> got;
  for (const auto& phrase : result.phrases) got.push_back(Describe(*phrase));
  std::vector<std::string> want;
  for (const Expected& e : c.phrases) want.push_back(e.keystrokes + "|" + Utf16ToUtf8(e.text) + "|" + e.options);
  EXPECT_EQ(got, want);
  std::vector<size_t> skipped;
  for (const auto& s : result.skipped) skipped.push_back(s.line);
  std::sort(skipped.begin(), skipped.end());
  EXPECT_EQ(skipped, c.skippedLines);
  for (const auto& s : result.skipped) EXPECT_FALSE(s.text.empty());
  EXPECT_EQ(result.notes.size(), c.notes);
}

INSTANTIATE_TEST_SUITE_P(Table, ImportTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(PhraseImport, ExportedCsvImportsBackToTheSamePhrases) {
  const ImportResult original = ImportPhrases(
      ImportFormat::kCsv,
      "keystrokes,text,disabled keystrokes,case,action,caret-left,enabled\n"
      "btw bw,\"by the way, \"\"quoted\"\"\nnext\",old,yes,append,2,no\nx,y,,no,replace,0,yes\n");
  ASSERT_FALSE(original.failed);
  PhraseDatabase collection;
  for (const auto& phrase : original.phrases) collection.Add(phrase->Clone());
  const std::string csv = ExportCsv(collection);
  const ImportResult again = ImportPhrases(ImportFormat::kCsv, csv);
  ASSERT_FALSE(again.failed) << again.error.text;
  ASSERT_EQ(again.phrases.size(), original.phrases.size());
  for (size_t i = 0; i < again.phrases.size(); ++i) {
    EXPECT_EQ(Describe(*again.phrases[i]), Describe(*original.phrases[i]));
  }
}

TEST(PhraseImport, AppendingReportsKeystrokesThatNowCollide) {
  PhraseDatabase collection;
  ImportResult existing = ImportPhrases(ImportFormat::kCsv, "keystrokes,text\nbtw,first\nsig,x\n");
  AppendImported(existing, collection);
  ImportResult more = ImportPhrases(ImportFormat::kCsv, "keystrokes,text\nBTW,second\nnew,y\nbtw,third\n");
  const auto collisions = AppendImported(more, collection);
  ASSERT_EQ(collection.Size(), 5u);
  EXPECT_EQ(collection.At(2).Id(), 3u);
  ASSERT_EQ(collisions.size(), 2u);
  EXPECT_EQ(collisions[0].keystroke, u"BTW");
  EXPECT_EQ(collisions[0].otherIds, std::vector<uint32_t>{1});
  EXPECT_EQ(collisions[1].importedId, 5u);
  EXPECT_EQ(collisions[1].otherIds, (std::vector<uint32_t>{1, 3}));
}

TEST(PhraseImport, FormatsByName) {
  EXPECT_EQ(ImportFormatNamed("CSV"), ImportFormat::kCsv);
  EXPECT_EQ(ImportFormatNamed("ahk"), ImportFormat::kAutoHotkey);
  EXPECT_EQ(ImportFormatNamed("AutoHotkey"), ImportFormat::kAutoHotkey);
  EXPECT_EQ(ImportFormatNamed("espanso"), ImportFormat::kEspanso);
  EXPECT_EQ(ImportFormatNamed("xml"), std::nullopt);
}

}  // namespace
}  // namespace vellix
