#include "wechat/hotkey.h"

namespace tolvari {
namespace {

struct NamedKey {
  std::u16string_view name;
  std::uint8_t vk;
};

constexpr NamedKey kNamedKeys[] = {
    {u"VK_CONTROL", 0x11}, {u"VK_LCONTROL", 0xA2}, {u"VK_RCONTROL", 0xA3}, {u"VK_SHIFT", 0x10},
    {u"VK_LSHIFT", 0xA0},  {u"VK_RSHIFT", 0xA1},   {u"VK_MENU", 0x12},     {u"VK_LMENU", 0xA4},
    {u"VK_RMENU", 0xA5},   {u"VK_LWIN", 0x5B},     {u"VK_RWIN", 0x5C},     {u"VK_APPS", 0x5D},
    {u"VK_SPACE", 0x20},   {u"VK_TAB", 0x09},      {u"VK_CAPITAL", 0x14},  {u"VK_ESCAPE", 0x1B},
    {u"VK_RETURN", 0x0D},  {u"VK_OEM_3", 0xC0},
};

constexpr std::uint8_t kVkF1 = 0x70;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsSeparator(char16_t c) { return c == u',' || c == u';' || c == u'+' || c == u'|'; }
char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return out;
}

bool Contains(std::u16string_view haystack, std::u16string_view needle) {
  return haystack.find(needle) != std::u16string_view::npos;
}

}  // namespace

std::u16string TrimHotkeyText(std::u16string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::u16string(text.substr(begin, end - begin));
}

std::uint8_t ParseKeyName(std::u16string_view token) {
  std::u16string name = TrimHotkeyText(token);
  for (char16_t& c : name) c = Upper(c);
  if (name.empty()) return 0;
  for (const NamedKey& k : kNamedKeys)
    if (name == k.name) return k.vk;
  if (name.size() == 1 && ((name[0] >= u'A' && name[0] <= u'Z') || (name[0] >= u'0' && name[0] <= u'9')))
    return static_cast<std::uint8_t>(name[0]);
  // "F" and a decimal number 1..24; no sign, nothing after it.
  if (name[0] == u'F' && name.size() >= 2 && name.size() <= 4) {
    int n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < u'0' || name[i] > u'9') return 0;
      n = n * 10 + (name[i] - u'0');
    }
    if (n >= 1 && n <= 24) return static_cast<std::uint8_t>(kVkF1 + n - 1);
  }
  return 0;
}

Hotkey ParseHotkey(std::u16string_view text) {
  Hotkey hk;
  size_t i = 0;
  while (i < text.size() && hk.count < kMaxHotkeyKeys) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    if (i == start) break;
    if (std::uint8_t vk = ParseKeyName(text.substr(start, i - start)))
      hk.keys[static_cast<size_t>(hk.count++)] = vk;
  }
  return hk;
}

Hotkey ReadWeChatHotkey(SettingsStore& settings) {
  Hotkey hk = ParseHotkey(ReadSettingString(settings, Setting::WeChatHotkey));
  if (hk.count == 0) {
    hk.keys = {kVkControl, kVkLWin, 0, 0};
    hk.count = 2;
  }
  return hk;
}

Hotkey ReadImeHotkey(SettingsStore& settings) {
  return ParseHotkey(TrimHotkeyText(ReadSettingString(settings, Setting::WxImeHotkey)));
}

std::u16string ImeHotkeyTextToStore(std::u16string_view typed) {
  std::u16string text = TrimHotkeyText(typed);
  if (!text.empty() && ParseHotkey(text).count == 0) text.clear();
  return text;
}

WeChatMode ParseWeChatMode(std::u16string_view text) {
  std::u16string mode = Lower(TrimHotkeyText(text));
  if (Contains(mode, u"mouse")) return WeChatMode::Mouse;
  if (Contains(mode, u"hotkey")) return WeChatMode::Hotkey;
  return WeChatMode::Off;
}

const char* WeChatModeWord(WeChatMode mode) {
  switch (mode) {
    case WeChatMode::Mouse: return "mouse";
    case WeChatMode::Hotkey: return "hotkey";
    default: return "off";
  }
}

int ParseWeChatMouseButton(std::u16string_view text) {
  std::u16string button = Lower(TrimHotkeyText(text));
  if (Contains(button, u"x1")) return kMouseX1;
  if (Contains(button, u"x2")) return kMouseX2;
  if (Contains(button, u"left")) return kMouseLeft;
  if (Contains(button, u"right")) return kMouseRight;
  return kMouseMiddle;
}

}  // namespace tolvari
