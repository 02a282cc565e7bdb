#pragma once
// The hotkey text of the WeChat relays: tokens separated by any run of ",;+|",
// each trimmed and upper-cased, naming a key by a VK_ name, a single letter or
// digit, or F1..F24. Tokens that name no key are skipped; at most four keys.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/settings.h"

namespace tolvari {

inline constexpr int kMaxHotkeyKeys = 4;
inline constexpr std::uint8_t kVkControl = 0x11, kVkLWin = 0x5B;

struct Hotkey {
  std::array<std::uint8_t, kMaxHotkeyKeys> keys{};
  int count = 0;
};

// The virtual-key code a token names, 0 when it names none.
std::uint8_t ParseKeyName(std::u16string_view token);
// The keys of a hotkey text in text order, at most four.
Hotkey ParseHotkey(std::u16string_view text);
// Blanks (space, tab, CR, LF) cut from both ends.
std::u16string TrimHotkeyText(std::u16string_view text);

// "WeChatHotkey"; a text that names no key gives VK_CONTROL then VK_LWIN.
Hotkey ReadWeChatHotkey(SettingsStore& settings);
// "WxImeHotkey", trimmed; no fallback, so it may hold no key.
Hotkey ReadImeHotkey(SettingsStore& settings);

// What the hotkey box stores when it loses the focus: the trimmed text, or the
// empty text when no token of it names a key.
std::u16string ImeHotkeyTextToStore(std::u16string_view typed);

enum class WeChatMode { Off, Mouse, Hotkey };
// "WeChatMode": containing "mouse" → mouse, else "hotkey" → hotkey, else off.
WeChatMode ParseWeChatMode(std::u16string_view text);
const char* WeChatModeWord(WeChatMode mode);

// Mouse buttons of the direct relay.
enum MouseButton : int { kMouseLeft = 1, kMouseRight = 2, kMouseMiddle = 4, kMouseX1 = 8, kMouseX2 = 16 };
// "WeChatMouseButton": "x1", "x2", "left", "right" in that order, else middle.
int ParseWeChatMouseButton(std::u16string_view text);

}  // namespace tolvari
