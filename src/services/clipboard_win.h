#pragma once
// Clipboard access of the user-interface thread: Unicode and 8-bit text, the locale, and
// raw blocks of any format (the program's private phrase format among them).

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellix {

using ClipboardBlocks = std::map<UINT, std::vector<uint8_t>>;

// The format registered as "Vellix Clipboard Format" (registered once per process).
UINT PrivateClipboardFormat();

// The clipboard's text as Unicode: Unicode text, else 8-bit text converted with the code
// page of the clipboard's locale or, without one, the detected code page. False when
// there is none.
bool GetClipboardText(std::u16string& text, HWND owner = nullptr);
// Up to the first "\r\n"; empty when there is no text.
std::u16string GetClipboardFirstLine(HWND owner = nullptr);
// The first line cut before its first tab (unless the line starts with it).
std::u16string GetClipboardFirstField(HWND owner = nullptr);
// Unicode text, else 8-bit text converted with the system's code page; empty when none.
std::u16string GetClipboardTextSimple(HWND owner = nullptr);

// Replaces the clipboard's contents with the text (format 13) and the calling thread's
// locale (format 16).
bool PutClipboardText(std::u16string_view text);
// Replaces the clipboard's contents with exactly these blocks; false for none.
bool PutClipboardBlocks(const ClipboardBlocks& blocks);
// The bytes of one format, when the clipboard holds it.
std::optional<std::vector<uint8_t>> ReadClipboardBlock(UINT format, HWND owner = nullptr);

// 8-bit clipboard text (up to its first zero) to Unicode with the ANSI code page of
// locale, or with the detected code page when there is no locale; empty when no code
// page was found.
std::u16string ConvertClipboardAnsiText(std::string_view bytes, const LCID* locale);

// The multi-language service's guess of the bytes' code page, limited to the charset
// table; nothing when the service is missing or unsure.
std::optional<uint32_t> DetectCodePage(std::string_view bytes, std::u16string* charsetName = nullptr);

}  // namespace vellix
