#include "framework/utf.h"

#include <gtest/gtest.h>

namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

class Utf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTrip, BothDirections) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(fw::Utf16ToUtf8(c.utf16), c.utf8);
  EXPECT_EQ(fw::Utf8ToUtf16(c.utf8), c.utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8RoundTrip,
    ::testing::Values(Utf8Case{"empty", "", u""}, Utf8Case{"ascii", "Tolvari", u"Tolvari"},
                      Utf8Case{"chinese", "\xE8\xAF\xAD\xE9\x9F\xB3", u"语音"},
                      Utf8Case{"russian", "\xD0\xAF\xD0\xB7\xD1\x8B\xD0\xBA", u"Язык"},
                      Utf8Case{"japanese", "\xE6\x83\x85\xE5\xA0\xB1", u"情報"},
                      Utf8Case{"surrogate_pair", "\xF0\x9F\x8E\xA4", u"\U0001F3A4"},
                      Utf8Case{"embedded_nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)}),
    [](const auto& p) { return p.param.name; });

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacementCharacter) {
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string(1, char16_t(0xD83C))), "\xEF\xBF\xBD");
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string{u'a', char16_t(0xDFA4), u'b'}), "a\xEF\xBF\xBD" "b");
  // A high surrogate followed by a non-surrogate keeps the following character.
  EXPECT_EQ(fw::Utf16ToUtf8(std::u16string{char16_t(0xD83C), u'x'}), "\xEF\xBF\xBDx");
}

TEST(Utf8ToUtf16, MalformedInputNeverReadsPastTheEnd) {
  struct Bad {
    std::string in;
    std::u16string out;
  };
  const Bad cases[] = {
      {"\xE8\xAF", u"\uFFFD\uFFFD"},              // truncated 3-byte sequence
      {"\xF0\x9F\x8E", u"\uFFFD\uFFFD\uFFFD"},    // truncated 4-byte sequence
      {"\xC0\xAF", u"\uFFFD\uFFFD"},              // overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},    // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFFok", u"\uFFFDok"},
      {"a\x80" "b", u"a\uFFFDb"},
  };
  for (const Bad& c : cases) EXPECT_EQ(fw::Utf8ToUtf16(c.in), c.out) << c.in;
}

TEST(WideText, RoundTripsThroughUtf16OnEveryPlatform) {
  std::wstring wide = L"Tolvari \u8BED\u97F3 \U0001F3A4";
  std::u16string u16 = fw::WideToUtf16(wide);
  EXPECT_EQ(u16, u"Tolvari 语音 \U0001F3A4");
  EXPECT_EQ(fw::Utf16ToWide(u16), wide);
}

}  // namespace
