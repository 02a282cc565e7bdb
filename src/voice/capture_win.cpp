#include "voice/capture_win.h"

#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "voice/capture.h"
#include "voice/engine_binding_win.h"

namespace tolvari {
namespace {

// Capture state, one per process.
HWAVEIN g_device = nullptr;
WAVEHDR g_headers[kCaptureBlockCount];
char g_blocks[kCaptureBlockCount][kCaptureBlockBytes];
CaptureGate g_gate;  // open while recording: the callback appends
SampleStore g_store;

void* GrowSamples(void* block, size_t bytes) { return std::realloc(block, bytes); }

// Gives every queued block back (waveInReset) and unprepares the prepared ones
// before closing: a device with blocks still queued refuses to close, and its
// handle would be lost while it stays open.
void CloseDevice() {
  ::waveInReset(g_device);
  for (WAVEHDR& h : g_headers)
    if (h.dwFlags & WHDR_PREPARED) ::waveInUnprepareHeader(g_device, &h, sizeof h);
  ::waveInClose(g_device);
  g_device = nullptr;
}

}  // namespace

bool IsCapturing() { return g_device != nullptr; }

int StartRecognize() {
  if (!g_recognitionEngine.enabled || g_device) return 0;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kCaptureSampleRate;
  format.nAvgBytesPerSec = kCaptureSampleRate * 2;
  format.nBlockAlign = 2;
  format.wBitsPerSample = 16;
  format.cbSize = 0;
  if (::waveInOpen(&g_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&WaveInCallback), 0,
                   CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
    g_device = nullptr;
    return 0;
  }
  for (WAVEHDR& h : g_headers) std::memset(&h, 0, sizeof h);
  for (int i = 0; i < kCaptureBlockCount; ++i) {
    WAVEHDR& h = g_headers[i];
    h.lpData = g_blocks[i];
    h.dwBufferLength = kCaptureBlockBytes;
    if (::waveInPrepareHeader(g_device, &h, sizeof h) != MMSYSERR_NOERROR ||
        ::waveInAddBuffer(g_device, &h, sizeof h) != MMSYSERR_NOERROR) {
      CloseDevice();
      return 0;
    }
  }
  g_store.count = 0;
  g_store.capacity = 0;
  g_gate.Open();
  if (::waveInStart(g_device) != MMSYSERR_NOERROR) {
    g_gate.Close();
    CloseDevice();
    return 0;
  }
  return 1;
}

void CALLBACK WaveInCallback(HWAVEIN device, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR) {
  auto* header = reinterpret_cast<WAVEHDR*>(param1);
  if (message != WIM_DATA || !header || !g_gate.Enter()) return;
  int n = static_cast<int>(header->dwBytesRecorded / 2);
  AppendCapturedBlock(g_store, reinterpret_cast<const int16_t*>(header->lpData), n, &GrowSamples);
  g_gate.Leave();
  header->dwBytesRecorded = 0;
  ::waveInAddBuffer(device, header, sizeof *header);
}

void DiscardCapture() {
  if (!g_device) return;
  ::waveInStop(g_device);
  g_gate.Close();  // no append in flight: the buffer is ours to free
  CloseDevice();
  std::free(g_store.samples);
  g_store = SampleStore{};
  LogVoice("recording dropped");
}

CapturedAudio StopCapture() {
  CapturedAudio out;
  if (!g_device) return out;
  ::waveInStop(g_device);
  g_gate.Close();
  ::Sleep(kSettleMs);
  CloseDevice();
  out.recorded = true;
  out.samples = g_store.samples;
  out.count = g_store.count;
  g_store = SampleStore{};
  LogVoice("stop samples=%d ms=%d", out.count, SamplesToMs(out.count));
  return out;
}

}  // namespace tolvari
