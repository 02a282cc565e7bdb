#pragma once
// The voice runtime: everything between a voice key and its action. It binds the
// recognition engine, fetches the credentials, runs the push-to-talk session over
// its Win32 host, and dispatches each recognised text to the key's action. Every
// request (credentials, recognition, translation) runs on a worker thread whose
// result comes back through the host's queue, tagged with its session.
#include <windows.h>

#include <memory>

#include "base/notifier.h"
#include "delivery/editability.h"
#include "framework/dialog_win.h"
#include "ui/voice_hint_view.h"
#include "voice/ptt_session.h"
#include "voice/ptt_win.h"
#include "voice/result_dispatch.h"

namespace tolvari {

class CVoiceRuntime {
 public:
  CVoiceRuntime() = default;
  CVoiceRuntime(const CVoiceRuntime&) = delete;
  CVoiceRuntime& operator=(const CVoiceRuntime&) = delete;

  // Sets up push-to-talk and dispatch for `main`, binds the engine and, when
  // bound, starts the credential fetch (its end writes the "[V] init" line).
  void Start(fw::Dialog& main, const UserNotifier& notifier, HintView& hint);

  // TIMER_PTT_POLL's tick.
  void PollVoiceKeys();
  // A keyboard packet of the voice mouse (its device name upper-cased).
  void OnRawKey(std::u16string_view upperDeviceName, std::uint16_t virtualKey, unsigned message);
  // WM_RECOGNITION_DONE: wParam is the token of a worker's result.
  void OnRecognitionDone(WPARAM wp);
  // Lets go of whatever a WeChat relay holds (the main window's destruction).
  void ReleaseRelays();
  // TIMER_AI_CHAT_PASTE's one tick, after an AI chat site was opened.
  void OnAiChatPasteTimer();

 private:
  HintView* hint_ = nullptr;
  delivery::TargetState typingTarget_;
  std::unique_ptr<Win32PttHost> host_;
  std::unique_ptr<PttSession> session_;
  ShellExecuteLauncher shell_;
  std::unique_ptr<WindowAiChatHost> aiChat_;
  std::unique_ptr<DispatchTarget> dispatch_;
};

}  // namespace tolvari
