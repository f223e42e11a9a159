#include "services/clipboard_win.h"

#include <cstring>

#include "base/messages.h"
#include "base/wide.h"
#include "services/clipboard_text.h"

namespace vellix {
namespace {

// Another program may hold the clipboard for a moment; retry briefly before giving up.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

// The block's bytes, bounded by the block's own size.
std::optional<std::vector<uint8_t>> BlockBytes(UINT format) {
  HANDLE data = GetClipboardData(format);
  if (!data) return std::nullopt;
  const SIZE_T size = GlobalSize(data);
  const void* locked = GlobalLock(data);
  if (!locked) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<const uint8_t*>(locked), static_cast<const uint8_t*>(locked) + size);
  GlobalUnlock(data);
  return bytes;
}

std::u16string UnicodeFromBlock(const std::vector<uint8_t>& bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * 2);
  const size_t zero = text.find(u'\0');
  if (zero != std::u16string::npos) text.resize(zero);
  return text;
}

std::string AnsiFromBlock(const std::vector<uint8_t>& bytes) {
  std::string text(bytes.begin(), bytes.end());
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

bool ReadUnicodeText(std::u16string& text, HWND owner) {
  ClipboardSession session(owner);
  if (!session.IsOpen() || !IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  const auto bytes = BlockBytes(CF_UNICODETEXT);
  if (!bytes) return false;
  text = UnicodeFromBlock(*bytes);
  return true;
}

std::u16string ConvertWithCodePage(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  std::wstring wide(bytes.size() * 2, L'\0');
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), wide.data(),
                                         int(wide.size()));
  if (length <= 0) return {};
  wide.resize(size_t(length));
  return ToU16(wide);
}

HGLOBAL MakeBlock(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  if (!block) return nullptr;
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    return nullptr;
  }
  if (size) std::memcpy(target, data, size);
  GlobalUnlock(block);
  return block;
}

// Hands the block to the clipboard, which owns it on success.
bool PutBlock(UINT format, const void* data, size_t size) {
  HGLOBAL block = MakeBlock(data, size);
  if (!block) return false;
  if (SetClipboardData(format, block)) return true;
  GlobalFree(block);
  return false;
}

}  // namespace

UINT PrivateClipboardFormat() {
  static const UINT format = RegisterClipboardFormatW(AsWide(kPhraseClipboardFormatName));
  return format;
}

std::u16string ConvertClipboardAnsiText(std::string_view bytes, const LCID* locale) {
  bytes = bytes.substr(0, bytes.find('\0'));
  UINT codePage = 0;
  if (locale) {
    wchar_t number[16] = {};
    if (GetLocaleInfoW(*locale, LOCALE_IDEFAULTANSICODEPAGE, number, 16)) codePage = UINT(_wtoi(number));
  } else if (const auto detected = DetectCodePage(bytes)) {
    codePage = *detected;
  }
  if (codePage == 0) return {};
  return ConvertWithCodePage(bytes, codePage);
}

bool GetClipboardText(std::u16string& text, HWND owner) {
  if (ReadUnicodeText(text, owner)) return true;
  bool obtained = false;
  {
    ClipboardSession session(owner);
    if (session.IsOpen() && IsClipboardFormatAvailable(CF_TEXT)) {
      if (const auto bytes = BlockBytes(CF_TEXT)) {
        std::optional<LCID> locale;
        if (const auto localeBytes = BlockBytes(CF_LOCALE); localeBytes && localeBytes->size() >= 4) {
          LCID id = 0;
          std::memcpy(&id, localeBytes->data(), 4);
          locale = id;
        }
        const std::string ansi = AnsiFromBlock(*bytes);
        text = ConvertClipboardAnsiText(ansi, locale ? &*locale : nullptr);
        obtained = !text.empty() || ansi.empty();
      }
    }
  }
  return obtained || ReadUnicodeText(text, owner);
}

std::u16string GetClipboardFirstLine(HWND owner) {
  std::u16string text;
  return GetClipboardText(text, owner) ? FirstLineOf(text) : std::u16string();
}

std::u16string GetClipboardFirstField(HWND owner) {
  std::u16string text;
  return GetClipboardText(text, owner) ? FirstFieldOf(text) : std::u16string();
}

std::u16string GetClipboardTextSimple(HWND owner) {
  std::u16string text;
  if (ReadUnicodeText(text, owner)) return text;
  ClipboardSession session(owner);
  if (!session.IsOpen() || !IsClipboardFormatAvailable(CF_TEXT)) return {};
  const auto bytes = BlockBytes(CF_TEXT);
  return bytes ? ConvertWithCodePage(AnsiFromBlock(*bytes), CP_ACP) : std::u16string();
}

bool PutClipboardText(std::u16string_view text) {
  ClipboardSession session(nullptr);
  if (!session.IsOpen() || !EmptyClipboard()) return false;
  const std::u16string terminated(text);
  const bool put = PutBlock(CF_UNICODETEXT, terminated.c_str(), (terminated.size() + 1) * sizeof(char16_t));
  const LCID locale = GetThreadLocale();
  PutBlock(CF_LOCALE, &locale, sizeof locale);
  return put;
}

bool PutClipboardBlocks(const ClipboardBlocks& blocks) {
  if (blocks.empty()) return false;
  ClipboardSession session(nullptr);
  if (!session.IsOpen() || !EmptyClipboard()) return false;
  bool anyPut = false;
  for (const auto& [format, bytes] : blocks)
    if (PutBlock(format, bytes.data(), bytes.size())) anyPut = true;
  return anyPut;
}

std::optional<std::vector<uint8_t>> ReadClipboardBlock(UINT format, HWND owner) {
  ClipboardSession session(owner);
  if (!session.IsOpen() || !IsClipboardFormatAvailable(format)) return std::nullopt;
  return BlockBytes(format);
}

}  // namespace vellix
