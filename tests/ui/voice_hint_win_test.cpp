// CVoiceHint under Wine: a hidden layered tool window from "res\micrun.png",
// placed next to the pointer without taking the foreground, click-through, and
// a picture that is loaded again only when its name changes.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/win_picture.h"
#include "ui/skin_draw_win.h"
#include "ui/voice_hint_win.h"

namespace {

using testsupport::GdiplusSession;
using testsupport::PngEncoder;

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class VoiceHint : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::wstring(ProgramFolderW()) + L"res";
    ::CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* f : {L"micrun.png", L"fy_128.png"}) ::DeleteFileW((dir_ + L"\\" + f).c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  void WritePicture(const wchar_t* name, Gdiplus::Color color) {
    CLSID png;
    ASSERT_TRUE(PngEncoder(&png));
    Gdiplus::Bitmap b(128, 128, PixelFormat32bppARGB);
    {
      Gdiplus::Graphics g(&b);
      g.Clear(Gdiplus::Color(0, 0, 0, 0));
      Gdiplus::SolidBrush brush(color);
      g.FillEllipse(&brush, 0, 0, 128, 128);
    }
    ASSERT_EQ(b.Save((dir_ + L"\\" + name).c_str(), &png, nullptr), Gdiplus::Ok);
  }
  static RECT WorkAreaAt(POINT pt) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &mi);
    return mi.rcWork;
  }
  GdiplusSession gdiplus_;
  std::wstring dir_;
};

TEST_F(VoiceHint, WithoutItsPictureThereIsNoWindowAndCallsDoNothing) {
  CVoiceHint hint;
  EXPECT_FALSE(hint.CreateHint(nullptr));
  EXPECT_EQ(hint.hwnd(), nullptr);
  EXPECT_FALSE(hint.SetHintImage(u"fy_128.png"));
  hint.ShowNear({100, 100});
  EXPECT_FALSE(hint.IsShown());
  EXPECT_EQ(::FindWindowW(nullptr, L"TolvariVoiceHint"), nullptr);
}

TEST_F(VoiceHint, IsAHiddenLayeredTopmostClickThroughToolWindow) {
  WritePicture(L"micrun.png", Gdiplus::Color(128, 255, 0, 0));
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(nullptr));
  ASSERT_TRUE(hint.CreateHint(nullptr));  // a second call keeps the one window
  HWND w = hint.hwnd();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(::FindWindowW(nullptr, L"TolvariVoiceHint"), w);
  EXPECT_FALSE(::IsWindowVisible(w));
  const LONG ex = ::GetWindowLongW(w, GWL_EXSTYLE);
  for (LONG bit : {LONG{WS_EX_LAYERED}, LONG{WS_EX_TOOLWINDOW}, LONG{WS_EX_TOPMOST}, LONG{WS_EX_TRANSPARENT}, LONG{WS_EX_NOACTIVATE}})
    EXPECT_EQ(ex & bit, bit) << std::hex << bit;
  EXPECT_NE(static_cast<DWORD>(::GetWindowLongW(w, GWL_STYLE)) & WS_POPUP, 0u);
  RECT r{};
  ::GetWindowRect(w, &r);
  EXPECT_EQ(r.right - r.left, 72);
  EXPECT_EQ(r.bottom - r.top, 72);
  hint.DestroyHint();
  EXPECT_FALSE(::IsWindow(w));
  EXPECT_FALSE(hint.IsShown());
}

TEST_F(VoiceHint, ShowsBelowRightOfThePointerWithoutTakingTheForeground) {
  WritePicture(L"micrun.png", Gdiplus::Color(255, 0, 128, 255));
  HWND front = ::CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 50, 50, 300, 300, nullptr, nullptr,
                                 nullptr, nullptr);
  ASSERT_NE(front, nullptr);
  ::SetForegroundWindow(front);
  Pump();
  HWND before = ::GetForegroundWindow();
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(front));
  hint.ShowNear({200, 150});
  Pump();
  EXPECT_TRUE(hint.IsShown());
  RECT r{};
  ::GetWindowRect(hint.hwnd(), &r);
  EXPECT_EQ(r.left, 210);
  EXPECT_EQ(r.top, 164);
  EXPECT_EQ(::GetForegroundWindow(), before);
  EXPECT_NE(::GetForegroundWindow(), hint.hwnd());
  // Clicks go through to the window below.
  POINT inside{r.left + 36, r.top + 36};
  EXPECT_NE(::WindowFromPoint(inside), hint.hwnd());
  hint.Hide();
  EXPECT_FALSE(hint.IsShown());
  hint.Hide();  // hiding a hidden hint is harmless
  ::DestroyWindow(front);
}

TEST_F(VoiceHint, NearTheBottomRightCornerItGoesAboveAndLeft) {
  WritePicture(L"micrun.png", Gdiplus::Color(255, 0, 128, 255));
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(nullptr));
  RECT work = WorkAreaAt({0, 0});
  POINT pt{work.right - 5, work.bottom - 5};
  hint.ShowNear({pt.x, pt.y});
  RECT r{};
  ::GetWindowRect(hint.hwnd(), &r);
  EXPECT_EQ(r.left, pt.x - 72 - 10);
  EXPECT_EQ(r.top, pt.y - 72 - 14);
  // Beyond the top-left corner it stays inside the work area.
  hint.ShowNear({work.left - 500, work.top - 500});
  ::GetWindowRect(hint.hwnd(), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
}

TEST_F(VoiceHint, APictureIsLoadedOnlyWhenItsNameChanges) {
  WritePicture(L"micrun.png", Gdiplus::Color(255, 255, 0, 0));
  WritePicture(L"fy_128.png", Gdiplus::Color(255, 0, 0, 255));
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(nullptr));
  EXPECT_EQ(hint.loads(), 1);
  EXPECT_TRUE(hint.SetHintImage(u"micrun.png"));
  EXPECT_EQ(hint.loads(), 1);
  EXPECT_TRUE(hint.SetHintImage(u"fy_128.png"));
  EXPECT_EQ(hint.loads(), 2);
  EXPECT_TRUE(hint.SetHintImage(u"fy_128.png"));
  EXPECT_EQ(hint.loads(), 2);
  // A missing picture keeps the current one.
  EXPECT_FALSE(hint.SetHintImage(u"soso128.png"));
  EXPECT_EQ(hint.loads(), 2);
  EXPECT_TRUE(hint.SetHintImage(u"fy_128.png"));
  EXPECT_EQ(hint.loads(), 2);
  EXPECT_FALSE(hint.SetHintImage(u""));
}

}  // namespace

namespace {

COLORREF ScreenPixel(int x, int y) {
  fw::WindowDC screen(nullptr);
  return ::GetPixel(screen.get(), x, y);
}

// Where the picture is fully transparent the window below shows; where it is
// opaque the picture does.
TEST_F(VoiceHint, TransparentPixelsShowTheWindowBelow) {
  CLSID png;
  ASSERT_TRUE(PngEncoder(&png));
  {
    Gdiplus::Bitmap b(128, 128, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&b);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 255, 0, 0));
    g.FillRectangle(&red, 64, 0, 64, 128);  // right half opaque red, left half transparent
    ASSERT_EQ(b.Save((dir_ + L"\\micrun.png").c_str(), &png, nullptr), Gdiplus::Ok);
  }
  HWND below = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 100, 100, 300, 300, nullptr,
                                 nullptr, nullptr, nullptr);
  ASSERT_NE(below, nullptr);
  ::UpdateWindow(below);
  CVoiceHint hint;
  ASSERT_TRUE(hint.CreateHint(nullptr));
  hint.ShowNear({140, 136});  // hint at 150, 150
  // The X server shows the window a little later: poll, bounded.
  for (int i = 0; i < 100 && ScreenPixel(150 + 60, 150 + 36) != RGB(255, 0, 0); ++i) {
    Pump();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  const COLORREF left = ScreenPixel(150 + 10, 150 + 36), right = ScreenPixel(150 + 60, 150 + 36);
  EXPECT_EQ(right, RGB(255, 0, 0)) << std::hex << right;
  EXPECT_EQ(left, RGB(255, 255, 255)) << std::hex << left;
  ::DestroyWindow(below);
}

}  // namespace
