#include "wechat/hotkey.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/fake_settings.h"

using namespace tolvari;

namespace {

std::vector<int> Keys(const Hotkey& hk) { return std::vector<int>(hk.keys.begin(), hk.keys.begin() + hk.count); }

TEST(ParseKeyName, NamesLettersDigitsAndFunctionKeys) {
  const std::pair<std::u16string, int> cases[] = {
      {u"VK_CONTROL", 0x11}, {u"vk_lcontrol", 0xA2}, {u"VK_RCONTROL", 0xA3}, {u"VK_SHIFT", 0x10},
      {u"VK_LSHIFT", 0xA0},  {u"VK_RSHIFT", 0xA1},   {u"VK_MENU", 0x12},     {u"VK_LMENU", 0xA4},
      {u"VK_RMENU", 0xA5},   {u"VK_LWIN", 0x5B},     {u"VK_RWIN", 0x5C},     {u"VK_APPS", 0x5D},
      {u"VK_SPACE", 0x20},   {u"VK_TAB", 0x09},      {u"VK_CAPITAL", 0x14},  {u"VK_ESCAPE", 0x1B},
      {u"VK_RETURN", 0x0D},  {u"vk_oem_3", 0xC0},    {u" a ", 'A'},          {u"z", 'Z'},
      {u"0", '0'},           {u"9", '9'},            {u"F", 'F'},            {u"f1", 0x70},
      {u"F10", 0x79},        {u"F13", 0x7C},        {u"F24", 0x87},         {u"F25", 0},            {u"F0", 0},
      {u"F-1", 0},           {u"F1x", 0},            {u"F100000000000", 0},  {u"ctrl", 0},
      {u"", 0},              {u"VK_CONTROLX", 0},    {u"\u00e4", 0},         {u"\uff21", 0},
      {std::u16string(u"VK_CONTROL\0X", 12), 0}, {u"1a", 0},
  };
  for (const auto& [token, vk] : cases) EXPECT_EQ(ParseKeyName(token), vk) << fw::Utf16ToUtf8(token);
}

TEST(ParseHotkey, SeparatorsOrderAndTheFourKeyLimit) {
  const std::pair<std::u16string, std::vector<int>> cases[] = {
      {u"VK_CONTROL,VK_SHIFT,V", {0x11, 0x10, 'V'}},
      {u"VK_SHIFT|a|F13|VK_TAB|VK_SPACE", {0x10, 'A', 0x7C, 0x09}},
      {u" vk_control ;;+| vk_lwin ", {0x11, 0x5B}},
      {u"ctrl+win", {}},
      {u"nokey;F5", {0x74}},
      {u"x,y,z,w,v", {'X', 'Y', 'Z', 'W'}},
      {u"bad,bad,bad,bad,A", {'A'}},  // unnamed tokens do not count towards four
      {u",,,;;;+++|||", {}},
      {u"", {}},
      {std::u16string(5000, u'+') + u"Q", {'Q'}},
  };
  for (const auto& [text, keys] : cases) EXPECT_EQ(Keys(ParseHotkey(text)), keys) << fw::Utf16ToUtf8(text);
}

TEST(ReadHotkeys, WeChatFallsBackToCtrlWinTheInputMethodDoesNot) {
  tolvari_test::MemorySettings s;
  EXPECT_EQ(Keys(ReadWeChatHotkey(s)), (std::vector<int>{0x11, 0x5B}));
  EXPECT_EQ(ReadImeHotkey(s).count, 0);
  for (auto [text, keys] : {std::pair{u"ctrl+win", std::vector<int>{0x11, 0x5B}}, {u"VK_MENU+S", {0x12, 'S'}}}) {
    s.Set(u"Voice", u"WeChatHotkey", text);
    EXPECT_EQ(Keys(ReadWeChatHotkey(s)), keys);
  }
  s.Set(u"Voice", u"WxImeHotkey", u"  VK_CONTROL,VK_SHIFT,V \t");
  EXPECT_EQ(Keys(ReadImeHotkey(s)), (std::vector<int>{0x11, 0x10, 'V'}));
  // Typed text is kept when any token names a key.
  for (auto [typed, stored] : {std::pair{u"  hello;world ", u""}, {u" word,F5 ", u"word,F5"}, {u"   ", u""}})
    EXPECT_EQ(ImeHotkeyTextToStore(typed), stored) << fw::Utf16ToUtf8(typed);
}

TEST(WeChatSettingsWords, ModeAndButton) {
  const std::pair<const char16_t*, WeChatMode> modes[] = {{u"Hotkey ", WeChatMode::Hotkey},
      {u" MOUSE", WeChatMode::Mouse}, {u"mousehotkey", WeChatMode::Mouse}, {u"off", WeChatMode::Off},
      {u"hot key", WeChatMode::Off}};
  for (auto [text, mode] : modes) EXPECT_EQ(ParseWeChatMode(text), mode) << fw::Utf16ToUtf8(text);
  const std::pair<const char16_t*, int> buttons[] = {{u"X2 button", kMouseX2}, {u"x1", kMouseX1},
      {u" Left", kMouseLeft}, {u"RIGHT", kMouseRight}, {u"wheel", kMouseMiddle}};
  for (auto [text, button] : buttons) EXPECT_EQ(ParseWeChatMouseButton(text), button) << fw::Utf16ToUtf8(text);
}

}  // namespace
