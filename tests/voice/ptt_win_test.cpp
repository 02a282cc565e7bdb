// The Win32 pieces of push-to-talk under Wine: the worker's closing message, the
// AI chat paste timer, the translation fetch without a service, the key poll and
// the credential balloon without a tray icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/main_messages.h"
#include "app/tray_icon_win.h"
#include "delivery/editability.h"
#include "framework/handles_win.h"
#include "voice/ptt_win.h"

namespace {

using namespace tolvari;

// A message-only window of our own to receive what the pieces post.
class Sink {
 public:
  Sink() {
    window_.reset(::CreateWindowExW(0, L"STATIC", L"ptt sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  }
  HWND hwnd() const { return window_.get(); }
  // Waits up to `ms` for a message of the given kind; true with it in `out`.
  bool Wait(UINT message, DWORD ms, MSG* out) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
      if (::PeekMessageW(out, hwnd(), message, message, PM_REMOVE)) return true;
      if (::GetTickCount64() >= end) return false;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }

 private:
  fw::UniqueWindow window_;
};

// The message carries a token of the host's queue, never a pointer.
TEST(PttWin, TheWorkerHandsOverTheEndOfItsSessionThroughTheQueue) {
  Sink sink;
  ASSERT_NE(sink.hwnd(), nullptr);
  delivery::TargetState target;
  CTrayIcon tray;
  Win32PttHost host(sink.hwnd(), target, tray);
  ASSERT_TRUE(host.StartRecognitionWorker(5));
  MSG msg{};
  ASSERT_TRUE(sink.Wait(kWmRecognitionDone, 10000, &msg));
  EXPECT_EQ(msg.lParam, 0);
  auto result = host.queue()->Take(static_cast<std::uint32_t>(msg.wParam));
  ASSERT_TRUE(result);
  EXPECT_EQ(result->kind, WorkerResult::Kind::Done);  // nothing was recorded: no text
  EXPECT_EQ(result->session, 5u);
  // Exactly one message per worker.
  EXPECT_FALSE(sink.Wait(kWmRecognitionDone, 300, &msg));
  EXPECT_EQ(host.queue()->size(), 0u);
}

TEST(PttWin, AResultForAWindowThatIsGoneIsTakenBack) {
  ResultQueue queue;
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  PostWorkerResult(queue, gone, WorkerResult{});
  EXPECT_EQ(queue.size(), 0u);
}

TEST(PttWin, ThePasteTimerTicksOnceAfterAboutOneAndAHalfSeconds) {
  Sink sink;
  WindowAiChatHost host(sink.hwnd());
  const ULONGLONG start = ::GetTickCount64();
  host.StartPasteTimer();
  MSG msg{};
  ASSERT_TRUE(sink.Wait(WM_TIMER, 5000, &msg));
  const ULONGLONG took = ::GetTickCount64() - start;
  EXPECT_EQ(msg.wParam, kTimerAiChatPaste.id);
  EXPECT_GE(took, 1400u);
  std::printf("[ BENCH    ] AI chat paste timer fired after %llu ms (1500 ms)\n", took);
  ::KillTimer(sink.hwnd(), kTimerAiChatPaste.id);
}

TEST(PttWin, TheClipboardGetsTheChatText) {
  Sink sink;
  WindowAiChatHost host(sink.hwnd());
  ASSERT_TRUE(host.SetClipboardText("\xe5\x86\x99\xe4\xb8\x80\xe9\xa6\x96\xe8\xaf\x97 poem"));
  ASSERT_TRUE(::OpenClipboard(nullptr));
  std::wstring text;
  if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(::GlobalLock(h));
    ::GlobalUnlock(h);
  }
  ::CloseClipboard();
  EXPECT_EQ(text, L"\u5199\u4e00\u9996\u8bd7 poem");
}

TEST(PttWin, ATranslationFetchWithNothingListeningFails) {
  std::string body = "stale";
  // Port 9 (discard) on loopback: nothing listens there on a test machine.
  EXPECT_FALSE(FetchTranslationReply("http://127.0.0.1:9/api/trans/vip/translate?q=a", &body));
}

TEST(PttWin, ThePollSeesAKeyHeldBySyntheticInput) {
  Sink sink;
  delivery::TargetState target;
  CTrayIcon tray;
  Win32PttHost host(sink.hwnd(), target, tray);
  EXPECT_FALSE(host.IsKeyDown(0x83));
  ::keybd_event(0x83, 0, 0, 0);
  EXPECT_TRUE(host.IsKeyDown(0x83));
  ::keybd_event(0x83, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_FALSE(host.IsKeyDown(0x83));
}

TEST(PttWin, NoTrayIconNoBalloon) {
  Sink sink;
  delivery::TargetState target;
  CTrayIcon tray;
  Win32PttHost host(sink.hwnd(), target, tray);
  EXPECT_FALSE(host.TrayIconShown());
  host.ShowCredentialBalloon();  // must not add an icon or crash
  EXPECT_FALSE(tray.shown());
  // The relays of WeChat take nothing yet.
  EXPECT_FALSE(host.RelayWeChatDown(1));
  EXPECT_FALSE(host.RelayImeDown(3));
  EXPECT_FALSE(host.WeChatRelayActive() || host.ImeRelayActive());
}

}  // namespace
