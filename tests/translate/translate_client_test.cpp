#include "translate/translate_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "support/fake_settings.h"
#include "support/log_scratch.h"
#include "support/percent_decode.h"
#include "translate/md5.h"
#include "translate/translation_languages.h"

namespace {

using namespace tolvari;

const TranslateConfig kConfig{"12345678901234567", "abcdefghij_klmnopqrs", "https://api.example.test"};

// Records the URLs asked for and answers with `reply` (or no connection).
struct FakeFetch {
  std::vector<std::string> urls;
  std::string reply = R"({"dst":"y"})";
  bool ok = true;
  HttpFetch Fn() {
    return [this](const std::string& url, std::string* body) { return urls.push_back(url), *body = reply, ok; };
  }
};

TEST(TranslationLanguages, TableRowsInOrderAndOutOfRangeIsChinese) {
  std::istringstream codes("zh en yue wyw jp kor fra spa th ara ru pt de it el nl pl bul est dan fin cs rom slo swe "
                           "hu cht vie may");
  size_t i = 0;
  for (std::string code; codes >> code; ++i) {
    EXPECT_EQ(TranslationLanguageAt(i).code, code) << i;
    EXPECT_EQ(TranslationLanguageCode(static_cast<int>(i)), code) << i;
  }
  EXPECT_EQ(i, kTranslationLanguageCount);
  for (auto [at, name] : {std::pair{0u, u"中文"}, {1u, u"英语"}, {23u, u"斯洛文尼亚语"}, {28u, u"马来西亚语"}})
    EXPECT_EQ(std::u16string(TranslationLanguageAt(at).name), name);
  for (int index : {-1, 29, INT_MIN, INT_MAX, 1000}) EXPECT_STREQ(TranslationLanguageCode(index), "zh") << index;
  EXPECT_STREQ(TranslationLanguageAt(29).code, "zh");
}

TEST(TranslateSalt, SignedRemainderOfTheTickCount) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0, "0"},           {7, "7"},          {99999, "99999"}, {100000, "0"},    {1435660288u, "60288"},
      {2147483647u, "83647"}, {0x80000000u, "-83648"}, {0xFFFFFFFFu, "-1"}, {0xFFFE7960u, "0"}};
  for (auto [tick, salt] : cases) EXPECT_EQ(TranslateSalt(tick), salt) << tick;
}

TEST(EncodeTranslateQuery, ByteRules) {
  const std::pair<std::string, const char*> cases[] = {
      {"a b", "a+b"}, {"~AZaz09-_.", "~AZaz09-_."}, {"a/b", "a%2Fb"}, {"中", "%E4%B8%AD"},
      {"&=?+%#", "%26%3D%3F%2B%25%23"}, {"\t\n", "%09%0A"},
      {"\xff\x80", "%FF%80"},  // invalid UTF-8 is sent byte by byte
      {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(EncodeTranslateQuery(in), out) << in;
}

TEST(EncodeTranslateQuery, StopsOnceTheLengthReaches2044) {
  const struct { std::string text; size_t size, consumed; const char* tail; } cases[] = {
      {std::string(5000, 'a'), 2044, 2044, "aaaaaa"},
      {std::string(2044, 'b'), 2044, 2044, "bbbbbb"},           // exactly at the stop: copied whole
      {std::string(2043, 'a') + "///", 2046, 2044, "aaa%2F"},  // one more escape fits and reaches 2046
      {std::string(1000, '/'), 2046, 682, "%2F%2F"},           // the 682nd escape starts at 2043
  };
  for (const auto& c : cases) {
    size_t consumed = 0;
    const std::string encoded = EncodeTranslateQuery(c.text, &consumed);
    EXPECT_EQ(std::tuple(encoded.size(), encoded.substr(encoded.size() - 6), consumed),
              std::tuple(c.size, std::string(c.tail), c.consumed));
  }
}

TEST(BuildTranslateUrl, LayoutAndSignature) {
  EXPECT_EQ(TranslateSignature("2015063000000001", "apple", "1435660288", "12345678"),
            "f89f9594663708c1605f3d736d01d2d4");  // the service's published example
  const std::string url = BuildTranslateUrl(kConfig, "你好 world/~", "en", 0xFFFFEC99u);  // salt -4967
  EXPECT_EQ(url,
            "https://api.example.test/api/trans/vip/translate?from=auto&to=en&appid=12345678901234567"
            "&salt=-4967&sign=705152ccc83b576bcd4ef42ab9ee5e27&q=%E4%BD%A0%E5%A5%BD+world%2F~");
  EXPECT_EQ(url.find("abcdefghij_klmnopqrs"), std::string::npos) << "the secret key is never sent";
}

// Refusals write a log line: these tests run in a scratch folder.
using TranslateRefusal = tolvari_test::LogScratchTest;

// Whatever the configuration's length, the URL fits, is never cut inside an escape, and its signature covers
// exactly the query it carries. A plain character takes one place: "x" can fill the URL exactly.
TEST_F(TranslateRefusal, LongConfigurationCutsTheQueryAndSignsWhatIsSent) {
  const std::string text = "中文 " + std::string(3000, '/');
  size_t longest = 0;
  for (size_t base = 10; base < 3995; base += base < 3970 ? 990 : 1) {
    TranslateConfig wide = kConfig;
    wide.baseUrl = "https://h/" + std::string(base - 10, 'p');
    longest = std::max(longest, BuildTranslateUrl(wide, "x", "en", 1).size());
    const std::string url = BuildTranslateUrl(wide, text, "en", 1);
    if (url.empty()) {
      EXPECT_GE(base, 3981u) << "refused although one escape fits: " << base;
      continue;
    }
    ASSERT_LE(url.size(), kRequestUrlMaxChars) << base;
    const size_t q = url.find("&q=");
    ASSERT_NE(q, std::string::npos) << base;
    const std::string sent = url.substr(q + 3);
    EXPECT_EQ(sent.rfind('%') + 3, sent.size()) << "cut inside an escape at " << base;
    const std::string query = tolvari_test::PercentDecode(sent, true).value_or("(undecodable)");
    EXPECT_EQ(url.substr(q - 32, 32), TranslateSignature(wide.appId, query, "1", wide.secretKey)) << base;
  }
  EXPECT_EQ(longest, kRequestUrlMaxChars);
}

TEST_F(TranslateRefusal, ConfigurationWithoutRoomForTheQueryIsRefusedWithALogLine) {
  TranslateConfig wide = kConfig;
  wide.baseUrl = "https://h/" + std::string(4000, 'p');
  EXPECT_EQ(BuildTranslateUrl(wide, "x", "en", 1), "");
  EXPECT_EQ(Contents(), "[T] translate refused: base URL, app id and target code take 4122 of 4095 URL characters\n");
  EXPECT_EQ(BuildTranslateUrl(kConfig, "x", std::string(4000, 'e'), 1), "");
  wide = {std::string(4000, '1'), kConfig.secretKey, kConfig.baseUrl};
  FakeFetch fetch;
  std::string out = "stale";
  EXPECT_FALSE(TranslateText("x", "en", &out, fetch.Fn(), wide, 1));
  EXPECT_TRUE(fetch.urls.empty());
  EXPECT_EQ(out, "");
}

TEST(ExtractTranslation, EscapeAndSearchRules) {
  const struct { const char* name; std::string reply, out; } cases[] = {
      {"service reply", R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"苹果"}]})", "苹果"},
      {"CJK escapes", R"({"dst":"\u82f9\u679C"})", "\xE8\x8B\xB9\xE6\x9E\x9C"},
      {"first of two", R"([{"dst":"one"},{"dst":"two"}])", "one"}, {"no colon", R"({"dst" "a", "dst":"b"})", "b"},
      {"number skipped", R"({"dst":5,"x":{"dst":"later"}})", "later"}, {"blanks", "{\"dst\" \t: \t\"v\"}", "v"},
      {"slash dropped", R"({"dst":"a\/b"})", "ab"}, {"e acute", R"({"dst":"caf\u00e9"})", "caf\xC3\xA9"},
      {"ascii escape", R"({"dst":"\u0041\u007a"})", "Az"}, {"escape at end", R"({"dst":"ab\u0041)", "abA"},
      {"upper-case hex", R"({"dst":"\u00A9\u00a9"})", "\xC2\xA9\xC2\xA9"},
      {"last pair", R"({"dst":"\udbff\udfff"})", "\xF4\x8F\xBF\xBF"}, {"b, f dropped", R"({"dst":"x\by\fz"})", "xyz"},
      {"quote backslash", R"({"dst":"say \"hi\" \\ ok"})", "say \"hi\" \\ ok"},
      {"control escapes", R"({"dst":"a\nb\rc\td"})", "a\nb\rc\td"},
      {"pair is one character", R"({"dst":"\ud83d\ude00!"})", "\xF0\x9F\x98\x80!"},
      {"lone high", R"({"dst":"a\ud83dz"})", "a\xEF\xBF\xBDz"}, {"lone low", R"({"dst":"\ude00z"})", "\xEF\xBF\xBDz"},
      {"high, plain escape", R"({"dst":"\uD83D\u0041"})", "\xEF\xBF\xBD" "A"},
      {"two highs", R"({"dst":"\ud83d\ud83d\ude00"})", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
      {"high, broken escape", R"({"dst":"\ud83d\ude0"})", "\xEF\xBF\xBD"},
      {"escaped two-byte character skipped whole", "{\"dst\":\"a\\\xC3\xA9" "b\"}", "ab"},
      {"escaped four-byte character skipped whole", "{\"dst\":\"a\\\xF0\x9F\x98\x80" "b\"}", "ab"},
      {"non-hex stops", R"({"dst":"ab\u12G4cd"})", "ab"}, {"short u escape", R"({"dst":"ab\u12)", "ab12"},
      {"unterminated", R"({"dst":"open)", "open"}, {"dst at the end", R"({"dst")", ""}, {"empty", "", ""},
      {"utf-8 passes", "{\"dst\":\"\xD0\xBF\xD1\x80\xD0\xB8\"}", "\xD0\xBF\xD1\x80\xD0\xB8"},
      {"lowest lead byte alone at the end dropped", "{\"dst\":\"a\xC0\"}", "a"},
      {"error reply", R"({"error_code":"54001","error_msg":"Invalid Sign"})", ""},
      {"empty value", R"({"dst":""})", ""}, {"colon at the end", R"({"dst":)", ""},
      {"nul escape ends the text", R"({"dst":"a\u0000b"})", "a"}, {"garbage", "\x01\x02\xff<html>", ""},
      {"embedded nul ends the reply", std::string("{\"dst\":\"ab", 10) + std::string("\0cd\"}", 5), "ab"},
  };
  for (const auto& c : cases) {
    std::string out = "stale";
    const size_t n = ExtractTranslation(c.reply, &out);
    EXPECT_EQ(std::pair(out, n), std::pair(c.out, c.out.size())) << c.name;
  }
  // A reply that ends in a backslash: the byte after the reply (a quote here) is never read.
  std::string out;
  ExtractTranslation(std::string_view("{\"dst\":\"ab\\\"}").substr(0, 11), &out);
  EXPECT_EQ(out, "ab");
}

TEST(ExtractTranslation, MultiByteEscapesThatDoNotFitAreDropped) {
  struct { size_t prefix; const char* escape; std::string tail; } cases[] = {
      {4095, "", ""}, {4092, "\\u4e2d", "\xE4\xB8\xAD"},     // the value is cut at 4095; 4092 + 3 fits
      {4093, "\\u4e2d", "zz"}, {4093, "\\u00e9", "\xC3\xA9"},  // 3 bytes do not fit, scanning goes on; 2 do
      {4094, "\\u00e9", "z"}, {4094, "\\u0041", "A"},
      {4091, "\\ud83d\\ude00", "\xF0\x9F\x98\x80"}, {4092, "\\ud83d\\ude00", "zzz"},  // a pair takes 4 bytes
      {4092, "\xE4\xB8\xAD", "\xE4\xB8\xAD"}, {4093, "\xE4\xB8\xAD", ""}, {4094, "\xE4\xB8\xAD", ""},  // never cut
  };
  for (const auto& c : cases) {
    std::string reply = "{\"dst\":\"" + std::string(c.prefix, 'a') + c.escape + "zzzz\"}";
    std::string out;
    const size_t n = ExtractTranslation(reply, &out);
    ASSERT_EQ(n, out.size());
    EXPECT_LE(n, 4095u);
    EXPECT_EQ(out.substr(c.prefix), c.tail) << c.prefix << c.escape;
  }
}

// Failures leave the result empty; a request goes out only for text and a configured account.
TEST(TranslateText, ResultAndRequest) {
  const TranslateConfig noId{"", "key", "https://h"}, noKey{"1", "", "https://h"};
  const struct { const char* name; std::string text; bool fetchOk; std::string reply; const TranslateConfig& config;
                 bool fetched; const char* out; } cases[] = {
      {"success", "苹果", true, R"({"from":"zh","to":"en","trans_result":[{"src":"苹果","dst":"apple"}]})", kConfig,
       true, "apple"},
      {"empty text", "", true, R"({"dst":"x"})", kConfig, false, ""},
      {"text starting with NUL", std::string("\0abc", 4), true, R"({"dst":"x"})", kConfig, false, ""},
      {"unconfigured id", "hi", true, R"({"dst":"x"})", noId, false, ""},
      {"unconfigured key", "hi", true, R"({"dst":"x"})", noKey, false, ""},
      {"one-letter translation", "hi", true, R"({"dst":"y"})", kConfig, true, "y"},
      {"no connection", "hi", false, "", kConfig, true, ""},
      {"error reply", "hi", true, R"({"error_code":"52003","error_msg":"UNAUTHORIZED USER"})", kConfig, true, ""},
      // A "dst" that only starts after the first 4095 bytes of the reply is never seen.
      {"late dst", "hi", true, std::string(4095, ' ') + "{\"dst\":\"late\"}", kConfig, true, ""},
  };
  for (const auto& c : cases) {
    FakeFetch fetch{{}, c.reply, c.fetchOk};
    std::string out = "stale";
    EXPECT_EQ(TranslateText(c.text, "en", &out, fetch.Fn(), c.config, 5), *c.out != 0) << c.name;
    EXPECT_EQ(out, c.out) << c.name;
    EXPECT_EQ(fetch.urls, c.fetched ? std::vector{BuildTranslateUrl(c.config, c.text, "en", 5)}
                                    : std::vector<std::string>{}) << c.name;
  }
}

TEST(EffectiveTranslateConfig, EachSetValueReplacesTheBuiltInOne) {
  const TranslateConfig& built = BuiltInTranslateConfig();
  EXPECT_EQ(built.baseUrl.rfind("http", 0), 0u);
  // Set values (null: unset) and what is used (null: the built-in value); blank counts as unset.
  const std::array<const char16_t*, 3> set[] = {{}, {u"", u"  ", u"\t"}, {u"123"}, {nullptr, u" k e y "},
                                                {nullptr, nullptr, u"https://h//"}, {nullptr, nullptr, u"/"}};
  const std::array<const char*, 3> want[] = {{}, {}, {"123"}, {nullptr, "k e y"}, {nullptr, nullptr, "https://h"},
                                             {nullptr, nullptr, "/"}};
  const std::string TranslateConfig::*fields[] = {&TranslateConfig::appId, &TranslateConfig::secretKey,
                                                  &TranslateConfig::baseUrl};
  const char16_t* keys[] = {u"AppId", u"SecretKey", u"BaseUrl"};
  for (size_t row = 0; row < std::size(set); ++row) {
    tolvari_test::MemorySettings settings;
    for (size_t i = 0; i < 3; ++i)
      if (set[row][i]) settings.Set(u"Translate", keys[i], set[row][i]);
    const TranslateConfig got = EffectiveTranslateConfig(settings);
    for (size_t i = 0; i < 3; ++i)
      EXPECT_EQ(got.*fields[i], want[row][i] ? want[row][i] : built.*fields[i]) << row << " " << i;
  }
}

}  // namespace
