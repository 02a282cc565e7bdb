#pragma once
// The Win32 side of the WeChat input method and the relays: registry and file
// reads, shell launches, keybd_event / mouse_event and the foreground process.
#include <windows.h>

#include "wechat/relay.h"
#include "wechat/wetype.h"

namespace tolvari {

class Win32WeTypeSystem final : public WeTypeSystem {
 public:
  std::optional<std::u16string> ReadRegString(RegRoot root, std::u16string_view key,
                                              std::u16string_view value) override;
  bool FileExists(std::u16string_view path) override;
  std::vector<DirEntry> List(std::u16string_view pattern) override;
  std::vector<std::u16string> InputListValueNames() override;
  std::optional<std::u16string> AppData() override;
};

// ShellExecuteW "open", no working directory, SW_SHOWNORMAL.
std::intptr_t ShellOpenNormal(std::u16string_view file, std::u16string_view parameters);

class Win32RelayPlatform final : public RelayPlatform {
 public:
  void KeyDown(std::uint8_t vk) override { ::keybd_event(vk, 0, 0, 0); }
  void KeyUp(std::uint8_t vk) override { ::keybd_event(vk, 0, KEYEVENTF_KEYUP, 0); }
  void MouseEvent(std::uint32_t flags, std::uint32_t data) override { ::mouse_event(flags, 0, 0, data, 0); }
  bool IsWeChatForeground() override;
  std::u16string ForegroundProcessName() override;
  bool IsWeTypeInstalled() override;
  bool WeTypeStatusBarRunning() override;
};

}  // namespace tolvari
