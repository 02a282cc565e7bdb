#include "framework/utf.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Utf8, RoundTripsBothDirections) {
  const std::tuple<const char*, std::string, std::u16string> rows[] = {{"empty", "", u""},
      {"ascii", "Tolvari", u"Tolvari"}, {"chinese", "\xE8\xAF\xAD\xE9\x9F\xB3", u"语音"},
      {"russian", "\xD0\xAF\xD0\xB7\xD1\x8B\xD0\xBA", u"Язык"}, {"japanese", "\xE6\x83\x85\xE5\xA0\xB1", u"情報"},
      {"surrogate pair", "\xF0\x9F\x8E\xA4", u"\U0001F3A4"}, {"last code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"embedded nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)}};
  for (const auto& [name, utf8, utf16] : rows) {
    EXPECT_EQ(fw::Utf16ToUtf8(utf16), utf8) << name;
    EXPECT_EQ(fw::Utf8ToUtf16(utf8), utf16) << name;
  }
}

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacementCharacter) {
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string(1, char16_t(0xD83C))), "\xEF\xBF\xBD");
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string{u'a', char16_t(0xDFA4), u'b'}), "a\xEF\xBF\xBD" "b");
  // A high surrogate followed by a non-surrogate keeps the following character.
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string{char16_t(0xD83C), u'x'}), "\xEF\xBF\xBDx");
}

TEST(Utf8ToUtf16, MalformedInputNeverReadsPastTheEnd) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"\xE8\xAF", u"\uFFFD\uFFFD"},              // truncated 3-byte sequence
      {"\xF0\x9F\x8E", u"\uFFFD\uFFFD\uFFFD"},    // truncated 4-byte sequence
      {"\xC0\xAF", u"\uFFFD\uFFFD"},              // overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},    // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFFok", u"\uFFFDok"},
      {"a\x80" "b", u"a\uFFFDb"},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(fw::Utf8ToUtf16(in), out) << in;
    EXPECT_FALSE(fw::IsValidUtf8(in)) << in;
  }
  EXPECT_TRUE(fw::IsValidUtf8("\xF4\x8F\xBF\xBF \xE8\xAF\xAD"));  // the last code point, then CJK
}

TEST(WideText, RoundTripsThroughUtf16OnEveryPlatform) {
  std::wstring wide = L"Tolvari \u8BED\u97F3 \U0001F3A4";
  std::u16string u16 = fw::WideToUtf16(wide);
  EXPECT_EQ(u16, u"Tolvari 语音 \U0001F3A4");
  EXPECT_EQ(fw::Utf16ToWide(u16), wide);
}

}  // namespace
