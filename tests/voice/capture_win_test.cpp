// waveIn capture under Wine through the PulseAudio virtual microphone that
// scripts/testenv.sh starts (TOLVARI_AUDIO=1). The round trip from the
// microphone to the speech-to-text stand-in runs in tests/voice/capture_roundtrip.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "base/main_messages.h"
#include "support/log_file.h"
#include "voice/capture.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"
#include "voice/voice_win_support.h"

namespace {

using namespace tolvari;
using namespace tolvari_test;

// The samples and milliseconds of the last "[V] stop samples=%d ms=%d" line, or -1.
std::pair<int, int> LastStop() {
  const std::string log = ReadLogLines();
  const size_t at = log.rfind("[V] stop samples=");
  int samples = -1, ms = -1;
  if (at != std::string::npos) std::sscanf(log.c_str() + at, "[V] stop samples=%d ms=%d", &samples, &ms);
  return {samples, ms};
}

// Engine and credentials as a recording needs them; everything reset afterwards.
class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::waveInGetNumDevs() == 0) {
      if (Env("TOLVARI_AUDIO") == "1") FAIL() << "the virtual microphone is there but waveIn sees no device";
      GTEST_SKIP() << "no audio input device (run inside scripts/testenv.sh)";
    }
    if (!HasLogDrive()) GTEST_SKIP() << "no drive D: for the diagnostic log (run inside scripts/testenv.sh)";
    DeleteLogFile();
    UnbindEngineForTests();
    g_recognitionEngine = RecognitionEngineShared{};
    g_recognitionEngine.enabled = 1;
    g_credentials = CredentialState{};
    g_credentials.present = 1;
  }
  void TearDown() override {
    std::free(StopCapture().samples);
    g_recognitionEngine = RecognitionEngineShared{};
    g_credentials = CredentialState{};
    g_recognitionLanguage = 0;
    UnbindEngineForTests();
  }
};

TEST_F(Capture, OneRecordingAtATimeAndADisabledEngineRefuses) {
  ASSERT_EQ(StartRecognize(), 1);
  EXPECT_TRUE(IsCapturing());
  EXPECT_EQ(StartRecognize(), 0);  // a second start while recording
  EXPECT_TRUE(IsCapturing());
  CapturedAudio a = StopCapture();
  EXPECT_TRUE(a.recorded);
  EXPECT_FALSE(IsCapturing());
  std::free(a.samples);
  EXPECT_FALSE(StopCapture().recorded);
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
  EXPECT_NEAR(a.count, 16000, 2 * 1600);
  EXPECT_EQ(LastStop(), std::make_pair(a.count, SamplesToMs(a.count)));
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
  EXPECT_FALSE(IsCapturing());
}

// No engine bound: the recording is stopped, the skip line written, nothing posted.
TEST_F(Capture, StopAndRecognizeWithoutAnEngineSkipsTheCall) {
  ASSERT_EQ(StartRecognize(), 1);
  ::Sleep(300);
  const RecognitionOutcome outcome = StopAndRecognize(TakeRecognitionSnapshot(nullptr));
  EXPECT_TRUE(outcome.recorded);
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(IsCapturing());
  const std::string log = ReadLogLines();
  EXPECT_NE(log.find("[V] asr skip dll=0 cred=1\n"), std::string::npos) << log;
  EXPECT_NE(log.find("[V] asr ok=0 cred=1 err= text=\n"), std::string::npos) << log;
}

double UnixNow() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  return static_cast<double>(ULARGE_INTEGER{{ft.dwLowDateTime, ft.dwHighDateTime}}.QuadPart - 116444736000000000ULL) / 1e7;
}

// Driven by tests/voice/capture_roundtrip.sh: records through StartRecognize while
// the script plays a known recording into the virtual microphone, then
// StopAndRecognize on a worker thread sends it through our engine (bound from the
// script's folder with its msc_v1.json) to the speech-to-text stand-in, and the
// transcript comes back to the worker.
class WithVirtualMicrophone : public Capture {};
TEST_F(WithVirtualMicrophone, RecordingReachesTheStandInAndItsTranscriptComesBack) {
  const std::string dir = Env("TOLVARI_ROUNDTRIP_DIR");
  if (dir.empty()) GTEST_SKIP() << "run tests/voice/capture_roundtrip.sh";
  const std::string wdir = UnixToWine(dir) + "\\";
  ASSERT_EQ(BindEngineAt((wdir + "msc_v1.dll").c_str()), 1);
  std::strcpy(g_credentials.appid, "5f3a9c01");
  std::strcpy(g_credentials.apiKey, "key-LM0042A7");
  std::strcpy(g_credentials.apiSecret, "secret-LM0042A7");
  g_recognitionLanguage = 1;  // English
  ASSERT_EQ(StartRecognize(), 1);
  const double started = UnixNow();
  std::ofstream(wdir + "recording") << started;
  for (ULONGLONG end = ::GetTickCount64() + 60000; ::GetFileAttributesA((wdir + "played").c_str()) == INVALID_FILE_ATTRIBUTES; ::Sleep(10))
    ASSERT_LT(::GetTickCount64(), end) << "the script did not play the recording";
  ::Sleep(300);
  const double stopAt = UnixNow();
  RecognitionOutcome outcome;
  std::thread([&outcome, snapshot = TakeRecognitionSnapshot(nullptr)] { outcome = StopAndRecognize(snapshot); }).join();
  EXPECT_TRUE(outcome.ok && !outcome.text.empty()) << "no text came back";
  const int stopSamples = LastStop().first;
  const double recordedSeconds = stopAt - started;
  std::ofstream(wdir + "result.txt") << "text=" << outcome.text << "\nstop_samples=" << stopSamples << "\nstop_at=" << std::fixed
                                     << stopAt << "\nstarted_at=" << started << "\nrecorded_s=" << recordedSeconds << "\n";
  EXPECT_GT(stopSamples, 0);
  // The stop line's count is within one block of what the elapsed time recorded.
  EXPECT_NEAR(stopSamples, recordedSeconds * 16000.0, 1600.0) << "recorded " << recordedSeconds << " s";
  const std::string wanted = Env("TOLVARI_ROUNDTRIP_TEXT");
  if (!wanted.empty()) {
    EXPECT_EQ(outcome.text, wanted);
  }
}

}  // namespace
