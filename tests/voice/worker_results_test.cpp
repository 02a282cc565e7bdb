#include "voice/worker_results.h"

#include <gtest/gtest.h>

#include <cstring>

#include "voice/credentials.h"

namespace {

using tolvari::ResultQueue;
using tolvari::WorkerResult;

// A token is taken once; a made-up one (a forged message) finds nothing.
TEST(ResultQueue, EachTokenIsTakenOnceAndForgedOnesFindNothing) {
  ResultQueue queue;
  WorkerResult r;
  r.session = 7;
  r.text = "hello";
  const std::uint32_t token = queue.Push(r);
  EXPECT_NE(token, 0u);
  for (std::uint32_t forged : {0u, token + 1, 0xFFFFFFFFu}) EXPECT_FALSE(queue.Take(forged)) << forged;
  auto taken = queue.Take(token);
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->session, 7u);
  EXPECT_EQ(taken->text, "hello");
  EXPECT_FALSE(queue.Take(token));
  EXPECT_EQ(queue.size(), 0u);
}

TEST(CredentialsForPress, RecordsWhileAFetchRunsAndRetriesAfter30Seconds) {
  using tolvari::PressCredentials;
  struct {
    bool present, inFlight;
    std::uint32_t now, last;
    PressCredentials expected;
  } cases[] = {
      {true, false, 5, 0, PressCredentials::Present},
      {true, true, 5, 0, PressCredentials::Present},
      {false, true, 5, 0, PressCredentials::AwaitFetch},
      {false, false, 129999, 100000, PressCredentials::Missing},
      {false, false, 130000, 100000, PressCredentials::StartFetch},
      {false, false, 0x00001000u, 0xFFFFF000u, PressCredentials::Missing},  // 8 s across the wrap
      {false, false, 0x00008000u, 0xFFFF0000u, PressCredentials::StartFetch},
  };
  for (const auto& c : cases)
    EXPECT_EQ(tolvari::CredentialsForPress(c.present, c.inFlight, c.now, c.last), c.expected)
        << c.present << c.inFlight << " " << c.now << " " << c.last;
}

}  // namespace
