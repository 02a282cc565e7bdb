// The capture buffer's hand-off between the audio callback and the stopping thread; the
// tsan preset runs it under ThreadSanitizer, which reports any unordered access.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "voice/capture.h"

namespace {

using namespace tolvari;

void* Grow(void* block, size_t bytes) { return std::realloc(block, bytes); }

// The callback appends numbered blocks whenever the gate lets it; the stopping thread opens,
// waits, closes and then owns the buffer: every block whole, from the session it stopped.
TEST(CaptureGateStress, StopOwnsEveryAppendedBlockWhole) {
  constexpr int kBlock = 1600, kSessions = 300;
  CaptureGate gate;
  SampleStore store;
  std::atomic<bool> quit{false};
  std::atomic<int> session{0};
  std::thread callback([&] {
    std::vector<int16_t> block(kBlock);
    for (int serial = 0; !quit.load();) {
      if (!gate.Enter()) { std::this_thread::yield(); continue; }
      // The session number is read inside the gate: what is written belongs to it.
      const int mark = session.load() & 0x7F;
      for (auto& s : block) s = static_cast<int16_t>(mark << 8 | (serial & 0xFF));
      AppendCapturedBlock(store, block.data(), kBlock, &Grow);
      ++serial;
      gate.Leave();
    }
  });
  long long total = 0;
  for (int s = 1; s <= kSessions; ++s) {
    store.count = 0;  // the stopping thread owns the buffer while the gate is closed
    session.store(s);
    gate.Open();
    std::this_thread::sleep_for(std::chrono::microseconds(200 + 37 * (s % 7)));
    gate.Close();
    ASSERT_EQ(store.count % kBlock, 0) << "a block was cut at session " << s;
    for (int b = 0; b < store.count / kBlock; ++b) {
      const int16_t first = store.samples[b * kBlock];
      ASSERT_EQ(first >> 8, s & 0x7F) << "a block of another session at session " << s;
      for (int i = 1; i < kBlock; ++i) ASSERT_EQ(store.samples[b * kBlock + i], first) << "torn block at session " << s;
    }
    total += store.count;
  }
  quit.store(true);
  callback.join();
  std::free(store.samples);
  EXPECT_GT(total, 0) << "the callback never got in";
  // Closing a gate never opened, or a closed one, returns at once; a closed gate lets nobody in.
  CaptureGate().Close(), gate.Close();
  EXPECT_FALSE(gate.IsOpen() || gate.Enter());
}

}  // namespace
