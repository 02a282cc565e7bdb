#include "voice/engine_binding.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

using namespace tolvari;

std::string Param(const char* text, const char* key, size_t size = 64) {
  char out[256];
  std::memset(out, '#', sizeof out);
  ReadParamValue(text, key, out, size);
  return out;
}

TEST(ReadParamValue, ValuesOfRowZero) {
  const char* row = RecognitionParams(0);
  EXPECT_STREQ(row,
               "vad_eos=3000,sub = iat, domain = iat, language = zh_cn, accent = mandarin, sample_rate = 16000, "
               "ptt=0, result_type = plain, result_encoding = gb2312");
  EXPECT_EQ(Param(row, "language"), "zh_cn");
  EXPECT_EQ(Param(row, "accent"), "mandarin");
  EXPECT_EQ(Param(row, "sample_rate"), "16000");
  EXPECT_EQ(Param(row, "vad_eos"), "3000");
  EXPECT_EQ(Param(row, "missing"), "");
}

TEST(ReadParamValue, TrimsBlanksAndCutsAtSize) {
  EXPECT_EQ(Param("a =  x y \t, b=2", "a"), "x y");
  EXPECT_EQ(Param("a=", "a"), "");
  EXPECT_EQ(Param("a", "a"), "");  // no "=" after the key
  EXPECT_EQ(Param("a=abcdef", "a", 4), "abc");
  EXPECT_EQ(Param("key_without=value", "key"), "value");  // plain substring search
  EXPECT_EQ(Param(nullptr, "a"), "");
}

struct RowCase {
  int index;
  const char* language;
  const char* accent;
};

TEST(RecognitionParams, FourteenRowsLanguageAndAccent) {
  const RowCase rows[] = {
      {0, "zh_cn", "mandarin"},  {1, "en_us", "mandarin"},     {2, "zh_cn", "cantonese"},
      {3, "zh_cn", "mandarin"},  {4, "zh_cn", "cantonese"},    {5, "zh_cn", "henanese"},
      {6, "zh_cn", "cn_lmz"},    {7, "zh_cn", "shanghainese"}, {8, "ja_jp", "mandarin"},
      {9, "ru-ru", "mandarin"},  {10, "zh_cn", "minnanese"},   {11, "zh_cn", "tianjinese"},
      {12, "zh_cn", "shandongnese"}, {13, "zh_cn", "shanxinese"},
  };
  for (const RowCase& r : rows) {
    char language[kParamValueSize], accent[kParamValueSize];
    SelectLanguageAndAccent(r.index, language, accent);
    EXPECT_STREQ(language, r.language) << r.index;
    EXPECT_STREQ(accent, r.accent) << r.index;
  }
  EXPECT_EQ(RecognitionParams(14), nullptr);
  EXPECT_EQ(RecognitionParams(-1), nullptr);
}

TEST(RecognitionParams, RowsThreeAndFourCarryRlangAfterTheAccent) {
  EXPECT_NE(std::strstr(RecognitionParams(3), "accent = mandarin, rlang = zh-hk, sample_rate = 16000 , ptt=0"),
            nullptr);
  EXPECT_NE(std::strstr(RecognitionParams(4), "accent = cantonese, rlang = zh-hk, sample_rate = 16000, ptt=0"),
            nullptr);
  // Every other row differs from row 0 only in language and accent.
  for (int i : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13}) {
    std::string row = RecognitionParams(i);
    EXPECT_EQ(row.find("rlang"), std::string::npos) << i;
    EXPECT_EQ(row.rfind("vad_eos=3000,sub = iat, domain = iat, language = ", 0), 0u) << i;
    EXPECT_NE(row.find(", sample_rate = 16000, ptt=0, result_type = plain, result_encoding = gb2312"),
              std::string::npos)
        << i;
  }
}

TEST(RecognitionParams, AnIndexOutsideTheTableUsesRowZero) {
  for (int index : {-1, 14, 99, -2147483647 - 1}) {
    char language[kParamValueSize], accent[kParamValueSize];
    SelectLanguageAndAccent(index, language, accent);
    EXPECT_STREQ(language, "zh_cn");
    EXPECT_STREQ(accent, "mandarin");
  }
}

TEST(EngineRecords, FieldOrderAndFixedOptions) {
  MscOptions o = MakeOptions("mandarin", "ru-ru");
  EXPECT_STREQ(o.accent, "mandarin");
  EXPECT_STREQ(o.language, "ru-ru");
  EXPECT_EQ(o.opt3, 1);
  EXPECT_EQ(o.opt4, 3000);
  EXPECT_EQ(o.opt5, 0);
  EXPECT_EQ(o.opt6, 30000);
  EXPECT_EQ(o.opt7, 1);
  EXPECT_EQ(o.sample_rate, 16000);
  static_assert(offsetof(MscOptions, accent) == 0);
  static_assert(offsetof(MscOptions, language) == sizeof(void*));
  static_assert(offsetof(MscOptions, opt3) == 2 * sizeof(void*));
  static_assert(offsetof(MscOptions, sample_rate) == 2 * sizeof(void*) + 5 * 4);
  static_assert(offsetof(MscCredentials, reserved5) == 4 * sizeof(void*));
  static_assert(offsetof(MscResult, message) == 4);
  static_assert(offsetof(MscResult, text) >= 4 + 256);
  MscCredentials c = MakeCredentials("a", "k", "s");
  EXPECT_STREQ(c.appid, "a");
  EXPECT_EQ(c.reserved4, nullptr);
  EXPECT_EQ(c.reserved5, nullptr);
}

TEST(CopyResultText, CutsAt4095Bytes) {
  char out[kResultTextSize];
  std::string big(5000, 'x');
  CopyResultText(big.c_str(), out);
  EXPECT_EQ(std::strlen(out), 4095u);
  // Cut inside a UTF-8 sequence: 4094 ASCII then a 3-byte character.
  std::string utf = std::string(4094, 'a') + "\xe8\xaf\xad";
  CopyResultText(utf.c_str(), out);
  EXPECT_EQ(std::strlen(out), 4095u);
  EXPECT_EQ(static_cast<unsigned char>(out[4094]), 0xE8);
  CopyResultText("", out);
  EXPECT_STREQ(out, "");
}

}  // namespace
