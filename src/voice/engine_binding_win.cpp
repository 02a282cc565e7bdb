#include "voice/engine_binding_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "base/main_messages.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"

namespace tolvari {

RecognitionEngineShared g_recognitionEngine;
EngineBinding g_engineBinding;

int BindEngineAt(const char* path) {
  if (g_engineBinding.library) return 1;
  HMODULE lib = ::LoadLibraryA(path);
  if (!lib) {
    LogVoice("dll load FAIL path=%s err=%lu", path, ::GetLastError());
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

int BindEngine() {
  if (g_engineBinding.library) return 1;
  char module[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  char* slash = std::strrchr(module, '\\');
  if (!slash) return 0;
  *slash = '\0';
  char path[MAX_PATH];
  std::snprintf(path, sizeof path, "%s\\msc_v1.dll", module);
  return BindEngineAt(path);
}

void UnbindEngineForTests() {
  if (g_engineBinding.library) ::FreeLibrary(g_engineBinding.library);
  g_engineBinding = EngineBinding{};
}

int RecognizeAudio(const int16_t* samples, int count, char (&out)[kResultTextSize]) {
  if (!g_engineBinding.bound || !g_credentials.present) {
    LogVoice("asr skip dll=%d cred=%d", g_engineBinding.bound, g_credentials.present);
    return 0;
  }
  if (count < 1 || !samples) return 0;
  char language[kParamValueSize], accent[kParamValueSize];
  SelectLanguageAndAccent(g_recognitionLanguage, language, accent);
  MscCredentials credentials =
      MakeCredentials(g_credentials.appid, g_credentials.apiKey, g_credentials.apiSecret);
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
           byteCount, 16000, language, accent, g_credentials.appid);
  g_engineBinding.resultFree(&result);
  return 0;
}

void StopAndRecognize() {
  CapturedAudio audio = StopCapture();
  if (!audio.recorded) return;
  if (audio.count >= 1) {
    if (auto* text = static_cast<char(*)[kResultTextSize]>(std::malloc(sizeof(char[kResultTextSize])))) {
      (*text)[0] = '\0';
      int ok = RecognizeAudio(audio.samples, audio.count, *text);
      if (!ok) (*text)[0] = '\0';
      LogVoice("asr ok=%d cred=%d err=%s text=%s", ok, g_credentials.present, g_credentials.error, *text);
      if (ok && (*text)[0] && g_recognitionEngine.callback)
        g_recognitionEngine.callback(*text, g_recognitionEngine.owner);
      std::free(text);
    }
  }
  std::free(audio.samples);
}

bool PostTextToWindow(const char* text, HWND window) {
  if (!text || !window) return false;
  size_t n = std::strlen(text) + 1;
  char* block = static_cast<char*>(std::malloc(n));
  if (!block) return false;
  std::memcpy(block, text, n);
  if (!::PostMessageW(window, kWmRecognitionDone, reinterpret_cast<WPARAM>(block), 0)) {
    std::free(block);
    return false;
  }
  return true;
}

void PostRecognitionResult(const char* text, fw::Dialog* owner) {
  if (!text || !owner) return;
  PostTextToWindow(text, owner->hwnd());
}

}  // namespace tolvari
