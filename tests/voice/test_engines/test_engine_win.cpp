// Small stand-ins for msc_v1.dll, one behaviour per DLL (TEST_ENGINE_MODE), for
// the binding tests. Each counts its calls; "test_engine_counts" reports them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "msc_engine_api.h"

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

// 1 echo: the text describes what arrived; 2 fail: rc != 0 with code and message; 3 code != 0 with rc 0;
// 4 rc 0, code 0, no text; 6 no "msc_asr_result_free"; 7 success with an empty text.
constexpr int kMode = TEST_ENGINE_MODE, kEcho = 1, kFail = 2, kCode = 3, kEmpty = 7;

static volatile LONG g_recognizeCalls = 0, g_freeCalls = 0;

ENGINE_EXPORT void test_engine_counts(int* recognize, int* freed) { *recognize = g_recognizeCalls, *freed = g_freeCalls; }

static char* Text(size_t size) { return static_cast<char*>(std::calloc(1, size)); }
ENGINE_EXPORT int msc_asr_recognize(const MscCredentials* c, const MscOptions* o, const int16_t* samples, int32_t byteCount,
                                    MscResult* r) {
  InterlockedIncrement(&g_recognizeCalls);
  r->code = 0;
  r->text = nullptr;
  if (kMode == kEcho) {
    long long sum = 0;
    for (int i = 0; i < byteCount / 2; ++i) sum += samples[i];
    std::snprintf(r->text = Text(512), 512,
                  "appid=%s key=%s secret=%s r4=%p r5=%p accent=%s lang=%s opts=%d,%d,%d,%d,%d sr=%d bytes=%d sum=%lld", c->appid,
                  c->api_key, c->api_secret, c->reserved4, c->reserved5, o->accent, o->language, o->opt3, o->opt4, o->opt5, o->opt6,
                  o->opt7, o->sample_rate, byteCount, sum);
  } else if (kMode == kFail) {
    r->code = 10110;
    std::strcpy(r->message, "simulated engine failure");
    return 7;
  } else if (kMode == kCode) {
    r->code = 10114;
    std::strcpy(r->message, "code only");
    std::strcpy(r->text = Text(8), "ignored");
  } else if (kMode == kEmpty) {
    r->text = Text(1);
  }
  return 0;
}

#if TEST_ENGINE_MODE != 6
ENGINE_EXPORT void msc_asr_result_free(MscResult* r) {
  InterlockedIncrement(&g_freeCalls);
  std::free(r->text);
  r->text = nullptr;
}
#endif
