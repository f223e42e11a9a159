// Clipboard formats 13, 1 and 16, the private phrase format and code-page detection.
// Needs a display (the Windows tests run on a private Xvfb).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "base/utf.h"
#include "base/wide.h"
#include "editor/phrase_clipboard_win.h"
#include "phrases/phrase.h"
#include "phrases/phrase_database.h"
#include "services/clipboard_win.h"
#include "win32/menu_helpers_win.h"

namespace vellix {
namespace {

std::vector<uint8_t> Bytes(const void* data, size_t size) {
  return std::vector<uint8_t>(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
}

TEST(ClipboardTest, UnicodeTextWithLocaleRoundTrips) {
  ASSERT_TRUE(PutClipboardText(u"Gr\u00FC\u00DFe\r\nzweite\tZeile"));
  std::u16string text;
  ASSERT_TRUE(GetClipboardText(text));
  EXPECT_EQ(text, u"Gr\u00FC\u00DFe\r\nzweite\tZeile");
  EXPECT_EQ(GetClipboardFirstLine(), u"Gr\u00FC\u00DFe");
  EXPECT_EQ(GetClipboardTextSimple(), text);
  const auto locale = ReadClipboardBlock(CF_LOCALE);
  ASSERT_TRUE(locale.has_value());
  ASSERT_GE(locale->size(), 4u);
  LCID id = 0;
  std::memcpy(&id, locale->data(), 4);
  EXPECT_EQ(id, GetThreadLocale());
}

TEST(ClipboardTest, FirstFieldCutsAtTheFirstTab) {
  ASSERT_TRUE(PutClipboardText(u"name\tvalue\r\nrest"));
  EXPECT_EQ(GetClipboardFirstField(), u"name");
  ASSERT_TRUE(PutClipboardText(u"\tlead"));
  EXPECT_EQ(GetClipboardFirstField(), u"\tlead");
}

TEST(ClipboardTest, EightBitTextWithCyrillicLocaleUsesItsCodePage) {
  const char cyrillic[] = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in code page 1251
  const LCID russian = 0x0419;
  ClipboardBlocks blocks;
  blocks[CF_TEXT] = Bytes(cyrillic, sizeof cyrillic);
  blocks[CF_LOCALE] = Bytes(&russian, sizeof russian);
  ASSERT_TRUE(PutClipboardBlocks(blocks));
  std::u16string text;
  ASSERT_TRUE(GetClipboardText(text));
  EXPECT_EQ(text, u"\u041F\u0440\u0438\u0432\u0435\u0442");
  // The conversion itself, without the system's own synthesis of Unicode text.
  EXPECT_EQ(ConvertClipboardAnsiText(std::string_view(cyrillic), &russian), u"\u041F\u0440\u0438\u0432\u0435\u0442");
  const LCID greek = 0x0408;
  EXPECT_EQ(ConvertClipboardAnsiText("\xE1", &greek), u"\u03B1");
}

TEST(ClipboardTest, BlocksReplaceTheContentsAndEmptyMapsAreRefused) {
  EXPECT_FALSE(PutClipboardBlocks({}));
  ClipboardBlocks blocks;
  const UINT format = PrivateClipboardFormat();
  ASSERT_NE(format, 0u);
  EXPECT_EQ(format, RegisterClipboardFormatW(L"Vellix Clipboard Format"));
  blocks[format] = {'a', 'b', 0};
  ASSERT_TRUE(PutClipboardBlocks(blocks));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  const auto block = ReadClipboardBlock(format);
  ASSERT_TRUE(block.has_value());
  ASSERT_GE(block->size(), 3u);
  EXPECT_EQ(std::string(block->begin(), block->begin() + 3), std::string("ab\0", 3));
  std::u16string text;
  EXPECT_FALSE(GetClipboardText(text));
  EXPECT_EQ(GetClipboardTextSimple(), u"");
}

TEST(ClipboardTest, CodePageDetectionGivesATableCodePageOrNothing) {
  std::u16string name;
  const auto detected = DetectCodePage("\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0, \xEA\xE0\xEA \xE4\xE5\xEB\xE0?", &name);
  if (detected) {
    EXPECT_FALSE(name.empty());
    std::printf("multi-language service detected code page %u\n", *detected);
  } else {
    std::printf("multi-language service gave no code page (no detection on this system)\n");
  }
  EXPECT_FALSE(DetectCodePage(""));
  // Without a locale and without a detection the bytes stay unconverted.
  if (!detected) {
    EXPECT_EQ(ConvertClipboardAnsiText("\xCF\xF0", nullptr), u"");
  }
}

// A stand-in for the phrase database file's one-phrase document.
PhraseDocumentCodec FakeCodec() {
  return {[](const Phrase& p) { return "<Phrase>" + Utf16ToUtf8(p.Word()) + "</Phrase>"; },
          [](Phrase& p, std::string_view doc) {
            if (!doc.starts_with("<Phrase>") || !doc.ends_with("</Phrase>")) return 0;
            p.SetWord(Utf8ToUtf16(doc.substr(8, doc.size() - 17)));
            return 1;
          }};
}

TEST(PhraseClipboardTest, CopyPutsThreeBlocksAndPasteReadsThePrivateOne) {
  SetPhraseDocumentCodec(FakeCodec());
  Phrase phrase;
  phrase.SetWord(u"caf\u00E9");
  ASSERT_TRUE(CopyPhrasesToClipboard(phrase));
  EXPECT_TRUE(IsPhraseOnClipboard());
  const std::string utf8 = "<Phrase>caf\xC3\xA9</Phrase>";
  const auto privateBlock = ReadClipboardBlock(PrivateClipboardFormat());
  ASSERT_TRUE(privateBlock.has_value());
  EXPECT_EQ(std::string(privateBlock->begin(), privateBlock->begin() + utf8.size() + 1), utf8 + '\0');
  std::u16string text;
  ASSERT_TRUE(GetClipboardText(text));
  EXPECT_EQ(text, u"<Phrase>caf\u00E9</Phrase>");  // a plain-text editor gets the document

  PhraseDatabase collection;
  EXPECT_EQ(PastePhrasesFromClipboard(collection), 1);
  ASSERT_EQ(collection.Size(), 1u);
  EXPECT_EQ(collection.At(0).Word(), u"caf\u00E9");

  PutClipboardText(u"just text");
  EXPECT_FALSE(IsPhraseOnClipboard());
  EXPECT_EQ(PastePhrasesFromClipboard(collection), 0);
  SetPhraseDocumentCodec({});
  EXPECT_FALSE(CopyPhrasesToClipboard(phrase));
}

TEST(MenuHelpersTest, FindSetTextCheckAndCopyByIdDepthFirst) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 100, L"First");
  AppendMenuW(sub, MF_STRING, 200, L"Language\u2026");
  AppendMenuW(sub, MF_STRING, 201, L"Options...");
  AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), L"Sub");
  AppendMenuW(menu, MF_STRING, 300, L"Last");

  HMENU foundIn = nullptr;
  UINT position = 99;
  EXPECT_TRUE(FindMenuItem(menu, 200, [&](HMENU m, UINT p) { foundIn = m, position = p; }));
  EXPECT_EQ(foundIn, sub);
  EXPECT_EQ(position, 0u);
  EXPECT_FALSE(FindMenuItem(menu, 999, [](HMENU, UINT) {}));

  EXPECT_EQ(GetMenuItemText(menu, 200), u"Language");
  EXPECT_EQ(GetMenuItemText(menu, 201), u"Options");
  EXPECT_EQ(GetMenuItemText(menu, 999), u"");
  EXPECT_TRUE(SetMenuItemText(menu, 300, u"Beenden"));
  EXPECT_EQ(GetMenuItemText(menu, 300), u"Beenden");

  EXPECT_TRUE(SetMenuItemRadioCheck(menu, 200, true));
  EXPECT_EQ(GetMenuState(sub, 200, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(sub, 200, FALSE, &info);
  EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
  EXPECT_TRUE(SetMenuItemRadioCheck(menu, 200, false));
  EXPECT_EQ(GetMenuState(sub, 200, MF_BYCOMMAND) & MF_CHECKED, 0u);

  HMENU target = CreatePopupMenu();
  EXPECT_TRUE(CopyMenuItem(menu, 201, target));
  EXPECT_FALSE(CopyMenuItem(menu, 999, target));
  ASSERT_EQ(GetMenuItemCount(target), 1);
  EXPECT_EQ(GetMenuItemID(target, 0), 201u);
  DestroyMenu(target);
  DestroyMenu(menu);
}

}  // namespace
}  // namespace vellix
