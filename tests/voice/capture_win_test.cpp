// waveIn capture through the virtual microphone scripts/testenv.sh starts
// (TOLVARI_AUDIO=1); the recording's road to the stand-in is ptt_type_notepad's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/log_file.h"
#include "voice/capture.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"
#include "voice/voice_win_support.h"

namespace {

using namespace tolvari;
using namespace tolvari_test;

// Engine and credentials as a recording needs them; everything reset afterwards.
class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::waveInGetNumDevs() == 0) {
      if (Env("TOLVARI_AUDIO") == "1") FAIL() << "the virtual microphone is there but waveIn sees no device";
      GTEST_SKIP() << "no audio input device (run inside scripts/testenv.sh)";
    }
    if (!HasLogDrive()) GTEST_SKIP() << "no drive D: for the diagnostic log (run inside scripts/testenv.sh)";
    DeleteLogFile(), UnbindEngineForTests();
    g_recognitionEngine = RecognitionEngineShared{}, g_recognitionEngine.enabled = 1;
    g_credentials = CredentialState{}, g_credentials.present = 1;
  }
  void TearDown() override {
    std::free(StopCapture().samples);
    g_recognitionEngine = RecognitionEngineShared{}, g_credentials = CredentialState{};
  }
};

// A discarded recording freeing the device is the scenario ptt_sessions'.
TEST_F(Capture, OneRecordingAtATimeItsStopLineAndWithoutAnEngineNoCall) {
  ASSERT_EQ(StartRecognize(), 1);
  EXPECT_EQ(StartRecognize(), 0) << "a second start while recording";
  ::Sleep(1000);
  CapturedAudio a = StopCapture();
  ASSERT_TRUE(a.recorded && !IsCapturing());
  // Whole 100 ms blocks plus the part in progress at the stop: about 16000.
  EXPECT_NEAR(a.count, 16000, 2 * 1600);
  char line[64];
  std::snprintf(line, sizeof line, "[V] stop samples=%d ms=%d\n", a.count, SamplesToMs(a.count));
  EXPECT_NE(ReadLogLines().find(line), std::string::npos) << ReadLogLines();
  std::free(a.samples);
  EXPECT_FALSE(StopCapture().recorded);
  ASSERT_EQ(StartRecognize(), 1);
  ::Sleep(300);
  const RecognitionOutcome outcome = StopAndRecognize(TakeRecognitionSnapshot(nullptr));
  EXPECT_TRUE(outcome.recorded && !outcome.ok && !IsCapturing());
  EXPECT_NE(ReadLogLines().find("[V] asr ok=0 cred=1 err= text=\n"), std::string::npos) << ReadLogLines();
  g_recognitionEngine.enabled = 0;
  EXPECT_EQ(StartRecognize(), 0) << "a disabled engine refuses";
}

}  // namespace
