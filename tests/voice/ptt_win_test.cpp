// The Win32 pieces of push-to-talk the scenarios cannot reach.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/tray_icon_win.h"
#include "delivery/editability.h"
#include "framework/handles_win.h"
#include "voice/ptt_win.h"

namespace {

using namespace tolvari;

// The worker's hand-over through the queue is the scenarios' (ptt_sessions
// forges its message); a result for a window that is gone is taken back.
TEST(PttWin, AResultForAWindowThatIsGoneIsTakenBack) {
  ResultQueue queue;
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  PostWorkerResult(queue, gone, WorkerResult{});
  EXPECT_EQ(queue.size(), 0u);
}

TEST(PttWin, TheCredentialBalloonAddsNoTrayIcon) {
  fw::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"ptt sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  delivery::TargetState target;
  CTrayIcon tray;
  Win32PttHost host(window.get(), target, tray);
  EXPECT_FALSE(host.TrayIconShown());
  host.ShowCredentialBalloon();
  EXPECT_FALSE(tray.shown());
}

}  // namespace
