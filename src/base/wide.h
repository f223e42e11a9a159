#pragma once
// The one place where UTF-16 crosses between the core (char16_t) and Win32 (wchar_t).
// Both are 16-bit UTF-16 code units on Windows, so pointers convert without copying.

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 (Windows)");

namespace vellix {

inline const wchar_t* AsWide(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* AsWide(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const char16_t* AsU16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* AsU16(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }

inline std::wstring ToWide(std::u16string_view s) { return std::wstring(AsWide(s.data()), s.size()); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(AsU16(s.data()), s.size()); }

}  // namespace vellix
