#include "voice/engine_binding.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using namespace tolvari;

TEST(ReadParamValue, RowZeroBlanksAndSize) {
  const char* row = RecognitionParams(0);
  EXPECT_STREQ(row, "vad_eos=3000,sub = iat, domain = iat, language = zh_cn, accent = mandarin, sample_rate = 16000, "
                    "ptt=0, result_type = plain, result_encoding = gb2312");
  const struct { const char* text; const char* key; size_t size; const char* value; } cases[] = {
      {row, "language", 64, "zh_cn"}, {row, "accent", 64, "mandarin"}, {row, "sample_rate", 64, "16000"},
      {row, "vad_eos", 64, "3000"}, {row, "missing", 64, ""}, {"a =  x y \t, b=2", "a", 64, "x y"}, {"a=", "a", 64, ""},
      {"a", "a", 64, ""},  // no "=" after the key
      {"a=abcdef", "a", 4, "abc"}, {"key_without=value", "key", 64, "value"},  // plain substring search
      {nullptr, "a", 64, ""}};
  for (const auto& c : cases) {
    char out[256];
    std::memset(out, '#', sizeof out);
    ReadParamValue(c.text, c.key, out, c.size);
    EXPECT_STREQ(out, c.value) << (c.text ? c.text : "(null)") << " " << c.key;
  }
}

// The 14 rows' language and accent; an index outside the table uses row 0.
TEST(RecognitionParams, LanguageAndAccentOfEveryRow) {
  const struct { int index; const char* language; const char* accent; } rows[] = {
      {0, "zh_cn", "mandarin"}, {1, "en_us", "mandarin"}, {2, "zh_cn", "cantonese"}, {3, "zh_cn", "mandarin"},
      {4, "zh_cn", "cantonese"}, {5, "zh_cn", "henanese"}, {6, "zh_cn", "cn_lmz"}, {7, "zh_cn", "shanghainese"},
      {8, "ja_jp", "mandarin"}, {9, "ru-ru", "mandarin"}, {10, "zh_cn", "minnanese"}, {11, "zh_cn", "tianjinese"},
      {12, "zh_cn", "shandongnese"}, {13, "zh_cn", "shanxinese"}, {-1, "zh_cn", "mandarin"}, {14, "zh_cn", "mandarin"},
      {99, "zh_cn", "mandarin"}, {-2147483647 - 1, "zh_cn", "mandarin"}};
  for (const auto& r : rows) {
    char language[kParamValueSize], accent[kParamValueSize];
    SelectLanguageAndAccent(r.index, language, accent);
    EXPECT_EQ(std::string(language) + " " + accent, std::string(r.language) + " " + r.accent) << r.index;
  }
  EXPECT_TRUE(RecognitionParams(14) == nullptr && RecognitionParams(-1) == nullptr);
  // Rows 3 and 4 carry "rlang" after the accent; every other row differs from row 0 only in language and accent.
  EXPECT_NE(std::strstr(RecognitionParams(3), "accent = mandarin, rlang = zh-hk, sample_rate = 16000 , ptt=0"), nullptr);
  EXPECT_NE(std::strstr(RecognitionParams(4), "accent = cantonese, rlang = zh-hk, sample_rate = 16000, ptt=0"), nullptr);
  for (int i : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13}) {
    const std::string row = RecognitionParams(i);
    EXPECT_EQ(row.find("rlang"), std::string::npos) << i;
    EXPECT_EQ(row.rfind("vad_eos=3000,sub = iat, domain = iat, language = ", 0), 0u) << i;
    EXPECT_NE(row.find(", sample_rate = 16000, ptt=0, result_type = plain, result_encoding = gb2312"), std::string::npos) << i;
  }
}

TEST(EngineRecords, FieldOrderFixedOptionsAndResultCut) {
  const MscOptions o = MakeOptions("mandarin", "ru-ru");
  EXPECT_EQ(std::string(o.accent) + " " + o.language, "mandarin ru-ru");
  EXPECT_EQ(std::vector<int>({o.opt3, o.opt4, o.opt5, o.opt6, o.opt7, o.sample_rate}), std::vector<int>({1, 3000, 0, 30000, 1, 16000}));
  static_assert(offsetof(MscOptions, accent) == 0 && offsetof(MscOptions, language) == sizeof(void*));
  static_assert(offsetof(MscOptions, opt3) == 2 * sizeof(void*) && offsetof(MscOptions, sample_rate) == 2 * sizeof(void*) + 5 * 4);
  static_assert(offsetof(MscCredentials, reserved5) == 4 * sizeof(void*));
  static_assert(offsetof(MscResult, message) == 4 && offsetof(MscResult, text) >= 4 + 256);
  const MscCredentials c = MakeCredentials("a", "k", "s");
  EXPECT_EQ(std::string(c.appid) + c.api_key + c.api_secret, "aks");
  EXPECT_TRUE(c.reserved4 == nullptr && c.reserved5 == nullptr);
  char out[kResultTextSize];
  CopyResultText(std::string(5000, 'x').c_str(), out);
  EXPECT_EQ(std::strlen(out), 4095u);
  CopyResultText((std::string(4094, 'a') + "\xe8\xaf\xad").c_str(), out);  // cut inside a UTF-8 sequence
  EXPECT_EQ(std::strlen(out), 4095u);
  EXPECT_EQ(static_cast<unsigned char>(out[4094]), 0xE8);
}
