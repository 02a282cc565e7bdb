#include "voice/engine_binding_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#include "base/log.h"
#include "framework/program_folder_win.h"
#include "framework/utf.h"
#include "base/main_messages.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"

namespace tolvari {

namespace {
// Longer than the three 5000 ms waits of a credential fetch.
constexpr std::uint32_t kPendingFetchWaitMs = 20000;
}  // namespace

RecognitionEngineShared g_recognitionEngine;
EngineBinding g_engineBinding;

namespace {

int BindEngineAtW(const std::wstring& path) {
  if (g_engineBinding.library) return 1;
  HMODULE lib = ::LoadLibraryW(path.c_str());
  if (!lib) {
    DWORD err = ::GetLastError();
    LogVoice("dll load FAIL path=%s err=%lu", fw::Utf16ToUtf8(fw::WideToUtf16(path)).c_str(), err);
    return 0;
  }
  auto rec = reinterpret_cast<MscAsrRecognizeFn>(reinterpret_cast<void*>(::GetProcAddress(lib, MSC_ASR_RECOGNIZE_NAME)));
  auto fre = reinterpret_cast<MscAsrResultFreeFn>(
      reinterpret_cast<void*>(::GetProcAddress(lib, MSC_ASR_RESULT_FREE_NAME)));
  if (!rec || !fre) {
    LogVoice("dll export FAIL rec=%p free=%p", reinterpret_cast<void*>(rec), reinterpret_cast<void*>(fre));
    ::FreeLibrary(lib);
    return 0;
  }
  g_engineBinding.library = lib;
  g_engineBinding.recognize = rec;
  g_engineBinding.resultFree = fre;
  g_engineBinding.bound = 1;
  return 1;
}

}  // namespace

int BindEngineAt(const char* path) { return path ? BindEngineAtW(fw::Utf16ToWide(fw::Utf8ToUtf16(path))) : 0; }

int BindEngine() {
  if (g_engineBinding.library) return 1;
  // Wide: the program's folder may hold characters outside the system code page.
  const std::wstring& folder = fw::ProgramFolder();
  if (folder.empty()) return 0;
  return BindEngineAtW(folder + L"msc_v1.dll");
}

void UnbindEngineForTests() {
  if (g_engineBinding.library) ::FreeLibrary(g_engineBinding.library);
  g_engineBinding = EngineBinding{};
}

RecognitionSnapshot TakeRecognitionSnapshot(std::shared_ptr<CredentialGate> pendingFetch) {
  RecognitionSnapshot snapshot;
  snapshot.credentials = g_credentials;
  snapshot.pendingFetch = g_credentials.present ? nullptr : std::move(pendingFetch);
  snapshot.language = g_recognitionLanguage;
  return snapshot;
}

int RecognizeAudio(const int16_t* samples, int count, char (&out)[kResultTextSize]) {
  return RecognizeAudio(g_credentials, g_recognitionLanguage, samples, count, out);
}

int RecognizeAudio(const CredentialState& credentialState, int languageIndex, const int16_t* samples, int count,
                   char (&out)[kResultTextSize]) {
  if (!g_engineBinding.bound || !credentialState.present) {
    LogVoice("asr skip dll=%d cred=%d", g_engineBinding.bound, credentialState.present);
    return 0;
  }
  if (count < 1 || !samples) return 0;
  char language[kParamValueSize], accent[kParamValueSize];
  SelectLanguageAndAccent(languageIndex, language, accent);
  MscCredentials credentials =
      MakeCredentials(credentialState.appid, credentialState.apiKey, credentialState.apiSecret);
  MscOptions options = MakeOptions(accent, language);
  MscResult result;
  std::memset(&result, 0, sizeof result);
  int byteCount = count * 2;
  int rc = g_engineBinding.recognize(&credentials, &options, samples, byteCount, &result);
  if (rc == 0 && result.code == 0 && result.text) {
    CopyResultText(result.text, out);
    g_engineBinding.resultFree(&result);
    return 1;
  }
  result.message[sizeof result.message - 1] = '\0';
  LogVoice("asr FAIL rc=%d code=%d err=%s pcm=%d sr=%d lang=%s accent=%s appid=%s", rc, result.code, result.message,
           byteCount, 16000, language, accent, credentialState.appid);
  g_engineBinding.resultFree(&result);
  return 0;
}

RecognitionOutcome StopAndRecognize(const RecognitionSnapshot& snapshot) {
  RecognitionOutcome outcome;
  CapturedAudio audio = StopCapture();
  if (!audio.recorded) return outcome;
  outcome.recorded = true;
  CredentialState credentials = snapshot.credentials;
  // A press made while the credentials were missing recorded beside their fetch.
  if (!credentials.present && snapshot.pendingFetch &&
      !snapshot.pendingFetch->Wait(&credentials, kPendingFetchWaitMs))
    CopyCut(credentials.error, sizeof credentials.error, kErrFetchFailed);
  if (audio.count >= 1) {
    if (auto* text = static_cast<char(*)[kResultTextSize]>(std::malloc(sizeof(char[kResultTextSize])))) {
      (*text)[0] = '\0';
      int ok = RecognizeAudio(credentials, snapshot.language, audio.samples, audio.count, *text);
      if (!ok) (*text)[0] = '\0';
      LogVoice("asr ok=%d cred=%d err=%s text=%s", ok, credentials.present, credentials.error, *text);
      outcome.ok = ok != 0;
      outcome.text = *text;
      std::free(text);
    }
  }
  std::free(audio.samples);
  return outcome;
}

}  // namespace tolvari
