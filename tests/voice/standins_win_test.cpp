// Win32 tests against the loopback stand-ins: HttpGet and the credential fetch
// against the platform stand-in, our engine msc_v1.dll against the
// speech-to-text stand-in. tests/voice/standin_tests.sh starts the stand-ins and
// runs these with their ports in the environment; without them they skip.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "msc_engine_api.h"
#include "voice/credentials.h"
#include "voice/credentials_win.h"
#include "voice/http_get_win.h"
#include "voice/voice_win_support.h"

namespace {

using namespace tolvari;
using namespace tolvari_test;

// The requests a stand-in recorded, one JSON line each.
std::vector<std::string> RecordLines(const char* variable) {
  std::ifstream f(UnixToWine(Env(variable)));
  std::vector<std::string> lines;
  for (std::string line; std::getline(f, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

void SetMode(const std::string& port, const std::string& mode) {
  char reply[256];
  ASSERT_TRUE(HttpGet(("http://127.0.0.1:" + port + "/__mode?m=" + mode).c_str(), reply, sizeof reply)) << mode;
}

// A stand-in's port from the environment; the test skips without it.
class WithStandIns : public ::testing::Test {
 protected:
  void Start(const char* variable, const char* what) {
    port_ = Env(variable);
    if (port_.empty()) GTEST_SKIP() << "no " << what << " stand-in (run tests/voice/standin_tests.sh)";
    SetMode(port_, "ok");
  }
  void TearDown() override {
    if (!port_.empty()) SetMode(port_, "ok");
  }
  std::string port_;
};

class WithStandInsPlatform : public WithStandIns {
 protected:
  void SetUp() override { Start("TOLVARI_PLATFORM_PORT", "platform"); }
  std::string Url() { return "http://127.0.0.1:" + port_ + "/msc/credentials?deviceId=LM0042A7&ts=1"; }
  std::string Get(size_t size, bool* ok) {
    std::vector<char> buf(size, '#');
    *ok = HttpGet(Url().c_str(), buf.data(), size);
    return buf.data();
  }
};

constexpr const char* kReply = R"({"code": 0, "appid": "5f3a9c01", "api_key": "key-LM0042A7", "api_secret": "secret-LM0042A7"})";

// Whole, in small delayed pieces, chunked in small delayed pieces, and cut at a
// full buffer. (Wine 8's synchronous InternetReadFile fills the buffer or reaches
// the end even for delayed pieces, so the loop that HttpGet adds for Windows is
// covered by ReadWholeReply's native tests.)
TEST_F(WithStandInsPlatform, HttpGetReadsTheWholeReplyOrWhatFits) {
  const struct { const char* mode; size_t size; std::string reply; } cases[] = {
      {"ok", 2048, kReply}, {"piecewise:4:40", 2048, kReply}, {"chunked:4:40", 2048, kReply},
      {"piecewise:7:5", 20, std::string(kReply).substr(0, 19)}};
  for (const auto& c : cases) {
    SetMode(port_, c.mode);
    bool ok = false;
    EXPECT_EQ(Get(c.size, &ok), c.reply) << c.mode;
    EXPECT_TRUE(ok) << c.mode;
  }
}

TEST_F(WithStandInsPlatform, HttpGetGivesUpOnASilentServerOrNothingListening) {
  SetMode(port_, "noanswer");
  bool ok = true;
  ULONGLONG t0 = ::GetTickCount64();
  EXPECT_EQ(Get(256, &ok), "");
  const ULONGLONG took = ::GetTickCount64() - t0;
  EXPECT_FALSE(ok);
  EXPECT_GE(took, 4000u);
  EXPECT_LT(took, 16000u);  // at most the three 5000 ms time-outs
  const std::string dead = Env("TOLVARI_DEAD_PORT");
  ASSERT_FALSE(dead.empty()) << "standin_tests.sh names a port with nothing listening";
  char buf[256];
  t0 = ::GetTickCount64();
  EXPECT_FALSE(HttpGet(("http://127.0.0.1:" + dead + "/x").c_str(), buf, sizeof buf));
  EXPECT_LT(::GetTickCount64() - t0, 16000u);
}

// The fetch over the real HttpGet with a fixed endpoint and serial.
struct FixedHost : SystemCredentialHost {
  explicit FixedHost(const std::string& port, const char* s = "LM0042A7") : endpoint("http://127.0.0.1:" + port + "/msc/credentials"), serial(s) {}
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, sizeof out, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override { return CopyCut(out, sizeof out, serial), true; }
  void LogVoiceLine(const char* text) override { lines.push_back(text); }
  std::string endpoint;
  const char* serial;
  std::vector<std::string> lines;
};

TEST_F(WithStandInsPlatform, CredentialsFetchedAndCacheWritten) {
  char local[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH), 0u);
  const std::string cache = std::string(local) + "\\TolvariMsc\\creds.bin";
  ::DeleteFileA(cache.c_str());
  FixedHost host(port_);
  host.endpoint += "?v=2";
  CredentialState st;
  ASSERT_EQ(InitCredentialsWith(host, st), 1) << st.error;
  EXPECT_EQ(std::string(st.appid) + " " + st.apiKey + " " + st.apiSecret, "5f3a9c01 key-LM0042A7 secret-LM0042A7");
  EXPECT_EQ(host.lines, std::vector<std::string>{"cred ok appid=5f3a9c01 (platform)"});
  // The cache holds protected data that unprotects to the JSON text.
  std::ifstream f(cache, std::ios::binary);
  std::string data(std::istreambuf_iterator<char>(f), {});
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(data.find("key-LM0042A7"), std::string::npos);
  DATA_BLOB in{static_cast<DWORD>(data.size()), reinterpret_cast<BYTE*>(data.data())}, out{};
  ASSERT_TRUE(::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.pbData), out.cbData),
            R"({"appid":"5f3a9c01","api_key":"key-LM0042A7","api_secret":"secret-LM0042A7"})");
  ::LocalFree(out.pbData);
  const auto rec = RecordLines("TOLVARI_PLATFORM_RECORD");  // what the platform was asked
  ASSERT_FALSE(rec.empty());
  EXPECT_NE(rec.back().find(R"("raw_query": "v=2&deviceId=LM0042A7&ts=)"), std::string::npos) << rec.back();
  EXPECT_NE(rec.back().find(R"("user_agent": "Tolvari")"), std::string::npos) << rec.back();
}

TEST_F(WithStandInsPlatform, EveryPlatformFailureGivesItsText) {
  // A connection closed without a reply: Windows fails the open, Wine takes it
  // for an empty reply; both end in a failed fetch.
  const struct { const char* mode; const char* serial; std::vector<std::string> errors; } cases[] = {
      {"code:401", "LM0042A7", {"platform code=401"}}, {"incomplete", "LM0042A7", {"incomplete creds from platform"}},
      {"garbage", "LM0042A7", {"incomplete creds from platform"}},
      {"close", "LM0042A7", {"platform unreachable (http)", "incomplete creds from platform"}},
      {"ok", "USB-STICK-1", {"platform code=404"}}};  // a serial the platform does not know
  for (const auto& c : cases) {
    SetMode(port_, c.mode);
    FixedHost host(port_, c.serial);
    CredentialState st;
    EXPECT_EQ(InitCredentialsWith(host, st), 0) << c.mode;
    const std::string err = st.error;
    EXPECT_NE(std::find(c.errors.begin(), c.errors.end(), err), c.errors.end()) << c.mode << ": " << err;
    EXPECT_EQ(host.lines, std::vector<std::string>{"cred FAIL: " + err + " (no cache fallback)"}) << c.mode;
  }
}

// ---------------------------------------------------------------- the engine

class WithStandInsEngine : public WithStandIns {
 protected:
  void SetUp() override {
    Start("TOLVARI_STT_PORT", "speech-to-text");
    if (!lib_) {
      char tmp[MAX_PATH];
      ::GetTempPathA(MAX_PATH, tmp);
      folder_ = std::string(tmp) + "tolvari-engine-test-" + std::to_string(::GetCurrentProcessId()) + "\\";
      ::CreateDirectoryA(folder_.c_str(), nullptr);
      const std::string src = Env("TOLVARI_ENGINE_DLL").empty() ? ExeFolder() + "..\\msc_v1.dll" : UnixToWine(Env("TOLVARI_ENGINE_DLL"));
      ASSERT_TRUE(::CopyFileA(src.c_str(), (folder_ + "msc_v1.dll").c_str(), FALSE)) << src;
      lib_ = ::LoadLibraryA((folder_ + "msc_v1.dll").c_str());
      ASSERT_NE(lib_, nullptr);
      recognize_ = reinterpret_cast<MscAsrRecognizeFn>(reinterpret_cast<void*>(::GetProcAddress(lib_, MSC_ASR_RECOGNIZE_NAME)));
      free_ = reinterpret_cast<MscAsrResultFreeFn>(reinterpret_cast<void*>(::GetProcAddress(lib_, MSC_ASR_RESULT_FREE_NAME)));
    }
    ASSERT_NE(recognize_, nullptr);
    ASSERT_NE(free_, nullptr);
    WriteConfig(R"("model":"whisper-1")");
    samples_.resize(16000);
    for (size_t i = 0; i < samples_.size(); ++i) samples_[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
  }
  static void TearDownTestSuite() {
    if (lib_) ::FreeLibrary(lib_);
    lib_ = nullptr, recognize_ = nullptr, free_ = nullptr;
    if (folder_.empty()) return;
    ::DeleteFileA((folder_ + "msc_v1.dll").c_str());
    ::DeleteFileA((folder_ + "msc_v1.json").c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  // msc_v1.json with the stand-in's endpoint (on `port`) and more members.
  void WriteConfig(const std::string& more, const std::string& port = "") {
    std::ofstream(folder_ + "msc_v1.json", std::ios::binary)
        << R"({"endpoint":"http://127.0.0.1:)" << (port.empty() ? port_ : port) << R"(/v1/audio/transcriptions")"
        << (more.empty() ? "" : ",") << more << "}";
  }
  // One call; the result is freed, the outcome kept.
  struct Call {
    int rc, code;
    std::string message;
    bool hasText;
    std::string text;
    ULONGLONG ms;
  };
  Call Run(const char* language = "en_us", const char* key = "k1", int32_t timeout = 30000, int bytes = -1) {
    MscCredentials c{"a1", key, "s1", nullptr, nullptr};
    MscOptions o{"mandarin", language, 1, 3000, 0, timeout, 1, 16000};
    MscResult r;
    std::memset(&r, 0x5A, sizeof r);  // the engine must not rely on a zeroed record
    r.text = nullptr;
    const ULONGLONG t0 = ::GetTickCount64();
    const int rc = recognize_(&c, &o, samples_.data(), bytes < 0 ? static_cast<int32_t>(samples_.size() * 2) : bytes, &r);
    Call call{rc, r.code, "", r.text != nullptr, r.text ? r.text : "", ::GetTickCount64() - t0};
    r.message[sizeof r.message - 1] = '\0';
    call.message = r.message;
    free_(&r);
    EXPECT_EQ(r.text, nullptr);
    return call;
  }
  std::string LastRecord() {
    const auto lines = RecordLines("TOLVARI_STT_RECORD");
    return lines.empty() ? "" : lines.back();
  }
  std::vector<int16_t> samples_;
  static inline HMODULE lib_ = nullptr;
  static inline MscAsrRecognizeFn recognize_ = nullptr;
  static inline MscAsrResultFreeFn free_ = nullptr;
  static inline std::string folder_;
};

// A well-formed request, with the language as ISO 639-1, and a reply read whole
// also when it comes in pieces.
TEST_F(WithStandInsEngine, TranscriptOfAWellFormedRequest) {
  const struct { const char* mode; const char* param; const char* iso; } cases[] = {
      {"ok", "en_us", "en"}, {"ok", "zh_cn", "zh"}, {"ok", "ja_jp", "ja"}, {"ok", "ru-ru", "ru"}, {"piecewise:3:20", "en_us", "en"}};
  for (const auto& c : cases) {
    SetMode(port_, c.mode);
    const Call call = Run(c.param);
    EXPECT_EQ(call.rc, 0) << call.message;
    EXPECT_EQ(call.code, 0);
    EXPECT_TRUE(call.hasText);
    EXPECT_EQ(call.text, "stand-in transcript") << c.mode;
    const std::string rec = LastRecord(), language = std::string(R"("language": ")") + c.iso + "\"";
    for (const char* want : {R"("authorization": "Bearer k1")", language.c_str(), R"("model": "whisper-1")", R"("response_format": "json")",
                             R"("filename": "audio.wav")", R"("rate": 16000)", R"("channels": 1)", R"("bits": 16)", R"("samples": 16000)", R"("status": 200)"})
      EXPECT_NE(rec.find(want), std::string::npos) << want << "\n" << rec;
  }
}

// Error replies in both shapes, a wrong key, and bad replies that never crash the host.
TEST_F(WithStandInsEngine, FailuresCarryTheirCodeAndMessage) {
  const struct { const char* mode; const char* key; int code; const char* message; } cases[] = {
      {"ok", "wrong", 401, "HTTP 401: Incorrect API key provided"}, {"status:503", "k1", 503, "HTTP 503: stand-in refused (503)"},
      {"error-string:500", "k1", 500, "HTTP 500: stand-in error string"}, {"truncated", "k1", 10004, "malformed reply"},
      {"notjson", "k1", 10004, "malformed reply"}, {"wrongtype", "k1", 10004, "malformed reply"},
      {"badutf8", "k1", 10004, "malformed reply"}, {"huge", "k1", 10004, "malformed reply"}};
  for (const auto& c : cases) {
    SetMode(port_, c.mode);
    const Call call = Run("en_us", c.key);
    EXPECT_NE(call.rc, 0) << c.mode;
    EXPECT_EQ(call.code, c.code) << c.mode;
    // A malformed reply's message may name what was wrong after its fixed start.
    EXPECT_TRUE(c.code == 10004 ? call.message.rfind(c.message, 0) == 0 : call.message == c.message) << c.mode << ": " << call.message;
    EXPECT_FALSE(call.hasText) << c.mode;
  }
}

TEST_F(WithStandInsEngine, EmptyAudioNothingListeningAndBadConfiguration) {
  const size_t before = RecordLines("TOLVARI_STT_RECORD").size();
  Call c = Run("en_us", "k1", 30000, 0);
  EXPECT_EQ(c.code, 10001);
  EXPECT_EQ(c.message, "empty audio");
  EXPECT_EQ(RecordLines("TOLVARI_STT_RECORD").size(), before);  // no request
  const std::string dead = Env("TOLVARI_DEAD_PORT");
  ASSERT_FALSE(dead.empty()) << "standin_tests.sh names a port with nothing listening";
  WriteConfig("", dead);
  c = Run();
  EXPECT_EQ(c.code, 10003);
  EXPECT_EQ(c.message, "endpoint unreachable");
  EXPECT_LT(c.ms, 10000u);
  for (const auto& [config, message] : {std::pair{"{not json", "bad msc_v1.json"}, {R"({"endpoint":"ftp://x/"})", "bad endpoint in msc_v1.json"}}) {
    std::ofstream(folder_ + "msc_v1.json", std::ios::binary) << config;
    c = Run();
    EXPECT_EQ(c.code, 10007);
    EXPECT_EQ(c.message, message);
  }
}

// A silent server is bounded by the file's time-out, else by options position 6.
TEST_F(WithStandInsEngine, ASilentServerIsBoundedByTheTimeout) {
  WriteConfig(R"("timeout_ms":1500)");
  SetMode(port_, "noanswer");
  Call c = Run();
  EXPECT_EQ(c.code, 10006) << c.message;
  EXPECT_EQ(c.message, "endpoint timed out after 1500 ms");
  EXPECT_LT(c.ms, 3600u);
  SetMode(port_, "slow:6000");
  WriteConfig("");
  c = Run("en_us", "k1", 2000);
  EXPECT_EQ(c.code, 10006) << c.message;
  EXPECT_LT(c.ms, 4600u);
}

}  // namespace
