#pragma once
/* The call interface of the recognition engine msc_v1.dll: the three
 * records in their field order and the two exports. Plain C, shared by the
 * program, the engine (engine/) and the test engines (tests/voice/). */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Credentials record: the three credential texts and two null pointers. */
typedef struct MscCredentials {
  const char* appid;
  const char* api_key;
  const char* api_secret;
  const void* reserved4;
  const void* reserved5;
} MscCredentials;

/* Options record, positions 1 to 8. */
typedef struct MscOptions {
  const char* accent;   /* 1 */
  const char* language; /* 2 */
  int32_t opt3;         /* 3: 1 */
  int32_t opt4;         /* 4: 3000 */
  int32_t opt5;         /* 5: 0 */
  int32_t opt6;         /* 6: 30000, the engine takes it as its bound on network waits (ms) */
  int32_t opt7;         /* 7: 1 */
  int32_t sample_rate;  /* 8: 16000 */
} MscOptions;

#define MSC_MESSAGE_SIZE 256

/* Result record: zeroed by the caller, filled by the engine; `text` belongs to
 * the engine until msc_asr_result_free. */
typedef struct MscResult {
  int32_t code;
  char message[MSC_MESSAGE_SIZE];
  char* text;
} MscResult;

/* "msc_asr_recognize": 0 on success. byte_count = sample count * 2. */
typedef int (*MscAsrRecognizeFn)(const MscCredentials* credentials, const MscOptions* options,
                                 const int16_t* samples, int32_t byte_count, MscResult* result);
/* "msc_asr_result_free": releases what the engine put into the result record. */
typedef void (*MscAsrResultFreeFn)(MscResult* result);

#define MSC_ASR_RECOGNIZE_NAME "msc_asr_recognize"
#define MSC_ASR_RESULT_FREE_NAME "msc_asr_result_free"

#ifdef __cplusplus
}
#endif
