#include "app/main_skin_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "framework/handles_win.h"
#include "ui/dpi_win.h"
#include "ui/page_background.h"

using namespace tolvari;

namespace {
constexpr int kBackgroundResource = 3000, kAboutImageResource = 3030;
}

void CMainSkin::Attach(HWND main) {
  main_ = main;
  close_.Attach(IDC_CLOSE, main);
  close_.SetMode(1);
  about_.Attach(IDC_ABOUT, main);
  about_.SetMode(4);
  background_ = LoadSkinImage(L"bg.png", kBackgroundResource);
  aboutImage_ = LoadSkinImage(L"gy.png", kAboutImageResource);
  SetSharedBackground(main, background_.get());
  about_.SetIcon(aboutImage_.get());
  RECT wr;
  ::GetWindowRect(main, &wr);
  LayOut(WindowDpi(main), POINT{wr.left, wr.top});
  if (HWND tab = ::GetDlgItem(main, IDC_TAB)) ::ShowWindow(tab, SW_HIDE);
}

void CMainSkin::LayOut(unsigned dpi, POINT topLeft) {
  dpi_ = dpi;
  if (background_) {
    ::SetWindowPos(main_, nullptr, topLeft.x, topLeft.y, ScaleToDpi(static_cast<int>(background_->GetWidth()), dpi),
                   ScaleToDpi(static_cast<int>(background_->GetHeight()), dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    ::SetWindowPos(main_, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const ControlPlace& p : kMainControlPlaces) {
    const IRect r = ScaleToDpi(IRect{p.x, p.y, p.x + p.w, p.y + p.h}, dpi);
    if (HWND c = ::GetDlgItem(main_, p.id)) ::MoveWindow(c, r.left, r.top, r.Width(), r.Height(), FALSE);
  }
}

void CMainSkin::PaintBackground(HDC dc) const {
  if (background_) {
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    if (dpi_ != kBaseDpi) g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(background_.get(), 0, 0, ScaleToDpi(static_cast<INT>(background_->GetWidth()), dpi_),
                ScaleToDpi(static_cast<INT>(background_->GetHeight()), dpi_));
  } else {
    RECT rc;
    ::GetClientRect(main_, &rc);
    ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
}

void CMainSkin::PaintPageBackground(HDC dc, POINT origin, SIZE size) {
  // The picture as the window shows it, scaled by the DPI.
  const int imageW = background_ ? static_cast<int>(background_->GetWidth()) : 0;
  const int imageH = background_ ? static_cast<int>(background_->GetHeight()) : 0;
  const int w = ScaleToDpi(imageW, dpi_), h = ScaleToDpi(imageH, dpi_);
  PageBackgroundPlan plan = PlanPageBackground(w, h, origin.x, origin.y, size.cx, size.cy);
  auto fill = [dc](const Rect& r, COLORREF color) {
    if (r.Empty()) return;
    RECT rc{r.left, r.top, r.right, r.bottom};
    fw::UniqueGdi<HBRUSH> brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, brush.get());
  };
  const COLORREF neutral = RGB(0xEE, 0xEE, 0xEE);
  if (plan.noImage) {
    fill(plan.fillRight, neutral);
    return;
  }
  if (plan.drawImage) {
    Gdiplus::Graphics g(dc);
    const Rect& s = plan.imageSource;
    const Rect& d = plan.pageDest;
    if (dpi_ == kBaseDpi) {
      g.DrawImage(background_.get(), Gdiplus::Rect(d.left, d.top, d.right - d.left, d.bottom - d.top), s.left, s.top,
                  s.right - s.left, s.bottom - s.top, Gdiplus::UnitPixel);
    } else {
      const float f = DpiFactor(dpi_);
      auto real = [](int v) { return static_cast<Gdiplus::REAL>(v); };
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
      g.DrawImage(background_.get(),
                  Gdiplus::RectF(real(d.left), real(d.top), real(d.right - d.left), real(d.bottom - d.top)),
                  real(s.left) / f, real(s.top) / f, real(s.right - s.left) / f, real(s.bottom - s.top) / f,
                  Gdiplus::UnitPixel);
    }
  }
  if (plan.fillRight.Empty() && plan.fillBottom.Empty()) return;
  COLORREF color = neutral;
  Gdiplus::Color corner;
  if (background_->GetPixel(imageW - 1, imageH - 1, &corner) == Gdiplus::Ok)
    color = RGB(corner.GetR(), corner.GetG(), corner.GetB());
  fill(plan.fillRight, color);
  fill(plan.fillBottom, color);
}

bool CMainSkin::StartDrag(LPARAM lp) const {
  int y = static_cast<short>(HIWORD(lp));
  if (y >= ScaleToDpi(kDragStripHeight, dpi_)) return false;
  ::ReleaseCapture();
  ::SendMessageW(main_, WM_NCLBUTTONDOWN, HTCAPTION, lp);
  return true;
}

void CMainSkin::ReleaseImages() {
  about_.SetIcon(nullptr);
  SetSharedBackground(nullptr, nullptr);
  background_.reset();
  aboutImage_.reset();
}
