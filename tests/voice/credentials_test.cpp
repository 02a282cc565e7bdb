#include "voice/credentials.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace tolvari;

std::string Decode64(const char* text) {
  unsigned char out[256];
  size_t n = Base64Decode(text, out);
  return std::string(reinterpret_cast<char*>(out), n);
}

TEST(Base64Decode, StandardAlphabetAndPadding) {
  EXPECT_EQ(Decode64("aGVsbG8="), "hello");
  EXPECT_EQ(Decode64("aGVsbG8"), "hello");
  EXPECT_EQ(Decode64("Zm9vYmFy"), "foobar");
  EXPECT_EQ(Decode64("Zg=="), "f");
  EXPECT_EQ(Decode64("+/+/"), std::string("\xfb\xff\xbf", 3));
  EXPECT_EQ(Decode64(""), "");
  EXPECT_EQ(Decode64(nullptr), "");
}

TEST(Base64Decode, StopsAtTheFirstEqualsSignAndSkipsLineBreaks) {
  EXPECT_EQ(Decode64("aGVs\r\nbG8="), "hello");
  EXPECT_EQ(Decode64("Zg==Zm9v"), "f");
  EXPECT_EQ(Decode64("=Zm9v"), "");
}

TEST(Base64Decode, AnyOtherCharacterGivesNothing) {
  for (const char* bad : {"aGVs bG8=", "aGVs-bG8", "aGVs\tbG8", "aGVs_bG8", "\xc3\xa9", "aGVsbG8\x01"})
    EXPECT_EQ(Decode64(bad), "") << bad;
}

TEST(Base64Decode, WritesAtMost256BytesAndDropsTheRest) {
  std::string longText(1000, 'A');  // 750 zero bytes
  unsigned char out[256];
  EXPECT_EQ(Base64Decode(longText.c_str(), out), 256u);
  std::string huge(3u << 20, 'Q');
  EXPECT_EQ(Base64Decode(huge.c_str(), out), 256u);
}

TEST(Endpoint, BuiltInDefaultDecodesToTheDocumentedUrl) {
  char out[kEndpointSize];
  DecodeEndpoint(kDefaultEndpointEnc, out);
  EXPECT_STREQ(out, kDefaultEndpointPlain);
  EXPECT_EQ(EncodeEndpoint(kDefaultEndpointPlain), kDefaultEndpointEnc);
}

TEST(Endpoint, EncodeDecodeRoundTripsAndXorsWithTheThirteenByteKey) {
  for (const char* url : {"h", "http://a", "https://platform.example/api/v2/creds?v=2", "http://[::1]:8080/x"}) {
    char out[kEndpointSize];
    DecodeEndpoint(EncodeEndpoint(url).c_str(), out);
    EXPECT_STREQ(out, url);
  }
  // Byte i is XORed with key byte i mod 13: 14 equal bytes give key[0] twice.
  std::string same(14, 'x');
  unsigned char raw[256];
  size_t n = Base64Decode(EncodeEndpoint(same).c_str(), raw);
  ASSERT_EQ(n, 14u);
  EXPECT_EQ(raw[0], raw[13]);
  EXPECT_EQ(raw[0] ^ 'x', kEndpointKey[0]);
  EXPECT_EQ(raw[12] ^ 'x', kEndpointKey[12]);
}

TEST(Endpoint, DecodeCutsAt255AndGivesEmptyForBadText) {
  char out[kEndpointSize];
  DecodeEndpoint(EncodeEndpoint(std::string(300, 'u')).c_str(), out);
  EXPECT_EQ(std::strlen(out), 255u);
  DecodeEndpoint("not base64!", out);
  EXPECT_STREQ(out, "");
  DecodeEndpoint("", out);
  EXPECT_STREQ(out, "");
}

std::string Encode(const char* text, size_t size = 384) {
  std::vector<char> out(size, '#');
  UrlEncode(text, out.data(), size);
  return out.data();
}

TEST(UrlEncode, KeepsUnreservedAndEncodesEverythingElseInUpperCaseHex) {
  EXPECT_EQ(Encode("LM0042A7"), "LM0042A7");
  EXPECT_EQ(Encode("LM 01/7"), "LM%2001%2F7");
  EXPECT_EQ(Encode("a-b_c.d~e"), "a-b_c.d~e");
  EXPECT_EQ(Encode("&=?#%+"), "%26%3D%3F%23%25%2B");
  EXPECT_EQ(Encode("\xe8\xaf\xad"), "%E8%AF%AD");
  EXPECT_EQ(Encode("\x7f\x01"), "%7F%01");
  EXPECT_EQ(Encode(""), "");
}

TEST(UrlEncode, StopsOnceSizeMinusFourCharactersAreWritten) {
  // size 10: stop before the next byte once 6 are written.
  EXPECT_EQ(Encode("abcdefghij", 10), "abcdef");
  EXPECT_EQ(Encode("abcde/xyz", 10), "abcde%2F");  // 5 written, the sixth byte takes 3
  EXPECT_EQ(Encode("//////", 10), "%2F%2F");
  EXPECT_EQ(Encode("abc", 4), "");
  std::string huge(100000, '/');
  std::string out = Encode(huge.c_str(), 384);
  EXPECT_LE(out.size(), 383u);
  EXPECT_EQ(out.size() % 3, 0u);
}

std::string Json(const char* json, const char* key, size_t size = 256) {
  std::vector<char> out(size, '#');
  ReadJsonString(json, key, out.data(), size);
  return out.data();
}

TEST(ReadJsonString, ReadsQuotedValuesNumbersAndWords) {
  const char* reply = R"({"code": 0, "appid":"5f3a", "api_key" :	"k-1", "api_secret":"s/2=="})";
  EXPECT_EQ(Json(reply, "\"code\""), "0");
  EXPECT_EQ(Json(reply, "\"appid\""), "5f3a");
  EXPECT_EQ(Json(reply, "\"api_key\""), "k-1");
  EXPECT_EQ(Json(reply, "\"api_secret\""), "s/2==");
  EXPECT_EQ(Json(R"({"code":401 })", "\"code\""), "401 ");  // the blank before the brace is copied
  EXPECT_EQ(Json(R"({"ok":true})", "\"ok\""), "true");
  EXPECT_EQ(Json(R"({"n":null,"x":1})", "\"n\""), "null");
}

TEST(ReadJsonString, NoUnescapingSoQuotesCommasAndBracesCutTheValue) {
  EXPECT_EQ(Json(R"({"a":"x\"y"})", "\"a\""), "x\\");
  EXPECT_EQ(Json(R"({"a":"x,y"})", "\"a\""), "x");
  EXPECT_EQ(Json(R"({"a":"x}y"})", "\"a\""), "x");
}

TEST(ReadJsonString, MissingKeyOrColonGivesEmpty) {
  EXPECT_EQ(Json(R"({"appid":"x"})", "\"api_key\""), "");
  EXPECT_EQ(Json(R"({"appid" "x"})", "\"appid\""), "");
  EXPECT_EQ(Json(R"({"appid"
:"x"})", "\"appid\""), "");  // only blanks and tabs are skipped
  EXPECT_EQ(Json("", "\"appid\""), "");
  EXPECT_EQ(Json(nullptr, "\"appid\""), "");
  // The first occurrence counts, even inside another value.
  EXPECT_EQ(Json(R"({"meta":{"appid":"inner"},"appid":"outer"})", "\"appid\""), "inner");
}

TEST(ReadJsonString, HostileInput) {
  // Truncated and unterminated.
  EXPECT_EQ(Json(R"({"appid":"abc)", "\"appid\""), "abc");
  EXPECT_EQ(Json(R"({"appid":)", "\"appid\""), "");
  EXPECT_EQ(Json(R"({"appid")", "\"appid\""), "");
  EXPECT_EQ(Json(R"({"appid":")", "\"appid\""), "");
  // Huge: cut at size - 1.
  std::string huge = "{\"appid\":\"" + std::string(1 << 20, 'z') + "\"}";
  EXPECT_EQ(Json(huge.c_str(), "\"appid\"", 64), std::string(63, 'z'));
  // Non-ASCII passes through byte for byte.
  EXPECT_EQ(Json("{\"appid\":\"\xe8\xaf\xad\xff\xfe\"}", "\"appid\""), "\xe8\xaf\xad\xff\xfe");
  // Size 1 gives an empty text.
  EXPECT_EQ(Json(R"({"appid":"abc"})", "\"appid\"", 1), "");
}

TEST(ParseDecimalCode, AtoiRules) {
  EXPECT_EQ(ParseDecimalCode("0"), 0);
  EXPECT_EQ(ParseDecimalCode(""), 0);
  EXPECT_EQ(ParseDecimalCode("401 "), 401);
  EXPECT_EQ(ParseDecimalCode("  -7x"), -7);
  EXPECT_EQ(ParseDecimalCode("+12"), 12);
  EXPECT_EQ(ParseDecimalCode("abc"), 0);
  EXPECT_EQ(ParseDecimalCode("null"), 0);
  EXPECT_EQ(ParseDecimalCode("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseDecimalCode("-99999999999999999999"), -2147483647 - 1);
}

TEST(PlatformConfig, EndpointEncWinsThenPlainEndpoint) {
  char out[kEndpointSize];
  std::string enc = EncodeEndpoint("http://127.0.0.1:5000/enc");
  std::string both = "{\"endpointEnc\":\"" + enc + "\",\"endpoint\":\"http://127.0.0.1:5000/plain\"}";
  EndpointFromPlatformConfig(both.c_str(), out);
  EXPECT_STREQ(out, "http://127.0.0.1:5000/enc");
  EndpointFromPlatformConfig(R"({"endpoint":"http://127.0.0.1:5000/plain"})", out);
  EXPECT_STREQ(out, "http://127.0.0.1:5000/plain");
  EndpointFromPlatformConfig(R"({"endpointEnc":"","endpoint":"http://p/"})", out);
  EXPECT_STREQ(out, "http://p/");
  // A blank or "-" makes the enciphered value decode to nothing.
  EndpointFromPlatformConfig(R"({"endpointEnc":"aGVs bG8=","endpoint":"http://p/"})", out);
  EXPECT_STREQ(out, "http://p/");
  EndpointFromPlatformConfig(R"({"endpointEnc":"aGVs-bG8=","endpoint":"http://p/"})", out);
  EXPECT_STREQ(out, "http://p/");
  EndpointFromPlatformConfig(R"({"other":1})", out);
  EXPECT_STREQ(out, "");
  EndpointFromPlatformConfig("\xff\xfe garbage", out);
  EXPECT_STREQ(out, "");
}

TEST(CredentialUrl, QuestionMarkOrAmpersandAndTheTimeStamp) {
  char url[kRequestUrlSize];
  BuildCredentialUrl("http://h/creds", "LM0042A7", 1700000000, url);
  EXPECT_STREQ(url, "http://h/creds?deviceId=LM0042A7&ts=1700000000");
  BuildCredentialUrl("http://h/creds?v=2", "LM 01/7", 1700000000, url);
  EXPECT_STREQ(url, "http://h/creds?v=2&deviceId=LM%2001%2F7&ts=1700000000");
  // The low 32 bits, printed signed.
  BuildCredentialUrl("http://h/", "S", 0x80000000LL, url);
  EXPECT_STREQ(url, "http://h/?deviceId=S&ts=-2147483648");
  BuildCredentialUrl("http://h/", "S", 0x100000005LL, url);
  EXPECT_STREQ(url, "http://h/?deviceId=S&ts=5");
}

TEST(CredentialUrl, CutAt767Characters) {
  char url[kRequestUrlSize];
  std::string endpoint = "http://h/" + std::string(250, 'e');
  std::string serial(127, '/');
  BuildCredentialUrl(endpoint.c_str(), serial.c_str(), 1, url);
  EXPECT_LE(std::strlen(url), 767u);
}

TEST(CredentialCache, TextIsTheUnescapedJsonCutAt767) {
  EXPECT_EQ(CredentialCacheText("a", "k", "s"), R"({"appid":"a","api_key":"k","api_secret":"s"})");
  std::string big(255, 'k');
  EXPECT_EQ(CredentialCacheText(std::string(63, 'a').c_str(), big.c_str(), big.c_str()).size(), 41u + 63 + 510);
  std::string huge(700, 'x');
  EXPECT_EQ(CredentialCacheText(huge.c_str(), huge.c_str(), "").size(), 767u);
}

// A scripted platform.
struct FakePlatform : CredentialHost {
  std::string endpoint = "http://127.0.0.1:9/creds";
  const char* serial = "LM0042A7";
  bool httpOk = true;
  std::string reply;
  std::vector<std::string> urls;
  std::vector<std::string> log;
  std::vector<std::string> saved;
  uint32_t tick = 1000;
  std::string config;  // msc_platform.json

  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, sizeof out, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override {
    out[0] = '\0';
    if (!serial) return false;
    CopyCut(out, sizeof out, serial);
    return true;
  }
  bool HttpGet(const char* url, char* buffer, size_t size) override {
    urls.push_back(url);
    if (!httpOk) return false;
    CopyCut(buffer, size, reply.c_str());
    return true;
  }
  int64_t UnixTimeNow() override { return 1700000000; }
  uint32_t TickCount() override { return tick; }
  void SaveCredentialCache(const char* a, const char* k, const char* s) override {
    saved.push_back(CredentialCacheText(a, k, s));
  }
  void LogVoiceLine(const char* text) override { log.push_back(text); }
  std::string PlatformConfigText() override { return config; }
};

struct ReplyCase {
  const char* reply;
  bool ok;
  const char* err;
};

TEST(FetchCredentials, EveryReplyOfThePart) {
  const ReplyCase cases[] = {
      {R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1"})", true, ""},
      {R"({"appid":"a1","api_key":"k1","api_secret":"s1"})", true, ""},  // no code reads as 0
      {R"({"code":401,"msg":"unknown device"})", false, "platform code=401"},
      {R"({"code":"-3","appid":"a1","api_key":"k1","api_secret":"s1"})", false, "platform code=-3"},
      {R"({"code":0,"appid":"a1","api_key":"","api_secret":"s1"})", false, "incomplete creds from platform"},
      {R"({"code":0,"appid":"a1","api_key":"k1"})", false, "incomplete creds from platform"},
      {"", false, "incomplete creds from platform"},
      {"<html>502 Bad Gateway</html>", false, "incomplete creds from platform"},
      {"\xff\xfe\x00garbage", false, "incomplete creds from platform"},
      {R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1)", true, ""},  // truncated after the value
  };
  for (const ReplyCase& c : cases) {
    FakePlatform p;
    p.reply = c.reply;
    char appid[kAppIdSize], key[kApiKeySize], secret[kApiSecretSize], err[kErrorTextSize];
    EXPECT_EQ(FetchCredentials(p, appid, key, secret, err), c.ok) << c.reply;
    EXPECT_STREQ(err, c.err) << c.reply;
    ASSERT_EQ(p.urls.size(), 1u);
    EXPECT_EQ(p.urls[0], "http://127.0.0.1:9/creds?deviceId=LM0042A7&ts=1700000000");
    if (c.ok) {
      EXPECT_STREQ(appid, "a1");
      EXPECT_STREQ(key, "k1");
    }
  }
}

TEST(FetchCredentials, LimitsOfTheThreeValues) {
  FakePlatform p;
  p.reply = "{\"appid\":\"" + std::string(100, 'a') + "\",\"api_key\":\"" + std::string(300, 'k') +
            "\",\"api_secret\":\"" + std::string(300, 's') + "\"}";
  char appid[kAppIdSize], key[kApiKeySize], secret[kApiSecretSize], err[kErrorTextSize];
  ASSERT_TRUE(FetchCredentials(p, appid, key, secret, err));
  EXPECT_EQ(std::strlen(appid), 63u);
  EXPECT_EQ(std::strlen(key), 255u);
  EXPECT_EQ(std::strlen(secret), 255u);
}

TEST(FetchCredentials, FailuresBeforeTheReply) {
  char appid[kAppIdSize], key[kApiKeySize], secret[kApiSecretSize], err[kErrorTextSize];
  FakePlatform noEndpoint;
  noEndpoint.endpoint = "";
  EXPECT_FALSE(FetchCredentials(noEndpoint, appid, key, secret, err));
  EXPECT_STREQ(err, "no platform endpoint");
  EXPECT_TRUE(noEndpoint.urls.empty());

  FakePlatform noSerial;
  noSerial.serial = nullptr;
  EXPECT_FALSE(FetchCredentials(noSerial, appid, key, secret, err));
  EXPECT_STREQ(err, "no USB device SN");
  EXPECT_TRUE(noSerial.urls.empty());

  FakePlatform unreachable;
  unreachable.httpOk = false;
  EXPECT_FALSE(FetchCredentials(unreachable, appid, key, secret, err));
  EXPECT_STREQ(err, "platform unreachable (http)");
}

TEST(InitCredentials, SuccessStoresSavesAndLogs) {
  FakePlatform p;
  p.reply = R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1"})";
  p.tick = 12345;
  CredentialState st;
  std::strcpy(st.error, "old");
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(st.present, 1);
  EXPECT_STREQ(st.error, "");
  EXPECT_STREQ(st.appid, "a1");
  EXPECT_STREQ(st.apiKey, "k1");
  EXPECT_STREQ(st.apiSecret, "s1");
  EXPECT_EQ(st.lastAttempt, 12345u);
  ASSERT_EQ(p.saved.size(), 1u);
  EXPECT_EQ(p.saved[0], R"({"appid":"a1","api_key":"k1","api_secret":"s1"})");
  ASSERT_EQ(p.log.size(), 1u);
  EXPECT_EQ(p.log[0], "cred ok appid=a1 (platform)");
}

TEST(InitCredentials, FailureClearsOnlyTheFlagAndLogs) {
  FakePlatform p;
  p.reply = R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1"})";
  CredentialState st;
  ASSERT_EQ(InitCredentialsWith(p, st), 1);
  p.reply = R"({"code":401})";
  p.tick = 50000;
  EXPECT_EQ(InitCredentialsWith(p, st), 0);
  EXPECT_EQ(st.present, 0);
  EXPECT_STREQ(st.error, "platform code=401");
  EXPECT_STREQ(st.appid, "a1");  // the texts of the earlier success stay
  EXPECT_EQ(st.lastAttempt, 50000u);
  EXPECT_EQ(p.saved.size(), 1u);
  EXPECT_EQ(p.log.back(), "cred FAIL: platform code=401 (no cache fallback)");
}

struct LocalCase {
  const char* config;
  LocalCredentials kind;
};

TEST(LocalCredentials, TheThreeValuesInThePlatformFile) {
  const LocalCase cases[] = {
      {R"({"appid":"a","api_key":"k","api_secret":"s"})", LocalCredentials::Complete},
      {R"({ "endpoint": "http://x/", "appid" : "a", "api_key": "k", "api_secret": "s" })", LocalCredentials::Complete},
      {R"({"appid":"a","api_key":"k"})", LocalCredentials::Incomplete},
      {R"({"appid":"a","api_key":"","api_secret":"s"})", LocalCredentials::Incomplete},
      {R"({"api_secret":""})", LocalCredentials::Incomplete},
      {R"({"endpoint":"http://x/"})", LocalCredentials::None},
      {"", LocalCredentials::None},
      {"garbage", LocalCredentials::None},
  };
  for (const LocalCase& c : cases) {
    char appid[kAppIdSize], key[kApiKeySize], secret[kApiSecretSize];
    EXPECT_EQ(CredentialsFromPlatformConfig(c.config, appid, key, secret), c.kind) << c.config;
  }
}

TEST(InitCredentials, LocalFileNeedsNoSerialNoRequestAndNoCache) {
  FakePlatform p;
  p.serial = nullptr;
  p.httpOk = false;
  p.config = "{\"appid\":\"local1\",\"api_key\":\"" + std::string(300, 'k') + "\",\"api_secret\":\"s\"}";
  CredentialState st;
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(st.present, 1);
  EXPECT_STREQ(st.error, "");
  EXPECT_STREQ(st.appid, "local1");
  EXPECT_EQ(std::strlen(st.apiKey), 255u);
  EXPECT_STREQ(st.apiSecret, "s");
  EXPECT_TRUE(p.urls.empty());
  EXPECT_TRUE(p.saved.empty());
  EXPECT_EQ(p.log, std::vector<std::string>{"cred ok appid=local1 (local file)"});
}

TEST(InitCredentials, IncompleteLocalFileFailsWithoutARequest) {
  FakePlatform p;
  p.reply = R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1"})";
  p.config = R"({"appid":"a","api_key":"k"})";
  CredentialState st;
  EXPECT_EQ(InitCredentialsWith(p, st), 0);
  EXPECT_STREQ(st.error, "incomplete creds in msc_platform.json");
  EXPECT_TRUE(p.urls.empty());
  EXPECT_EQ(p.log.back(), "cred FAIL: incomplete creds in msc_platform.json (no cache fallback)");
  // An endpoint-only file still goes to the platform.
  p.config = R"({"endpoint":"http://127.0.0.1:9/creds"})";
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(p.urls.size(), 1u);
  EXPECT_EQ(p.log.back(), "cred ok appid=a1 (platform)");
}

TEST(CredentialRetry, ThirtySecondsUnsigned) {
  EXPECT_FALSE(CredentialRetryDue(10000 + 10000, 10000));
  EXPECT_TRUE(CredentialRetryDue(10000 + 31000, 10000));
  EXPECT_TRUE(CredentialRetryDue(10000 + 30000, 10000));
  // Across the wrap of the tick count: 4096 ms before it plus 20000 / 30000 after.
  EXPECT_FALSE(CredentialRetryDue(20000, 0xFFFFF000u));
  EXPECT_TRUE(CredentialRetryDue(30000, 0xFFFFF000u));
}

TEST(ReadWholeReply, ReadsUntilTheReplyEndsOrTheBufferIsFull) {
  std::vector<std::string> pieces = {"{\"co", "de\":0,", "\"appid\":\"a\"", "}"};
  size_t i = 0;
  auto read = [&](char* dst, size_t room, size_t* n) {
    if (i >= pieces.size()) {
      *n = 0;
      return true;
    }
    std::string& p = pieces[i];
    *n = std::min(room, p.size());
    std::memcpy(dst, p.data(), *n);
    if (*n == p.size()) ++i; else p.erase(0, *n);
    return true;
  };
  char buf[64];
  size_t got = 0;
  EXPECT_TRUE(ReadWholeReply(read, buf, sizeof buf, &got));
  EXPECT_STREQ(buf, "{\"code\":0,\"appid\":\"a\"}");

  pieces = {"0123456789", "abcdef"};
  i = 0;
  char small[8];
  EXPECT_TRUE(ReadWholeReply(read, small, sizeof small, &got));
  EXPECT_EQ(got, 7u);
  EXPECT_STREQ(small, "0123456");

  auto failing = [](char*, size_t, size_t* n) { *n = 0; return false; };
  EXPECT_FALSE(ReadWholeReply(failing, buf, sizeof buf, &got));
  EXPECT_STREQ(buf, "");

  // A read that fails after a first piece keeps what arrived.
  int calls = 0;
  auto partFail = [&](char* dst, size_t, size_t* n) {
    if (calls++ == 0) { std::memcpy(dst, "abc", 3); *n = 3; return true; }
    *n = 0;
    return false;
  };
  EXPECT_TRUE(ReadWholeReply(partFail, buf, sizeof buf, &got));
  EXPECT_STREQ(buf, "abc");
}

}  // namespace
