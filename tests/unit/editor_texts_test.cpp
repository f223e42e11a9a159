// Texts of the phrase editor: title, row tooltip, context-menu suffix, save prompt, the
// open-file dialog and the configured-database test.

#include "editor/editor_texts.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "base/utf.h"
#include "phrases/phrase.h"
#include "resource.h"

namespace vellix {
namespace {

std::u16string English(uint32_t id) {
  static const std::map<uint32_t, std::u16string> texts = {
      {IDS_EDIT_PHRASES, u"Edit Phrases"},
      {IDS_CHECKED_ONLY, u"Checked only"},
      {IDS_AS_DEFAULT, u"as default"},
      {IDS_CHANGED_ON_DISK, u"changed on disk"},
      {IDS_CHARACTERS, u"Characters"},
      {IDS_DETECTION_TYPE, u"Detection type"},
      {IDS_CASE_SENSITIVE, u"Case Sensitive"},
      {IDS_CASE_INSENSITIVE, u"Case uNsensituve"},
      {IDS_ACTION, u"Action"},
      {IDS_APPEND, u"Append"},
      {IDS_REPLACE, u"Replace"},
      {IDS_SAVE_CHANGES, u"Save changes?"},
      {ID_OPEN_DATABASE, u"Open database with phrases\nOpen"},
      {IDS_EDITOR_FOUND, u"found by \"%1\""},
  };
  const auto found = texts.find(id);
  return found == texts.end() ? std::u16string(u"?") : found->second;
}

TEST(EditorTextsTest, Title) {
  const struct {
    EditorTitleState state;
    std::u16string_view title;
  } cases[] = {
      {{true, u"Vellix 1.38", 3, 5, true, u"C:\\p\\Database.xml", true},
       u"* Vellix 1.38 - Edit Phrases [3/5, Checked only] - C:\\p\\Database.xml [as default]"},
      {{true, u"Vellix 1.38", 3, 5, true, u"D:\\other.xml", false},
       u"* Vellix 1.38 - Edit Phrases [3/5, Checked only] - D:\\other.xml"},
      {{false, u"Vellix 1.38", 4, 4, false, u"C:\\p\\Database.xml", true},
       u"Vellix 1.38 - Edit Phrases [4/4] - C:\\p\\Database.xml [as default]"},
      {{false, u"Vellix 1.38", 0, 0, false, u"", false}, u"Vellix 1.38 - Edit Phrases [0/0] - "},
      {{true, u"Vellix 1.38", 2, 2, false, u"C:\\p\\Database.xml", true, true},
       u"* Vellix 1.38 - Edit Phrases [2/2] - C:\\p\\Database.xml [as default] [changed on disk]"},
      // A query in the search box hides rows too, and says so.
      {{false, u"Vellix 1.38", 2, 5, true, u"C:\\p\\Database.xml", false, false, u"kind regards"},
       u"Vellix 1.38 - Edit Phrases [2/5, Checked only, found by \"kind regards\"] - C:\\p\\Database.xml"},
  };
  for (const auto& c : cases) EXPECT_EQ(EditorTitle(c.state, English), c.title) << Utf16ToUtf8(c.title);
}

std::unique_ptr<Phrase> MakePhrase(std::u16string word, FlagMap keys, int caseSensitive, int addOrReplace) {
  auto phrase = std::make_unique<Phrase>();
  phrase->SetWord(std::move(word));
  phrase->Prefixes() = std::move(keys);
  phrase->SetCaseSensitive(caseSensitive);
  phrase->SetAddOrReplace(addOrReplace);
  return phrase;
}

TEST(EditorTextsTest, RowTooltip) {
  const struct {
    std::u16string word;
    FlagMap keys;
    int caseSensitive, addOrReplace;
    std::u16string tip;
  } cases[] = {
      {u"by the way", {{u"btw", 1}, {u"bw", 0}, {u"wy", 1}}, 1, 1,
       u"by the way [2/3], Characters: 10\n\n       btw\n       wy\n\nDetection type: Case Sensitive\n"
       u"Action: Replace"},
      {u"a\r\nb", {}, 0, 0,
       u"a\r\nb [0/0], Characters: 4\n\n\nDetection type: Case uNsensituve\nAction: Append"},
      {u"x", {{u"k", 0}}, 0, 1, u"x [0/1], Characters: 1\n\n\nDetection type: Case uNsensituve\nAction: Replace"},
  };
  for (const auto& c : cases) {
    const auto phrase = MakePhrase(c.word, c.keys, c.caseSensitive, c.addOrReplace);
    EXPECT_EQ(RowTooltip(*phrase, English), c.tip) << Utf16ToUtf8(c.tip);
  }
}

TEST(EditorTextsTest, RowTooltipCutsLongTexts) {
  const struct {
    std::u16string word;
    std::u16string head;  // what the tip starts with, up to the " ["
  } cases[] = {
      {std::u16string(320, u'a'), std::u16string(320, u'a')},
      {std::u16string(321, u'a'), std::u16string(320, u'a') + u"\u2026"},
      {std::u16string(1000, u'b'), std::u16string(320, u'b') + u"\u2026"},
      // A cut through a surrogate pair keeps the pair whole by leaving it out.
      {std::u16string(319, u'c') + u"\U0001F600" + u"d", std::u16string(319, u'c') + u"\u2026"},
  };
  for (const auto& c : cases) {
    const auto phrase = MakePhrase(c.word, {}, 1, 1);
    const std::u16string tip = RowTooltip(*phrase, English);
    EXPECT_EQ(tip.substr(0, tip.find(u" [")), c.head) << c.word.size();
    const std::u16string length = u"Characters: " + Utf8ToUtf16(std::to_string(c.word.size())) + u"\n";
    EXPECT_NE(tip.find(length), std::u16string::npos) << c.word.size();
  }
}

TEST(EditorTextsTest, ContextMenuSuffix) {
  const struct {
    std::u16string_view word;
    bool selected;
    std::u16string_view suffix;
  } cases[] = {
      {u"hello", false, u""},
      {u"hello", true, u" [hello]"},
      {u"  hello  ", true, u" [hello]"},
      {u"\r\n\tline one\r\nline two\r\n", true, u" [line one  line two]"},
      {u"123456789012345678901234567890", true, u" [123456789012345678901234567890]"},
      {u"1234567890123456789012345678901", true, u" [123456789012345678901234567890\u2026]"},
      {u"   1234567890123456789012345678901   ", true, u" [123456789012345678901234567890\u2026]"},
      {u"Tom & Jerry", true, u" [Tom && Jerry]"},
      {u"", true, u" []"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContextMenuSuffix(c.word, c.selected), c.suffix) << Utf16ToUtf8(c.word);
  }
}

TEST(EditorTextsTest, SavePrompt) {
  EXPECT_EQ(SavePromptText(u"C:\\p\\Database.xml", English), u"Save changes?\n[C:\\p\\Database.xml]");
  EXPECT_EQ(SavePromptText(u"", English), u"Save changes?\n[noname]");
}

TEST(EditorTextsTest, OpenDialog) {
  EXPECT_EQ(OpenDialogTitle(English), u"Vellix : Open database with phrases");
  const EditorStringLookup noNewLine = [](uint32_t) { return std::u16string(u"Open file"); };
  EXPECT_EQ(OpenDialogTitle(noNewLine), u"Vellix : Open file");

  const std::u16string filter = OpenFileFilter();
  const std::u16string expected(u"XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0\0", 45);
  EXPECT_EQ(filter, expected);

  const struct {
    std::u16string_view path, folder;
  } folders[] = {
      {u"C:\\Program\\Database.xml", u"C:\\Program"},
      {u"C:\\Database.xml", u"C:\\"},
      {u"\\\\server\\share\\db.xml", u"\\\\server\\share"},
      {u"Database.xml", u""},
      {u"", u""},
  };
  for (const auto& f : folders) EXPECT_EQ(FolderOfDatabase(f.path), f.folder) << Utf16ToUtf8(f.path);
}

TEST(EditorTextsTest, ConfiguredDatabase) {
  constexpr std::u16string_view folder = u"C:\\Vellix\\";
  EXPECT_EQ(ResolveDatabasePath(u"", folder), u"C:\\Vellix\\Database.xml");
  EXPECT_EQ(ResolveDatabasePath(u"D:\\db.xml", folder), u"D:\\db.xml");

  const struct {
    std::u16string_view path, setting;
    bool configured;
  } cases[] = {
      {u"C:\\Vellix\\Database.xml", u"", true},
      {u"c:\\vellix\\DATABASE.XML", u"", true},
      {u"C:\\Vellix\\Other.xml", u"", false},
      {u"D:\\DB.xml", u"d:\\db.xml", true},
      {u"C:\\Vellix\\Database.xml", u"d:\\db.xml", false},
      {u"", u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsConfiguredDatabase(c.path, c.setting, folder), c.configured)
        << Utf16ToUtf8(c.path) << " / " << Utf16ToUtf8(c.setting);
  }
}

}  // namespace
}  // namespace vellix
