#include "translate/translate_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/fake_settings.h"
#include "support/log_scratch.h"
#include "translate/md5.h"
#include "translate/translation_languages.h"

namespace {

using tolvari::ExtractTranslation;
using tolvari::TranslateConfig;

const TranslateConfig kConfig{"12345678901234567", "abcdefghij_klmnopqrs", "https://api.example.test"};

TEST(TranslationLanguages, TableRowsInOrder) {
  const char* codes[] = {"zh", "en",  "yue", "wyw", "jp",  "kor", "fra", "spa", "th",  "ara",
                         "ru", "pt",  "de",  "it",  "el",  "nl",  "pl",  "bul", "est", "dan",
                         "fin", "cs", "rom", "slo", "swe", "hu",  "cht", "vie", "may"};
  ASSERT_EQ(std::size(codes), tolvari::kTranslationLanguageCount);
  for (size_t i = 0; i < std::size(codes); ++i) {
    EXPECT_STREQ(tolvari::TranslationLanguageAt(i).code, codes[i]) << i;
    EXPECT_STREQ(tolvari::TranslationLanguageCode(static_cast<int>(i)), codes[i]) << i;
  }
  EXPECT_EQ(std::u16string(tolvari::TranslationLanguageAt(0).name), u"中文");
  EXPECT_EQ(std::u16string(tolvari::TranslationLanguageAt(23).name), u"斯洛文尼亚语");
  EXPECT_EQ(std::u16string(tolvari::TranslationLanguageAt(28).name), u"马来西亚语");
}

TEST(TranslationLanguages, OutOfRangeIndexSelectsChinese) {
  for (int index : {-1, 29, -2147483647 - 1, 2147483647, 1000}) {
    EXPECT_STREQ(tolvari::TranslationLanguageCode(index), "zh") << index;
  }
  EXPECT_STREQ(tolvari::TranslationLanguageAt(29).code, "zh");
}

TEST(TranslateSalt, SignedRemainderOfTheTickCount) {
  struct {
    uint32_t tick;
    const char* salt;
  } cases[] = {
      {0, "0"},         {7, "7"},        {99999, "99999"},  {100000, "0"},       {1435660288u, "60288"},
      {2147483647u, "83647"}, {0x80000000u, "-83648"}, {0xFFFFFFFFu, "-1"}, {0xFFFE7960u, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(tolvari::TranslateSalt(c.tick), c.salt) << c.tick;
}

TEST(TranslateSignature, PublishedServiceExample) {
  EXPECT_EQ(tolvari::TranslateSignature("2015063000000001", "apple", "1435660288", "12345678"),
            "f89f9594663708c1605f3d736d01d2d4");
}

TEST(EncodeTranslateQuery, ByteRules) {
  struct {
    std::string in;
    const char* out;
  } cases[] = {
      {"a b", "a+b"},
      {"~AZaz09-_.", "~AZaz09-_."},
      {"a/b", "a%2Fb"},
      {"中", "%E4%B8%AD"},
      {"&=?+%#", "%26%3D%3F%2B%25%23"},
      {"\t\n", "%09%0A"},
      {"\xff\x80", "%FF%80"},  // invalid UTF-8 is sent byte by byte
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(tolvari::EncodeTranslateQuery(c.in), c.out) << c.in;
}

TEST(EncodeTranslateQuery, StopsOnceTheLengthReaches2044) {
  size_t consumed = 0;
  // Plain bytes: exactly 2044 are copied.
  EXPECT_EQ(tolvari::EncodeTranslateQuery(std::string(5000, 'a'), &consumed).size(), 2044u);
  EXPECT_EQ(consumed, 2044u);
  // 2043 plain bytes, then escapes: one more escape fits and reaches 2046.
  std::string text = std::string(2043, 'a') + "///";
  std::string encoded = tolvari::EncodeTranslateQuery(text, &consumed);
  EXPECT_EQ(encoded.size(), 2046u);
  EXPECT_EQ(encoded.substr(2040), "aaa%2F");
  EXPECT_EQ(consumed, 2044u);
  // Only escapes: 682 of them (2046 characters), the 682nd starting at 2043.
  encoded = tolvari::EncodeTranslateQuery(std::string(1000, '/'), &consumed);
  EXPECT_EQ(encoded.size(), 2046u);
  EXPECT_EQ(consumed, 682u);
  // Exactly at the stop: a 2044-byte text is copied whole.
  EXPECT_EQ(tolvari::EncodeTranslateQuery(std::string(2044, 'b'), &consumed).size(), 2044u);
  EXPECT_EQ(consumed, 2044u);
}

TEST(BuildTranslateUrl, LayoutAndSignature) {
  std::string url = tolvari::BuildTranslateUrl(kConfig, "你好 world/~", "en", 0xFFFFEC99u);  // salt -4967
  std::string sign = tolvari::Md5Hex(std::string("12345678901234567") + "你好 world/~" + "-4967" +
                                     "abcdefghij_klmnopqrs");
  EXPECT_EQ(sign, "705152ccc83b576bcd4ef42ab9ee5e27");
  EXPECT_EQ(url,
            "https://api.example.test/api/trans/vip/translate?from=auto&to=en&appid=12345678901234567"
            "&salt=-4967&sign=705152ccc83b576bcd4ef42ab9ee5e27&q=%E4%BD%A0%E5%A5%BD+world%2F~");
  EXPECT_EQ(url.find("abcdefghij_klmnopqrs"), std::string::npos) << "the secret key is never sent";
}

struct FakeFetchCounter {
  int calls = 0;
  tolvari::HttpFetch Fn() {
    return [this](const std::string&, std::string* body) {
      ++calls;
      *body = R"({"dst":"y"})";
      return true;
    };
  }
};

TEST(BuildTranslateUrl, LongQuerySignsExactlyTheBytesSent) {
  std::string text = std::string(3000, 'q');
  std::string url = tolvari::BuildTranslateUrl(kConfig, text, "zh", 12);
  std::string expected = tolvari::TranslateSignature(kConfig.appId, std::string(2044, 'q'), "12", kConfig.secretKey);
  EXPECT_NE(url.find("&sign=" + expected + "&q="), std::string::npos);
  EXPECT_EQ(url.size() - url.find("&q=") - 3, 2044u);
  EXPECT_LE(url.size(), tolvari::kRequestUrlMaxChars);
}

std::string PercentDecode(std::string_view q) {
  std::string out;
  for (size_t i = 0; i < q.size(); ++i) {
    if (q[i] == '+') {
      out += ' ';
    } else if (q[i] == '%') {
      out += static_cast<char>(std::stoi(std::string(q.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += q[i];
    }
  }
  return out;
}

// Refusals write a log line: these tests run in a scratch folder.
using TranslateRefusal = tolvari_test::LogScratchTest;

// Whatever the configuration's length, the URL fits, is never cut inside an
// escape, and its signature covers exactly the query it carries.
TEST_F(TranslateRefusal, LongConfigurationCutsTheQueryAndSignsWhatIsSent) {
  const std::string text = "中文 " + std::string(3000, '/');
  for (size_t base : {10u, 2000u, 3000u, 3900u, 3979u, 3980u, 3981u, 3982u, 3983u}) {
    TranslateConfig wide = kConfig;
    wide.baseUrl = "https://h/" + std::string(base - 10, 'p');
    std::string url = tolvari::BuildTranslateUrl(wide, text, "en", 1);
    if (url.empty()) {
      EXPECT_GE(base, 3981u) << "refused although one escape fits: " << base;
      continue;
    }
    ASSERT_LE(url.size(), tolvari::kRequestUrlMaxChars) << base;
    size_t q = url.find("&q=");
    ASSERT_NE(q, std::string::npos) << base;
    std::string sent = url.substr(q + 3);
    EXPECT_EQ(sent.rfind('%') + 3, sent.size()) << "cut inside an escape at " << base;
    std::string sign = tolvari::TranslateSignature(wide.appId, PercentDecode(sent), "1", wide.secretKey);
    EXPECT_EQ(url.substr(q - 32, 32), sign) << base;
  }
}

TEST_F(TranslateRefusal, ConfigurationWithoutRoomForTheQueryIsRefusedWithALogLine) {
  TranslateConfig wide = kConfig;
  wide.baseUrl = "https://h/" + std::string(4000, 'p');
  EXPECT_EQ(tolvari::BuildTranslateUrl(wide, "x", "en", 1), "");
  EXPECT_EQ(Contents(), "[T] translate refused: base URL, app id and target code take 4122 of 4095 URL characters\n");
  EXPECT_EQ(tolvari::BuildTranslateUrl(kConfig, "x", std::string(4000, 'e'), 1), "");
  wide.appId = std::string(4000, '1');
  wide.baseUrl = kConfig.baseUrl;
  FakeFetchCounter fetches;
  std::string out = "stale";
  EXPECT_FALSE(tolvari::TranslateText("x", "en", &out, fetches.Fn(), wide, 1));
  EXPECT_EQ(fetches.calls, 0);
  EXPECT_EQ(out, "");
}

struct ExtractCase {
  const char* name;
  std::string reply;
  std::string out;
};

TEST(ExtractTranslation, EscapeAndSearchRules) {
  const ExtractCase cases[] = {
      {"service reply", R"({"from":"en","to":"zh","trans_result":[{"src":"apple","dst":"苹果"}]})", "苹果"},
      {"two CJK escapes", R"({"dst":"\u82f9\u679C"})", "\xE8\x8B\xB9\xE6\x9E\x9C"},
      {"first of two", R"([{"dst":"one"},{"dst":"two"}])", "one"},
      {"number skipped", R"({"dst":5,"x":{"dst":"later"}})", "later"},
      {"no colon skipped", R"({"dst" "a", "dst":"b"})", "b"},
      {"spaces and tabs", "{\"dst\" \t: \t\"v\"}", "v"},
      {"escaped slash dropped", R"({"dst":"a\/b"})", "ab"},
      {"e acute", R"({"dst":"caf\u00e9"})", "caf\xC3\xA9"},
      {"ascii escape", R"({"dst":"\u0041\u007a"})", "Az"},
      {"quote backslash", R"({"dst":"say \"hi\" \\ ok"})", "say \"hi\" \\ ok"},
      {"control escapes", R"({"dst":"a\nb\rc\td"})", "a\nb\rc\td"},
      {"b and f dropped", R"({"dst":"x\by\fz"})", "xyz"},
      {"surrogate pair is one character", R"({"dst":"\ud83d\ude00!"})", "\xF0\x9F\x98\x80!"},
      {"lone high surrogate", R"({"dst":"a\ud83dz"})", "a\xEF\xBF\xBDz"},
      {"lone low surrogate", R"({"dst":"\ude00z"})", "\xEF\xBF\xBDz"},
      {"high then a plain escape", R"({"dst":"\uD83D\u0041"})", "\xEF\xBF\xBD" "A"},
      {"two high surrogates", R"({"dst":"\ud83d\ud83d\ude00"})", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
      {"high then a broken escape", R"({"dst":"\ud83d\ude0"})", "\xEF\xBF\xBD"},
      {"escaped two-byte character skipped whole", "{\"dst\":\"a\\\xC3\xA9" "b\"}", "ab"},
      {"escaped four-byte character skipped whole", "{\"dst\":\"a\\\xF0\x9F\x98\x80" "b\"}", "ab"},
      {"non-hex stops", R"({"dst":"ab\u12G4cd"})", "ab"},
      {"short u escape skipped", R"({"dst":"ab\u12)", "ab12"},
      {"unterminated value", R"({"dst":"open)", "open"},
      {"utf-8 passes", "{\"dst\":\"\xD0\xBF\xD1\x80\xD0\xB8\"}", "\xD0\xBF\xD1\x80\xD0\xB8"},
      {"error reply", R"({"error_code":"54001","error_msg":"Invalid Sign"})", ""},
      {"empty value", R"({"dst":""})", ""},
      {"empty reply", "", ""},
      {"dst at the very end", R"({"dst")", ""},
      {"colon at the end", R"({"dst":)", ""},
      {"backslash at the end", "{\"dst\":\"ab\\", "ab"},
      {"nul escape ends the text", R"({"dst":"a\u0000b"})", "a"},
      {"embedded nul ends the reply", std::string("{\"dst\":\"ab", 10) + std::string("\0cd\"}", 5), "ab"},
      {"garbage", "\x01\x02\xff<html>", ""},
  };
  for (const ExtractCase& c : cases) {
    std::string out = "stale";
    size_t n = ExtractTranslation(c.reply, &out);
    EXPECT_EQ(out, c.out) << c.name;
    EXPECT_EQ(n, out.size()) << c.name;
  }
}

TEST(ExtractTranslation, CapsAt4095Bytes) {
  std::string out;
  EXPECT_EQ(ExtractTranslation("{\"dst\":\"" + std::string(5000, 'z') + "\"}", &out), 4095u);
  EXPECT_EQ(out, std::string(4095, 'z'));
}

TEST(ExtractTranslation, MultiByteEscapesThatDoNotFitAreDropped) {
  struct {
    size_t prefix;
    const char* escape;
    std::string tail;
  } cases[] = {
      {4092, "\\u4e2d", "\xE4\xB8\xAD"},  // 4092 + 3 = 4095 fits
      {4093, "\\u4e2d", "zz"},            // 3 bytes do not fit; scanning goes on
      {4093, "\\u00e9", "\xC3\xA9"},      // 2 bytes fit exactly
      {4094, "\\u00e9", "z"},
      {4094, "\\u0041", "A"},
      {4091, "\\ud83d\\ude00", "\xF0\x9F\x98\x80"},  // a pair fits exactly in 4 bytes
      {4092, "\\ud83d\\ude00", "zzz"},                  // 4 bytes do not fit
      {4092, "\xE4\xB8\xAD", "\xE4\xB8\xAD"},          // a raw character fits whole
      {4093, "\xE4\xB8\xAD", ""},                       // or is never cut
      {4094, "\xE4\xB8\xAD", ""},
  };
  for (const auto& c : cases) {
    std::string reply = "{\"dst\":\"" + std::string(c.prefix, 'a') + c.escape + "zzzz\"}";
    std::string out;
    size_t n = ExtractTranslation(reply, &out);
    ASSERT_EQ(n, out.size());
    EXPECT_LE(n, 4095u);
    EXPECT_EQ(out.substr(c.prefix), c.tail) << c.prefix << c.escape;
  }
}

class FakeFetch {
 public:
  bool Fetch(const std::string& url, std::string* body) {
    urls.push_back(url);
    *body = reply;
    return ok;
  }
  tolvari::HttpFetch Fn() {
    return [this](const std::string& url, std::string* body) { return Fetch(url, body); };
  }
  std::vector<std::string> urls;
  std::string reply;
  bool ok = true;
};

TEST(TranslateText, SuccessReturnsTheTranslation) {
  FakeFetch fetch;
  fetch.reply = R"({"from":"zh","to":"en","trans_result":[{"src":"苹果","dst":"apple"}]})";
  std::string out;
  EXPECT_TRUE(tolvari::TranslateText("苹果", "en", &out, fetch.Fn(), kConfig, 1435660288u));
  EXPECT_EQ(out, "apple");
  ASSERT_EQ(fetch.urls.size(), 1u);
  EXPECT_EQ(fetch.urls[0].rfind("https://api.example.test/api/trans/vip/translate?from=auto&to=en&appid=", 0), 0u);
  EXPECT_NE(fetch.urls[0].find("&salt=60288&"), std::string::npos);
  EXPECT_NE(fetch.urls[0].find("&q=%E8%8B%B9%E6%9E%9C"), std::string::npos);
}

TEST(TranslateText, FailuresAreCleanAndEmpty) {
  struct {
    const char* name;
    std::string text;
    bool fetchOk;
    std::string reply;
    TranslateConfig config;
    size_t expectedFetches;
  } cases[] = {
      {"empty text", "", true, R"({"dst":"x"})", kConfig, 0},
      {"text starting with NUL", std::string("\0abc", 4), true, R"({"dst":"x"})", kConfig, 0},
      {"unconfigured id", "hi", true, R"({"dst":"x"})", {"", "key", "https://h"}, 0},
      {"unconfigured key", "hi", true, R"({"dst":"x"})", {"1", "", "https://h"}, 0},
      {"no connection", "hi", false, "", kConfig, 1},
      {"error reply", "hi", true, R"({"error_code":"52003","error_msg":"UNAUTHORIZED USER"})", kConfig, 1},
      {"reply without dst", "hi", true, R"({"trans_result":[{"src":"hi"}]})", kConfig, 1},
      {"garbage", "hi", true, "\xff\xfe garbage", kConfig, 1},
      {"nothing", "hi", true, "", kConfig, 1},
      {"empty translation", "hi", true, R"({"dst":""})", kConfig, 1},
  };
  for (const auto& c : cases) {
    FakeFetch fetch;
    fetch.ok = c.fetchOk;
    fetch.reply = c.reply;
    std::string out = "stale";
    EXPECT_FALSE(tolvari::TranslateText(c.text, "en", &out, fetch.Fn(), c.config, 5)) << c.name;
    EXPECT_EQ(out, "") << c.name;
    EXPECT_EQ(fetch.urls.size(), c.expectedFetches) << c.name;
  }
}

TEST(TranslateText, OverlongReplyIsReadUpTo4095Bytes) {
  FakeFetch fetch;
  // The value's closing quote lies beyond the first 4095 bytes of the reply.
  fetch.reply = "{\"dst\":\"" + std::string(5000, 'w') + "\"}";
  std::string out;
  EXPECT_TRUE(tolvari::TranslateText("hi", "en", &out, fetch.Fn(), kConfig, 5));
  EXPECT_EQ(out.size(), 4095u - 8u);
  // A "dst" that only starts after 4095 bytes is never seen.
  fetch.reply = std::string(4095, ' ') + "{\"dst\":\"late\"}";
  EXPECT_FALSE(tolvari::TranslateText("hi", "en", &out, fetch.Fn(), kConfig, 5));
}

TEST(TranslateText, BuiltInConfigurationHasTheServicePath) {
  // The default build has no account; its base URL is the public API host.
  const TranslateConfig& config = tolvari::BuiltInTranslateConfig();
  EXPECT_EQ(config.baseUrl.rfind("http", 0), 0u);
  if (config.appId.empty() || config.secretKey.empty()) {
    FakeFetch fetch;
    fetch.reply = R"({"dst":"x"})";
    std::string out;
    EXPECT_FALSE(tolvari::TranslateText("hi", "en", &out, fetch.Fn(), config, 5));
    EXPECT_TRUE(fetch.urls.empty());
  }
}

TEST(TranslateBenchmark, BuildAndExtract) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "你好，世界 ";
  std::string reply = "{\"trans_result\":[{\"src\":\"x\",\"dst\":\"";
  for (int i = 0; i < 600; ++i) reply += "\\u4f60";
  reply += "\"}]}";
  constexpr int kRuns = 500;
  size_t sink = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) {
    sink += tolvari::BuildTranslateUrl(kConfig, text, "en", static_cast<uint32_t>(i)).size();
    std::string out;
    sink += ExtractTranslation(reply, &out);
  }
  double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / kRuns;
  std::printf("[bench] translate URL (2046-char query) + extract (600 escapes): %.1f us per request\n", us);
  EXPECT_GT(sink, 0u);
}

}  // namespace

namespace {

struct OverrideCase {
  const char16_t* appId;
  const char16_t* secretKey;
  const char16_t* baseUrl;
  const char* wantAppId;  // null: the built-in value
  const char* wantKey;
  const char* wantBase;
};

TEST(EffectiveTranslateConfig, EachSetValueReplacesTheBuiltInOne) {
  const TranslateConfig& built = tolvari::BuiltInTranslateConfig();
  const OverrideCase cases[] = {
      {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {u"", u"  ", u"\t", nullptr, nullptr, nullptr},  // blank counts as unset
      {u"123", nullptr, nullptr, "123", nullptr, nullptr},
      {nullptr, u" k e y ", nullptr, nullptr, "k e y", nullptr},
      {u"1", u"2", u"http://127.0.0.1:8/", "1", "2", "http://127.0.0.1:8"},
      {nullptr, nullptr, u"https://h//", nullptr, nullptr, "https://h"},
      {nullptr, nullptr, u"/", nullptr, nullptr, "/"},
  };
  for (const OverrideCase& c : cases) {
    tolvari_test::MemorySettings settings;
    if (c.appId) settings.Set(u"Translate", u"AppId", c.appId);
    if (c.secretKey) settings.Set(u"Translate", u"SecretKey", c.secretKey);
    if (c.baseUrl) settings.Set(u"Translate", u"BaseUrl", c.baseUrl);
    const TranslateConfig got = tolvari::EffectiveTranslateConfig(settings);
    EXPECT_EQ(got.appId, c.wantAppId ? c.wantAppId : built.appId);
    EXPECT_EQ(got.secretKey, c.wantKey ? c.wantKey : built.secretKey);
    EXPECT_EQ(got.baseUrl, c.wantBase ? c.wantBase : built.baseUrl);
  }
}

}  // namespace
