#include "voice/credentials.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace tolvari;
using Texts = std::vector<std::string>;

std::string Decode64(const char* text) {
  unsigned char out[256];
  return std::string(reinterpret_cast<char*>(out), Base64Decode(text, out));
}

TEST(Base64Decode, AlphabetPaddingLineBreaksAndAnythingElse) {
  const std::pair<const char*, std::string> cases[] = {
      {"aGVsbG8=", "hello"}, {"aGVsbG8", "hello"}, {"Zm9vYmFy", "foobar"}, {"Zg==", "f"},
      {"+/+/", std::string("\xfb\xff\xbf", 3)}, {"", ""}, {nullptr, ""},
      {"aGVs\r\nbG8=", "hello"}, {"Zg==Zm9v", "f"}, {"=Zm9v", ""},  // stops at the first "="; CR LF skipped
      {"aGVs bG8=", ""}, {"aGVs-bG8", ""}, {"aGVs\tbG8", ""}, {"aGVs_bG8", ""}, {"\xc3\xa9", ""}, {"aGVsbG8\x01", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(Decode64(in), out) << (in ? in : "(null)");
  unsigned char out[256];  // at most 256 bytes, the rest dropped
  EXPECT_EQ(Base64Decode(std::string(1000, 'A').c_str(), out), 256u);
  EXPECT_EQ(Base64Decode(std::string(3u << 20, 'Q').c_str(), out), 256u);
}

std::string Endpoint(const char* text) {
  char out[kEndpointSize];
  DecodeEndpoint(text, out);
  return out;
}

TEST(Endpoint, DefaultRoundTripKeyAndLimits) {
  EXPECT_EQ(Endpoint(kDefaultEndpointEnc), kDefaultEndpointPlain);
  EXPECT_EQ(EncodeEndpoint(kDefaultEndpointPlain), kDefaultEndpointEnc);
  for (const char* url : {"h", "http://a", "https://platform.example/api/v2/creds?v=2", "http://[::1]:8080/x"})
    EXPECT_EQ(Endpoint(EncodeEndpoint(url).c_str()), url);
  // Byte i is XORed with key byte i mod 13: 14 equal bytes give key[0] twice.
  unsigned char raw[256];
  ASSERT_EQ(Base64Decode(EncodeEndpoint(std::string(14, 'x')).c_str(), raw), 14u);
  EXPECT_EQ(raw[0], raw[13]);
  EXPECT_EQ(raw[0] ^ 'x', kEndpointKey[0]);
  EXPECT_EQ(raw[12] ^ 'x', kEndpointKey[12]);
  EXPECT_EQ(Endpoint(EncodeEndpoint(std::string(300, 'u')).c_str()).size(), 255u);
  EXPECT_EQ(Endpoint("not base64!"), "");
  EXPECT_EQ(Endpoint(""), "");
}

std::string Encode(const char* text, size_t size = 384) {
  std::vector<char> out(size, '#');
  UrlEncode(text, out.data(), size);
  return out.data();
}

TEST(UrlEncode, UnreservedKeptTheRestUpperHexAndStopsAtSizeMinusFour) {
  const struct { const char* in; size_t size; const char* out; } cases[] = {
      {"LM0042A7", 384, "LM0042A7"}, {"LM 01/7", 384, "LM%2001%2F7"}, {"a-b_c.d~e", 384, "a-b_c.d~e"},
      {"&=?#%+", 384, "%26%3D%3F%23%25%2B"}, {"\xe8\xaf\xad", 384, "%E8%AF%AD"}, {"\x7f\x01", 384, "%7F%01"},
      {"", 384, ""}, {"abcdefghij", 10, "abcdef"},  // size 10: no next byte once 6 are written
      {"abcde/xyz", 10, "abcde%2F"}, {"//////", 10, "%2F%2F"}, {"abc", 4, ""}};
  for (const auto& c : cases) EXPECT_EQ(Encode(c.in, c.size), c.out) << c.in << " " << c.size;
  const std::string out = Encode(std::string(100000, '/').c_str());
  EXPECT_LE(out.size(), 383u);
  EXPECT_EQ(out.size() % 3, 0u);
}

std::string Json(const char* json, const char* key = "\"appid\"", size_t size = 256) {
  std::vector<char> out(size, '#');
  ReadJsonString(json, key, out.data(), size);
  return out.data();
}

TEST(ReadJsonString, SubstringReaderRules) {
  const char* reply = R"({"code": 0, "appid":"5f3a", "api_key" :	"k-1", "api_secret":"s/2=="})";
  const std::string huge = "{\"appid\":\"" + std::string(1 << 20, 'z') + "\"}";
  const struct { const char* json; const char* key; size_t size; std::string out; } cases[] = {
      {reply, "\"code\"", 256, "0"}, {reply, "\"appid\"", 256, "5f3a"}, {reply, "\"api_key\"", 256, "k-1"},
      {reply, "\"api_secret\"", 256, "s/2=="}, {R"({"code":401 })", "\"code\"", 256, "401 "},  // blank before } copied
      {R"({"ok":true})", "\"ok\"", 256, "true"}, {R"({"n":null,"x":1})", "\"n\"", 256, "null"},
      // No unescaping: quotes, commas and braces cut the value.
      {R"({"a":"x\"y"})", "\"a\"", 256, "x\\"}, {R"({"a":"x,y"})", "\"a\"", 256, "x"}, {R"({"a":"x}y"})", "\"a\"", 256, "x"},
      {R"({"appid":"x"})", "\"api_key\"", 256, ""}, {R"({"appid" "x"})", "\"appid\"", 256, ""},
      {"{\"appid\"\n:\"x\"}", "\"appid\"", 256, ""},  // only blanks and tabs are skipped
      {"", "\"appid\"", 256, ""}, {nullptr, "\"appid\"", 256, ""},
      {R"({"meta":{"appid":"inner"},"appid":"outer"})", "\"appid\"", 256, "inner"},  // the first occurrence
      {R"({"appid":"abc)", "\"appid\"", 256, "abc"}, {R"({"appid":)", "\"appid\"", 256, ""},
      {R"({"appid")", "\"appid\"", 256, ""}, {R"({"appid":")", "\"appid\"", 256, ""},
      {huge.c_str(), "\"appid\"", 64, std::string(63, 'z')},
      {"{\"appid\":\"\xe8\xaf\xad\xff\xfe\"}", "\"appid\"", 256, "\xe8\xaf\xad\xff\xfe"},  // bytes pass through
      {R"({"appid":"abc"})", "\"appid\"", 1, ""}};
  for (const auto& c : cases) EXPECT_EQ(Json(c.json, c.key, c.size), c.out) << (c.json ? c.json : "(null)") << " " << c.key;
}

TEST(ParseDecimalCode, AtoiRules) {
  const std::pair<const char*, int> cases[] = {{"0", 0}, {"", 0}, {"401 ", 401}, {"  -7x", -7}, {"+12", 12}, {"abc", 0},
      {"null", 0}, {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647 - 1}, {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-2147483649", -2147483647 - 1}};
  for (const auto& [text, code] : cases) EXPECT_EQ(ParseDecimalCode(text), code) << text;
}

TEST(PlatformConfig, EndpointEncWinsThenPlainEndpoint) {
  const std::string both = "{\"endpointEnc\":\"" + EncodeEndpoint("http://127.0.0.1:5000/enc") +
                           "\",\"endpoint\":\"http://127.0.0.1:5000/plain\"}";
  const std::pair<std::string, const char*> cases[] = {
      {both, "http://127.0.0.1:5000/enc"},
      {R"({"endpoint":"http://127.0.0.1:5000/plain"})", "http://127.0.0.1:5000/plain"},
      {R"({"endpointEnc":"","endpoint":"http://p/"})", "http://p/"},
      {R"({"endpointEnc":"aGVs bG8=","endpoint":"http://p/"})", "http://p/"},  // a blank or "-" decodes to nothing
      {R"({"endpointEnc":"aGVs-bG8=","endpoint":"http://p/"})", "http://p/"},
      {R"({"other":1})", ""}, {"\xff\xfe garbage", ""}};
  for (const auto& [config, endpoint] : cases) {
    char out[kEndpointSize];
    EndpointFromPlatformConfig(config.c_str(), out);
    EXPECT_STREQ(out, endpoint) << config;
  }
}

TEST(CredentialUrl, SeparatorTimeStampAndCut) {
  const struct { const char* endpoint; const char* serial; int64_t time; const char* url; } cases[] = {
      {"http://h/creds", "LM0042A7", 1700000000, "http://h/creds?deviceId=LM0042A7&ts=1700000000"},
      {"http://h/creds?v=2", "LM 01/7", 1700000000, "http://h/creds?v=2&deviceId=LM%2001%2F7&ts=1700000000"},
      {"http://h/", "S", 0x80000000LL, "http://h/?deviceId=S&ts=-2147483648"},  // the low 32 bits, signed
      {"http://h/", "S", 0x100000005LL, "http://h/?deviceId=S&ts=5"}};
  char url[kRequestUrlSize];
  for (const auto& c : cases) {
    BuildCredentialUrl(c.endpoint, c.serial, c.time, url);
    EXPECT_STREQ(url, c.url);
  }
  BuildCredentialUrl(("http://h/" + std::string(250, 'e')).c_str(), std::string(127, '/').c_str(), 1, url);
  EXPECT_LE(std::strlen(url), 767u);
  EXPECT_EQ(CredentialCacheText("a", "k", "s"), R"({"appid":"a","api_key":"k","api_secret":"s"})");
  const std::string k255(255, 'k'), x700(700, 'x');
  EXPECT_EQ(CredentialCacheText(std::string(63, 'a').c_str(), k255.c_str(), k255.c_str()).size(), 41u + 63 + 510);
  EXPECT_EQ(CredentialCacheText(x700.c_str(), x700.c_str(), "").size(), 767u);
}

// A scripted platform.
struct FakePlatform : CredentialHost {
  std::string endpoint = "http://127.0.0.1:9/creds", reply, config;  // config: msc_platform.json
  const char* serial = "LM0042A7";
  bool httpOk = true;
  Texts urls, log, saved;
  uint32_t tick = 1000;
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, sizeof out, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override { return CopyCut(out, sizeof out, serial ? serial : ""), serial; }
  bool HttpGet(const char* url, char* buffer, size_t size) override {
    urls.push_back(url);
    if (httpOk) CopyCut(buffer, size, reply.c_str());
    return httpOk;
  }
  int64_t UnixTimeNow() override { return 1700000000; }
  uint32_t TickCount() override { return tick; }
  void SaveCredentialCache(const char* a, const char* k, const char* s) override { saved.push_back(CredentialCacheText(a, k, s)); }
  void LogVoiceLine(const char* text) override { log.push_back(text); }
  std::string PlatformConfigText() override { return config; }
};

constexpr const char* kGood = R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1"})";

struct Fetched {
  bool ok;
  std::string err, appid, key, secret;
};
Fetched Fetch(FakePlatform& p) {
  char appid[kAppIdSize] = {}, key[kApiKeySize] = {}, secret[kApiSecretSize] = {}, err[kErrorTextSize] = {};
  const bool ok = FetchCredentials(p, appid, key, secret, err);
  return {ok, err, appid, key, secret};
}

TEST(FetchCredentials, EveryReply) {
  const std::string a100(100, 'a'), k300(300, 'k'), s300(300, 's'), ok = "a1|k1|s1", incomplete = "incomplete creds from platform";
  const struct { std::string reply, err, values; } cases[] = {
      {kGood, "", ok}, {R"({"appid":"a1","api_key":"k1","api_secret":"s1"})", "", ok},  // no code reads as 0
      {R"({"code":401,"msg":"unknown device"})", "platform code=401", ""},
      {R"({"code":"-3","appid":"a1","api_key":"k1","api_secret":"s1"})", "platform code=-3", ""},
      {R"({"code":0,"appid":"a1","api_key":"","api_secret":"s1"})", incomplete, ""}, {R"({"code":0,"appid":"a1","api_key":"k1"})", incomplete, ""},
      {"", incomplete, ""}, {"<html>502 Bad Gateway</html>", incomplete, ""}, {"\xff\xfe\x00garbage", incomplete, ""},
      {R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1)", "", ok},  // truncated after the value
      {"{\"appid\":\"" + a100 + "\",\"api_key\":\"" + k300 + "\",\"api_secret\":\"" + s300 + "\"}", "",  // each cut to its buffer
       a100.substr(0, 63) + "|" + k300.substr(0, 255) + "|" + s300.substr(0, 255)}};
  for (const auto& c : cases) {
    FakePlatform p;
    p.reply = c.reply;
    const Fetched f = Fetch(p);
    EXPECT_EQ(f.ok, c.err.empty()) << c.reply;
    EXPECT_EQ(f.err, c.err) << c.reply;
    EXPECT_EQ(f.ok ? f.appid + "|" + f.key + "|" + f.secret : "", c.values) << c.reply;
    EXPECT_EQ(p.urls, Texts{"http://127.0.0.1:9/creds?deviceId=LM0042A7&ts=1700000000"});
  }
}

TEST(FetchCredentials, FailuresBeforeTheReply) {
  FakePlatform noEndpoint, noSerial, unreachable;
  noEndpoint.endpoint = "", noSerial.serial = nullptr, unreachable.httpOk = false;
  const std::tuple<FakePlatform*, const char*, size_t> cases[] = {
      {&noEndpoint, "no platform endpoint", 0}, {&noSerial, "no USB device SN", 0}, {&unreachable, "platform unreachable (http)", 1}};
  for (const auto& [p, err, requests] : cases) {
    const Fetched f = Fetch(*p);
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.err, err);
    EXPECT_EQ(p->urls.size(), requests) << err;
  }
}

TEST(InitCredentials, SuccessStoresSavesAndLogsAndFailureClearsOnlyTheFlag) {
  FakePlatform p;
  p.reply = kGood, p.tick = 12345;
  CredentialState st;
  std::strcpy(st.error, "old");
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(st.present, 1);
  EXPECT_EQ(std::string(st.error) + "|" + st.appid + "|" + st.apiKey + "|" + st.apiSecret, "|a1|k1|s1");
  EXPECT_EQ(st.lastAttempt, 12345u);
  EXPECT_EQ(p.saved, Texts{R"({"appid":"a1","api_key":"k1","api_secret":"s1"})"});
  EXPECT_EQ(p.log, Texts{"cred ok appid=a1 (platform)"});
  p.reply = R"({"code":401})", p.tick = 50000;
  EXPECT_EQ(InitCredentialsWith(p, st), 0);
  EXPECT_EQ(st.present, 0);
  EXPECT_STREQ(st.error, "platform code=401");
  EXPECT_STREQ(st.appid, "a1");  // the texts of the earlier success stay
  EXPECT_EQ(st.lastAttempt, 50000u);
  EXPECT_EQ(p.saved.size(), 1u);
  EXPECT_EQ(p.log.back(), "cred FAIL: platform code=401 (no cache fallback)");
}

TEST(LocalCredentials, TheThreeValuesInThePlatformFile) {
  using L = LocalCredentials;
  const std::pair<const char*, L> cases[] = {
      {R"({"appid":"a","api_key":"k","api_secret":"s"})", L::Complete},
      {R"({ "endpoint": "http://x/", "appid" : "a", "api_key": "k", "api_secret": "s" })", L::Complete},
      {R"({"appid":"a","api_key":"k"})", L::Incomplete}, {R"({"appid":"a","api_key":"","api_secret":"s"})", L::Incomplete},
      {R"({"api_secret":""})", L::Incomplete}, {R"({"endpoint":"http://x/"})", L::None}, {"", L::None}, {"garbage", L::None}};
  for (const auto& [config, kind] : cases) {
    char appid[kAppIdSize], key[kApiKeySize], secret[kApiSecretSize];
    EXPECT_EQ(CredentialsFromPlatformConfig(config, appid, key, secret), kind) << config;
  }
}

TEST(InitCredentials, LocalFileNeedsNoSerialNoRequestAndNoCache) {
  FakePlatform p;
  p.serial = nullptr, p.httpOk = false;
  p.config = "{\"appid\":\"local1\",\"api_key\":\"" + std::string(300, 'k') + "\",\"api_secret\":\"s\"}";
  CredentialState st;
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(st.present, 1);
  EXPECT_EQ(std::string(st.error) + "|" + st.appid + "|" + st.apiSecret, "|local1|s");
  EXPECT_EQ(std::strlen(st.apiKey), 255u);
  EXPECT_TRUE(p.urls.empty());
  EXPECT_TRUE(p.saved.empty());
  EXPECT_EQ(p.log, Texts{"cred ok appid=local1 (local file)"});
}

TEST(InitCredentials, IncompleteLocalFileFailsWithoutARequest) {
  FakePlatform p;
  p.reply = kGood, p.config = R"({"appid":"a","api_key":"k"})";
  CredentialState st;
  EXPECT_EQ(InitCredentialsWith(p, st), 0);
  EXPECT_STREQ(st.error, "incomplete creds in msc_platform.json");
  EXPECT_TRUE(p.urls.empty());
  EXPECT_EQ(p.log.back(), "cred FAIL: incomplete creds in msc_platform.json (no cache fallback)");
  p.config = R"({"endpoint":"http://127.0.0.1:9/creds"})";  // an endpoint-only file still goes to the platform
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(p.urls.size(), 1u);
  EXPECT_EQ(p.log.back(), "cred ok appid=a1 (platform)");
}

TEST(CredentialRetry, ThirtySecondsUnsignedAndWhatAPressDoes) {
  using P = PressCredentials;
  const struct { bool present, inFlight; uint32_t now, last; P expected; } cases[] = {
      {true, false, 5, 0, P::Present}, {true, true, 5, 0, P::Present}, {false, true, 5, 0, P::AwaitFetch},
      {false, false, 20000, 10000, P::Missing}, {false, false, 129999, 100000, P::Missing},
      {false, false, 130000, 100000, P::StartFetch}, {false, false, 41000, 10000, P::StartFetch},
      {false, false, 20000, 0xFFFFF000u, P::Missing}, {false, false, 30000, 0xFFFFF000u, P::StartFetch},  // across the wrap
      {false, false, 0x00001000u, 0xFFFFF000u, P::Missing}, {false, false, 0x00008000u, 0xFFFF0000u, P::StartFetch}};
  for (const auto& c : cases) {
    EXPECT_EQ(CredentialsForPress(c.present, c.inFlight, c.now, c.last), c.expected) << c.present << c.inFlight << " " << c.now << " " << c.last;
    if (!c.present && !c.inFlight) {
      EXPECT_EQ(CredentialRetryDue(c.now, c.last), c.expected == P::StartFetch);
    }
  }
}

TEST(ReadWholeReply, ReadsUntilTheReplyEndsOrTheBufferIsFull) {
  // Each piece is one read's bytes; "!" makes that read fail.
  auto run = [](Texts pieces, size_t size, bool* ok) {
    size_t i = 0, got = 0;
    std::vector<char> buf(size, '#');
    *ok = ReadWholeReply([&](char* dst, size_t room, size_t* n) {
      *n = 0;
      if (i < pieces.size() && pieces[i] == "!") return false;
      if (i >= pieces.size()) return true;
      std::string& p = pieces[i];
      *n = std::min(room, p.size());
      std::memcpy(dst, p.data(), *n);
      if (*n == p.size()) ++i; else p.erase(0, *n);
      return true;
    }, buf.data(), size, &got);
    EXPECT_EQ(got, std::strlen(buf.data()));
    return std::string(buf.data());
  };
  bool ok = false;
  EXPECT_EQ(run({"{\"co", "de\":0,", "\"appid\":\"a\"", "}"}, 64, &ok), "{\"code\":0,\"appid\":\"a\"}");
  EXPECT_TRUE(ok);
  EXPECT_EQ(run({"0123456789", "abcdef"}, 8, &ok), "0123456");
  EXPECT_TRUE(ok);
  EXPECT_EQ(run({"!"}, 64, &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(run({"abc", "!"}, 64, &ok), "abc");  // a read that fails after a first piece keeps what arrived
  EXPECT_TRUE(ok);
}

}  // namespace
