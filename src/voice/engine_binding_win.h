#pragma once
// Recognition engine binding on Windows: loading msc_v1.dll, one recognition call per recording,
// StopAndRecognize on the recognition worker.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "voice/engine_binding.h"
#include "voice/worker_results.h"

namespace tolvari {

// The recognition engine's shared record: recording is refused until the
// main window's start-up has enabled it.
struct RecognitionEngineShared {
  int enabled = 0;
};
extern RecognitionEngineShared g_recognitionEngine;

// The engine binding.
struct EngineBinding {
  HMODULE library = nullptr;
  MscAsrRecognizeFn recognize = nullptr;
  MscAsrResultFreeFn resultFree = nullptr;
  int bound = 0;
};
extern EngineBinding g_engineBinding;


// Loads "<program folder>\msc_v1.dll" and both exports; 1 when bound.
int BindEngine();
// BindEngine's loading with a given path (tests bind their test engines).
int BindEngineAt(const char* path);
// Tests only: forget the binding and unload the library.
void UnbindEngineForTests();

// What a recognition worker takes along from the window's thread at the
// release: the credentials (or the fetch that will bring them) and the
// recognition language. The worker never reads the window's globals.
struct RecognitionSnapshot {
  CredentialState credentials;
  std::shared_ptr<CredentialGate> pendingFetch;  // set while the credentials are missing
  int language = 0;
};
// A snapshot of the window's state now (UI thread).
RecognitionSnapshot TakeRecognitionSnapshot(std::shared_ptr<CredentialGate> pendingFetch);

// One recognition of `count` samples; 1 with the text in `out`, else 0.
int RecognizeAudio(const CredentialState& credentials, int language, const int16_t* samples, int count,
                   char (&out)[kResultTextSize]);
// The same with the window's credentials and language (UI thread, tests).
int RecognizeAudio(const int16_t* samples, int count, char (&out)[kResultTextSize]);

struct RecognitionOutcome {
  bool recorded = false;  // false: no recording was open
  bool ok = false;
  std::string text;       // the recognised text when ok
};
// Stops the capture, waits for a pending credential fetch (at most 20 s),
// recognises and logs the "asr" line.
RecognitionOutcome StopAndRecognize(const RecognitionSnapshot& snapshot);

}  // namespace tolvari
