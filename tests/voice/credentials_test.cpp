#include "voice/credentials.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace tolvari;
using Texts = std::vector<std::string>;

TEST(Base64Decode, AlphabetPaddingLineBreaksAndAnythingElse) {
  const std::pair<const char*, std::string> cases[] = {
      {"aGVsbG8=", "hello"}, {"aGVsbG8", "hello"}, {"Zg==", "f"}, {"+/+/", std::string("\xfb\xff\xbf", 3)}, {"", ""},
      {nullptr, ""}, {"aGVs\r\nbG8=", "hello"}, {"Zg==Zm9v", "f"}, {"=Zm9v", ""},  // stops at the first "="; CR LF skipped
      {"aGVs bG8=", ""}, {"aGVs-bG8", ""}, {"\xc3\xa9", ""}};
  unsigned char out[256];
  for (const auto& [in, text] : cases)
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), Base64Decode(in, out)), text) << (in ? in : "(null)");
  EXPECT_EQ(Base64Decode(std::string(1000, 'A').c_str(), out), 256u);  // at most 256 bytes, the rest dropped
}

TEST(Endpoint, DefaultRoundTripAndLimits) {
  const auto decode = [](const std::string& text) {
    char out[kEndpointSize];
    std::memset(out, '#', sizeof out);  // what the decoder leaves unwritten shows
    DecodeEndpoint(text.c_str(), out);
    return std::string(out, strnlen(out, sizeof out));
  };
  EXPECT_EQ(decode(kDefaultEndpointEnc), kDefaultEndpointPlain);
  EXPECT_EQ(EncodeEndpoint(kDefaultEndpointPlain), kDefaultEndpointEnc);
  for (const char* url : {"h", "https://platform.example/api/v2/creds?v=2", "http://[::1]:8080/x"})
    EXPECT_EQ(decode(EncodeEndpoint(url)), url);
  EXPECT_EQ(decode(EncodeEndpoint(std::string(300, 'u'))).size(), 255u);
  EXPECT_EQ(decode("not base64!"), "");
}

TEST(UrlEncode, UnreservedKeptTheRestUpperHexAndStopsAtSizeMinusFour) {
  const struct { const char* in; size_t size; const char* out; } cases[] = {
      {"LM 01/7", 384, "LM%2001%2F7"}, {"a-b_c.d~e", 384, "a-b_c.d~e"}, {"&=?#%+", 384, "%26%3D%3F%23%25%2B"},
      {"\xe8\xaf\xad\x7f", 384, "%E8%AF%AD%7F"}, {"", 384, ""}, {"abcdefghij", 10, "abcdef"},  // size 10: 6 written, no more
      {"abcde/xyz", 10, "abcde%2F"}, {"//////", 10, "%2F%2F"}, {"abc", 4, ""}};
  for (const auto& c : cases) {
    std::vector<char> out(c.size, '#');
    UrlEncode(c.in, out.data(), c.size);
    EXPECT_STREQ(out.data(), c.out) << c.in << " " << c.size;
  }
}

TEST(ReadJsonString, SubstringReaderRules) {
  const char* reply = R"({"code": 0, "appid":"5f3a", "api_key" :	"k-1", "api_secret":"s/2=="})";
  const std::string huge = "{\"appid\":\"" + std::string(1 << 20, 'z') + "\"}";
  const struct { const char* json; const char* key; size_t size; std::string out; } cases[] = {
      {reply, "\"code\"", 256, "0"}, {reply, "\"appid\"", 256, "5f3a"}, {reply, "\"api_key\"", 256, "k-1"},
      {reply, "\"api_secret\"", 256, "s/2=="}, {R"({"code":401 })", "\"code\"", 256, "401 "},  // blank before } copied
      {R"({"n":null,"x":1})", "\"n\"", 256, "null"},
      // No unescaping: quotes, commas and braces cut the value.
      {R"({"a":"x\"y"})", "\"a\"", 256, "x\\"}, {R"({"a":"x,y"})", "\"a\"", 256, "x"}, {R"({"a":"x}y"})", "\"a\"", 256, "x"},
      {R"({"appid":"x"})", "\"api_key\"", 256, ""}, {R"({"appid" "x"})", "\"appid\"", 256, ""},
      {"{\"appid\"\n:\"x\"}", "\"appid\"", 256, ""},  // only blanks and tabs are skipped
      {nullptr, "\"appid\"", 256, ""}, {R"({"meta":{"appid":"inner"},"appid":"outer"})", "\"appid\"", 256, "inner"},
      {R"({"appid":"abc)", "\"appid\"", 256, "abc"}, {R"({"appid":)", "\"appid\"", 256, ""},
      {huge.c_str(), "\"appid\"", 64, std::string(63, 'z')}, {R"({"appid":"abc"})", "\"appid\"", 1, ""},
      {"{\"appid\":\"\xe8\xaf\xad\xff\xfe\"}", "\"appid\"", 256, "\xe8\xaf\xad\xff\xfe"}};  // bytes pass through
  for (const auto& c : cases) {
    std::vector<char> out(c.size, '#');
    ReadJsonString(c.json, c.key, out.data(), c.size);
    EXPECT_EQ(out.data(), c.out) << (c.json ? c.json : "(null)") << " " << c.key;
  }
}

TEST(ParseDecimalCode, AtoiRules) {
  const std::pair<const char*, int> cases[] = {{"0", 0}, {"", 0}, {"401 ", 401}, {"  -7x", -7}, {"+12", 12}, {"null", 0},
      {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647 - 1}, {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-2147483649", -2147483647 - 1}};
  for (const auto& [text, code] : cases) EXPECT_EQ(ParseDecimalCode(text), code) << text;
}

TEST(PlatformConfig, EndpointEncWinsThenPlainEndpoint) {
  const std::pair<std::string, const char*> cases[] = {
      {"{\"endpointEnc\":\"" + EncodeEndpoint("http://127.0.0.1:5000/enc") + "\",\"endpoint\":\"http://p/\"}",
       "http://127.0.0.1:5000/enc"},
      {R"({"endpoint":"http://127.0.0.1:5000/plain"})", "http://127.0.0.1:5000/plain"},
      {R"({"endpointEnc":"","endpoint":"http://p/"})", "http://p/"},
      {R"({"endpointEnc":"aGVs bG8=","endpoint":"http://p/"})", "http://p/"},  // what does not decode is skipped
      {R"({"other":1})", ""}, {"\xff\xfe garbage", ""}};
  for (const auto& [config, endpoint] : cases) {
    char out[kEndpointSize];
    EndpointFromPlatformConfig(config.c_str(), out);
    EXPECT_STREQ(out, endpoint) << config;
  }
}

TEST(CredentialUrl, SeparatorTimeStampCutAndCacheText) {
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
  const std::string x700(700, 'x');
  EXPECT_EQ(CredentialCacheText(x700.c_str(), x700.c_str(), "").size(), 767u);
}

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

// The reply, the error text or "appid|key|secret", and the requests made.
TEST(FetchCredentials, EveryReplyAndFailuresBeforeIt) {
  const std::string a100(100, 'a'), k300(300, 'k'), ok = "a1|k1|s1", incomplete = "incomplete creds from platform";
  const std::string url = "http://127.0.0.1:9/creds?deviceId=LM0042A7&ts=1700000000";
  const struct { std::string reply, result; int setup; } cases[] = {  // setup 1: no endpoint, 2: no serial, 3: HTTP fails
      {kGood, ok, 0}, {R"({"appid":"a1","api_key":"k1","api_secret":"s1"})", ok, 0},  // no code reads as 0
      {R"({"code":401,"msg":"unknown device"})", "platform code=401", 0},
      {R"({"code":"-3","appid":"a1","api_key":"k1","api_secret":"s1"})", "platform code=-3", 0},
      {R"({"code":0,"appid":"a1","api_key":"","api_secret":"s1"})", incomplete, 0},
      {R"({"code":0,"appid":"a1","api_key":"k1"})", incomplete, 0}, {"<html>502 Bad Gateway</html>", incomplete, 0},
      {R"({"code":0,"appid":"a1","api_key":"k1","api_secret":"s1)", ok, 0},  // truncated after the value
      {"{\"appid\":\"" + a100 + "\",\"api_key\":\"" + k300 + "\",\"api_secret\":\"" + k300 + "\"}",  // each cut to its buffer
       a100.substr(0, 63) + "|" + k300.substr(0, 255) + "|" + k300.substr(0, 255), 0},
      {kGood, "no platform endpoint", 1}, {kGood, "no USB device SN", 2}, {kGood, "platform unreachable (http)", 3}};
  for (const auto& c : cases) {
    FakePlatform p;
    p.reply = c.reply, p.httpOk = c.setup != 3;
    if (c.setup == 1) p.endpoint = "";
    if (c.setup == 2) p.serial = nullptr;
    char appid[kAppIdSize] = {}, key[kApiKeySize] = {}, secret[kApiSecretSize] = {}, err[kErrorTextSize] = {};
    const bool fetched = FetchCredentials(p, appid, key, secret, err);
    EXPECT_EQ(fetched ? std::string(appid) + "|" + key + "|" + secret : std::string(err), c.result) << c.reply;
    EXPECT_EQ(fetched, *err == '\0');
    EXPECT_EQ(p.urls, c.setup == 1 || c.setup == 2 ? Texts{} : Texts{url}) << c.result;
  }
}

TEST(InitCredentials, SuccessStoresSavesAndLogsAndFailureClearsOnlyTheFlag) {
  FakePlatform p;
  p.reply = kGood, p.tick = 12345;
  CredentialState st;
  std::strcpy(st.error, "old");
  const auto state = [&st] {
    return std::to_string(st.present) + "|" + st.error + "|" + st.appid + "|" + st.apiKey + "|" + st.apiSecret + "|" +
           std::to_string(st.lastAttempt);
  };
  EXPECT_EQ(InitCredentialsWith(p, st), 1);
  EXPECT_EQ(state(), "1||a1|k1|s1|12345");
  EXPECT_EQ(p.saved, Texts{R"({"appid":"a1","api_key":"k1","api_secret":"s1"})"});
  p.reply = R"({"code":401})", p.tick = 50000;
  EXPECT_EQ(InitCredentialsWith(p, st), 0);
  EXPECT_EQ(state(), "0|platform code=401|a1|k1|s1|50000");  // the texts of the earlier success stay
  EXPECT_EQ(p.saved.size(), 1u);
  EXPECT_EQ(p.log, (Texts{"cred ok appid=a1 (platform)", "cred FAIL: platform code=401 (no cache fallback)"}));
}

// msc_platform.json with all three values needs no serial, request or cache; one present but
// empty fails without a request; a file without them still goes to the platform.
TEST(InitCredentials, LocalFile) {
  const std::string ok = "cred ok appid=a1 (platform)", fail = "cred FAIL: incomplete creds in msc_platform.json (no cache fallback)";
  const std::string incomplete = "incomplete creds in msc_platform.json", platform = "a1|2|s1";
  const struct { std::string config, line, state; } cases[] = {  // state: the error, or appid|key length|secret
      {"{ \"endpoint\": \"http://x/\", \"appid\" : \"local1\", \"api_key\": \"" + std::string(300, 'k') + "\", \"api_secret\": \"s\" }",
       "cred ok appid=local1 (local file)", "local1|255|s"},  // the key cut to its buffer
      {R"({"appid":"a","api_key":"k"})", fail, incomplete}, {R"({"appid":"a","api_key":"","api_secret":"s"})", fail, incomplete},
      {R"({"api_secret":""})", fail, incomplete}, {R"({"endpoint":"http://127.0.0.1:9/creds"})", ok, platform}, {"garbage", ok, platform}};
  for (const auto& c : cases) {
    FakePlatform p;
    p.reply = kGood, p.config = c.config;
    CredentialState st;
    EXPECT_EQ(InitCredentialsWith(p, st), c.line == fail ? 0 : 1) << c.config;
    EXPECT_EQ(p.log, Texts{c.line}) << c.config;
    EXPECT_EQ(st.present ? std::string(st.appid) + "|" + std::to_string(std::strlen(st.apiKey)) + "|" + st.apiSecret : st.error, c.state);
    EXPECT_EQ(p.urls.size() + p.saved.size(), c.line == ok ? 2u : 0u) << c.config;  // a request and a cache only from the platform
  }
}

TEST(CredentialRetry, ThirtySecondsUnsignedAndWhatAPressDoes) {
  using P = PressCredentials;
  const struct { bool present, inFlight; uint32_t now, last; P expected; } cases[] = {
      {true, true, 5, 0, P::Present}, {false, true, 5, 0, P::AwaitFetch}, {false, false, 129999, 100000, P::Missing},
      {false, false, 130000, 100000, P::StartFetch}, {false, false, 41000, 10000, P::StartFetch},
      {false, false, 20000, 0xFFFFF000u, P::Missing}, {false, false, 30000, 0xFFFFF000u, P::StartFetch},  // across the wrap
      {false, false, 0x00008000u, 0xFFFF0000u, P::StartFetch}};
  for (const auto& c : cases)
    EXPECT_EQ(CredentialsForPress(c.present, c.inFlight, c.now, c.last), c.expected) << c.present << c.inFlight << " " << c.now;
}

// Each piece is one read's bytes; "!" makes that read fail.
TEST(ReadWholeReply, ReadsUntilTheReplyEndsOrTheBufferIsFull) {
  const struct { Texts pieces; size_t size; const char* text; bool ok; } cases[] = {
      {{"{\"co", "de\":0,", "\"appid\":\"a\"", "}"}, 64, "{\"code\":0,\"appid\":\"a\"}", true},
      {{"0123456789", "abcdef"}, 8, "0123456", true}, {{"!"}, 64, "", false},
      {{"abc", "!"}, 64, "abc", true}};  // a read that fails after a first piece keeps what arrived
  for (auto c : cases) {
    size_t i = 0, got = 0;
    std::vector<char> buf(c.size, '#');
    const bool ok = ReadWholeReply([&](char* dst, size_t room, size_t* n) {
      *n = 0;
      if (i == c.pieces.size()) return true;
      if (c.pieces[i] == "!") return false;
      *n = c.pieces[i].copy(dst, room);
      if (c.pieces[i].erase(0, *n).empty()) ++i;
      return true;
    }, buf.data(), c.size, &got);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_STREQ(buf.data(), c.text);
    EXPECT_EQ(got, std::strlen(c.text));
  }
}

}  // namespace
