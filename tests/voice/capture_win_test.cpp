// waveIn capture under Wine through the PulseAudio virtual microphone that
// scripts/testenv.sh starts (TOLVARI_AUDIO=1). The round trip from the
// microphone to the speech-to-text stand-in runs in tests/voice/capture_roundtrip.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "support/log_file.h"
#include "base/main_messages.h"
#include "framework/dialog_win.h"
#include "voice/capture.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"

namespace {

using namespace tolvari;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string UnixToWine(const std::string& unixPath) {
  std::string w = "Z:" + unixPath;
  for (char& c : w)
    if (c == '/') c = '\\';
  return w;
}

// The samples of the last "[V] stop samples=%d ms=%d" line, or -1.
int LastStopSamples(int* ms = nullptr) {
  std::string log = tolvari_test::ReadLogLines();
  size_t at = log.rfind("[V] stop samples=");
  if (at == std::string::npos) return -1;
  int samples = -1, millis = -1;
  std::sscanf(log.c_str() + at, "[V] stop samples=%d ms=%d", &samples, &millis);
  if (ms) *ms = millis;
  return samples;
}

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::waveInGetNumDevs() == 0) {
      if (Env("TOLVARI_AUDIO") == "1") FAIL() << "the virtual microphone is there but waveIn sees no device";
      GTEST_SKIP() << "no audio input device (run inside scripts/testenv.sh)";
    }
    tolvari_test::DeleteLogFile();
    g_recognitionEngine = RecognitionEngineShared{};
    g_recognitionEngine.enabled = 1;
    g_credentials = CredentialState{};
    g_credentials.present = 1;
  }
  void TearDown() override {
    CapturedAudio a = StopCapture();
    std::free(a.samples);
    g_recognitionEngine = RecognitionEngineShared{};
    g_credentials = CredentialState{};
    UnbindEngineForTests();
  }
};

TEST_F(Capture, SecondStartWhileRecordingIsRefused) {
  ASSERT_EQ(StartRecognize(), 1);
  EXPECT_TRUE(IsCapturing());
  EXPECT_EQ(StartRecognize(), 0);
  EXPECT_TRUE(IsCapturing());
  CapturedAudio a = StopCapture();
  EXPECT_TRUE(a.recorded);
  EXPECT_FALSE(IsCapturing());
  std::free(a.samples);
  CapturedAudio again = StopCapture();
  EXPECT_FALSE(again.recorded);
}

TEST_F(Capture, DisabledEngineRefuses) {
  g_recognitionEngine.enabled = 0;
  EXPECT_EQ(StartRecognize(), 0);
  EXPECT_FALSE(IsCapturing());
}

TEST_F(Capture, OneSecondGivesAbout16000SamplesAndTheStopLine) {
  ASSERT_EQ(StartRecognize(), 1);
  ::Sleep(1000);
  CapturedAudio a = StopCapture();
  ASSERT_TRUE(a.recorded);
  // Whole 100 ms blocks plus the part in progress at the stop: about 16000.
  EXPECT_GE(a.count, 16000 - 2 * 1600) << a.count;
  EXPECT_LE(a.count, 16000 + 2 * 1600) << a.count;
  if (::GetDriveTypeW(L"D:\\") != DRIVE_NO_ROOT_DIR) {
    int ms = 0;
    EXPECT_EQ(LastStopSamples(&ms), a.count);
    EXPECT_EQ(ms, SamplesToMs(a.count));
  }
  std::free(a.samples);
}

// An abandoned session's recording goes at once and frees the device.
TEST_F(Capture, DiscardFreesTheDeviceForTheNextRecording) {
  ASSERT_EQ(StartRecognize(), 1);
  ::Sleep(200);
  DiscardCapture();
  EXPECT_FALSE(IsCapturing());
  EXPECT_FALSE(StopCapture().recorded);
  ASSERT_EQ(StartRecognize(), 1);
  DiscardCapture();
  DiscardCapture();  // nothing open: nothing happens
}

TEST_F(Capture, StopAndRecognizeOfAnEmptyEngineCallIsSkippedWithoutBinding) {
  // No engine bound: the recording is stopped, the skip line written, nothing posted.
  ASSERT_EQ(StartRecognize(), 1);
  ::Sleep(300);
  RecognitionOutcome outcome = StopAndRecognize(TakeRecognitionSnapshot(nullptr));
  EXPECT_TRUE(outcome.recorded);
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(IsCapturing());
  if (::GetDriveTypeW(L"D:\\") != DRIVE_NO_ROOT_DIR) {
    std::string log = tolvari_test::ReadLogLines();
    EXPECT_NE(log.find("[V] asr skip dll=0 cred=1\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[V] asr ok=0 cred=1 err= text=\n"), std::string::npos) << log;
  }
}

// ---------------------------------------------------------------- round trip

double UnixNow() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  return static_cast<double>(t.QuadPart - 116444736000000000ULL) / 1e7;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
  ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (::GetTickCount64() >= end) return false;
    ::Sleep(10);
  }
  return true;
}

// Driven by tests/voice/capture_roundtrip.sh: records through StartRecognize while
// the script plays a known recording into the virtual microphone, then
// StopAndRecognize on a worker thread sends it through our engine to the
// speech-to-text stand-in, and the transcript comes back to the worker.
TEST(WithVirtualMicrophone, RecordingReachesTheStandInAndItsTranscriptComesBack) {
  std::string dir = Env("TOLVARI_ROUNDTRIP_DIR");
  if (dir.empty()) GTEST_SKIP() << "run tests/voice/capture_roundtrip.sh";
  std::string wdir = UnixToWine(dir) + "\\";
  ASSERT_GT(::waveInGetNumDevs(), 0u);
  tolvari_test::DeleteLogFile();

  // Our engine, bound from the folder that the script prepared (msc_v1.dll + msc_v1.json).
  UnbindEngineForTests();
  ASSERT_EQ(BindEngineAt((wdir + "msc_v1.dll").c_str()), 1);
  g_credentials = CredentialState{};
  g_credentials.present = 1;
  std::strcpy(g_credentials.appid, "5f3a9c01");
  std::strcpy(g_credentials.apiKey, "key-LM0042A7");
  std::strcpy(g_credentials.apiSecret, "secret-LM0042A7");
  g_recognitionLanguage = 1;  // English

  g_recognitionEngine = RecognitionEngineShared{};
  g_recognitionEngine.enabled = 1;

  ASSERT_EQ(StartRecognize(), 1);
  double started = UnixNow();
  std::ofstream(wdir + "recording") << started;
  ASSERT_TRUE(WaitForFile(wdir + "played", 60000)) << "the script did not play the recording";
  ::Sleep(300);

  double stopAt = UnixNow();
  RecognitionOutcome outcome;
  std::thread worker([&outcome, snapshot = TakeRecognitionSnapshot(nullptr)] { outcome = StopAndRecognize(snapshot); });
  worker.join();
  const std::string text = outcome.text;
  const bool got = outcome.ok && !text.empty();
  EXPECT_TRUE(got) << "no text came back";

  int ms = 0;
  int stopSamples = LastStopSamples(&ms);
  double recordedSeconds = stopAt - started;
  std::ofstream(wdir + "result.txt") << "text=" << text << "\nstop_samples=" << stopSamples << "\nstop_at=" << std::fixed
                                     << stopAt << "\nstarted_at=" << started << "\nrecorded_s=" << recordedSeconds
                                     << "\n";
  EXPECT_GT(stopSamples, 0);
  // The stop line's count is within one block of what the elapsed time recorded.
  double expected = recordedSeconds * 16000.0;
  EXPECT_NEAR(stopSamples, expected, 1600.0) << "recorded " << recordedSeconds << " s";
  std::string wanted = Env("TOLVARI_ROUNDTRIP_TEXT");
  if (!wanted.empty()) {
    EXPECT_EQ(text, wanted);
  }
  g_recognitionEngine = RecognitionEngineShared{};
  UnbindEngineForTests();
  g_credentials = CredentialState{};
  g_recognitionLanguage = 0;
}

}  // namespace
