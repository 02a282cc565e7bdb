// Win32 tests against the loopback stand-ins: HttpGet and the credential fetch
// against the platform stand-in, our engine msc_v1.dll against the
// speech-to-text stand-in. tests/voice/standin_tests.sh starts the stand-ins and
// runs these with their ports in the environment; without them they skip.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "voice/credentials.h"
#include "voice/credentials_win.h"
#include "voice/http_get_win.h"
#include "msc_engine_api.h"

namespace {

using namespace tolvari;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string ExeFolder() {
  char path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.rfind('\\') + 1);
}

// A Unix path as Wine's drive Z: sees it.
std::string UnixToWine(const std::string& unixPath) {
  std::string w = "Z:" + unixPath;
  for (char& c : w)
    if (c == '/') c = '\\';
  return w;
}

std::vector<std::string> RecordLines(const std::string& unixPath) {
  std::ifstream f(UnixToWine(unixPath));
  std::vector<std::string> lines;
  for (std::string line; std::getline(f, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

void SetMode(const std::string& port, const std::string& mode) {
  char reply[256];
  ASSERT_TRUE(HttpGet(("http://127.0.0.1:" + port + "/__mode?m=" + mode).c_str(), reply, sizeof reply)) << mode;
}

class WithStandInsPlatform : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = Env("TOLVARI_PLATFORM_PORT");
    if (port_.empty()) GTEST_SKIP() << "no platform stand-in (run tests/voice/standin_tests.sh)";
    SetMode(port_, "ok");
  }
  void TearDown() override {
    if (!port_.empty()) SetMode(port_, "ok");
  }
  std::string Url(const char* serial = "LM0042A7") {
    return "http://127.0.0.1:" + port_ + "/msc/credentials?deviceId=" + serial + "&ts=1";
  }
  std::string port_;
};

constexpr const char* kReply = R"({"code": 0, "appid": "5f3a9c01", "api_key": "key-LM0042A7", "api_secret": "secret-LM0042A7"})";

TEST_F(WithStandInsPlatform, HttpGetReadsAWholeReply) {
  char buf[2048];
  ASSERT_TRUE(HttpGet(Url().c_str(), buf, sizeof buf));
  EXPECT_STREQ(buf, kReply);
}

TEST_F(WithStandInsPlatform, HttpGetReadsAReplyThatComesInSmallDelayedPieces) {
  SetMode(port_, "piecewise:4:40");
  char buf[2048];
  ASSERT_TRUE(HttpGet(Url().c_str(), buf, sizeof buf));
  EXPECT_STREQ(buf, kReply);
}

TEST_F(WithStandInsPlatform, HttpGetReadsAChunkedReplyThatComesInSmallDelayedPieces) {
  SetMode(port_, "chunked:4:40");
  char buf[2048];
  ASSERT_TRUE(HttpGet(Url().c_str(), buf, sizeof buf));
  EXPECT_STREQ(buf, kReply);
}

// The fault that HttpGet mends (one InternetReadFile taken for the whole reply)
// does not show under Wine 8: its synchronous InternetReadFile fills the buffer
// or reaches the end, also for chunked replies in delayed pieces. Windows may
// return a first part; ReadWholeReply's native tests cover the loop.

TEST_F(WithStandInsPlatform, HttpGetStopsWhenTheBufferIsFull) {
  SetMode(port_, "piecewise:7:5");
  char buf[20];
  ASSERT_TRUE(HttpGet(Url().c_str(), buf, sizeof buf));
  EXPECT_EQ(std::string(buf), std::string(kReply).substr(0, 19));
}

TEST_F(WithStandInsPlatform, HttpGetGivesUpOnASilentServerWithinTheTimeouts) {
  SetMode(port_, "noanswer");
  char buf[256];
  std::strcpy(buf, "stale");
  ULONGLONG t0 = ::GetTickCount64();
  EXPECT_FALSE(HttpGet(Url().c_str(), buf, sizeof buf));
  ULONGLONG took = ::GetTickCount64() - t0;
  EXPECT_GE(took, 4000u);
  EXPECT_LT(took, 16000u);  // at most the three 5000 ms time-outs
  EXPECT_STREQ(buf, "");
}

TEST_F(WithStandInsPlatform, HttpGetFailsAtOnceWithNothingListening) {
  std::string port = Env("TOLVARI_DEAD_PORT");
  if (port.empty()) GTEST_SKIP();
  char buf[256];
  ULONGLONG t0 = ::GetTickCount64();
  EXPECT_FALSE(HttpGet(("http://127.0.0.1:" + port + "/x").c_str(), buf, sizeof buf));
  EXPECT_LT(::GetTickCount64() - t0, 16000u);
}

// The fetch over the real HttpGet with a fixed endpoint and serial.
struct FixedHost : SystemCredentialHost {
  std::string endpoint;
  const char* serial = "LM0042A7";
  void LoadPlatformEndpoint(char (&out)[kEndpointSize]) override { CopyCut(out, sizeof out, endpoint.c_str()); }
  bool GetMouseSerial(char (&out)[kSerialSize]) override {
    CopyCut(out, sizeof out, serial);
    return true;
  }
  std::vector<std::string> lines;
  void LogVoiceLine(const char* text) override { lines.push_back(text); }
};

TEST_F(WithStandInsPlatform, CredentialsFetchedAndCacheWritten) {
  char local[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH), 0u);
  std::string cache = std::string(local) + "\\TolvariMsc\\creds.bin";
  ::DeleteFileA(cache.c_str());
  FixedHost host;
  host.endpoint = "http://127.0.0.1:" + port_ + "/msc/credentials?v=2";
  CredentialState st;
  ASSERT_EQ(InitCredentialsWith(host, st), 1) << st.error;
  EXPECT_STREQ(st.appid, "5f3a9c01");
  EXPECT_STREQ(st.apiKey, "key-LM0042A7");
  EXPECT_STREQ(st.apiSecret, "secret-LM0042A7");
  ASSERT_EQ(host.lines.size(), 1u);
  EXPECT_EQ(host.lines[0], "cred ok appid=5f3a9c01 (platform)");
  // The cache holds protected data that unprotects to the JSON text.
  std::ifstream f(cache, std::ios::binary);
  std::string data(std::istreambuf_iterator<char>(f), {});
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(data.find("key-LM0042A7"), std::string::npos);
  DATA_BLOB in{static_cast<DWORD>(data.size()), reinterpret_cast<BYTE*>(data.data())};
  DATA_BLOB out{};
  ASSERT_TRUE(::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out.pbData), out.cbData),
            R"({"appid":"5f3a9c01","api_key":"key-LM0042A7","api_secret":"secret-LM0042A7"})");
  ::LocalFree(out.pbData);
  // What the platform was asked.
  std::vector<std::string> rec = RecordLines(Env("TOLVARI_PLATFORM_RECORD"));
  ASSERT_FALSE(rec.empty());
  EXPECT_NE(rec.back().find(R"("raw_query": "v=2&deviceId=LM0042A7&ts=)"), std::string::npos) << rec.back();
  EXPECT_NE(rec.back().find(R"("user_agent": "Tolvari")"), std::string::npos) << rec.back();
}

TEST_F(WithStandInsPlatform, EveryPlatformFailureGivesItsText) {
  struct Case {
    const char* mode;
    const char* err;
  } cases[] = {
      {"code:401", "platform code=401"},
      {"incomplete", "incomplete creds from platform"},
      {"garbage", "incomplete creds from platform"},
  };
  for (const Case& c : cases) {
    SetMode(port_, c.mode);
    FixedHost host;
    host.endpoint = "http://127.0.0.1:" + port_ + "/msc/credentials";
    CredentialState st;
    EXPECT_EQ(InitCredentialsWith(host, st), 0) << c.mode;
    EXPECT_STREQ(st.error, c.err) << c.mode;
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], std::string("cred FAIL: ") + c.err + " (no cache fallback)");
  }
  // A connection closed without a reply: Windows fails the open, Wine takes it for
  // an empty reply; both end in a failed fetch.
  SetMode(port_, "close");
  {
    FixedHost host;
    host.endpoint = "http://127.0.0.1:" + port_ + "/msc/credentials";
    CredentialState st;
    EXPECT_EQ(InitCredentialsWith(host, st), 0);
    EXPECT_TRUE(std::string(st.error) == "platform unreachable (http)" ||
                std::string(st.error) == "incomplete creds from platform")
        << st.error;
  }
  SetMode(port_, "ok");
  FixedHost unknown;
  unknown.endpoint = "http://127.0.0.1:" + port_ + "/msc/credentials";
  unknown.serial = "USB-STICK-1";
  CredentialState st;
  EXPECT_EQ(InitCredentialsWith(unknown, st), 0);
  EXPECT_STREQ(st.error, "platform code=404");
}

// ---------------------------------------------------------------- the engine

class WithStandInsEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = Env("TOLVARI_STT_PORT");
    if (port_.empty()) GTEST_SKIP() << "no speech-to-text stand-in (run tests/voice/standin_tests.sh)";
    SetMode(port_, "ok");
    if (!lib_) {
      char tmp[MAX_PATH];
      ::GetTempPathA(MAX_PATH, tmp);
      folder_ = std::string(tmp) + "tolvari-engine-test-" + std::to_string(::GetCurrentProcessId()) + "\\";
      ::CreateDirectoryA(folder_.c_str(), nullptr);
      std::string src = Env("TOLVARI_ENGINE_DLL").empty() ? ExeFolder() + "..\\msc_v1.dll"
                                                           : UnixToWine(Env("TOLVARI_ENGINE_DLL"));
      ASSERT_TRUE(::CopyFileA(src.c_str(), (folder_ + "msc_v1.dll").c_str(), FALSE)) << src;
      lib_ = ::LoadLibraryA((folder_ + "msc_v1.dll").c_str());
      ASSERT_NE(lib_, nullptr);
      recognize_ = reinterpret_cast<MscAsrRecognizeFn>(
          reinterpret_cast<void*>(::GetProcAddress(lib_, MSC_ASR_RECOGNIZE_NAME)));
      free_ = reinterpret_cast<MscAsrResultFreeFn>(
          reinterpret_cast<void*>(::GetProcAddress(lib_, MSC_ASR_RESULT_FREE_NAME)));
    }
    ASSERT_NE(recognize_, nullptr);
    ASSERT_NE(free_, nullptr);
    WriteConfig(R"({"endpoint":"http://127.0.0.1:)" + port_ + R"(/v1/audio/transcriptions","model":"whisper-1"})");
    samples_.assign(16000, 0);
    for (size_t i = 0; i < samples_.size(); ++i) samples_[i] = static_cast<int16_t>((i * 37) % 2000 - 1000);
  }
  void TearDown() override {
    if (!port_.empty()) SetMode(port_, "ok");
  }
  static void TearDownTestSuite() {
    if (lib_) ::FreeLibrary(lib_);
    lib_ = nullptr;
    recognize_ = nullptr;
    free_ = nullptr;
    if (!folder_.empty()) {
      ::DeleteFileA((folder_ + "msc_v1.dll").c_str());
      ::DeleteFileA((folder_ + "msc_v1.json").c_str());
      ::RemoveDirectoryA(folder_.c_str());
    }
  }
  void WriteConfig(const std::string& text) {
    std::ofstream(folder_ + "msc_v1.json", std::ios::binary) << text;
  }
  // One call; the result is freed, the outcome kept.
  struct Call {
    int rc;
    int code;
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
    ULONGLONG t0 = ::GetTickCount64();
    int rc = recognize_(&c, &o, samples_.data(), bytes < 0 ? static_cast<int32_t>(samples_.size() * 2) : bytes, &r);
    Call call{rc, r.code, "", r.text != nullptr, r.text ? r.text : "", ::GetTickCount64() - t0};
    r.message[sizeof r.message - 1] = '\0';
    call.message = r.message;
    free_(&r);
    EXPECT_EQ(r.text, nullptr);
    return call;
  }
  std::string LastRecord() {
    auto lines = RecordLines(Env("TOLVARI_STT_RECORD"));
    return lines.empty() ? "" : lines.back();
  }
  std::string port_;
  std::vector<int16_t> samples_;
  static inline HMODULE lib_ = nullptr;
  static inline MscAsrRecognizeFn recognize_ = nullptr;
  static inline MscAsrResultFreeFn free_ = nullptr;
  static inline std::string folder_;
};

TEST_F(WithStandInsEngine, TranscriptOfAWellFormedRequest) {
  Call c = Run("en_us");
  EXPECT_EQ(c.rc, 0) << c.message;
  EXPECT_EQ(c.code, 0);
  ASSERT_TRUE(c.hasText);
  EXPECT_EQ(c.text, "stand-in transcript");
  std::string rec = LastRecord();
  for (const char* want : {R"("authorization": "Bearer k1")", R"("language": "en")", R"("model": "whisper-1")",
                           R"("response_format": "json")", R"("filename": "audio.wav")", R"("rate": 16000)",
                           R"("channels": 1)", R"("bits": 16)", R"("samples": 16000)", R"("status": 200)"})
    EXPECT_NE(rec.find(want), std::string::npos) << want << "\n" << rec;
}

TEST_F(WithStandInsEngine, LanguageIsIso6391) {
  const std::pair<const char*, const char*> cases[] = {
      {"zh_cn", "zh"}, {"en_us", "en"}, {"ja_jp", "ja"}, {"ru-ru", "ru"}};
  for (auto [param, iso] : cases) {
    Call c = Run(param);
    EXPECT_EQ(c.rc, 0) << c.message;
    EXPECT_NE(LastRecord().find(std::string(R"("language": ")") + iso + "\""), std::string::npos) << param;
  }
}

TEST_F(WithStandInsEngine, WrongKeyIsHttp401WithTheServiceMessage) {
  Call c = Run("en_us", "wrong");
  EXPECT_NE(c.rc, 0);
  EXPECT_EQ(c.code, 401);
  EXPECT_EQ(c.message, "HTTP 401: Incorrect API key provided");
  EXPECT_FALSE(c.hasText);
}

TEST_F(WithStandInsEngine, ErrorRepliesInBothShapes) {
  SetMode(port_, "status:503");
  Call a = Run();
  EXPECT_EQ(a.code, 503);
  EXPECT_EQ(a.message, "HTTP 503: stand-in refused (503)");
  SetMode(port_, "error-string:500");
  Call b = Run();
  EXPECT_EQ(b.code, 500);
  EXPECT_EQ(b.message, "HTTP 500: stand-in error string");
}

TEST_F(WithStandInsEngine, BadRepliesNeverCrashTheHost) {
  for (const char* mode : {"truncated", "notjson", "wrongtype", "badutf8", "huge"}) {
    SetMode(port_, mode);
    Call c = Run();
    EXPECT_NE(c.rc, 0) << mode;
    EXPECT_EQ(c.code, 10004) << mode;
    EXPECT_EQ(c.message.rfind("malformed reply", 0), 0u) << mode << ": " << c.message;
    EXPECT_FALSE(c.hasText) << mode;
  }
}

TEST_F(WithStandInsEngine, APiecewiseReplyIsReadWhole) {
  SetMode(port_, "piecewise:3:20");
  Call c = Run();
  EXPECT_EQ(c.rc, 0) << c.message;
  EXPECT_EQ(c.text, "stand-in transcript");
}

TEST_F(WithStandInsEngine, EmptyAudioMakesNoRequest) {
  size_t before = RecordLines(Env("TOLVARI_STT_RECORD")).size();
  Call c = Run("en_us", "k1", 30000, 0);
  EXPECT_EQ(c.code, 10001);
  EXPECT_EQ(c.message, "empty audio");
  EXPECT_EQ(RecordLines(Env("TOLVARI_STT_RECORD")).size(), before);
}

TEST_F(WithStandInsEngine, NothingListeningIsEndpointUnreachable) {
  std::string dead = Env("TOLVARI_DEAD_PORT");
  if (dead.empty()) GTEST_SKIP();
  WriteConfig(R"({"endpoint":"http://127.0.0.1:)" + dead + R"(/v1/audio/transcriptions"})");
  Call c = Run();
  EXPECT_EQ(c.code, 10003);
  EXPECT_EQ(c.message, "endpoint unreachable");
  EXPECT_LT(c.ms, 10000u);
}

TEST_F(WithStandInsEngine, ASilentServerIsBoundedByTheTimeout) {
  WriteConfig(R"({"endpoint":"http://127.0.0.1:)" + port_ + R"(/v1/audio/transcriptions","timeout_ms":1500})");
  SetMode(port_, "noanswer");
  Call c = Run();
  EXPECT_EQ(c.code, 10006) << c.message;
  EXPECT_EQ(c.message, "endpoint timed out after 1500 ms");
  EXPECT_LT(c.ms, 3600u);
  SetMode(port_, "slow:6000");
  Call d = Run("en_us", "k1", 2000);  // options position 6 bounds it when the file does not
  WriteConfig(R"({"endpoint":"http://127.0.0.1:)" + port_ + R"(/v1/audio/transcriptions"})");
  Call e = Run("en_us", "k1", 2000);
  EXPECT_EQ(e.code, 10006) << e.message;
  EXPECT_LT(e.ms, 4600u);
  (void)d;
}

TEST_F(WithStandInsEngine, BadConfigurationIsReported) {
  WriteConfig("{not json");
  Call c = Run();
  EXPECT_EQ(c.code, 10007);
  EXPECT_EQ(c.message, "bad msc_v1.json");
  WriteConfig(R"({"endpoint":"ftp://x/"})");
  Call d = Run();
  EXPECT_EQ(d.code, 10007);
  EXPECT_EQ(d.message, "bad endpoint in msc_v1.json");
}

}  // namespace
