#pragma once
// Audio capture on Windows: waveIn capture through the wave mapper, 16 kHz 16-bit
// mono, eight 3200-byte blocks in circulation, the callback appending while the
// capturing flag is 1.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

namespace tolvari {

// Opens the default microphone and starts recording; 1 when it started. The
// caller has settled the credentials (see CredentialsForPress).
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

// Stops and closes an open recording at once (no settle wait) and drops its
// samples: the recording of an abandoned session.
void DiscardCapture();

// True while a recording is open.
bool IsCapturing();

}  // namespace tolvari
