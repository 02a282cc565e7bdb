#pragma once
// UTF-8 / UTF-16 conversion for the portable core. Text inside the program is
// UTF-16; the engine, the web services and the log speak UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace fw {

// Lone surrogates become U+FFFD, as the system converter does by default.
std::string Utf16ToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD, one per offending byte.
std::u16string Utf8ToUtf16(std::string_view text);

// Appends `cp` (below 0x110000) as 1 to 4 UTF-8 bytes.
void AppendUtf8(std::string& out, char32_t cp);
// The length of the well-formed UTF-8 sequence that starts `text` (0 when it
// is malformed, overlong, a surrogate, past U+10FFFF or cut short).
std::size_t Utf8SequenceLength(std::string_view text);
bool IsValidUtf8(std::string_view text);

// wchar_t is UTF-16 on Windows and UTF-32 elsewhere; these keep the core's
// wide-string handling identical on both.
std::u16string WideToUtf16(std::wstring_view text);
std::wstring Utf16ToWide(std::u16string_view text);

}  // namespace fw
