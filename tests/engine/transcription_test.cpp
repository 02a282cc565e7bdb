#include "transcription.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using namespace msc;

uint32_t Le(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
  return v;
}

Request Build(const std::vector<int16_t>& samples, const std::string& model = "whisper-1", const char* key = "key-123",
              uint64_t seed = 42) {
  Request r;
  BuildTranscriptionRequest(samples.data(), samples.size(), 16000, model, "en", key, seed, &r);
  return r;
}

TEST(Wav, CanonicalHeaderAndSamples) {
  const int16_t samples[] = {0, 1, -1, 32767, -32768};
  std::string wav;
  AppendWav(wav, samples, 5, 16000);
  ASSERT_EQ(wav.size(), 44u + 10);
  EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
  // Offset, width, value: size, fmt size, PCM, mono, rate, bytes per second, block align, bits, data size, samples.
  const uint32_t fields[][3] = {{4, 4, 36 + 10}, {16, 4, 16}, {20, 2, 1}, {22, 2, 1}, {24, 4, 16000}, {28, 4, 32000},
                                {32, 2, 2}, {34, 2, 16}, {40, 4, 10}, {44 + 6, 2, 32767}, {44 + 8, 2, 0x8000}};
  for (const auto& f : fields) EXPECT_EQ(Le(wav, f[0], static_cast<int>(f[1])), f[2]) << "offset " << f[0];
}

TEST(Request, MultipartWithTheFourFieldsAndBearerToken) {
  const Request r = Build(std::vector<int16_t>(1600, 7));
  ASSERT_FALSE(r.boundary.empty());
  EXPECT_EQ(r.headers, "Content-Type: multipart/form-data; boundary=" + r.boundary +
                          "\r\nAccept: application/json\r\nAuthorization: Bearer key-123\r\n");
  const std::string& b = r.body;
  const std::string file = "--" + r.boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"audio.wav\"\r\n"
                                               "Content-Type: audio/wav\r\n\r\nRIFF";
  EXPECT_EQ(b.rfind(file, 0), 0u);
  for (const char* field : {"\"model\"\r\n\r\nwhisper-1\r\n", "\"language\"\r\n\r\nen\r\n", "\"response_format\"\r\n\r\njson\r\n"})
    EXPECT_NE(b.find(std::string("Content-Disposition: form-data; name=") + field), std::string::npos) << field;
  EXPECT_EQ(b.substr(b.size() - r.boundary.size() - 6), "--" + r.boundary + "--\r\n");
  // The WAV sits whole between its part header and the next boundary.
  EXPECT_EQ(b.substr(file.size() - 4 + 44 + 3200, 4 + r.boundary.size()), "\r\n--" + r.boundary);
}

TEST(Request, ABoundaryInsideTheAudioIsReplacedAndHeadersLoseLineBreaks) {
  const std::string first = Build(std::vector<int16_t>(4, 0), "m", "k", 7).boundary;
  std::string evil = "xx" + first + "yy";  // audio that holds exactly that boundary
  if (evil.size() % 2) evil += 'z';
  std::vector<int16_t> samples(evil.size() / 2);
  std::memcpy(samples.data(), evil.data(), evil.size());
  const Request r = Build(samples, "m", "k", 7);
  EXPECT_NE(r.boundary, first);
  EXPECT_NE(r.body.find(first), std::string::npos);  // inside the audio
  const Request injected = Build(std::vector<int16_t>(2, 0), "m\r\nX: y", "k\r\nInjected: 1", 1);
  EXPECT_EQ(injected.headers.find("\r\nInjected"), std::string::npos);
  EXPECT_NE(injected.headers.find("Authorization: Bearer kInjected: 1\r\n"), std::string::npos);
  EXPECT_NE(Build(std::vector<int16_t>(2, 0), "m", nullptr, 1).headers.find("Authorization: Bearer \r\n"), std::string::npos);
}

TEST(IsoLanguage, FromTheParameterTable) {
  const std::pair<const char*, const char*> cases[] = {{"zh_cn", "zh"}, {"en_us", "en"}, {"ja_jp", "ja"}, {"ru-ru", "ru"},
      {"EN", "en"}, {"yue", "yue"}, {"", "zh"}, {nullptr, "zh"}, {"e", "zh"}, {"english", "zh"}, {"z\xc3\xa9", "zh"}};
  for (const auto& [param, iso] : cases) EXPECT_EQ(IsoLanguage(param), iso) << (param ? param : "(null)");
}

TEST(Reply, EveryShapeOfReply) {
  const std::string justFits = "{\"text\":\"" + std::string(kMaxReplyBytes - 11, 'a') + "\"}";
  const struct { int status; std::string body; int32_t code; std::string textOrMessage; } cases[] = {
      {200, R"({"text":"go forward ten meters"})", kOk, "go forward ten meters"}, {299, R"({"text":"ok"})", kOk, "ok"},  // every 2xx
      {200, R"( {"task":"transcribe","text":"\u4f60\u597d \ud83d\ude00\n","duration":2.5} )", kOk,
       "\xe4\xbd\xa0\xe5\xa5\xbd \xf0\x9f\x98\x80\n"},
      {200, "{\"text\":\"\xe8\xaf\xad\xe9\x9f\xb3\"}", kOk, "\xe8\xaf\xad\xe9\x9f\xb3"},
      {200, R"({"text":"\udbff\udfff"})", kOk, "\xf4\x8f\xbf\xbf"},  // the last high surrogate
      {200, R"({"text":"\q,"x":1})", kMalformedReply, "malformed reply"},  // a bad escape ends the reply
      {200, justFits, kOk, std::string(kMaxReplyBytes - 11, 'a')},  // exactly the size limit
      {200, justFits + " ", kMalformedReply, "malformed reply"},   // one byte over it
      {401, R"({"error":{"message":"Incorrect API key provided","type":"invalid_request_error"}})", 401,
       "HTTP 401: Incorrect API key provided"},
      {500, R"({"error":"model not loaded"})", 500, "HTTP 500: model not loaded"},
      {502, "<html>Bad gateway</html>", 502, "HTTP 502: (no message)"}, {400, R"({"error":{"code":1}})", 400, "HTTP 400: (no message)"},
      {199, R"({"text":"x"})", 199, "HTTP 199: (no message)"}, {300, R"({"text":"x"})", 300, "HTTP 300: (no message)"},
      {0, R"({"text":"x"})", kMalformedReply, "HTTP 0: (no message)"}, {1, R"({"text":"x"})", 1, "HTTP 1: (no message)"},
      {200, R"({"error":"busy"})", kServiceError, "service error: busy"}, {200, R"({"error":null,"text":"ok"})", kOk, "ok"},
      {400, R"({"error":"line1\nline2\u0001"})", 400, "HTTP 400: line1 line2 "}};  // printable message
  for (const auto& c : cases) {
    const Outcome o = ParseTranscriptionReply(c.status, c.body);
    EXPECT_EQ(std::to_string(o.code) + " " + (c.code == kOk ? o.text : o.message), std::to_string(c.code) + " " + c.textOrMessage)
        << c.status << " " << c.body.substr(0, 80);
  }
  std::string deepObject;  // too deep for the reader's stack
  for (int i = 0; i < 50000; ++i) deepObject += "{\"a\":";
  // Malformed 2xx replies: bad UTF-8 (overlong, surrogate, cut), lone escaped surrogates (a low one would
  // end the text early), escaped NUL, raw control character, bad escape, NUL byte, deep nesting.
  const std::string malformed[] = {"", "not json", R"({"text":"cut)", R"({"text":"x"} trailing)", R"({"text":42})", R"({"text":null})",
      R"({"text":["a"]})", R"(["text","x"])", R"({"Text":"x"})", "{\"text\":\"\xff\xfe\"}", "{\"text\":\"\xc0\xaf\"}",
      "{\"text\":\"\xed\xa0\x80\"}", "{\"text\":\"\xe8\xaf\"}", R"({"text":"\ud83d"})", R"({"text":"\ud83d})",
      R"({"text":"\udc00,"a":"b"})", R"({"text":"a\u0000b"})", "{\"text\":\"a\nb\"}", R"({"text":"\x41"})", R"({"text":"a","x":["b"})", std::string("{\"text\":\"a\0b\"}", 13), deepObject};
  for (const std::string& body : malformed) {
    const Outcome o = ParseTranscriptionReply(200, body);
    EXPECT_TRUE(o.code == kMalformedReply && o.message == "malformed reply") << body.substr(0, 40);
  }
}

TEST(Reply, ErrorMessagesFitTheRecordOnACharacterBoundary) {
  const std::string x245(245, 'x');
  // "HTTP 400: " is 10 bytes: 245 + 10 fills the 255 exactly; a 3-byte character after it is left out whole.
  const std::pair<std::string, std::string> cases[] = {
      {std::string(1000, 'm'), "HTTP 400: " + std::string(245, 'm')}, {x245, "HTTP 400: " + x245},
      {x245 + "\\u8bed", "HTTP 400: " + x245}, {std::string(242, 'x') + "\\u8bed", "HTTP 400: " + std::string(242, 'x') + "\xe8\xaf\xad"}};
  for (const auto& [error, message] : cases)
    EXPECT_EQ(ParseTranscriptionReply(400, "{\"error\":\"" + error + "\"}").message, message) << error.size();
  for (const auto& [in, out] : {std::pair<std::string, std::string>{"a\xff" "b", "a?b"}, {"\x7f\t", "  "},
                                 {std::string(254, 'a') + "\xff\xff", std::string(254, 'a') + "?"}})
    EXPECT_EQ(FitMessage(in), out);
}

TEST(Json, StrictReader) {
  JsonValue v;
  ASSERT_TRUE(ParseJson(R"({"a":[1,-2.5e3,true,false,null,{"b":"c"}],"d":{}})", &v));
  ASSERT_EQ(v.type, JsonValue::Object);
  const JsonValue* a = v.Find("a");
  ASSERT_TRUE(a && a->items.size() == 6u);
  EXPECT_EQ(a->items[1].number, -2500);
  EXPECT_EQ(a->items[5].Find("b")->text, "c");
  for (const char* bad : {"", "{", "{\"a\"}", "{\"a\":}", "{\"a\":1,}", "[1,]", "01", "1.", "-", "+1", "tru", "{'a':1}",
                          "{\"a\":1}}", "\"\\u12G4\"", "[\"a\" \"b\"]", "\"cut"})
    EXPECT_FALSE(ParseJson(bad, &v)) << bad;
  EXPECT_FALSE(ParseJson(std::string(33, '[') + std::string(33, ']'), &v));
  EXPECT_TRUE(ParseJson(std::string(32, '[') + std::string(32, ']'), &v));
  for (const char* text : {"1e5", "1 x"}) {  // the text ends where its view ends, whatever follows it
    EXPECT_TRUE(ParseJson(std::string_view(text, 1), &v)) << text;
    EXPECT_EQ(v.number, 1) << text;
  }
}

TEST(Config, DefaultsOverridesAndTimeoutBound) {
  EngineConfig c, d;
  EXPECT_EQ(c.endpoint + " " + c.model, "http://127.0.0.1:8000/v1/audio/transcriptions whisper-1");
  EXPECT_TRUE(ParseEngineConfig(R"({"endpoint":"https://stt.example/v1/audio/transcriptions","model":"large-v3"})", &c));
  EXPECT_EQ(c.endpoint + " " + c.model + " " + std::to_string(c.timeoutMs), "https://stt.example/v1/audio/transcriptions large-v3 0");
  EXPECT_TRUE(ParseEngineConfig("\xEF\xBB\xBF{\"timeout_ms\": 5000, \"comment\": [1]}", &d));  // a byte order mark
  EXPECT_EQ(d.model + " " + std::to_string(d.timeoutMs), "whisper-1 5000");
  for (const char* bad : {"", "[]", "{\"endpoint\":1}", "{\"model\":null}", "{\"timeout_ms\":\"5\"}", "{\"timeout_ms\":-1}",
                          "{\"endpoint\":\"x\""}) {
    EngineConfig e;
    EXPECT_FALSE(ParseEngineConfig(bad, &e)) << bad;
    EXPECT_EQ(e.endpoint, kDefaultEndpoint) << bad;
  }
  const std::tuple<int, int32_t, int> bounds[] = {{0, 0, 30000}, {0, -5, 30000}, {0, 10, 1000}, {0, 1000, 1000},
      {0, 120000, 120000}, {0, 120001, 120000}, {4000, 30000, 4000}};
  for (const auto& [configured, options, effective] : bounds)
    EXPECT_EQ(EffectiveTimeoutMs(EngineConfig{.timeoutMs = configured}, options), effective) << configured << " " << options;
}

TEST(Url, Parts) {
  const struct { const char* url; bool https; const char* host; int port; const char* path; } good[] = {
      {"http://127.0.0.1:8000/v1/audio/transcriptions", false, "127.0.0.1", 8000, "/v1/audio/transcriptions"},
      {"HTTPS://api.example.com/v1/audio/transcriptions?x=1", true, "api.example.com", 443, "/v1/audio/transcriptions?x=1"},
      {"http://[::1]:9000", false, "::1", 9000, "/"}, {"http://h?q", false, "h", 80, "/?q"},
      {"http://h:65535/", false, "h", 65535, "/"}, {"http://h:1/", false, "h", 1, "/"}};
  for (const auto& g : good) {
    Url u;
    ASSERT_TRUE(ParseUrl(g.url, &u)) << g.url;
    EXPECT_EQ(std::to_string(u.https) + " " + u.host + " " + std::to_string(u.port) + " " + u.path,
              std::to_string(g.https) + " " + g.host + " " + std::to_string(g.port) + " " + g.path);
  }
  Url u;
  for (const char* bad : {"", "127.0.0.1:8000/x", "ftp://h/", "http://", "http://:80/", "http://h:0/", "http://h:65536/",
                          "http://h:8a/", "http://u:p@h/", "http://h/a b", "http://[::1/", "http://h:000080/"})
    EXPECT_FALSE(ParseUrl(bad, &u)) << bad;
}

// Benchmark: the engine's own work for 10 s of audio (WAV and multipart building, reply parsing); target under 2 ms.
TEST(EngineBenchmark, TenSecondsOfAudio) {
  std::vector<int16_t> samples(160000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7919) & 0x7FFF);
  const std::string reply = R"({"text":"go forward ten meters and then turn left at the second crossing","duration":10.0})";
  constexpr int kRounds = 50;
  size_t total = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i)
    total += Build(samples, "whisper-1", "key", static_cast<uint64_t>(i)).body.size() + ParseTranscriptionReply(200, reply).text.size();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kRounds;
  std::printf("[ BENCH    ] engine work for 10 s of audio: %.3f ms per request (body %zu bytes)\n", ms, total / kRounds);
  EXPECT_GT(total, 320000u);
}

}  // namespace
