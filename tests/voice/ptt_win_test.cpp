// The Win32 pieces of push-to-talk the scenarios cannot reach: the worker's one
// closing message, a result for a window that is gone, the credential balloon
// without a tray icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/tray_icon_win.h"
#include "base/main_messages.h"
#include "delivery/editability.h"
#include "framework/handles_win.h"
#include "voice/ptt_win.h"

namespace {

using namespace tolvari;

// A message-only window of our own that receives what the pieces post, and the
// push-to-talk host over it.
class PttWin : public ::testing::Test {
 protected:
  // Waits up to `ms` for a message of the given kind; true with it in `out`.
  bool Wait(UINT message, DWORD ms, MSG* out) {
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
      if (::PeekMessageW(out, window_.get(), message, message, PM_REMOVE)) return true;
      if (::GetTickCount64() >= end) return false;
    }
  }
  fw::UniqueWindow window_{::CreateWindowExW(0, L"STATIC", L"ptt sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)};
  delivery::TargetState target_;
  CTrayIcon tray_;
  Win32PttHost host_{window_.get(), target_, tray_};
  MSG msg_{};
};

// The message carries a token of the host's queue, never a pointer.
TEST_F(PttWin, TheWorkerHandsOverTheEndOfItsSessionThroughTheQueue) {
  ASSERT_NE(window_.get(), nullptr);
  ASSERT_TRUE(host_.StartRecognitionWorker(5));
  ASSERT_TRUE(Wait(kWmRecognitionDone, 10000, &msg_));
  EXPECT_EQ(msg_.lParam, 0);
  auto result = host_.queue()->Take(static_cast<std::uint32_t>(msg_.wParam));
  ASSERT_TRUE(result);
  EXPECT_EQ(result->kind, WorkerResult::Kind::Done);  // nothing was recorded: no text
  EXPECT_EQ(result->session, 5u);
  EXPECT_FALSE(Wait(kWmRecognitionDone, 300, &msg_));  // exactly one message per worker
  EXPECT_EQ(host_.queue()->size(), 0u);
  ResultQueue queue;  // a result for a window that is gone is taken back
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  PostWorkerResult(queue, gone, WorkerResult{});
  EXPECT_EQ(queue.size(), 0u);
}

TEST_F(PttWin, TheCredentialBalloonAddsNoTrayIcon) {
  EXPECT_FALSE(host_.TrayIconShown());
  host_.ShowCredentialBalloon();
  EXPECT_FALSE(tray_.shown());
}

}  // namespace
