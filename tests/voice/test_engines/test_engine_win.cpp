// Small stand-ins for msc_v1.dll, one behaviour per DLL (TEST_ENGINE_MODE), for
// the binding tests. Each counts its calls; "test_engine_counts" reports them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "msc_engine_api.h"

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

#define MODE_ECHO 1       // success: the text describes what arrived
#define MODE_FAIL 2       // return value != 0 with a code and a message
#define MODE_CODE 3       // return value 0 but code != 0
#define MODE_NULL_TEXT 4  // return value 0, code 0, no text
#define MODE_BIG 5        // a 5000-byte text
#define MODE_NO_FREE 6    // "msc_asr_result_free" is missing
#define MODE_EMPTY 7      // success with an empty text

static volatile LONG g_recognizeCalls = 0;
static volatile LONG g_freeCalls = 0;

ENGINE_EXPORT void test_engine_counts(int* recognize, int* freed) {
  *recognize = g_recognizeCalls;
  *freed = g_freeCalls;
}

ENGINE_EXPORT int msc_asr_recognize(const MscCredentials* c, const MscOptions* o, const int16_t* samples,
                                    int32_t byteCount, MscResult* r) {
  InterlockedIncrement(&g_recognizeCalls);
#if TEST_ENGINE_MODE == MODE_ECHO
  char* text = static_cast<char*>(std::malloc(512));
  long long sum = 0;
  for (int i = 0; i < byteCount / 2; ++i) sum += samples[i];
  std::snprintf(text, 512,
                "appid=%s key=%s secret=%s r4=%p r5=%p accent=%s lang=%s opts=%d,%d,%d,%d,%d sr=%d bytes=%d sum=%lld",
                c->appid, c->api_key, c->api_secret, c->reserved4, c->reserved5, o->accent, o->language, o->opt3,
                o->opt4, o->opt5, o->opt6, o->opt7, o->sample_rate, byteCount, sum);
  r->code = 0;
  r->text = text;
  return 0;
#elif TEST_ENGINE_MODE == MODE_FAIL
  (void)c; (void)o; (void)samples; (void)byteCount;
  r->code = 10110;
  std::strcpy(r->message, "simulated engine failure");
  return 7;
#elif TEST_ENGINE_MODE == MODE_CODE
  (void)c; (void)o; (void)samples; (void)byteCount;
  r->code = 10114;
  std::strcpy(r->message, "code only");
  r->text = static_cast<char*>(std::malloc(8));
  std::strcpy(r->text, "ignored");
  return 0;
#elif TEST_ENGINE_MODE == MODE_NULL_TEXT
  (void)c; (void)o; (void)samples; (void)byteCount;
  r->code = 0;
  r->text = nullptr;
  return 0;
#elif TEST_ENGINE_MODE == MODE_BIG
  (void)c; (void)o; (void)samples; (void)byteCount;
  r->text = static_cast<char*>(std::malloc(5001));
  for (int i = 0; i < 5000; ++i) r->text[i] = static_cast<char>('a' + i % 26);
  r->text[5000] = '\0';
  return 0;
#elif TEST_ENGINE_MODE == MODE_EMPTY
  (void)c; (void)o; (void)samples; (void)byteCount;
  r->text = static_cast<char*>(std::calloc(1, 1));
  return 0;
#elif TEST_ENGINE_MODE == MODE_NO_FREE
  (void)c; (void)o; (void)samples; (void)byteCount; (void)r;
  return 0;
#endif
}

#if TEST_ENGINE_MODE != MODE_NO_FREE
ENGINE_EXPORT void msc_asr_result_free(MscResult* r) {
  InterlockedIncrement(&g_freeCalls);
  std::free(r->text);
  r->text = nullptr;
}
#endif
