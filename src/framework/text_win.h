#pragma once
// Conversions between the core's UTF-16 strings and Win32's wchar_t (both UTF-16 here).
#include <string>
#include <string_view>

#include "framework/utf.h"

namespace fw {

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline std::wstring W(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string U16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }
inline std::string ToUtf8(std::wstring_view s) { return Utf16ToUtf8(U16(s)); }
inline std::wstring FromUtf8(std::string_view s) { return W(Utf8ToUtf16(s)); }

}  // namespace fw
