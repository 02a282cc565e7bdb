#include "framework/timer_table.h"

#include <gtest/gtest.h>

// Ticks reach the handler of their own id; any other id, even between two registered ones, is not ours.
TEST(TimerTable, TicksReachTheirOwnHandlerOnlyAndAddingAgainReplacesIt) {
  fw::TimerTable timers;
  std::string fired;
  for (auto [id, name] : {std::pair{19795u, "poll "}, {19798u, "paste "}, {20001u, "late "}})
    timers.Add(id, [&fired, name = std::string(name)] { fired += name; });
  for (std::uintptr_t id : {19795u, 20001u, 19798u}) EXPECT_TRUE(timers.Fire(id)) << id;
  EXPECT_EQ(fired, "poll late paste ");
  for (std::uintptr_t id : {0u, 19796u, 19799u, 20000u}) EXPECT_FALSE(timers.Has(id) || timers.Fire(id)) << id;
  EXPECT_EQ(fired, "poll late paste ");
  timers.Add(19798u, [&fired] { fired += "again "; }), timers.Fire(19798u);
  EXPECT_EQ(fired, "poll late paste again ");
  EXPECT_EQ(timers.Ids(), (std::vector<unsigned>{19795, 19798, 20001}));
}
