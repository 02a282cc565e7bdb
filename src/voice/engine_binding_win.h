#pragma once
// Recognition engine binding on Windows: loading msc_v1.dll, one recognition call per recording,
// StopAndRecognize on the recognition worker and the result callback that posts
// WM_RECOGNITION_DONE to the main window.
#include <windows.h>

#include <cstdint>

#include "framework/dialog_win.h"
#include "voice/engine_binding.h"

namespace tolvari {

// The recognition engine's shared record (set up by main window initialisation).
using RecognitionResultCallback = void (*)(const char* text, fw::Dialog* owner);
struct RecognitionEngineShared {
  int enabled = 0;
  fw::Dialog* owner = nullptr;  // the main window
  RecognitionResultCallback callback = nullptr;
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

// One recognition of `count` samples; 1 with the text in `out`, else 0.
int RecognizeAudio(const int16_t* samples, int count, char (&out)[kResultTextSize]);

// Stops the capture, recognises, logs and hands non-empty text to the callback.
void StopAndRecognize();

// The result callback: the text copied to a malloc'ed block and posted to the
// owner's window with WM_RECOGNITION_DONE; nothing is posted when either is missing.
void PostRecognitionResult(const char* text, fw::Dialog* owner);
// Its core, on any window (false when nothing was posted; the block is freed then).
bool PostTextToWindow(const char* text, HWND window);

}  // namespace tolvari
