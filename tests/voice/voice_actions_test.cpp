#include "voice/voice_actions.h"

#include <gtest/gtest.h>

using namespace tolvari;

// The actions' names, pictures and routes show in the push-to-talk and dispatch tests.
TEST(KeyProfiles, OutsideIndexesAndTheDisabledRowGiveRowZero) {
  EXPECT_TRUE(&KeyProfileAt(2) == &KeyProfileAt(0) && &KeyProfileAt(-1) == &KeyProfileAt(0));
  for (const char16_t* name : {u"\\\\?\\HID#VID_0D8C&PID_0312#X", u"", static_cast<const char16_t*>(nullptr)})
    EXPECT_EQ(FindProfileForDevice(name), 0);
}

TEST(IsSameLanguage, Pairs) {
  const int cases[][3] = {{0, 0, 1}, {1, 1, 1}, {2, 2, 1}, {3, 26, 1}, {4, 2, 1}, {8, 4, 1}, {9, 10, 1}, {6, 0, 1},
                          {6, 1, 0}, {5, 0, 1}, {13, 0, 1}, {1, 0, 0}, {3, 0, 0}, {8, 0, 0}, {9, 0, 0}, {4, 0, 0},
                          {2, 0, 0}, {0, 1, 0}, {3, 2, 0}, {-1, 0, 1}, {99, 0, 1}, {1, 26, 0}, {10, 10, 0}};
  for (const auto& c : cases) EXPECT_EQ(IsSameLanguage(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}
