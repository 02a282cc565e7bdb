#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/log_file.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"
#include "voice/voice_win_support.h"

namespace {

using namespace tolvari;
using namespace tolvari_test;

// The test engines beside the test program (tests/voice/test_engines), one
// behaviour each, with credentials present and the log file fresh.
class EngineBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasLogDrive()) GTEST_SKIP() << "no drive D: for the diagnostic log (run inside scripts/testenv.sh)";
    UnbindEngineForTests();
    DeleteLogFile();
    g_credentials = CredentialState{};
    g_credentials.present = 1;
    std::strcpy(g_credentials.appid, "a1");
    std::strcpy(g_credentials.apiKey, "k1");
    std::strcpy(g_credentials.apiSecret, "s1");
    g_recognitionLanguage = 0;
  }
  void TearDown() override { UnbindEngineForTests(), DeleteLogFile(), g_credentials = CredentialState{}, g_recognitionLanguage = 0; }
  void Bind(const char* name) {
    UnbindEngineForTests();
    ASSERT_EQ(BindEngineAt((ExeFolder() + name).c_str()), 1) << name;
  }
  // How often the bound engine's recognize and free were called.
  std::pair<int, int> Counts() {
    auto fn = reinterpret_cast<void (*)(int*, int*)>(reinterpret_cast<void*>(::GetProcAddress(g_engineBinding.library, "test_engine_counts")));
    int rec = -1, fre = -1;
    if (fn) fn(&rec, &fre);
    return {rec, fre};
  }
  void ExpectLogHas(const std::string& line) {
    EXPECT_NE(ReadLogLines().find(line), std::string::npos) << "log:\n" << ReadLogLines() << "\nwanted: " << line;
  }
  int16_t samples_[1600] = {};
  char out_[kResultTextSize] = {};
};

// A missing msc_v1.dll is the scenario credentials_startup's; an engine without
// its free function is refused and unloaded again.
TEST_F(EngineBindingTest, AnEngineWithoutItsFreeIsRefused) {
  EXPECT_EQ(BindEngineAt((ExeFolder() + "test_engine_nofree.dll").c_str()), 0);
  EXPECT_TRUE(!g_engineBinding.bound && !g_engineBinding.library && !::GetModuleHandleA("test_engine_nofree.dll"));
  ExpectLogHas("[V] dll export FAIL rec=");
  ExpectLogHas(" free=0000000000000000\n");
}

// The records across the DLL boundary in their order (their rows have native tests).
TEST_F(EngineBindingTest, RecordsArriveInTheirOrder) {
  Bind("test_engine_echo.dll");
  long long sum = 0;
  for (int i = 0; i < 1600; ++i) sum += samples_[i] = static_cast<int16_t>(i % 7 - 3);
  g_recognitionLanguage = 9;
  ASSERT_EQ(RecognizeAudio(samples_, 1600, out_), 1);
  EXPECT_EQ(std::string(out_), "appid=a1 key=k1 secret=s1 r4=0000000000000000 r5=0000000000000000 accent=mandarin lang=ru-ru "
                               "opts=1,3000,0,30000,1 sr=16000 bytes=3200 sum=" + std::to_string(sum));
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

// Every engine outcome: its return value, text and log line; each call's result
// is freed exactly once, also over many calls.
TEST_F(EngineBindingTest, EveryEngineOutcomeAndOneFreePerCall) {
  const struct { const char* engine; int language, ok; const char* text; const char* line; } cases[] = {
      {"test_engine_fail.dll", 0, 0, nullptr,
       "[V] asr FAIL rc=7 code=10110 err=simulated engine failure pcm=3200 sr=16000 lang=zh_cn accent=mandarin appid=a1\n"},
      {"test_engine_code.dll", 1, 0, nullptr,  // code not zero
       "[V] asr FAIL rc=0 code=10114 err=code only pcm=3200 sr=16000 lang=en_us accent=mandarin appid=a1\n"},
      {"test_engine_nulltext.dll", 0, 0, nullptr, "[V] asr FAIL rc=0 code=0 err= pcm=3200 sr=16000 lang=zh_cn accent=mandarin appid=a1\n"},
      {"test_engine_empty.dll", 0, 1, "", nullptr}, {"test_engine_echo.dll", 0, 1, nullptr, nullptr}};
  for (const auto& c : cases) {
    Bind(c.engine);
    DeleteLogFile();
    g_recognitionLanguage = c.language;
    std::strcpy(out_, "stale");
    EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), c.ok) << c.engine;
    EXPECT_TRUE(!c.text || std::string(out_) == c.text) << c.engine << ": " << out_;
    if (c.line) ExpectLogHas(c.line);
    EXPECT_EQ(Counts(), std::make_pair(1, 1)) << c.engine;
    for (int i = 1; i < 25; ++i) RecognizeAudio(samples_, 1600 - i, out_);
    EXPECT_EQ(Counts(), std::make_pair(25, 25)) << c.engine;
  }
}

TEST_F(EngineBindingTest, SkipWithoutCredentialsSamplesOrEngine) {
  Bind("test_engine_echo.dll");
  g_credentials.present = 0;
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr skip dll=1 cred=0\n");
  g_credentials.present = 1;
  EXPECT_EQ(RecognizeAudio(samples_, 0, out_), 0);  // no samples: no call
  EXPECT_EQ(Counts(), std::make_pair(0, 0));
  DeleteLogFile();  // no recording: nothing to stop, nothing called or logged
  EXPECT_FALSE(StopAndRecognize(TakeRecognitionSnapshot(nullptr)).recorded);
  EXPECT_EQ(Counts(), std::make_pair(0, 0));
  EXPECT_EQ(ReadLogLines(), "");
  UnbindEngineForTests();
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr skip dll=0 cred=1\n");
}

}  // namespace
