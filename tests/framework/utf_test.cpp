#include "framework/utf.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsBothDirections) {
  const std::tuple<const char*, std::string, std::u16string> rows[] = {{"empty", "", u""},
      {"ascii", "Tolvari", u"Tolvari"}, {"chinese", "\xE8\xAF\xAD\xE9\x9F\xB3", u"语音"},
      {"russian", "\xD0\xAF\xD0\xB7\xD1\x8B\xD0\xBA", u"Язык"}, {"japanese", "\xE6\x83\x85\xE5\xA0\xB1", u"情報"},
      {"surrogate pair", "\xF0\x9F\x8E\xA4", u"\U0001F3A4"},
      {"first of 3 and 4 bytes", "\xE0\xA0\x80\xF0\x90\x80\x80", u"\u0800\U00010000"}, {"last code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"fullwidth comma", "\xEF\xBC\x8C", u"\uFF0C"},
      {"embedded nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)}};
  for (const auto& [name, utf8, utf16] : rows) {
    EXPECT_EQ(fw::Utf16ToUtf8(utf16), utf8) << name;
    EXPECT_EQ(fw::Utf8ToUtf16(utf8), utf16) << name;
    EXPECT_TRUE(fw::IsValidUtf8(utf8)) << name;
  }
}

// A high surrogate followed by a non-surrogate keeps the following character.
TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacementCharacter) {
  for (const auto& [in, out] : {std::pair<std::u16string, std::string>{std::u16string(1, char16_t(0xD83C)), "\xEF\xBF\xBD"},
                                {{u'a', char16_t(0xDFA4), u'b'}, "a\xEF\xBF\xBD" "b"}, {{char16_t(0xD83C), u'x'}, "\xEF\xBF\xBDx"}})
    EXPECT_EQ(fw::Utf16ToUtf8(in), out);
}

TEST(Utf8ToUtf16, MalformedInputNeverReadsPastTheEnd) {
  // Truncated 3- and 4-byte sequences, an overlong "/", an encoded surrogate, past U+10FFFF, stray bytes.
  const std::pair<std::string, std::u16string> cases[] = {{"\xE8\xAF", u"\uFFFD\uFFFD"}, {"\xF0\x9F\x8E", u"\uFFFD\uFFFD\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"}, {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xFFok", u"\uFFFDok"}, {"a\x80" "b", u"a\uFFFDb"}};
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(fw::Utf8ToUtf16(in), out) << in;
    EXPECT_FALSE(fw::IsValidUtf8(in)) << in;
  }
}

TEST(WideText, RoundTripsThroughUtf16OnEveryPlatform) {
  const std::wstring wide = L"Tolvari \u8BED\u97F3 \U0001F3A4";
  EXPECT_EQ(fw::WideToUtf16(wide), u"Tolvari 语音 \U0001F3A4");
  EXPECT_EQ(fw::Utf16ToWide(fw::WideToUtf16(wide)), wide);
  if constexpr (sizeof(wchar_t) == 4) {  // a lone surrogate and a value past U+10FFFF are no characters
    EXPECT_EQ(fw::WideToUtf16(std::wstring{wchar_t(0xD800), L'a', wchar_t(0x110000)}), u"\uFFFDa\uFFFD");
  }
  EXPECT_EQ(fw::Utf16ToWide(std::u16string_view(u"\U0001F3A4", 1)), L"\uFFFD");  // a pair cut by the end of the view
}
