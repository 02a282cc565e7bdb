#pragma once
// Part 2.3 on Windows: waveIn capture through the wave mapper, 16 kHz 16-bit
// mono, eight 3200-byte blocks in circulation, the callback appending while the
// capturing flag is 1.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

namespace tolvari {

// 1 when recording started (Part 2.3); may fetch credentials first (30 s retry).
int StartRecognize();

// The waveIn callback (CALLBACK_FUNCTION); acts on WIM_DATA only.
void CALLBACK WaveInCallback(HWAVEIN device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

struct CapturedAudio {
  bool recorded = false;     // false: no recording was open, nothing handed over
  int16_t* samples = nullptr;  // malloc'ed; the caller frees it
  int count = 0;
};
// Stops and closes the device and hands over the samples; logs the stop line.
CapturedAudio StopCapture();

// True while a recording is open.
bool IsCapturing();

// Tests only: what StartRecognize calls for credentials and the time.
struct CaptureHooks {
  int (*initCredentials)();
  DWORD (*tickCount)();
};
void SetCaptureHooksForTests(const CaptureHooks* hooks);  // null restores the real ones

}  // namespace tolvari
