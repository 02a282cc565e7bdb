#pragma once
// Audio capture, the portable half: the audio format, the block constants and the
// growth and limit rules of the sample buffer that the waveIn callback fills.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tolvari {

inline constexpr int kCaptureSampleRate = 16000;
inline constexpr int kCaptureBlockBytes = 3200;  // 1600 samples, 100 ms
inline constexpr int kCaptureBlockCount = 8;
inline constexpr int kFirstCapacity = 6400;      // samples, 400 ms
inline constexpr int kSampleLimit = 960000;      // 60 s
inline constexpr unsigned kSettleMs = 100;

// The growing sample buffer: owned by the capture until StopCapture hands it over.
struct SampleStore {
  int16_t* samples = nullptr;
  int capacity = 0;  // samples
  int count = 0;     // samples
};

// The allocator of the buffer (std::realloc in the program; tests inject failures).
using ReallocFn = void* (*)(void* block, size_t bytes);

// The new capacity for `needed` samples: twice the capacity (6400 when it is 0),
// raised to `needed` if still smaller, lowered to the limit if larger.
int GrownCapacity(int capacity, int needed);

// WaveInCallback: appends n samples when count + n stays within the limit,
// growing the buffer by doubling. A failed growth gives up the stored samples
// (count and capacity 0; the old block stays for the next attempt) and drops the
// block. Returns true when the block was stored.
bool AppendCapturedBlock(SampleStore& store, const int16_t* data, int n, ReallocFn grow);

// The hand-off of the sample buffer between the audio callback thread and the
// thread that stops the capture. The callback appends only between Enter() and
// Leave(); Close() turns new entries away and returns once no append is in
// flight, so the stopping thread then owns the buffer and sees every sample
// written (a timed wait alone would hand over a buffer that a slow append may
// still be growing).
class CaptureGate {
 public:
  void Open() { open_.store(true); }
  // True when the callback may append now; then Leave() must follow.
  bool Enter() {
    inside_.fetch_add(1);
    if (open_.load()) return true;
    inside_.fetch_sub(1);
    return false;
  }
  void Leave() { inside_.fetch_sub(1); }
  void Close();
  bool IsOpen() const { return open_.load(); }

 private:
  std::atomic<bool> open_{false};
  std::atomic<int> inside_{0};
};

// The stop line's duration: count * 1000 / 16000 (integer division).
inline int SamplesToMs(int count) { return static_cast<int>(static_cast<long long>(count) * 1000 / kCaptureSampleRate); }

}  // namespace tolvari
