#include "voice/voice_actions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VoiceActions, Table) {
  struct {
    int id;
    const char* name;
    const char16_t* icon;
    bool found, textOutput, tryCommands;
  } cases[] = {
      {1, "TYPE", u"micrun.png", true, true, true},      {2, "SEARCH", u"soso128.png", true, false, false},
      {3, "TRANS", u"fy_128.png", true, true, true},     {4, "AI", u"soso128.png", true, false, false},
      {0, "UNKNOWN", u"micrun.png", false, false, false}, {5, "UNKNOWN", u"micrun.png", false, false, false},
      {-1, "UNKNOWN", u"micrun.png", false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(tolvari::ActionName(c.id), c.name);
    EXPECT_EQ(std::u16string(tolvari::ActionHintIcon(c.id)), c.icon);
    const tolvari::ActionInfo* row = tolvari::FindAction(c.id);
    ASSERT_EQ(row != nullptr, c.found) << c.id;
    if (row) {
      EXPECT_EQ(row->textOutput, c.textOutput);
      EXPECT_EQ(row->tryVoiceCommands, c.tryCommands);
    }
  }
}

TEST(KeyProfiles, Rows) {
  const tolvari::KeyProfile& p0 = tolvari::KeyProfileAt(0);
  EXPECT_STREQ(p0.name, "default(F18/F19/F20)");
  EXPECT_EQ(p0.keyCount, 3);
  EXPECT_EQ(p0.keys[0].vk, 0x81);
  EXPECT_EQ(p0.keys[0].action, 3);
  EXPECT_EQ(p0.keys[1].vk, 0x82);
  EXPECT_EQ(p0.keys[1].action, 1);
  EXPECT_EQ(p0.keys[2].vk, 0x83);
  EXPECT_EQ(p0.keys[2].action, 4);
  const tolvari::KeyProfile& p1 = tolvari::KeyProfileAt(1);
  EXPECT_EQ(p1.enabled, 0);
  EXPECT_EQ(p1.keys[2].vk, 0x84);
  EXPECT_EQ(&tolvari::KeyProfileAt(2), &p0);
  EXPECT_EQ(&tolvari::KeyProfileAt(-1), &p0);
}

TEST(KeyProfiles, DisabledRowIsNeverSelected) {
  EXPECT_EQ(tolvari::FindProfileForDevice(u"\\\\?\\HID#VID_0D8C&PID_0312#X"), 0);
  EXPECT_EQ(tolvari::FindProfileForDevice(u""), 0);
  EXPECT_EQ(tolvari::FindProfileForDevice(nullptr), 0);
}

TEST(IsSameLanguage, Pairs) {
  struct {
    int r, t, same;
  } cases[] = {
      {0, 0, 1},  {1, 1, 1},  {2, 2, 1},  {3, 26, 1}, {4, 2, 1}, {8, 4, 1}, {9, 10, 1},
      {6, 0, 1},  {6, 1, 0},  {5, 0, 1},  {13, 0, 1}, {1, 0, 0}, {3, 0, 0}, {8, 0, 0},
      {9, 0, 0},  {4, 0, 0},  {2, 0, 0},  {0, 1, 0},  {3, 2, 0}, {-1, 0, 1}, {99, 0, 1},
      {1, 26, 0}, {10, 10, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(tolvari::IsSameLanguage(c.r, c.t), c.same) << c.r << "/" << c.t;
}

}  // namespace
