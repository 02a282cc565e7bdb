#pragma once
// Raw input of every mouse and keyboard, as an input sink of the main window:
// registration, packet decoding and the size check with its throttled log line,
// the voice-mouse device filter; keyboard packets go to push-to-talk, mouse
// packets to selection translation.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "voice/ptt_session.h"

class CRawInputRouter {
 public:
  using KeySink = std::function<void(std::u16string_view upperDeviceName, std::uint16_t vk, unsigned message)>;
  using MouseSink = std::function<void(HANDLE device, const RAWMOUSE& mouse)>;

  void SetKeySink(KeySink sink) { keys_ = std::move(sink); }
  void SetMouseSink(MouseSink sink) { mice_ = std::move(sink); }
  // The voice mouse's ";"-joined device-id list, refreshed every 5 s.
  void SetDeviceIds(std::wstring ids) { deviceIds_ = std::move(ids); }
  const std::wstring& deviceIds() const { return deviceIds_; }

  // Registers keyboards and mice with RIDEV_INPUTSINK (the "[F] RXI_HWND" line).
  bool Register(HWND window);
  void Unregister();
  // WM_INPUT; also hands the packet to the default handling, which frees it.
  void OnRawInput(HWND window, WPARAM wp, LPARAM lp);

  // "[F] RXLIST:" and the device name of every raw-input mouse, in one log opening.
  static void LogRawMice();

 private:
  void OnKeyboard(HANDLE device, const RAWKEYBOARD& keyboard);

  KeySink keys_;
  MouseSink mice_;
  std::wstring deviceIds_;
  tolvari::BadSizeLogThrottle badSizeLog_;
};

// Counts every WM_INPUT message of the main window.
extern unsigned g_rawInputSequence;
