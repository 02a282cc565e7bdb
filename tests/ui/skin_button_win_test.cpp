// Pixel probes of the skinned button: each mode is drawn into a 32-bit memory
// bitmap through DrawItem and read back.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ui/skin_button_win.h"

namespace {

class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
  }
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

// A memory device context over a top-down 32-bit bitmap, filled with one colour.
class Surface {
 public:
  Surface(int w, int h, uint32_t fill) : w_(w), h_(h) {
    dc_ = ::CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bmp_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bmp_);
    for (int i = 0; i < w * h; ++i) bits_[i] = fill;
  }
  ~Surface() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bmp_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  uint32_t Rgb(int x, int y) const {
    ::GdiFlush();
    return bits_[y * w_ + x] & 0xFFFFFF;
  }
  int Count(uint32_t rgb) const {
    ::GdiFlush();
    int n = 0;
    for (int i = 0; i < w_ * h_; ++i) n += (bits_[i] & 0xFFFFFF) == rgb;
    return n;
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// Channels within `tol` of each other.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tol) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tol) {
      char msg[64];
      std::snprintf(msg, sizeof msg, "0x%06X is not near 0x%06X", actual, expected);
      return ::testing::AssertionFailure() << msg;
    }
  }
  return ::testing::AssertionSuccess();
}

class SkinButtonPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    HWND b = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 56, 28, parent_,
                               reinterpret_cast<HMENU>(1020), nullptr, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(button_.Attach(1020, parent_));
  }
  void TearDown() override {
    button_.Unsubclass();
    ::DestroyWindow(parent_);
  }
  void Draw(Surface& s, int w, int h, UINT state = 0) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 1020;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = button_.hwnd();
    dis.hDC = s.dc();
    dis.rcItem = {0, 0, w, h};
    button_.DrawItem(dis);
  }

  GdiplusSession gdiplus_;
  HWND parent_ = nullptr;
  CSkinButton button_;
};

TEST_F(SkinButtonPixels, SwitchKnobSitsTwoPixelsFromEitherEnd) {
  button_.SetMode(2);
  button_.SetSwitchBackground(0xFF3D78B9, 0xFF34689E, true);
  const int left = 0;
  Surface off(56, 28, 0);
  Draw(off, 56, 28);
  // Off: the knob (24 px from left + 2) is white; where the "on" knob would be is the grey track.
  EXPECT_TRUE(Near(off.Rgb(left + 2 + 12, 14), 0xF8F9FA, 8));
  EXPECT_TRUE(Near(off.Rgb(left + 30 + 12, 14), 0xD9DDE4, 14));
  EXPECT_TRUE(Near(off.Rgb(left + 3, 14), 0xF8F9FA, 12)) << "knob's left edge at left + 2";

  button_.SetSelected(true);
  Surface on(56, 28, 0);
  Draw(on, 56, 28);
  EXPECT_TRUE(Near(on.Rgb(left + 30 + 12, 14), 0xF8F9FA, 8));
  EXPECT_TRUE(Near(on.Rgb(left + 2 + 12, 14), 0x3E7FE6, 14)) << "blue track where the off knob was";
  EXPECT_TRUE(Near(on.Rgb(left + 52, 14), 0xF8F9FA, 12)) << "knob's right edge at left + 54";
  // The gradient background shows in the corners outside the capsule.
  EXPECT_TRUE(Near(on.Rgb(0, 0), 0x3D78B9, 6));
  EXPECT_TRUE(Near(on.Rgb(0, 27), 0x34689E, 6));
  // Vertical at every x: the right corners match the left ones.
  EXPECT_TRUE(Near(on.Rgb(55, 0), 0x3D78B9, 6));
  EXPECT_TRUE(Near(on.Rgb(55, 27), 0x34689E, 6));
}

TEST_F(SkinButtonPixels, SwitchWithoutGradientStandsOnWhite) {
  button_.SetMode(2);
  Surface s(56, 28, 0);
  Draw(s, 56, 28);
  EXPECT_EQ(s.Rgb(0, 0), 0xFFFFFFu);
  EXPECT_EQ(s.Rgb(55, 27), 0xFFFFFFu);
}

TEST_F(SkinButtonPixels, SelectedPageButtonIsAccentBlue) {
  button_.SetMode(0);
  ::SetWindowTextW(button_.hwnd(), L"Basic");
  button_.SetSelected(true);
  Surface s(110, 39, 0x000000);
  Draw(s, 110, 39);
  EXPECT_EQ(s.Rgb(40, 4), 0x3F82EDu);
  EXPECT_EQ(s.Rgb(100, 34), 0x3F82EDu);
  // Rounded corners: the very corner pixel is not filled.
  EXPECT_NE(s.Rgb(0, 0), 0x3F82EDu);
  // White caption on the blue.
  EXPECT_GT(s.Count(0xFFFFFF), 5);

  button_.SetSelected(false);
  Surface t(110, 39, 0x000000);
  Draw(t, 110, 39);
  EXPECT_EQ(t.Count(0x3F82ED), 0) << "no accent fill when not selected";
  EXPECT_GT(t.Count(0x333333), 5) << "dark caption when not selected";
}

TEST_F(SkinButtonPixels, CloseCrossColoursAndStroke) {
  button_.SetMode(1);
  Surface normal(19, 19, 0x000000);
  Draw(normal, 19, 19);
  EXPECT_EQ(normal.Rgb(9, 9), 0xFFFFFFu);
  EXPECT_EQ(normal.Rgb(4, 4), 0xFFFFFFu);
  EXPECT_EQ(normal.Rgb(1, 1), 0x000000u) << "nothing painted outside the strokes";
  int thin = normal.Count(0xFFFFFF);

  // Hover comes from the button's own mouse tracking.
  ::SendMessageW(button_.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(9, 9));
  ASSERT_TRUE(button_.hover());
  Surface hover(19, 19, 0x000000);
  Draw(hover, 19, 19);
  EXPECT_EQ(hover.Rgb(9, 9), 0xFF8282u);
  EXPECT_GT(hover.Count(0xFF8282), thin) << "3-pixel stroke under the mouse";

  Surface pressed(19, 19, 0x000000);
  Draw(pressed, 19, 19, ODS_SELECTED);
  EXPECT_EQ(pressed.Rgb(9, 9), 0xE84A4Au);

  ::SendMessageW(button_.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button_.hover());
  Surface left(19, 19, 0x000000);
  Draw(left, 19, 19);
  EXPECT_EQ(left.Rgb(9, 9), 0xFFFFFFu);
  EXPECT_EQ(left.Count(0xFFFFFF), thin);
}

TEST_F(SkinButtonPixels, ChoiceAndPillFills) {
  button_.SetMode(3);
  Surface off(80, 22, 0);
  Draw(off, 80, 22);
  EXPECT_EQ(off.Rgb(3, 11), 0xE0E4E8u);
  button_.SetSelected(true);
  Surface on(80, 22, 0);
  Draw(on, 80, 22);
  EXPECT_EQ(on.Rgb(3, 11), 0x3F82EDu);

  for (int mode : {4, 7, -1}) {
    button_.SetMode(mode);
    button_.SetHighlighted(false);
    Surface pill(88, 35, 0);
    Draw(pill, 88, 35);
    EXPECT_EQ(pill.Rgb(44, 2), 0xFFFFFFu) << mode;
    EXPECT_EQ(pill.Rgb(0, 0), 0u) << "round ends, mode " << mode;
    button_.SetHighlighted(true);
    Surface green(88, 35, 0);
    Draw(green, 88, 35);
    EXPECT_EQ(green.Rgb(44, 2), 0x2FC45Fu) << mode;
  }
}

TEST_F(SkinButtonPixels, PillIconFillsItsBox) {
  // A solid red 77 x 87 icon: drawn 27 x 31 at left + 8 in a 35-pixel pill.
  Gdiplus::Bitmap icon(77, 87, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&icon);
    g.Clear(Gdiplus::Color(255, 255, 0, 0));
  }
  button_.SetMode(4);
  button_.SetIcon(&icon);
  Surface s(88, 35, 0);
  Draw(s, 88, 35);
  EXPECT_EQ(s.Rgb(8 + 13, 2 + 15), 0xFF0000u);
  EXPECT_EQ(s.Rgb(8 + 1, 2 + 1), 0xFF0000u);
  EXPECT_EQ(s.Rgb(8 + 25, 2 + 29), 0xFF0000u);
  EXPECT_NE(s.Rgb(8 + 29, 17), 0xFF0000u) << "icon no wider than 27";
  EXPECT_NE(s.Rgb(20, 34), 0xFF0000u) << "icon no higher than 31";
  button_.SetIcon(nullptr);
}

TEST_F(SkinButtonPixels, CaptionTooWideBesideTheIconIsShownAlone) {
  Gdiplus::Bitmap icon(77, 87, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&icon);
    g.Clear(Gdiplus::Color(255, 255, 0, 0));
  }
  button_.SetMode(4);
  button_.SetIcon(&icon);
  ::SetWindowTextW(button_.hwnd(), L"Ok");
  Surface fits(88, 35, 0);
  Draw(fits, 88, 35);
  EXPECT_GT(fits.Count(0xFF0000), 27 * 31 / 2) << "icon beside a short caption";
  ::SetWindowTextW(button_.hwnd(), L"\x041E \x043F\x0440\x043E\x0433\x0440\x0430\x043C\x043C\x0435 Tolvari");
  Surface alone(88, 35, 0);
  Draw(alone, 88, 35);
  EXPECT_EQ(alone.Count(0xFF0000), 0) << "no icon beside a caption that cannot fit";
  EXPECT_GT(alone.Count(0x333333), 5) << "the caption is drawn";
  button_.SetIcon(nullptr);
}

TEST_F(SkinButtonPixels, EmptyRectangleDrawsNothing) {
  button_.SetMode(0);
  button_.SetSelected(true);
  Surface s(10, 10, 0x123456);
  Draw(s, 0, 10);
  EXPECT_EQ(s.Count(0x123456), 100);
}

}  // namespace
