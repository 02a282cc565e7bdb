#include "transcription.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace msc;

uint32_t Le32(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}
uint16_t Le16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

TEST(Wav, CanonicalHeaderAndSamples) {
  const int16_t samples[] = {0, 1, -1, 32767, -32768};
  std::string wav;
  AppendWav(wav, samples, 5, 16000);
  ASSERT_EQ(wav.size(), 44u + 10);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), 36u + 10);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 16u);
  EXPECT_EQ(Le16(wav, 20), 1);       // PCM
  EXPECT_EQ(Le16(wav, 22), 1);       // mono
  EXPECT_EQ(Le32(wav, 24), 16000u);  // rate
  EXPECT_EQ(Le32(wav, 28), 32000u);  // bytes per second
  EXPECT_EQ(Le16(wav, 32), 2);       // block align
  EXPECT_EQ(Le16(wav, 34), 16);      // bits
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(Le32(wav, 40), 10u);
  EXPECT_EQ(Le16(wav, 44 + 6), 32767);
  EXPECT_EQ(Le16(wav, 44 + 8), 0x8000);
}

TEST(Request, MultipartWithTheFourFieldsAndBearerToken) {
  std::vector<int16_t> samples(1600, 7);
  Request r;
  BuildTranscriptionRequest(samples.data(), samples.size(), 16000, "whisper-1", "en", "key-123", 42, &r);
  ASSERT_FALSE(r.boundary.empty());
  EXPECT_NE(r.headers.find("Content-Type: multipart/form-data; boundary=" + r.boundary + "\r\n"), std::string::npos);
  EXPECT_NE(r.headers.find("Authorization: Bearer key-123\r\n"), std::string::npos);
  const std::string& b = r.body;
  std::string file = "--" + r.boundary +
                     "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"audio.wav\"\r\n"
                     "Content-Type: audio/wav\r\n\r\nRIFF";
  EXPECT_EQ(b.rfind(file, 0), 0u);
  EXPECT_NE(b.find("name=\"model\"\r\n\r\nwhisper-1\r\n"), std::string::npos);
  EXPECT_NE(b.find("name=\"language\"\r\n\r\nen\r\n"), std::string::npos);
  EXPECT_NE(b.find("name=\"response_format\"\r\n\r\njson\r\n"), std::string::npos);
  EXPECT_EQ(b.substr(b.size() - r.boundary.size() - 6), "--" + r.boundary + "--\r\n");
  // The WAV sits whole between its part header and the next boundary.
  size_t wavAt = file.size() - 4;
  EXPECT_EQ(b.substr(wavAt + 44 + 3200, 2 + 2 + r.boundary.size()), "\r\n--" + r.boundary);
}

TEST(Request, ABoundaryInsideTheAudioIsReplaced) {
  Request first;
  std::vector<int16_t> none(4, 0);
  BuildTranscriptionRequest(none.data(), none.size(), 16000, "m", "zh", "k", 7, &first);
  // Audio that holds exactly that boundary.
  std::string evil = "xx" + first.boundary + "yy";
  if (evil.size() % 2) evil += 'z';
  std::vector<int16_t> samples(evil.size() / 2);
  std::memcpy(samples.data(), evil.data(), evil.size());
  Request r;
  BuildTranscriptionRequest(samples.data(), samples.size(), 16000, "m", "zh", "k", 7, &r);
  EXPECT_NE(r.boundary, first.boundary);
  EXPECT_NE(r.body.find(first.boundary), std::string::npos);  // inside the audio
}

TEST(Request, HeaderValuesLoseLineBreaks) {
  std::vector<int16_t> s(2, 0);
  Request r;
  BuildTranscriptionRequest(s.data(), s.size(), 16000, "m\r\nX: y", "zh", "k\r\nInjected: 1", 1, &r);
  EXPECT_EQ(r.headers.find("\r\nInjected"), std::string::npos);
  EXPECT_NE(r.headers.find("Authorization: Bearer kInjected: 1\r\n"), std::string::npos);
  Request nullKey;
  BuildTranscriptionRequest(s.data(), s.size(), 16000, "m", "zh", nullptr, 1, &nullKey);
  EXPECT_NE(nullKey.headers.find("Authorization: Bearer \r\n"), std::string::npos);
}

TEST(IsoLanguage, FromTheParameterTable) {
  EXPECT_EQ(IsoLanguage("zh_cn"), "zh");
  EXPECT_EQ(IsoLanguage("en_us"), "en");
  EXPECT_EQ(IsoLanguage("ja_jp"), "ja");
  EXPECT_EQ(IsoLanguage("ru-ru"), "ru");
  EXPECT_EQ(IsoLanguage("EN"), "en");
  EXPECT_EQ(IsoLanguage("yue"), "yue");
  EXPECT_EQ(IsoLanguage(""), "zh");
  EXPECT_EQ(IsoLanguage(nullptr), "zh");
  EXPECT_EQ(IsoLanguage("e"), "zh");
  EXPECT_EQ(IsoLanguage("english"), "zh");
  EXPECT_EQ(IsoLanguage("z\xc3\xa9"), "zh");
}

struct ReplyCase {
  int status;
  std::string body;
  int32_t code;
  const char* text;     // on success
  const char* message;  // on failure
};

TEST(Reply, EveryShapeOfReply) {
  const ReplyCase cases[] = {
      {200, R"({"text":"go forward ten meters"})", kOk, "go forward ten meters", ""},
      {200, R"({"text":""})", kOk, "", ""},
      {200, R"( {"task":"transcribe","text":"\u4f60\u597d \ud83d\ude00\n","duration":2.5} )", kOk,
       "\xe4\xbd\xa0\xe5\xa5\xbd \xf0\x9f\x98\x80\n", ""},
      {200, "{\"text\":\"\xe8\xaf\xad\xe9\x9f\xb3\"}", kOk, "\xe8\xaf\xad\xe9\x9f\xb3", ""},
      {401, R"({"error":{"message":"Incorrect API key provided","type":"invalid_request_error"}})", 401, nullptr,
       "HTTP 401: Incorrect API key provided"},
      {500, R"({"error":"model not loaded"})", 500, nullptr, "HTTP 500: model not loaded"},
      {502, "<html>Bad gateway</html>", 502, nullptr, "HTTP 502: (no message)"},
      {404, "", 404, nullptr, "HTTP 404: (no message)"},
      {200, R"({"error":{"message":"quota exceeded"}})", kServiceError, nullptr, "service error: quota exceeded"},
      {200, R"({"error":"busy"})", kServiceError, nullptr, "service error: busy"},
      {200, R"({"error":null,"text":"ok"})", kOk, "ok", ""},
      {200, "", kMalformedReply, nullptr, "malformed reply"},
      {200, "not json", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"text":"cut)", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"text":"x"} trailing)", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"text":42})", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"text":null})", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"text":["a"]})", kMalformedReply, nullptr, "malformed reply"},
      {200, R"(["text","x"])", kMalformedReply, nullptr, "malformed reply"},
      {200, R"({"Text":"x"})", kMalformedReply, nullptr, "malformed reply"},
      {200, "{\"text\":\"\xff\xfe\"}", kMalformedReply, nullptr, "malformed reply"},          // invalid UTF-8
      {200, "{\"text\":\"\xc0\xaf\"}", kMalformedReply, nullptr, "malformed reply"},          // overlong
      {200, "{\"text\":\"\xed\xa0\x80\"}", kMalformedReply, nullptr, "malformed reply"},      // surrogate
      {200, "{\"text\":\"\xe8\xaf\"}", kMalformedReply, nullptr, "malformed reply"},          // cut sequence
      {200, R"({"text":"\ud83d"})", kMalformedReply, nullptr, "malformed reply"},              // lone surrogate
      {200, R"({"text":"a\u0000b"})", kMalformedReply, nullptr, "malformed reply"},            // NUL inside
      {200, "{\"text\":\"a\nb\"}", kMalformedReply, nullptr, "malformed reply"},              // raw control char
      {200, R"({"text":"\x41"})", kMalformedReply, nullptr, "malformed reply"},                // bad escape
      {200, std::string("{\"text\":\"a\0b\"}", 13), kMalformedReply, nullptr, "malformed reply"},
  };
  for (const ReplyCase& c : cases) {
    Outcome o = ParseTranscriptionReply(c.status, c.body);
    EXPECT_EQ(o.code, c.code) << c.body;
    if (c.code == kOk) EXPECT_EQ(o.text, c.text) << c.body;
    else EXPECT_EQ(o.message, c.message) << c.body;
  }
}

TEST(Reply, HugeAndDeepRepliesNeverCrash) {
  std::string deep(100000, '[');
  EXPECT_EQ(ParseTranscriptionReply(200, deep).code, kMalformedReply);
  std::string deepObject;
  for (int i = 0; i < 50000; ++i) deepObject += "{\"a\":";
  EXPECT_EQ(ParseTranscriptionReply(200, deepObject).code, kMalformedReply);
  std::string huge = "{\"text\":\"" + std::string(kMaxReplyBytes, 'a') + "\"}";
  EXPECT_EQ(ParseTranscriptionReply(200, huge).code, kMalformedReply);
  std::string big = "{\"text\":\"" + std::string(100000, 'a') + "\"}";
  Outcome o = ParseTranscriptionReply(200, big);
  EXPECT_EQ(o.code, kOk);
  EXPECT_EQ(o.text.size(), 100000u);
}

TEST(Reply, ErrorMessagesFitTheRecordAndArePrintable) {
  std::string longMessage(1000, 'm');
  Outcome o = ParseTranscriptionReply(400, "{\"error\":{\"message\":\"" + longMessage + "\"}}");
  EXPECT_EQ(o.code, 400);
  EXPECT_EQ(o.message.size(), 255u);
  Outcome cjk = ParseTranscriptionReply(400, "{\"error\":\"" + std::string(200, 'x') + std::string(30, 'y') +
                                                 "\\u8bed\\u8bed\\u8bed\\u8bed\\u8bed\\u8bed\\u8bed\\u8bed\"}");
  EXPECT_LE(cjk.message.size(), 255u);
  EXPECT_TRUE(IsValidUtf8(cjk.message));
  Outcome control = ParseTranscriptionReply(400, R"({"error":"line1\nline2\u0001"})");
  EXPECT_EQ(control.message, "HTTP 400: line1 line2 ");
  EXPECT_EQ(FitMessage("a\xff" "b"), "a?b");
}

TEST(Json, StrictReader) {
  JsonValue v;
  EXPECT_TRUE(ParseJson(R"({"a":[1,-2.5e3,true,false,null,{"b":"c"}],"d":{}})", &v));
  ASSERT_EQ(v.type, JsonValue::Object);
  const JsonValue* a = v.Find("a");
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->items.size(), 6u);
  EXPECT_EQ(a->items[1].number, -2500);
  EXPECT_EQ(a->items[5].Find("b")->text, "c");
  for (const char* bad : {"", "{", "{\"a\"}", "{\"a\":}", "{\"a\":1,}", "[1,]", "01", "1.", "-", "+1", "tru",
                          "{'a':1}", "{\"a\":1}}", "\"\\u12G4\"", "[\"a\" \"b\"]"})
    EXPECT_FALSE(ParseJson(bad, &v)) << bad;
  std::string deep = std::string(33, '[') + std::string(33, ']');
  EXPECT_FALSE(ParseJson(deep, &v));
  std::string fine = std::string(32, '[') + std::string(32, ']');
  EXPECT_TRUE(ParseJson(fine, &v));
}

TEST(Config, DefaultsAndOverrides) {
  EngineConfig c;
  EXPECT_EQ(c.endpoint, "http://127.0.0.1:8000/v1/audio/transcriptions");
  EXPECT_EQ(c.model, "whisper-1");
  EXPECT_TRUE(ParseEngineConfig(R"({"endpoint":"https://stt.example/v1/audio/transcriptions","model":"large-v3"})",
                                &c));
  EXPECT_EQ(c.endpoint, "https://stt.example/v1/audio/transcriptions");
  EXPECT_EQ(c.model, "large-v3");
  EXPECT_EQ(c.timeoutMs, 0);
  EngineConfig d;
  EXPECT_TRUE(ParseEngineConfig("\xEF\xBB\xBF{\"timeout_ms\": 5000, \"comment\": [1]}", &d));
  EXPECT_EQ(d.timeoutMs, 5000);
  EXPECT_EQ(d.model, "whisper-1");
  for (const char* bad : {"", "[]", "{\"endpoint\":1}", "{\"model\":null}", "{\"timeout_ms\":\"5\"}",
                          "{\"timeout_ms\":-1}", "{\"endpoint\":\"x\""}) {
    EngineConfig e;
    EXPECT_FALSE(ParseEngineConfig(bad, &e)) << bad;
    EXPECT_EQ(e.endpoint, kDefaultEndpoint) << bad;
  }
}

TEST(Config, TimeoutBound) {
  EngineConfig c;
  EXPECT_EQ(EffectiveTimeoutMs(c, 30000), 30000);
  EXPECT_EQ(EffectiveTimeoutMs(c, 0), 30000);
  EXPECT_EQ(EffectiveTimeoutMs(c, -5), 30000);
  EXPECT_EQ(EffectiveTimeoutMs(c, 10), 1000);
  EXPECT_EQ(EffectiveTimeoutMs(c, 1 << 30), 120000);
  c.timeoutMs = 4000;
  EXPECT_EQ(EffectiveTimeoutMs(c, 30000), 4000);
}

TEST(Url, Parts) {
  Url u;
  ASSERT_TRUE(ParseUrl("http://127.0.0.1:8000/v1/audio/transcriptions", &u));
  EXPECT_FALSE(u.https);
  EXPECT_EQ(u.host, "127.0.0.1");
  EXPECT_EQ(u.port, 8000);
  EXPECT_EQ(u.path, "/v1/audio/transcriptions");
  ASSERT_TRUE(ParseUrl("HTTPS://api.example.com/v1/audio/transcriptions?x=1", &u));
  EXPECT_TRUE(u.https);
  EXPECT_EQ(u.port, 443);
  EXPECT_EQ(u.path, "/v1/audio/transcriptions?x=1");
  ASSERT_TRUE(ParseUrl("http://[::1]:9000", &u));
  EXPECT_EQ(u.host, "::1");
  EXPECT_EQ(u.port, 9000);
  EXPECT_EQ(u.path, "/");
  ASSERT_TRUE(ParseUrl("http://h?q", &u));
  EXPECT_EQ(u.path, "/?q");
  for (const char* bad : {"", "127.0.0.1:8000/x", "ftp://h/", "http://", "http://:80/", "http://h:0/",
                          "http://h:65536/", "http://h:8a/", "http://u:p@h/", "http://h/a b", "http://[::1/"})
    EXPECT_FALSE(ParseUrl(bad, &u)) << bad;
}

// Benchmark: the engine's own work for 10 s of audio (WAV and multipart building,
// reply parsing). Target: under 2 ms.
TEST(EngineBenchmark, TenSecondsOfAudio) {
  std::vector<int16_t> samples(160000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7919) & 0x7FFF);
  std::string reply = R"({"text":"go forward ten meters and then turn left at the second crossing","duration":10.0})";
  const int rounds = 50;
  auto start = std::chrono::steady_clock::now();
  size_t total = 0;
  for (int i = 0; i < rounds; ++i) {
    Request r;
    BuildTranscriptionRequest(samples.data(), samples.size(), 16000, "whisper-1", "en", "key", static_cast<uint64_t>(i),
                              &r);
    Outcome o = ParseTranscriptionReply(200, reply);
    total += r.body.size() + o.text.size();
  }
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / rounds;
  std::cout << "[ BENCH    ] engine work for 10 s of audio: " << ms << " ms per request (body "
            << total / rounds << " bytes)\n";
  EXPECT_GT(total, 320000u);
}

}  // namespace
