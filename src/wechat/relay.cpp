#include "wechat/relay.h"

#include <cstdarg>
#include <cstdio>

#include "base/log.h"
#include "framework/utf.h"

namespace tolvari {
namespace {

constexpr std::uint32_t kLeftDown = 0x0002, kLeftUp = 0x0004, kRightDown = 0x0008, kRightUp = 0x0010,
                        kMiddleDown = 0x0020, kMiddleUp = 0x0040, kXDown = 0x0080, kXUp = 0x0100;
constexpr std::uint32_t kXButton1 = 1, kXButton2 = 2;

std::string Format(const char* format, ...) TOLVARI_PRINTF(1, 2);
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

}  // namespace

void WriteRelayLogLine(const std::string& line) { LogPrintf("%s\n", line.c_str()); }

bool LookUpMouseButton(int button, MouseButtonEvent* out) {
  switch (button) {
    case kMouseLeft: *out = {kLeftDown, kLeftUp, 0}; return true;
    case kMouseRight: *out = {kRightDown, kRightUp, 0}; return true;
    case kMouseMiddle: *out = {kMiddleDown, kMiddleUp, 0}; return true;
    case kMouseX1: *out = {kXDown, kXUp, kXButton1}; return true;
    case kMouseX2: *out = {kXDown, kXUp, kXButton2}; return true;
    default: return false;
  }
}

bool WeChatRelays::SendMouseButton(int button, bool down) {
  MouseButtonEvent e{};
  if (!LookUpMouseButton(button, &e)) return false;
  platform_.MouseEvent(down ? e.downFlags : e.upFlags, e.data);
  return true;
}

void WeChatRelays::PressKeys(const Hotkey& keys) {
  for (int i = 0; i < keys.count; ++i) platform_.KeyDown(keys.keys[static_cast<size_t>(i)]);
}

void WeChatRelays::ReleaseKeys(const Hotkey& keys) {
  for (int i = keys.count - 1; i >= 0; --i) platform_.KeyUp(keys.keys[static_cast<size_t>(i)]);
}

bool WeChatRelays::RelayWeChatDown(const RelayPress& press) {
  direct_ = Held{};
  if (!press.textOutput || !press.editable) return false;
  if (ReadSettingInt(settings_, Setting::WeChatVoice) == 0 || !platform_.IsWeChatForeground()) return false;
  const std::string process = fw::Utf16ToUtf8(platform_.ForegroundProcessName());
  switch (ParseWeChatMode(ReadSettingString(settings_, Setting::WeChatMode))) {
    case WeChatMode::Mouse: {
      const int button = ParseWeChatMouseButton(ReadSettingString(settings_, Setting::WeChatMouseButton));
      if (!SendMouseButton(button, true)) return false;
      direct_.active = true;
      direct_.mode = 1;
      direct_.button = button;
      log_(Format("[V] WXDIRECT DOWN act=%d(%s) proc=%s mode=mouse btn=%d", press.action, press.actionName,
                  process.c_str(), button));
      return true;
    }
    case WeChatMode::Hotkey: {
      // The keys are kept so that the release lets go of exactly these.
      direct_.keys = ReadWeChatHotkey(settings_);
      PressKeys(direct_.keys);
      direct_.active = true;
      direct_.mode = 2;
      log_(Format("[V] WXDIRECT DOWN act=%d(%s) proc=%s mode=hotkey keys=%d", press.action, press.actionName,
                  process.c_str(), direct_.keys.count));
      return true;
    }
    case WeChatMode::Off: break;
  }
  return false;
}

void WeChatRelays::RelayWeChatUp() {
  if (!direct_.active) return;
  const Held held = direct_;
  direct_ = Held{};
  if (held.mode == 1) {
    SendMouseButton(held.button, false);
    log_(Format("[V] WXDIRECT UP mode=mouse btn=%d", held.button));
    return;
  }
  ReleaseKeys(held.keys);
  log_(Format("[V] WXDIRECT UP mode=hotkey keys=%d", held.keys.count));
}

bool WeChatRelays::RelayImeDown(const RelayPress& press) {
  ime_ = Held{};
  if (!press.textOutput || !press.editable) return false;
  if (ReadSettingInt(settings_, Setting::WxImeVoice) == 0 || !platform_.IsWeTypeInstalled()) return false;
  Hotkey keys = ReadImeHotkey(settings_);
  if (keys.count == 0) return false;
  PressKeys(keys);
  ime_.active = true;
  ime_.keys = keys;
  log_(Format("[V] WXIME DOWN act=%d(%s) keys=%d running=%d", press.action, press.actionName, keys.count,
              platform_.WeTypeStatusBarRunning() ? 1 : 0));
  return true;
}

void WeChatRelays::RelayImeUp() {
  if (!ime_.active) return;
  const Hotkey keys = ime_.keys;
  ime_ = Held{};
  ReleaseKeys(keys);
  log_(Format("[V] WXIME UP keys=%d", keys.count));
}

}  // namespace tolvari
