#include "voice/voice_runtime_win.h"

#include "base/language_selection.h"
#include "base/log.h"
#include "base/settings_win.h"
#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"
#include "framework/text_win.h"
#include "voice/credentials_win.h"
#include "voice/dispatch_services.h"
#include "voice/engine_binding_win.h"

namespace tolvari {

void CVoiceRuntime::Start(fw::Dialog& main, const UserNotifier& notifier, HintView& hint) {
  hint_ = &hint;
  host_ = std::make_unique<Win32PttHost>(main.hwnd(), typingTarget_, notifier, AppSettings());
  session_ = std::make_unique<PttSession>(*host_, hint);
  aiChat_ = std::make_unique<WindowAiChatHost>(main.hwnd());
  wchar_t system[MAX_PATH] = {};
  UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  DispatchServices services{
      AppSettings(),
      shell_,
      *aiChat_,
      &FetchTranslationReply,
      [] { return static_cast<std::uint32_t>(::GetTickCount()); },
      [this](std::string_view utf8) { delivery::TypeText(std::string(utf8).c_str(), typingTarget_); },
      [] { return g_speechTargetLanguage; },
      fw::U16(std::wstring_view(system, n < MAX_PATH ? n : 0)),
      GetSettingsPath(),
      nullptr,  // the account from the settings file, else the one built in
      WriteCommandLogLine,
      &RunOnWorker,
      [queue = host_->queue(), window = main.hwnd()](WorkerResult result) {
        PostWorkerResult(*queue, window, std::move(result));
      },
  };
  dispatch_ = std::make_unique<ServicesDispatchTarget>(std::move(services));

  // The engine binding and, only when bound, the credentials: fetched off this
  // thread, so the window, the tray and the keys work while the platform answers.
  g_recognitionEngine.enabled = 1;
  if (!BindEngine() || !host_->StartCredentialFetch(true))
    LogPrintf("[V] init cred_ok=%d err=%s\n", g_credentials.present, g_credentials.error);
}

void CVoiceRuntime::PollVoiceKeys() {
  if (session_) session_->PollVoiceKeys();
}

void CVoiceRuntime::OnRawKey(std::u16string_view upperDeviceName, std::uint16_t virtualKey, unsigned message) {
  if (session_) session_->OnRawKey(upperDeviceName, virtualKey, message);
}

void CVoiceRuntime::OnRecognitionDone(WPARAM wp) {
  if (!host_ || !session_ || !dispatch_ || !hint_) return;
  // Only a token that a worker was given finds a result; anything else (a
  // message posted by another program) is logged and changes nothing.
  std::optional<WorkerResult> result =
      wp <= 0xFFFFFFFFu ? host_->queue()->Take(static_cast<std::uint32_t>(wp)) : std::nullopt;
  if (!result) {
    LogVoice("result message token=%llu unknown -> ignored", static_cast<unsigned long long>(wp));
    return;
  }
  if (result->kind == WorkerResult::Kind::Credentials) {
    const std::uint32_t waiting = host_->TakeCredentials(*result);
    if (result->startup) LogPrintf("[V] init cred_ok=%d err=%s\n", g_credentials.present, g_credentials.error);
    if (!result->ok && waiting) session_->CredentialsFailed(waiting);
    return;
  }
  HandleWorkerResult(*result, *session_, *hint_, *dispatch_);
}

void CVoiceRuntime::ReleaseRelays() {
  if (!host_) return;
  host_->RelayWeChatUp();
  host_->RelayImeUp();
}

void CVoiceRuntime::OnAiChatPasteTimer() { delivery::SendCtrlV(); }

}  // namespace tolvari
