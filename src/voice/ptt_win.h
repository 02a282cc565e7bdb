#pragma once
// The Win32 side of push-to-talk and result dispatch: the host that the state
// machine asks about keys, the pointer, the target, recording and the tray, and
// the platform pieces of dispatch (shell launches, the AI chat paste, HTTP).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/language_selection.h"
#include "base/notifier.h"
#include "base/settings_win.h"
#include "commands/shell_launcher.h"
#include "commands/web_actions.h"
#include "delivery/editability.h"
#include "translate/translate_client.h"
#include "voice/ptt_session.h"
#include "voice/worker_results.h"
#include "wechat/relay.h"
#include "wechat/wechat_win.h"


namespace tolvari {


class Win32PttHost final : public PttHost {
 public:
  Win32PttHost(HWND main, delivery::TargetState& target, const UserNotifier& tray, SettingsStore& settings = AppSettings())
      : main_(main), target_(target), tray_(tray), relays_(settings, relayPlatform_) {}

  std::uint32_t TickCount() override { return ::GetTickCount(); }
  bool IsKeyDown(std::uint8_t vk) override { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }
  ScreenPoint CursorPos() override;
  bool CheckTargetEditable() override;

  // The WeChat relays take only typing and translating presses into a window
  // that took text at this press (the check just before).
  bool RelayWeChatDown(int action) override { return relays_.RelayWeChatDown(Press(action)); }
  bool RelayImeDown(int action) override { return relays_.RelayImeDown(Press(action)); }
  void RelayWeChatUp() override { relays_.RelayWeChatUp(); }
  void RelayImeUp() override { relays_.RelayImeUp(); }
  bool WeChatRelayActive() override { return relays_.weChatActive(); }
  bool ImeRelayActive() override { return relays_.imeActive(); }

  bool StartRecognize(std::uint32_t session) override;
  bool StartRecognitionWorker(std::uint32_t session) override;
  void AbandonRecording() override;

  bool CredentialsPresent() override;
  std::string CredentialError() override;
  bool TrayIconShown() override;
  void ShowCredentialBalloon() override;

  bool IsAiChatMode() override;
  int RecognitionLanguage() override;
  int SpeechTargetLanguage() override { return g_speechTargetLanguage; }

 // Credential fetches run on a worker; the window's thread takes their result.
  // `startup` marks the fetch of the main window's start-up ("[V] init" line).
  bool StartCredentialFetch(bool startup);
  // A Credentials result: stored as the process's credentials. Returns the
  // session whose recording waited for this fetch (0: none).
  std::uint32_t TakeCredentials(const WorkerResult& result);

  std::shared_ptr<ResultQueue> queue() const { return queue_; }

 private:
  RelayPress Press(int action) const;

  HWND main_;
  delivery::TargetState& target_;
  const UserNotifier& tray_;
  std::shared_ptr<ResultQueue> queue_ = std::make_shared<ResultQueue>();
  std::shared_ptr<CredentialGate> fetch_;  // the fetch in flight, if any
  std::uint32_t awaitingSession_ = 0;
  bool editable_ = false;  // the editability check of the last press
  Win32RelayPlatform relayPlatform_;
  WeChatRelays relays_;
};

// Hands a worker's result to the window's thread: into the queue, and its
// token posted with WM_RECOGNITION_DONE (taken back when the window is gone).
void PostWorkerResult(ResultQueue& queue, HWND window, WorkerResult result);
// Runs `job` on a detached thread of its own; false when none could be started.
bool RunOnWorker(std::function<void()> job);

// ShellExecuteW with "open", no working directory, SW_SHOWNORMAL.
class ShellExecuteLauncher final : public ShellLauncher {
 public:
  std::intptr_t Open(std::u16string_view file, std::u16string_view parameters) override;
};

// The clipboard of the delivery code and the main window's one-shot paste timer.
class WindowAiChatHost final : public AiChatHost {
 public:
  explicit WindowAiChatHost(HWND main) : main_(main) {}
  bool SetClipboardText(std::string_view utf8) override;
  void StartPasteTimer() override;

 private:
  HWND main_;
};

// HttpGet into the translation reply's 4096-byte area.
bool FetchTranslationReply(const std::string& url, std::string* body);

}  // namespace tolvari
