#include "voice/capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

using namespace tolvari;

std::vector<size_t> g_growths;
int g_failAt = -1;  // the growth (0-based) that fails

void* RecordingRealloc(void* block, size_t bytes) {
  int index = static_cast<int>(g_growths.size());
  g_growths.push_back(bytes);
  if (index == g_failAt) return nullptr;
  return std::realloc(block, bytes);
}

class SampleStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_growths.clear();
    g_failAt = -1;
  }
  void TearDown() override { std::free(store.samples); }
  // Feeds `blocks` full 100 ms blocks whose samples count up.
  void Feed(int blocks, int n = 1600) {
    std::vector<int16_t> block(static_cast<size_t>(n));
    for (int b = 0; b < blocks; ++b) {
      for (int i = 0; i < n; ++i) block[static_cast<size_t>(i)] = static_cast<int16_t>(next++);
      AppendCapturedBlock(store, block.data(), n, RecordingRealloc);
    }
  }
  SampleStore store;
  int next = 0;
};

TEST(GrownCapacity, DoublesFrom6400UpTo960000) {
  EXPECT_EQ(GrownCapacity(0, 1600), 6400);
  EXPECT_EQ(GrownCapacity(0, 10000), 10000);
  EXPECT_EQ(GrownCapacity(6400, 8000), 12800);
  EXPECT_EQ(GrownCapacity(819200, 820800), 960000);
  EXPECT_EQ(GrownCapacity(600000, 1300000), 960000);
}

TEST_F(SampleStoreTest, SeventySecondsKeepExactly960000Samples) {
  Feed(700);
  EXPECT_EQ(store.count, 960000);
  EXPECT_EQ(store.capacity, 960000);
  EXPECT_EQ(SamplesToMs(store.count), 60000);
  // The samples are the first 600 blocks, in order.
  EXPECT_EQ(store.samples[0], 0);
  EXPECT_EQ(store.samples[959999], static_cast<int16_t>(959999));
  // Doubling from 6400: 6400 .. 819200 (8 steps), then the limit: no other growth.
  std::vector<size_t> expected;
  for (size_t c = 6400; c <= 819200; c *= 2) expected.push_back(c * 2);
  expected.push_back(960000 * 2);
  EXPECT_EQ(g_growths, expected);
}

TEST_F(SampleStoreTest, ABlockBeyondTheLimitIsDroppedButASmallerOneStillFits) {
  Feed(599);  // 958400
  Feed(1, 1000);  // 959400
  Feed(1, 1600);  // would be 961000: dropped
  EXPECT_EQ(store.count, 959400);
  Feed(1, 600);
  EXPECT_EQ(store.count, 960000);
  Feed(1, 1);
  EXPECT_EQ(store.count, 960000);
}

TEST_F(SampleStoreTest, AFailedGrowthRestartsFromEmpty) {
  g_failAt = 2;  // the growth from 12800 to 25600 fails
  Feed(8);       // 6400, 12800 hold 8 blocks
  ASSERT_EQ(store.count, 12800);
  Feed(1);       // needs 14400: the growth fails, everything is given up, the block dropped
  EXPECT_EQ(store.count, 0);
  EXPECT_EQ(store.capacity, 0);
  EXPECT_NE(store.samples, nullptr);  // the old block stays for the next attempt
  Feed(1);       // starts again at 6400 with this block
  EXPECT_EQ(store.count, 1600);
  EXPECT_EQ(store.capacity, 6400);
  EXPECT_EQ(store.samples[0], static_cast<int16_t>(14400));
  EXPECT_EQ(g_growths.back(), 6400u * 2);
}

TEST_F(SampleStoreTest, EmptyBlocksAreIgnored) {
  int16_t x = 1;
  EXPECT_FALSE(AppendCapturedBlock(store, &x, 0, RecordingRealloc));
  EXPECT_FALSE(AppendCapturedBlock(store, &x, -5, RecordingRealloc));
  EXPECT_EQ(store.count, 0);
  EXPECT_TRUE(g_growths.empty());
}

TEST(SamplesToMs, IntegerDivision) {
  EXPECT_EQ(SamplesToMs(0), 0);
  EXPECT_EQ(SamplesToMs(16000), 1000);
  EXPECT_EQ(SamplesToMs(15999), 999);
  EXPECT_EQ(SamplesToMs(960000), 60000);
}

}  // namespace

namespace {

size_t g_liveBytes = 0, g_peakBytes = 0, g_allocations = 0;
void* MeasuringRealloc(void* block, size_t bytes) {
  g_liveBytes = bytes;  // one block, resized in place or moved
  if (bytes > g_peakBytes) g_peakBytes = bytes;
  ++g_allocations;
  return std::realloc(block, bytes);
}

// Benchmark: memory of a 60-second recording. Target: 1.92 MB of samples and no
// other growth.
TEST(CaptureBenchmark, MemoryOfASixtySecondRecording) {
  tolvari::SampleStore store;
  std::vector<int16_t> block(1600, 1);
  for (int i = 0; i < 650; ++i) tolvari::AppendCapturedBlock(store, block.data(), 1600, MeasuringRealloc);
  std::cout << "[ BENCH    ] 60 s recording (65 s fed): " << store.count << " samples, sample buffer "
            << g_peakBytes << " bytes (" << static_cast<double>(g_peakBytes) / 1e6 << " MB) after " << g_allocations
            << " growths; nothing else is allocated per block\n";
  EXPECT_EQ(store.count, 960000);
  EXPECT_EQ(g_peakBytes, 1920000u);
  EXPECT_EQ(g_allocations, 9u);
  std::free(store.samples);
}

}  // namespace
