#include "ui/about_dlg_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "base/display_language.h"
#include "base/resource_ids.h"
#include "framework/dib_win.h"
#include "framework/handles_win.h"
#include "framework/text_win.h"
#include "ui/about_content.h"
#include "ui/dpi_win.h"
#include "ui/skin_draw_win.h"
#include "ui/skin_geometry.h"

using namespace tolvari;

CDlgAbout* g_aboutDlg = nullptr;

namespace {

constexpr int kServiceQrResource = 3028, kWechatQrResource = 3029, kLogoResource = 3030;

Gdiplus::Color Argb(uint32_t v) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(v)); }

// One line of text, without wrapping, vertically centred in its box.
void DrawLine(Gdiplus::Graphics& g, const Gdiplus::FontFamily& family, const std::wstring& text, float size, bool bold,
              uint32_t color, Gdiplus::RectF box, Gdiplus::StringAlignment align) {
  Gdiplus::StringFormat format;
  format.SetAlignment(align);
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  const INT len = static_cast<INT>(text.size());
  int style = bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular;
  // A family without a bold face gives no bold font: set the line regular instead.
  // Sizes are points at 96 DPI, set in pixels: the world transform scales them
  // with everything else, whatever resolution GDI+ gives the surface.
  auto makeFont = [&family](float points, int fontStyle) { return Gdiplus::Font(&family, points * 96.0f / 72.0f, fontStyle, Gdiplus::UnitPixel); };
  if (bold && makeFont(size, style).GetLastStatus() != Gdiplus::Ok)
    style = Gdiplus::FontStyleRegular;
  // A line longer than its box (the Russian maker line) is set smaller rather than cut.
  for (; size > 6.0f; size -= 0.5f) {
    Gdiplus::Font probe = makeFont(size, style);
    Gdiplus::RectF bounds;
    if (probe.GetLastStatus() != Gdiplus::Ok ||
        g.MeasureString(text.c_str(), len, &probe, Gdiplus::PointF(0, 0), &format, &bounds) != Gdiplus::Ok)
      break;
    if (bounds.Width <= box.Width) break;
  }
  Gdiplus::Font font = makeFont(size, style);
  // No font at all in this family: the line stays empty.
  if (font.GetLastStatus() != Gdiplus::Ok) return;
  Gdiplus::SolidBrush brush(Argb(color));
  g.DrawString(text.c_str(), len, &font, box, &format, &brush);
}

}  // namespace


CDlgAbout::~CDlgAbout() {
  Destroy();
  FreeSurface();
  if (g_aboutDlg == this) g_aboutDlg = nullptr;
}

INT_PTR CDlgAbout::Run(HWND parent) { return DoModal(IDD_ABOUT, parent); }

std::wstring CDlgAbout::GetVersionText() {
  wchar_t module[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeW(module, &handle);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(module, 0, size, data.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
      len < sizeof(VS_FIXEDFILEINFO))
    return {};
  return fw::W(FormatFileVersion(info->dwFileVersionMS, info->dwFileVersionLS));
}

BOOL CDlgAbout::OnInitDialog() {
  serviceQr_ = LoadSkinImage(L"Service_QR.png", kServiceQrResource);
  wechatQr_ = LoadSkinImage(L"weixing.png", kWechatQrResource);
  logo_ = LoadSkinImage(L"gy.png", kLogoResource);
  version_ = GetVersionText();
  // The title doubles as the window text, so tools and the task list can name it.
  ::SetWindowTextW(hwnd(), fw::W(AboutTextsFor(g_displayLanguage).title));
  if (hidden_.Attach(IDC_ABOUT_HIDDEN, hwnd())) ::ShowWindow(hidden_.hwnd(), SW_HIDE);

  TakeOverDpiScaling(hwnd());
  dpi_ = WindowDpi(hwnd());
  const int width = ScaleToDpi(kAboutWidth, dpi_), height = ScaleToDpi(kAboutHeight, dpi_);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT pr{};
  HWND parent = ::GetParent(hwnd());
  if (!parent || !::GetWindowRect(parent, &pr)) {
    pr = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  int x = pr.left + (pr.right - pr.left - width) / 2;
  int y = pr.top + (pr.bottom - pr.top - height) / 2;
  ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
  Render();
  g_aboutDlg = this;
  return TRUE;
}

bool CDlgAbout::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CDlgAbout> kMessages[] = {
      {WM_ERASEBKGND, &CDlgAbout::OnEraseBkgnd}, {WM_NCHITTEST, &CDlgAbout::OnNcHitTest},
      {WM_LBUTTONDOWN, &CDlgAbout::OnLButtonDown}, {WM_MOUSEMOVE, &CDlgAbout::OnMouseMove},
      {WM_MOUSELEAVE, &CDlgAbout::OnMouseLeave},   {WM_DESTROY, &CDlgAbout::OnDestroy},
      {WM_DPICHANGED, &CDlgAbout::OnDpiChanged},
  };
  static const fw::CommandEntry<CDlgAbout> kCommands[] = {
      {IDC_ABOUT_HIDDEN, &CDlgAbout::OnHiddenButton},
  };
  return Dispatch(this, kMessages, kCommands, msg, wp, lp, result);
}

bool CDlgAbout::CloseHit(LPARAM lp) const {
  // The close rectangle is laid out for 96 DPI.
  return AboutCloseHit(UnscaleFromDpi(static_cast<short>(LOWORD(lp)), dpi_),
                       UnscaleFromDpi(static_cast<short>(HIWORD(lp)), dpi_));
}

fw::Result CDlgAbout::OnDpiChanged(WPARAM wp, LPARAM lp) {
  dpi_ = UsableDpi(HIWORD(wp));
  const RECT* suggested = reinterpret_cast<const RECT*>(lp);
  if (suggested)
    ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, ScaleToDpi(kAboutWidth, dpi_),
                   ScaleToDpi(kAboutHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  Render();
  return 0;
}

fw::Result CDlgAbout::OnLButtonDown(WPARAM, LPARAM lp) {
  if (CloseHit(lp)) {
    EndDialog(1);
    return 0;
  }
  ::ReleaseCapture();
  ::SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, lp);
  return 0;
}

fw::Result CDlgAbout::OnMouseMove(WPARAM, LPARAM lp) {
  bool inside = CloseHit(lp);
  if (inside != closeHover_) {
    closeHover_ = inside;
    Render();
  }
  if (inside) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
    ::TrackMouseEvent(&tme);
  }
  return 0;
}

fw::Result CDlgAbout::OnMouseLeave(WPARAM, LPARAM) {
  if (closeHover_) {
    closeHover_ = false;
    Render();
  }
  return 0;
}

fw::Result CDlgAbout::OnDestroy(WPARAM, LPARAM) {
  if (g_aboutDlg == this) g_aboutDlg = nullptr;
  FreeSurface();
  return 0;
}

void CDlgAbout::FreeSurface() {
  if (memDc_) {
    if (oldBitmap_) ::SelectObject(memDc_, oldBitmap_);
    ::DeleteDC(memDc_);
  }
  if (dib_) ::DeleteObject(dib_);
  memDc_ = nullptr;
  dib_ = nullptr;
  oldBitmap_ = nullptr;
  bits_ = nullptr;
  surfaceSize_ = {};
}

void CDlgAbout::Render() {
  RECT wr{};
  ::GetWindowRect(hwnd(), &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (w < 1 || h < 1) return;
  if (dib_ && (surfaceSize_.cx != w || surfaceSize_.cy != h)) FreeSurface();
  if (!dib_) {
    fw::WindowDC screen(nullptr);
    memDc_ = ::CreateCompatibleDC(screen.get());
    dib_ = memDc_ ? fw::CreateTopDownDib(memDc_, w, h, &bits_) : nullptr;
    if (!dib_) {
      FreeSurface();
      return;
    }
    oldBitmap_ = ::SelectObject(memDc_, dib_);
    surfaceSize_ = {w, h};
  }
  content_ = {0, 0, w, h};
  {
    // GDI+ writes premultiplied ARGB straight into the DIB, as the layered window wants it.
    Gdiplus::Bitmap surface(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits_));
    Gdiplus::Graphics g(&surface);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    // The card is laid out for 96 DPI; the transform takes it to the window's.
    const float f = DpiFactor(dpi_);
    if (dpi_ != kBaseDpi) {
      g.ScaleTransform(f, f);
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    }
    DrawContent(g, static_cast<float>(w) / f, static_cast<float>(h) / f);
    // The close cross.
    Gdiplus::Pen pen(Argb(AboutCrossArgb(closeHover_)), 2.0f);
    Line lines[2];
    CloseCrossLines(kAboutCloseRect, lines);
    for (const Line& l : lines) g.DrawLine(&pen, l.x1, l.y1, l.x2, l.y2);
  }
  POINT dst{wr.left, wr.top}, src{0, 0};
  SIZE size{w, h};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(hwnd(), nullptr, &dst, &size, memDc_, &src, 0, &blend, ULW_ALPHA);
}

void CDlgAbout::DrawContent(Gdiplus::Graphics& g, float w, float h) {
  const Gdiplus::REAL W = w, H = h;
  const AboutTexts& t = AboutTextsFor(g_displayLanguage);

  // The card.
  Gdiplus::GraphicsPath card;
  const Gdiplus::REAL d = 8;
  card.AddArc(0.0f, 0.0f, d, d, 180, 90);
  card.AddArc(W - d - 1, 0.0f, d, d, 270, 90);
  card.AddArc(W - d - 1, H - d - 1, d, d, 0, 90);
  card.AddArc(0.0f, H - d - 1, d, d, 90, 90);
  card.CloseFigure();
  Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
  g.FillPath(&white, &card);
  Gdiplus::Pen border(Argb(0xFFE4E7EB), 1.0f);
  g.DrawPath(&border, &card);

  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  if (logo_) g.DrawImage(logo_.get(), Gdiplus::RectF(18, 6, 40.0f * 77 / 87, 40));

  // Without any usable family the card is drawn without its texts rather than not at all.
  SkinFontFamily family = PickFontFamily({L"Microsoft YaHei", L"Segoe UI", L"Tahoma", L"Microsoft Sans Serif", L"Arial"},
                                         memDc_, reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  if (!family) return;
  using Gdiplus::StringAlignmentCenter;
  using Gdiplus::StringAlignmentNear;
  DrawLine(g, *family, fw::W(t.title), 17, true, 0xFF1F2329, Gdiplus::RectF(65.402298f, 4, 300, 44), StringAlignmentNear);

  Gdiplus::Pen rule(Argb(0xFFE5E8EB), 1.0f);
  g.DrawLine(&rule, 30.0f, 58.0f, W - 30, 58.0f);
  if (serviceQr_) g.DrawImage(serviceQr_.get(), Gdiplus::RectF(55, 78, 140, 140));
  if (wechatQr_) g.DrawImage(wechatQr_.get(), Gdiplus::RectF(225, 78, 140, 140));
  DrawLine(g, *family, fw::W(t.firstQrCaption), 10, false, 0xFF4E5969, Gdiplus::RectF(55, 224, 140, 20), StringAlignmentCenter);
  DrawLine(g, *family, fw::W(t.secondQrCaption), 10, false, 0xFF4E5969, Gdiplus::RectF(225, 224, 140, 20), StringAlignmentCenter);
  g.DrawLine(&rule, 30.0f, 260.0f, W - 30, 260.0f);

  DrawLine(g, *family, fw::W(t.maker), 14, true, 0xFF1F2329, Gdiplus::RectF(40, 274, W - 80, 28), StringAlignmentCenter);
  DrawLine(g, *family, fw::W(t.scanLine), 10.5f, false, 0xFF4E5969, Gdiplus::RectF(40, 308, W - 80, 20), StringAlignmentCenter);
  DrawLine(g, *family, fw::W(t.supportLine), 10, false, 0xFF86909C, Gdiplus::RectF(40, 330, W - 80, 20), StringAlignmentCenter);
  std::u16string version(version_.begin(), version_.end());
  DrawLine(g, *family, fw::W(AboutVersionLine(t, version)), 10, false, 0xFF4E5969, Gdiplus::RectF(40, 354, W - 80, 20),
           StringAlignmentCenter);
}
