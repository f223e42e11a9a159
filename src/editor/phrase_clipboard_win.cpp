#include "editor/phrase_clipboard_win.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "base/utf.h"
#include "phrases/phrase.h"
#include "phrases/phrase_database.h"
#include "services/clipboard_win.h"

namespace vellix {
namespace {

PhraseDocumentCodec& Codec() {
  static PhraseDocumentCodec codec;
  return codec;
}

std::vector<uint8_t> ZeroTerminated(const void* data, size_t size, size_t zeroBytes) {
  std::vector<uint8_t> block(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  block.insert(block.end(), zeroBytes, 0);
  return block;
}

}  // namespace

void SetPhraseDocumentCodec(PhraseDocumentCodec codec) { Codec() = std::move(codec); }

bool CopyPhrasesToClipboard(const Phrase& phrase) {
  if (!Codec().write) return false;
  const std::string document = Codec().write(phrase);
  if (document.empty()) return false;
  const std::u16string text = Utf8ToUtf16(document);
  ClipboardBlocks blocks;
  blocks[PrivateClipboardFormat()] = ZeroTerminated(document.data(), document.size(), 1);
  blocks[CF_TEXT] = ZeroTerminated(document.data(), document.size(), 1);
  blocks[CF_UNICODETEXT] = ZeroTerminated(text.data(), text.size() * sizeof(char16_t), 2);
  return PutClipboardBlocks(blocks);
}

bool IsPhraseOnClipboard() { return IsClipboardFormatAvailable(PrivateClipboardFormat()) != FALSE; }

int PastePhrasesFromClipboard(PhraseDatabase& collection) {
  if (!Codec().read) return 0;
  const auto block = ReadClipboardBlock(PrivateClipboardFormat());
  if (!block) return 0;
  std::string document(block->begin(), block->end());
  document.resize(std::min(document.size(), document.find('\0')));
  auto phrase = std::make_unique<Phrase>();
  if (Codec().read(*phrase, document) != 1) return 0;
  collection.Add(std::move(phrase));
  return 1;
}

}  // namespace vellix
