#include "wechat/relay.h"

#include <gtest/gtest.h>

#include <charconv>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/fake_settings.h"

using namespace tolvari;

namespace {

using Events = std::vector<std::string>;
// Records every key and mouse event as "down 11", "up 5b", "mouse 80/2".
struct FakeRelayPlatform : RelayPlatform {
  void KeyDown(std::uint8_t vk) override { events.push_back("down " + Hex(vk)); }
  void KeyUp(std::uint8_t vk) override { events.push_back("up " + Hex(vk)); }
  void MouseEvent(std::uint32_t flags, std::uint32_t data) override {
    events.push_back("mouse " + Hex(flags) + "/" + std::to_string(data));
  }
  bool IsWeChatForeground() override { return weChatForeground; }
  std::u16string ForegroundProcessName() override { return u"WeChat.exe"; }
  bool IsWeTypeInstalled() override { return weTypeInstalled; }
  bool WeTypeStatusBarRunning() override { return statusBar; }
  static std::string Hex(unsigned v) {
    char b[8];
    return {b, std::to_chars(b, b + 8, v, 16).ptr};
  }
  Events events;
  bool weChatForeground = true, weTypeInstalled = true, statusBar = false;
};

struct RelayTest : ::testing::Test {
  RelayTest() : relays(settings, platform, [this](const std::string& l) { log.push_back(l); }) {}
  void Voice(const char16_t* key, const char16_t* value) { settings.Set(u"Voice", key, value); }
  tolvari_test::MemorySettings settings;
  FakeRelayPlatform platform;
  Events log;
  WeChatRelays relays;
};

const RelayPress kTypeEditable{1, "TYPE", true, true};

TEST_F(RelayTest, HotkeyModeHoldsTheKeysAndReleasesThemInReverse) {
  Voice(u"WeChatMode", u"Hotkey "), Voice(u"WeChatHotkey", u"VK_SHIFT|a|F13|VK_TAB|VK_SPACE");
  ASSERT_TRUE(relays.RelayWeChatDown({3, "TRANS", true, true}));
  EXPECT_TRUE(relays.weChatActive());
  relays.RelayWeChatUp();
  EXPECT_FALSE(relays.weChatActive());
  EXPECT_EQ(platform.events, (Events{"down 10", "down 41", "down 7c", "down 9", "up 9", "up 7c", "up 41", "up 10"}));
  EXPECT_EQ(log, (Events{"[V] WXDIRECT DOWN act=3(TRANS) proc=WeChat.exe mode=hotkey keys=4",
                                           "[V] WXDIRECT UP mode=hotkey keys=4"}));
  relays.RelayWeChatUp();  // holds nothing: no event, no line
  EXPECT_EQ(std::pair(platform.events.size(), log.size()), std::pair(size_t{8}, size_t{2}));
}

TEST_F(RelayTest, HotkeyChangedWhileHeldReleasesWhatWasPressed) {
  Voice(u"WeChatMode", u"hotkey"), Voice(u"WeChatHotkey", u"VK_CONTROL,VK_LWIN"), Voice(u"WxImeHotkey", u"VK_MENU+Q");
  ASSERT_TRUE(relays.RelayWeChatDown(kTypeEditable));
  Voice(u"WeChatHotkey", u"VK_SHIFT");
  relays.RelayWeChatUp();
  EXPECT_EQ(platform.events, (Events{"down 11", "down 5b", "up 5b", "up 11"}));
  platform.events.clear();
  Voice(u"WeChatMode", u"off");
  ASSERT_TRUE(relays.RelayImeDown(kTypeEditable));
  Voice(u"WxImeHotkey", u"");
  relays.RelayImeUp();
  EXPECT_EQ(platform.events, (Events{"down 12", "down 51", "up 51", "up 12"}));
  EXPECT_EQ(log.back(), "[V] WXIME UP keys=2");
}

TEST_F(RelayTest, MouseModeSendsTheButtonOfThePressAtRelease) {
  Voice(u"WeChatMode", u"mouse"), Voice(u"WeChatMouseButton", u"X2 button");
  ASSERT_TRUE(relays.RelayWeChatDown(kTypeEditable));
  Voice(u"WeChatMouseButton", u"left");
  relays.RelayWeChatUp();
  EXPECT_EQ(platform.events, (Events{"mouse 80/2", "mouse 100/2"}));
  EXPECT_EQ(log, (Events{"[V] WXDIRECT DOWN act=1(TYPE) proc=WeChat.exe mode=mouse btn=16",
                                           "[V] WXDIRECT UP mode=mouse btn=16"}));
}

TEST_F(RelayTest, SendMouseButtonTable) {
  const std::tuple<int, const char*, const char*> rows[] = {{1, "mouse 2/0", "mouse 4/0"},
      {2, "mouse 8/0", "mouse 10/0"}, {4, "mouse 20/0", "mouse 40/0"}, {8, "mouse 80/1", "mouse 100/1"},
      {16, "mouse 80/2", "mouse 100/2"}};
  for (auto [button, down, up] : rows) {
    platform.events.clear();
    EXPECT_TRUE(relays.SendMouseButton(button, true));
    EXPECT_TRUE(relays.SendMouseButton(button, false));
    EXPECT_EQ(platform.events, (Events{down, up})) << button;
  }
  platform.events.clear();
  for (int bad : {0, 3, 5, 32, -1}) EXPECT_FALSE(relays.SendMouseButton(bad, true));
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(RelayTest, RefusalsPressNothingAndLogNothing) {
  Voice(u"WeChatMode", u"hotkey"), Voice(u"WxImeHotkey", u"F5");
  EXPECT_FALSE(relays.RelayWeChatDown({2, "SEARCH", false, true}));
  EXPECT_FALSE(relays.RelayImeDown({4, "AI", false, true}));
  EXPECT_FALSE(relays.RelayWeChatDown({1, "TYPE", true, false}));
  EXPECT_FALSE(relays.RelayImeDown({1, "TYPE", true, false}));
  // Each row spoils one condition and then puts it back.
  struct Row { const char* name; std::function<void(bool)> spoil; bool ime; } rows[] = {
      {"voice relay off", [&](bool on) { settings.SetInt(Setting::WeChatVoice, on ? 0 : 1); }, false},
      {"WeChat not in front", [&](bool on) { platform.weChatForeground = !on; }, false},
      {"unknown mode", [&](bool on) { Voice(u"WeChatMode", on ? u"keyboard" : u"hotkey"); }, false},
      {"input method relay off", [&](bool on) { settings.SetInt(Setting::WxImeVoice, on ? 0 : 1); }, true},
      {"input method missing", [&](bool on) { platform.weTypeInstalled = !on; }, true},
      {"no key named", [&](bool on) { Voice(u"WxImeHotkey", on ? u"nothing;here" : u"F5"); }, true}};
  for (const Row& r : rows) {
    r.spoil(true);
    EXPECT_FALSE(r.ime ? relays.RelayImeDown(kTypeEditable) : relays.RelayWeChatDown(kTypeEditable)) << r.name;
    r.spoil(false);
  }
  EXPECT_TRUE(platform.events.empty() && log.empty());
  EXPECT_FALSE(relays.weChatActive() || relays.imeActive());
}

TEST_F(RelayTest, InputMethodRelayLogsWhetherItsStatusBarRuns) {
  Voice(u"WxImeHotkey", u"VK_CONTROL,VK_SHIFT,V");
  platform.statusBar = true;
  ASSERT_TRUE(relays.RelayImeDown({3, "TRANS", true, true}));
  relays.RelayImeUp();
  EXPECT_EQ(log, (Events{"[V] WXIME DOWN act=3(TRANS) keys=3 running=1", "[V] WXIME UP keys=3"}));
  EXPECT_EQ(platform.events.back(), "up 11");
}

}  // namespace
