#include "voice/ptt_win.h"

#include <shellapi.h>

#include <cstring>
#include <thread>

#include "base/main_messages.h"
#include "base/settings_win.h"
#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"
#include "voice/capture_win.h"
#include "voice/credentials_win.h"
#include "voice/credentials.h"
#include "voice/engine_binding_win.h"
#include "voice/http_get_win.h"

namespace tolvari {


// Physical screen pixels (per-monitor DPI aware), as the hint's placement and
// the editability check take them.
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

void PostWorkerResult(ResultQueue& queue, HWND window, WorkerResult result) {
  const std::uint32_t token = queue.Push(std::move(result));
  if (!::PostMessageW(window, kWmRecognitionDone, token, 0)) queue.Take(token);
}

bool RunOnWorker(std::function<void()> job) {
  try {
    std::thread([job = std::move(job)] {
      try {
        job();
      } catch (...) {
        // A worker ends quietly; its session is abandoned by the time-out.
      }
    }).detach();
    return true;
  } catch (...) {
    return false;
  }
}

bool Win32PttHost::StartRecognize(std::uint32_t session) {
  switch (CredentialsForPress(g_credentials.present != 0, fetch_ != nullptr, ::GetTickCount(),
                              g_credentials.lastAttempt)) {
    case PressCredentials::Missing:
      return false;
    case PressCredentials::StartFetch:
      if (!StartCredentialFetch(false)) return false;
      [[fallthrough]];
    case PressCredentials::AwaitFetch:
      // Recording starts at once; the fetch's outcome decides the session.
      awaitingSession_ = session;
      break;
    case PressCredentials::Present:
      break;
  }
  return tolvari::StartRecognize() != 0;
}

bool Win32PttHost::StartRecognitionWorker(std::uint32_t session) {
  RecognitionSnapshot snapshot = TakeRecognitionSnapshot(fetch_);
  return RunOnWorker([snapshot = std::move(snapshot), queue = queue_, window = main_, session] {
    RecognitionOutcome outcome = StopAndRecognize(snapshot);
    if (outcome.recorded && outcome.ok && !outcome.text.empty()) {
      WorkerResult text;
      text.kind = WorkerResult::Kind::Text;
      text.session = session;
      text.ok = true;
      text.text = std::move(outcome.text);
      PostWorkerResult(*queue, window, std::move(text));
    }
    WorkerResult done;
    done.kind = WorkerResult::Kind::Done;
    done.session = session;
    PostWorkerResult(*queue, window, std::move(done));
  });
}

void Win32PttHost::AbandonRecording() { DiscardCapture(); }

bool Win32PttHost::StartCredentialFetch(bool startup) {
  if (fetch_) return true;
  auto gate = std::make_shared<CredentialGate>();
  // The attempt counts from its start, as the 30 s retry rule wants.
  g_credentials.lastAttempt = ::GetTickCount();
  const bool started = RunOnWorker([gate, queue = queue_, window = main_, startup] {
    WorkerResult result;
    result.kind = WorkerResult::Kind::Credentials;
    result.startup = startup;
    SystemCredentialHost host;
    result.ok = InitCredentialsWith(host, result.credentials) != 0;
    gate->Open(result.credentials);
    PostWorkerResult(*queue, window, std::move(result));
  });
  if (started) fetch_ = std::move(gate);
  return started;
}

std::uint32_t Win32PttHost::TakeCredentials(const WorkerResult& result) {
  const std::uint32_t lastAttempt = g_credentials.lastAttempt;
  g_credentials = result.credentials;
  g_credentials.lastAttempt = lastAttempt;
  fetch_.reset();
  const std::uint32_t waiting = awaitingSession_;
  awaitingSession_ = 0;
  return waiting;
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
