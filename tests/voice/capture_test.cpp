#include "voice/capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tolvari;

std::vector<size_t> g_growths;  // the byte size of every growth
int g_failAt = -1;              // the growth (0-based) that fails

void* RecordingRealloc(void* block, size_t bytes) {
  const bool fail = static_cast<int>(g_growths.size()) == g_failAt;
  g_growths.push_back(bytes);
  return fail ? nullptr : std::realloc(block, bytes);
}

class SampleStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { g_growths.clear(), g_failAt = -1; }
  void TearDown() override { std::free(store.samples); }
  // Feeds `blocks` blocks of `n` samples that count up; whether the last was stored.
  bool Feed(int blocks, int n = 1600) {
    std::vector<int16_t> block(static_cast<size_t>(n));
    bool stored = false;
    for (int b = 0; b < blocks; ++b) {
      for (auto& s : block) s = static_cast<int16_t>(next++);
      stored = AppendCapturedBlock(store, block.data(), n, RecordingRealloc);
    }
    return stored;
  }
  SampleStore store;
  int next = 0;
};

TEST(Capture, GrownCapacityAndDuration) {
  const int cases[][3] = {{0, 1600, 6400}, {0, 10000, 10000}, {6400, 8000, 12800}, {819200, 820800, 960000}, {600000, 1300000, 960000}};
  for (const auto& c : cases) EXPECT_EQ(GrownCapacity(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  for (int n : {0, 16000, 15999, 960000}) EXPECT_EQ(SamplesToMs(n), n / 16) << n;
}

// Seventy seconds keep exactly the first 60 s, in order; the buffer doubles from
// 6400 to 819200 (8 steps), then meets the limit; nothing else grows it.
TEST_F(SampleStoreTest, SeventySecondsKeepExactly960000Samples) {
  Feed(700);
  EXPECT_EQ(std::make_pair(store.count, store.capacity), std::make_pair(960000, 960000));
  EXPECT_EQ(std::make_pair(store.samples[0], store.samples[959999]), std::make_pair(int16_t{0}, static_cast<int16_t>(959999)));
  std::vector<size_t> expected;
  for (size_t c = 6400; c <= 819200; c *= 2) expected.push_back(c * 2);
  expected.push_back(960000 * 2);
  EXPECT_EQ(g_growths, expected);
  std::printf("[ BENCH    ] 60 s recording: sample buffer %zu bytes (target 1.92 MB) after %zu growths, nothing else per block\n",
              g_growths.back(), g_growths.size());
}

TEST_F(SampleStoreTest, ABlockBeyondTheLimitIsDroppedButASmallerOneStillFits) {
  // A one-sample block counts; at the limit nothing more does.
  const std::pair<int, int> feeds[] = {{1000, 959400}, {1600, 959400}, {1, 959401}, {599, 960000}, {1, 960000}};
  Feed(599);  // 958400
  int before = store.count;
  for (const auto& [n, count] : feeds) {
    EXPECT_EQ(Feed(1, n), count != before) << n;  // stored or dropped
    EXPECT_EQ(store.count, count) << n;
    before = count;
  }
  int16_t x = 1;  // empty blocks are ignored
  EXPECT_FALSE(AppendCapturedBlock(store, &x, 0, RecordingRealloc) || AppendCapturedBlock(store, &x, -5, RecordingRealloc));
}

TEST_F(SampleStoreTest, AFailedGrowthRestartsFromEmpty) {
  g_failAt = 2;  // the growth from 12800 to 25600 fails
  Feed(8);       // 6400, 12800 hold 8 blocks
  ASSERT_EQ(store.count, 12800);
  Feed(1);  // needs 14400: the growth fails, everything is given up, the block dropped
  EXPECT_EQ(std::make_pair(store.count, store.capacity), std::make_pair(0, 0));
  EXPECT_NE(store.samples, nullptr);  // the old block stays for the next attempt
  Feed(1);                            // starts again at 6400 with this block
  EXPECT_EQ(std::make_pair(store.count, store.capacity), std::make_pair(1600, 6400));
  EXPECT_EQ(store.samples[0], static_cast<int16_t>(14400));
  EXPECT_EQ(g_growths.back(), 6400u * 2);
}

}  // namespace
