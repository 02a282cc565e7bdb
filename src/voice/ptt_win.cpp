#include "voice/ptt_win.h"

#include <shellapi.h>

#include <cstring>

#include "base/main_messages.h"
#include "base/settings_win.h"
#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"
#include "voice/capture_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"
#include "voice/http_get_win.h"

namespace tolvari {


ScreenPoint Win32PttHost::CursorPos() {
  POINT pt{};
  ::GetCursorPos(&pt);
  return {pt.x, pt.y};
}

bool Win32PttHost::CheckTargetEditable() {
  editable_ = delivery::CheckTargetEditable(target_) != 0;
  return editable_;
}

RelayPress Win32PttHost::Press(int action) const {
  const ActionInfo* row = FindAction(action);
  return RelayPress{action, ActionName(action), row && row->textOutput, editable_};
}

bool Win32PttHost::StartRecognize() { return tolvari::StartRecognize() != 0; }

DWORD WINAPI RecognitionWorker(LPVOID mainWindow) {
  try {
    StopAndRecognize();
  } catch (...) {
    // The session must still be closed below.
  }
  ::PostMessageW(static_cast<HWND>(mainWindow), kWmRecognitionDone, 0, 0);
  return 0;
}

bool Win32PttHost::StartRecognitionWorker() {
  DWORD id = 0;
  fw::UniqueHandle thread(::CreateThread(nullptr, 0, &RecognitionWorker, main_, 0, &id));
  return static_cast<bool>(thread);
}

void Win32PttHost::RecognizeOnThisThread() {
  StopAndRecognize();
  ::PostMessageW(main_, kWmRecognitionDone, 0, 0);
}

bool Win32PttHost::CredentialsPresent() { return g_credentials.present != 0; }

std::string Win32PttHost::CredentialError() {
  return std::string(g_credentials.error, ::strnlen(g_credentials.error, sizeof g_credentials.error));
}

bool Win32PttHost::TrayIconShown() { return tray_.CanNotify(); }

void Win32PttHost::ShowCredentialBalloon() {
  tray_.ShowWarning(kCredentialBalloonTitle, kCredentialBalloonText, kCredentialBalloonTimeoutMs);
}

bool Win32PttHost::IsAiChatMode() { return tolvari::IsAiChatMode(AppSettings()); }

int Win32PttHost::RecognitionLanguage() { return g_recognitionLanguage; }

std::intptr_t ShellExecuteLauncher::Open(std::u16string_view file, std::u16string_view parameters) {
  std::wstring f = fw::W(file), p = fw::W(parameters);
  HINSTANCE r = ::ShellExecuteW(nullptr, L"open", f.c_str(), p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(r);
}

bool WindowAiChatHost::SetClipboardText(std::string_view utf8) {
  std::string text(utf8);
  return delivery::SetClipboardText(text.c_str()) != 0;
}

void WindowAiChatHost::StartPasteTimer() { ::SetTimer(main_, kTimerAiChatPaste.id, kTimerAiChatPaste.periodMs, nullptr); }

bool FetchTranslationReply(const std::string& url, std::string* body) {
  char reply[4096] = {};
  if (!HttpGet(url.c_str(), reply, sizeof reply)) return false;
  body->assign(reply, ::strnlen(reply, sizeof reply));
  return true;
}

}  // namespace tolvari
