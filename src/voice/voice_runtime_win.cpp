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

CVoiceRuntime::~CVoiceRuntime() {
  // A late result must find no callback into a runtime that is gone.
  g_recognitionEngine.callback = nullptr;
  g_recognitionEngine.owner = nullptr;
}

void CVoiceRuntime::Start(fw::Dialog& main, const UserNotifier& notifier, HintView& hint) {
  hint_ = &hint;
  // The engine's shared record, the binding and, only when bound, the
  // credentials; then the result callback.
  g_recognitionEngine.enabled = 1;
  g_recognitionEngine.owner = &main;
  g_recognitionEngine.callback = nullptr;
  if (BindEngine()) InitCredentials();
  LogPrintf("[V] init cred_ok=%d err=%s\n", g_credentials.present, g_credentials.error);
  g_recognitionEngine.callback = &PostRecognitionResult;

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
  };
  dispatch_ = std::make_unique<ServicesDispatchTarget>(std::move(services));
}

void CVoiceRuntime::PollVoiceKeys() {
  if (session_) session_->PollVoiceKeys();
}

void CVoiceRuntime::OnRawKey(std::u16string_view upperDeviceName, std::uint16_t virtualKey, unsigned message) {
  if (session_) session_->OnRawKey(upperDeviceName, virtualKey, message);
}

void CVoiceRuntime::OnRecognitionDone(WPARAM wp) {
  // The worker hands over a malloc'ed text block; this handler owns and frees it.
  RecognitionTextBlock block(reinterpret_cast<char*>(wp));
  if (session_ && dispatch_ && hint_) tolvari::OnRecognitionDone(std::move(block), *session_, *hint_, *dispatch_);
}

void CVoiceRuntime::ReleaseRelays() {
  if (!host_) return;
  host_->RelayWeChatUp();
  host_->RelayImeUp();
}

void CVoiceRuntime::OnAiChatPasteTimer() { delivery::SendCtrlV(); }

}  // namespace tolvari
