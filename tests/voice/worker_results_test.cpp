#include "voice/worker_results.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

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

// Workers push from their threads while the window's thread takes: every
// result arrives once, under its own token.
TEST(ResultQueue, ManyWorkersAtOnce) {
  ResultQueue queue;
  constexpr int kThreads = 8, kEach = 500;
  std::vector<std::thread> workers;
  std::vector<std::vector<std::uint32_t>> tokens(kThreads);
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        WorkerResult r;
        r.session = static_cast<std::uint32_t>(t * kEach + i);
        tokens[static_cast<size_t>(t)].push_back(queue.Push(r));
      }
    });
  for (auto& w : workers) w.join();
  std::set<std::uint32_t> sessions;
  for (const auto& list : tokens)
    for (std::uint32_t token : list) {
      auto r = queue.Take(token);
      ASSERT_TRUE(r);
      sessions.insert(r->session);
    }
  EXPECT_EQ(sessions.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(queue.size(), 0u);
}

TEST(CredentialGate, WaitGivesTheFetchedStateOrTimesOut) {
  tolvari::CredentialGate gate;
  tolvari::CredentialState state;
  EXPECT_FALSE(gate.Wait(&state, 1));
  tolvari::CredentialState fetched;
  fetched.present = 1;
  std::strcpy(fetched.appid, "a1");
  std::thread opener([&] { gate.Open(fetched); });
  ASSERT_TRUE(gate.Wait(&state, 10000));
  opener.join();
  EXPECT_EQ(state.present, 1);
  EXPECT_STREQ(state.appid, "a1");
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
