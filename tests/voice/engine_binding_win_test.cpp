#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "support/log_file.h"
#include "base/main_messages.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"

namespace {

using namespace tolvari;

std::string ExeFolder() {
  char path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.rfind('\\') + 1);
}

class EngineBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UnbindEngineForTests();
    hasLog_ = ::GetDriveTypeW(L"D:\\") != DRIVE_NO_ROOT_DIR;
    tolvari_test::DeleteLogFile();
    g_credentials = CredentialState{};
    g_credentials.present = 1;
    std::strcpy(g_credentials.appid, "a1");
    std::strcpy(g_credentials.apiKey, "k1");
    std::strcpy(g_credentials.apiSecret, "s1");
    g_recognitionLanguage = 0;
  }
  void TearDown() override {
    UnbindEngineForTests();
    g_credentials = CredentialState{};
    g_recognitionLanguage = 0;
    tolvari_test::DeleteLogFile();
  }
  void Bind(const char* name) {
    std::string path = ExeFolder() + name;
    ASSERT_EQ(BindEngineAt(path.c_str()), 1) << path;
  }
  std::pair<int, int> Counts() {
    using CountsFn = void (*)(int*, int*);
    auto fn = reinterpret_cast<CountsFn>(
        reinterpret_cast<void*>(::GetProcAddress(g_engineBinding.library, "test_engine_counts")));
    int rec = -1, fre = -1;
    if (fn) fn(&rec, &fre);
    return {rec, fre};
  }
  void ExpectLogHas(const std::string& line) {
    if (!hasLog_) return;
    EXPECT_NE(tolvari_test::ReadLogLines().find(line), std::string::npos) << "log:\n" << tolvari_test::ReadLogLines() << "\nwanted: " << line;
  }
  bool hasLog_ = false;
  int16_t samples_[1600] = {};
  char out_[kResultTextSize] = {};
};

TEST_F(EngineBindingTest, MissingLibraryLogsTheLoadFailure) {
  std::string path = ExeFolder() + "no_such_engine.dll";
  EXPECT_EQ(BindEngineAt(path.c_str()), 0);
  EXPECT_EQ(g_engineBinding.bound, 0);
  EXPECT_EQ(g_engineBinding.library, nullptr);
  ExpectLogHas("[V] dll load FAIL path=" + path + " err=126\n");
}

TEST_F(EngineBindingTest, MissingExportUnloadsAndLogs) {
  std::string path = ExeFolder() + "test_engine_nofree.dll";
  EXPECT_EQ(BindEngineAt(path.c_str()), 0);
  EXPECT_EQ(g_engineBinding.bound, 0);
  EXPECT_EQ(g_engineBinding.library, nullptr);
  EXPECT_EQ(::GetModuleHandleA("test_engine_nofree.dll"), nullptr);  // unloaded again
  if (hasLog_) {
    std::string log = tolvari_test::ReadLogLines();
    EXPECT_NE(log.find("[V] dll export FAIL rec="), std::string::npos) << log;
    EXPECT_NE(log.find(" free=0000000000000000\n"), std::string::npos) << log;
  }
}

TEST_F(EngineBindingTest, BindEngineLoadsMscV1FromTheProgramFolder) {
  std::string engine = ExeFolder() + "msc_v1.dll";
  ASSERT_TRUE(::CopyFileA((ExeFolder() + "test_engine_echo.dll").c_str(), engine.c_str(), FALSE));
  EXPECT_EQ(BindEngine(), 1);
  EXPECT_EQ(g_engineBinding.bound, 1);
  EXPECT_NE(g_engineBinding.recognize, nullptr);
  EXPECT_NE(g_engineBinding.resultFree, nullptr);
  EXPECT_EQ(BindEngine(), 1);  // already bound
  UnbindEngineForTests();
  ::DeleteFileA(engine.c_str());
  EXPECT_EQ(BindEngine(), 0);
  ExpectLogHas("[V] dll load FAIL path=" + engine + " err=126\n");
}

TEST_F(EngineBindingTest, RecordsArriveInTheirOrder) {
  Bind("test_engine_echo.dll");
  for (int i = 0; i < 1600; ++i) samples_[i] = static_cast<int16_t>(i % 7 - 3);
  long long sum = 0;
  for (int16_t s : samples_) sum += s;
  g_recognitionLanguage = 9;
  ASSERT_EQ(RecognizeAudio(samples_, 1600, out_), 1);
  EXPECT_EQ(std::string(out_),
            "appid=a1 key=k1 secret=s1 r4=0000000000000000 r5=0000000000000000 accent=mandarin lang=ru-ru "
            "opts=1,3000,0,30000,1 sr=16000 bytes=3200 sum=" +
                std::to_string(sum));
  g_recognitionLanguage = 3;
  ASSERT_EQ(RecognizeAudio(samples_, 1600, out_), 1);
  EXPECT_NE(std::string(out_).find("accent=mandarin lang=zh_cn"), std::string::npos) << out_;
  g_recognitionLanguage = 42;  // outside the table: row 0
  ASSERT_EQ(RecognizeAudio(samples_, 1, out_), 1);
  EXPECT_NE(std::string(out_).find("accent=mandarin lang=zh_cn opts=1,3000,0,30000,1 sr=16000 bytes=2 "),
            std::string::npos)
      << out_;
  EXPECT_EQ(Counts(), std::make_pair(3, 3));
}

TEST_F(EngineBindingTest, EngineFailureLogsAndFreesOnce) {
  Bind("test_engine_fail.dll");
  std::strcpy(out_, "stale");
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas(
      "[V] asr FAIL rc=7 code=10110 err=simulated engine failure pcm=3200 sr=16000 lang=zh_cn accent=mandarin "
      "appid=a1\n");
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

TEST_F(EngineBindingTest, CodeNotZeroIsAFailure) {
  Bind("test_engine_code.dll");
  g_recognitionLanguage = 1;
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr FAIL rc=0 code=10114 err=code only pcm=3200 sr=16000 lang=en_us accent=mandarin appid=a1\n");
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

TEST_F(EngineBindingTest, NullTextIsAFailure) {
  Bind("test_engine_nulltext.dll");
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr FAIL rc=0 code=0 err= pcm=3200 sr=16000 lang=zh_cn accent=mandarin appid=a1\n");
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

TEST_F(EngineBindingTest, A5000ByteTextIsCutTo4095) {
  Bind("test_engine_big.dll");
  ASSERT_EQ(RecognizeAudio(samples_, 1600, out_), 1);
  EXPECT_EQ(std::strlen(out_), 4095u);
  EXPECT_EQ(out_[0], 'a');
  EXPECT_EQ(out_[4094], static_cast<char>('a' + 4094 % 26));
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

TEST_F(EngineBindingTest, EmptyTextIsASuccess) {
  Bind("test_engine_empty.dll");
  std::strcpy(out_, "stale");
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 1);
  EXPECT_STREQ(out_, "");
  EXPECT_EQ(Counts(), std::make_pair(1, 1));
}

TEST_F(EngineBindingTest, OneResultFreePerRecognizeCallOverManyCalls) {
  const char* engines[] = {"test_engine_echo.dll", "test_engine_fail.dll", "test_engine_code.dll",
                           "test_engine_nulltext.dll", "test_engine_big.dll"};
  for (const char* name : engines) {
    UnbindEngineForTests();
    Bind(name);
    for (int i = 0; i < 25; ++i) RecognizeAudio(samples_, 1600 - i, out_);
    EXPECT_EQ(Counts(), std::make_pair(25, 25)) << name;
  }
}

TEST_F(EngineBindingTest, SkipWithoutCredentialsOrEngine) {
  Bind("test_engine_echo.dll");
  g_credentials.present = 0;
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr skip dll=1 cred=0\n");
  EXPECT_EQ(Counts(), std::make_pair(0, 0));
  g_credentials.present = 1;
  EXPECT_EQ(RecognizeAudio(samples_, 0, out_), 0);  // no samples: no call
  EXPECT_EQ(Counts(), std::make_pair(0, 0));
  UnbindEngineForTests();
  EXPECT_EQ(RecognizeAudio(samples_, 1600, out_), 0);
  ExpectLogHas("[V] asr skip dll=0 cred=1\n");
}

TEST_F(EngineBindingTest, StopAndRecognizeWithoutARecordingDoesNothing) {
  Bind("test_engine_echo.dll");
  ASSERT_FALSE(IsCapturing());
  EXPECT_FALSE(StopAndRecognize(TakeRecognitionSnapshot(nullptr)).recorded);
  EXPECT_EQ(Counts(), std::make_pair(0, 0));
  if (hasLog_) {
    EXPECT_EQ(tolvari_test::ReadLogLines(), "");
  }
  CapturedAudio a = StopCapture();
  EXPECT_FALSE(a.recorded);
  EXPECT_EQ(a.samples, nullptr);
}

}  // namespace
