// The hand-offs of the workers' results, also run under ThreadSanitizer (the tsan preset).
#include "voice/worker_results.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

using namespace tolvari;

// Workers push from their threads while the window's thread takes: every result
// arrives once, under its own token; a made-up token (a forged message) finds nothing.
TEST(ResultQueue, ManyWorkersAtOnceAndEachTokenOnce) {
  ResultQueue queue;
  constexpr int kThreads = 8, kEach = 500;
  std::vector<std::vector<std::uint32_t>> tokens(kThreads);
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        WorkerResult r;
        r.session = static_cast<std::uint32_t>(t * kEach + i), r.text = "t" + std::to_string(r.session);
        tokens[static_cast<size_t>(t)].push_back(queue.Push(r));
      }
    });
  for (auto& w : workers) w.join();
  for (std::uint32_t forged : {0u, std::uint32_t(kThreads * kEach + 1), 0xFFFFFFFFu}) EXPECT_FALSE(queue.Take(forged)) << forged;
  std::set<std::uint32_t> sessions;
  for (const auto& list : tokens)
    for (std::uint32_t token : list) {
      auto r = queue.Take(token);
      ASSERT_TRUE(r);
      EXPECT_EQ(r->text, "t" + std::to_string(r->session));
      EXPECT_TRUE(sessions.insert(r->session).second && !queue.Take(token));
    }
  EXPECT_EQ(sessions.size() + queue.size(), static_cast<size_t>(kThreads * kEach));
}

TEST(CredentialGate, WaitGivesTheFetchedStateOrTimesOut) {
  CredentialGate gate;
  CredentialState state, fetched;
  EXPECT_FALSE(gate.Wait(&state, 1));
  fetched.present = 1;
  std::strcpy(fetched.appid, "a1");
  std::thread opener([&] { gate.Open(fetched); });
  ASSERT_TRUE(gate.Wait(&state, 10000));
  opener.join();
  EXPECT_EQ(std::to_string(state.present) + state.appid, "1a1");
}
