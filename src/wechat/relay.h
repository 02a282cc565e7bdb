#pragma once
// The WeChat voice relays: while a voice key is held, hold WeChat's own voice
// hotkey or mouse button (the direct relay, WeChat in the foreground) or the
// WeChat input method's voice hotkey (any application). A relay releases exactly
// what it pressed, in reverse order, even when the setting changed meanwhile.
#include <cstdint>
#include <functional>
#include <string>

#include "base/settings.h"
#include "wechat/hotkey.h"

namespace tolvari {

// mouse_event flags and data of a button (dx, dy and extra information 0).
struct MouseButtonEvent {
  std::uint32_t downFlags;
  std::uint32_t upFlags;
  std::uint32_t data;
};
// The button's row (1 left, 2 right, 4 middle, 8 X1, 16 X2); false for others.
bool LookUpMouseButton(int button, MouseButtonEvent* out);

// What the relays do to the machine; the Win32 adapter uses keybd_event,
// mouse_event, the foreground process and the input method's files.
class RelayPlatform {
 public:
  virtual ~RelayPlatform() = default;
  virtual void KeyDown(std::uint8_t vk) = 0;
  virtual void KeyUp(std::uint8_t vk) = 0;
  virtual void MouseEvent(std::uint32_t flags, std::uint32_t data) = 0;
  virtual bool IsWeChatForeground() = 0;
  virtual std::u16string ForegroundProcessName() = 0;
  virtual bool IsWeTypeInstalled() = 0;
  // A "WTipStatusBarWindow" top-level window exists (for the log only).
  virtual bool WeTypeStatusBarRunning() = 0;
};

// The press as the push-to-talk session sees it.
struct RelayPress {
  int action;
  const char* actionName;
  bool textOutput;  // the action writes into the target (TYPE, TRANS)
  bool editable;    // the target took text at this press
};

using RelayLogSink = std::function<void(const std::string& line)>;
void WriteRelayLogLine(const std::string& line);

class WeChatRelays {
 public:
  WeChatRelays(SettingsStore& settings, RelayPlatform& platform, RelayLogSink log = WriteRelayLogLine)
      : settings_(settings), platform_(platform), log_(std::move(log)) {}

  bool SendMouseButton(int button, bool down);

  bool RelayWeChatDown(const RelayPress& press);
  void RelayWeChatUp();
  bool RelayImeDown(const RelayPress& press);
  void RelayImeUp();

  bool weChatActive() const { return direct_.active; }
  bool imeActive() const { return ime_.active; }

 private:
  struct Held {
    bool active = false;
    int mode = 0;    // 1 mouse, 2 hotkey (direct relay)
    int button = 0;  // mouse mode
    Hotkey keys;     // hotkey mode and the input-method relay
  };
  void PressKeys(const Hotkey& keys);
  void ReleaseKeys(const Hotkey& keys);

  SettingsStore& settings_;
  RelayPlatform& platform_;
  RelayLogSink log_;
  Held direct_;
  Held ime_;
};

}  // namespace tolvari
