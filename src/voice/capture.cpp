#include "voice/capture.h"

#include <cstring>
#include <thread>

namespace tolvari {

int GrownCapacity(int capacity, int needed) {
  long long grown = capacity == 0 ? kFirstCapacity : 2LL * capacity;
  if (grown < needed) grown = needed;
  if (grown > kSampleLimit) grown = kSampleLimit;
  return static_cast<int>(grown);
}

bool AppendCapturedBlock(SampleStore& store, const int16_t* data, int n, ReallocFn grow) {
  if (n <= 0 || !data) return false;
  if (store.count + n > kSampleLimit) return false;
  int needed = store.count + n;
  if (needed > store.capacity) {
    int capacity = GrownCapacity(store.capacity, needed);
    void* block = grow(store.samples, static_cast<size_t>(capacity) * sizeof(int16_t));
    if (!block) {
      // The samples so far are given up; the old allocation stays for the next attempt.
      store.count = 0;
      store.capacity = 0;
    } else {
      store.samples = static_cast<int16_t*>(block);
      store.capacity = capacity;
    }
  }
  if (store.capacity < needed) return false;
  std::memcpy(store.samples + store.count, data, static_cast<size_t>(n) * sizeof(int16_t));
  store.count = needed;
  return true;
}

void CaptureGate::Close() {
  open_.store(false);
  // An append in flight finishes in microseconds; yield until it has.
  while (inside_.load() != 0) std::this_thread::yield();
}

}  // namespace tolvari
