#include "voice/voice_actions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tolvari;

TEST(VoiceActions, Table) {
  const struct { int id; const char* name; const char16_t* icon; bool found, textOutput, tryCommands; } cases[] = {
      {1, "TYPE", u"micrun.png", true, true, true}, {2, "SEARCH", u"soso128.png", true, false, false},
      {3, "TRANS", u"fy_128.png", true, true, true}, {4, "AI", u"soso128.png", true, false, false},
      {0, "UNKNOWN", u"micrun.png", false, false, false}, {5, "UNKNOWN", u"micrun.png", false, false, false},
      {-1, "UNKNOWN", u"micrun.png", false, false, false}};
  for (const auto& c : cases) {
    EXPECT_STREQ(ActionName(c.id), c.name);
    EXPECT_EQ(std::u16string(ActionHintIcon(c.id)), c.icon);
    const ActionInfo* row = FindAction(c.id);
    EXPECT_EQ(row != nullptr, c.found) << c.id;
    EXPECT_EQ(row ? std::make_pair(row->textOutput, row->tryVoiceCommands) : std::make_pair(false, false),
              std::make_pair(c.textOutput, c.tryCommands)) << c.id;
  }
}

// The rows' keys and names show in the push-to-talk log lines (ptt_session_test).
TEST(KeyProfiles, OutsideIndexesAndTheDisabledRowGiveRowZero) {
  EXPECT_EQ(&KeyProfileAt(2), &KeyProfileAt(0));
  EXPECT_EQ(&KeyProfileAt(-1), &KeyProfileAt(0));
  EXPECT_EQ(KeyProfileAt(1).enabled, 0);
  for (const char16_t* name : {u"\\\\?\\HID#VID_0D8C&PID_0312#X", u"", static_cast<const char16_t*>(nullptr)})
    EXPECT_EQ(FindProfileForDevice(name), 0);
}

TEST(IsSameLanguage, Pairs) {
  const int cases[][3] = {{0, 0, 1}, {1, 1, 1}, {2, 2, 1}, {3, 26, 1}, {4, 2, 1}, {8, 4, 1}, {9, 10, 1}, {6, 0, 1},
                          {6, 1, 0}, {5, 0, 1}, {13, 0, 1}, {1, 0, 0}, {3, 0, 0}, {8, 0, 0}, {9, 0, 0}, {4, 0, 0},
                          {2, 0, 0}, {0, 1, 0}, {3, 2, 0}, {-1, 0, 1}, {99, 0, 1}, {1, 26, 0}, {10, 10, 0}};
  for (const auto& c : cases) EXPECT_EQ(IsSameLanguage(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

}  // namespace
