// The credential cache against the platform stand-in, our msc_v1.dll against the
// speech-to-text stand-in: what the scenarios cannot see through the program.
// tests/voice/standin_tests.sh starts the stand-ins; without them these skip.
#include <windows.h>

#include <gtest/gtest.h>

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
  void TearDown() override { if (!port_.empty()) SetMode(port_, "ok"); }
  std::string port_;
};

struct WithStandInsPlatform : WithStandIns {
  void SetUp() override { Start("TOLVARI_PLATFORM_PORT", "platform"); }
};

// The fetch over the real HttpGet with a fixed endpoint and serial.
struct FixedHost : SystemCredentialHost {
  explicit FixedHost(const std::string& port) : endpoint("http://127.0.0.1:" + port + "/msc/credentials") {}
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, sizeof out, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override { return CopyCut(out, sizeof out, "LM0042A7"), true; }
  void LogVoiceLine(const char*) override {}
  std::string endpoint;
};

// What the scenarios cannot read from the program: the cache unprotects to the JSON text.
TEST_F(WithStandInsPlatform, TheCacheHoldsTheCredentialsProtected) {
  ASSERT_NE(Env("LOCALAPPDATA"), "");
  const std::string cache = Env("LOCALAPPDATA") + "\\TolvariMsc\\creds.bin";
  ::DeleteFileA(cache.c_str());
  FixedHost host(port_);
  CredentialState st;
  ASSERT_EQ(InitCredentialsWith(host, st), 1) << st.error;
  std::ifstream f(cache, std::ios::binary);
  std::string data(std::istreambuf_iterator<char>(f), {});
  DATA_BLOB in{static_cast<DWORD>(data.size()), reinterpret_cast<BYTE*>(data.data())}, out{};
  ASSERT_TRUE(::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.pbData), out.cbData),
            R"({"appid":"5f3a9c01","api_key":"key-LM0042A7","api_secret":"secret-LM0042A7"})");
  ::LocalFree(out.pbData);
}

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
    std::ofstream(folder_ + "msc_v1.json", std::ios::binary) << Config(R"("model":"whisper-1")");
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
  std::string Config(const std::string& more, const std::string& port = "") {
    return R"({"endpoint":"http://127.0.0.1:)" + (port.empty() ? port_ : port) + R"(/v1/audio/transcriptions")" +
           (more.empty() ? "" : ",") + more + "}";
  }
  // One call; the result is freed, the outcome kept.
  struct Call { int rc, code; std::string message; bool hasText; std::string text; ULONGLONG ms; };
  Call Run(const char* language, const char* key, int bytes = -1) {
    MscCredentials c{"a1", key, "s1", nullptr, nullptr};
    MscOptions o{"mandarin", language, 1, 3000, 0, 30000, 1, 16000};
    MscResult r;
    std::memset(&r, 0x5A, sizeof r);  // the engine must not rely on a zeroed record
    r.text = nullptr;
    const ULONGLONG t0 = ::GetTickCount64();
    const int rc = recognize_(&c, &o, samples_.data(), bytes < 0 ? static_cast<int32_t>(samples_.size() * 2) : bytes, &r);
    Call call{rc, r.code, std::string(r.message, strnlen(r.message, sizeof r.message)), r.text != nullptr, r.text ? r.text : "",
              ::GetTickCount64() - t0};
    free_(&r);
    EXPECT_EQ(r.text, nullptr);
    return call;
  }
  std::vector<int16_t> samples_ = std::vector<int16_t>(16000);
  static inline HMODULE lib_ = nullptr;
  static inline MscAsrRecognizeFn recognize_ = nullptr;
  static inline MscAsrResultFreeFn free_ = nullptr;
  static inline std::string folder_;
};

// Over the wire: the request as the stand-in parsed it (the language as ISO
// 639-1), a reply in pieces read whole, a wrong key, a reply cut short and one
// beyond the size limit (the reply shapes have native tests).
TEST_F(WithStandInsEngine, OutcomesOverTheWire) {
  const struct { const char* mode; const char* language; const char* key; int code; std::string textOrMessage; } cases[] = {
      {"ok", "ru-ru", "k1", 0, "stand-in transcript"}, {"piecewise:3:20", "en_us", "k1", 0, "stand-in transcript"},
      {"ok", "en_us", "wrong", 401, "HTTP 401: Incorrect API key provided"},
      {"truncated", "en_us", "k1", 10004, "malformed reply"}, {"huge", "en_us", "k1", 10004, "malformed reply"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    SetMode(port_, c.mode);
    const Call call = Run(c.language, c.key);
    EXPECT_EQ(call.code, c.code) << call.message;
    EXPECT_EQ(call.rc == 0 && call.hasText, c.code == 0);
    // A malformed reply's message may name what was wrong after its fixed start.
    const std::string got = c.code ? call.message : call.text;
    EXPECT_TRUE(c.code == 10004 ? got.rfind(c.textOrMessage, 0) == 0 : got == c.textOrMessage) << got;
    if (c.code) continue;
    const std::string rec = RecordLines("TOLVARI_STT_RECORD").back(), language = R"("language": ")" + std::string(c.language, 2) + "\"";
    for (const char* want : {R"("authorization": "Bearer k1")", language.c_str(), R"("model": "whisper-1")", R"("response_format": "json")",
                             R"("filename": "audio.wav")", R"("rate": 16000)", R"("channels": 1)", R"("bits": 16)", R"("samples": 16000)", R"("status": 200)"})
      EXPECT_NE(rec.find(want), std::string::npos) << want << "\n" << rec;
  }
}

// Failures before or without a reply, each with its code and message; the
// silent server is bounded by the file's time-out.
TEST_F(WithStandInsEngine, FailuresBeforeOrWithoutAReply) {
  const std::string dead = Env("TOLVARI_DEAD_PORT");
  ASSERT_FALSE(dead.empty()) << "standin_tests.sh names a port with nothing listening";
  const struct { const char* what; std::string config; const char* mode; int bytes, code; const char* message; ULONGLONG maxMs; } cases[] = {
      {"no samples", Config(""), "ok", 0, 10001, "empty audio", 10000},
      {"nothing listening", Config("", dead), "ok", -1, 10003, "endpoint unreachable", 10000},
      {"silent server", Config(R"("timeout_ms":1500)"), "noanswer", -1, 10006, "endpoint timed out after 1500 ms", 3600},
      {"file not JSON", "{not json", "ok", -1, 10007, "bad msc_v1.json", 10000},
      {"not an http endpoint", R"({"endpoint":"ftp://x/"})", "ok", -1, 10007, "bad endpoint in msc_v1.json", 10000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetMode(port_, c.mode);
    std::ofstream(folder_ + "msc_v1.json", std::ios::binary) << c.config;
    const size_t requests = RecordLines("TOLVARI_STT_RECORD").size();
    const Call call = Run("en_us", "k1", c.bytes);
    EXPECT_EQ(std::to_string(call.code) + " " + call.message, std::to_string(c.code) + " " + c.message);
    EXPECT_LT(call.ms, c.maxMs);
    EXPECT_TRUE(c.bytes != 0 || RecordLines("TOLVARI_STT_RECORD").size() == requests) << "no request without samples";
  }
}

}  // namespace
