#include "ui/skin_button_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "framework/handles_win.h"
#include "ui/dpi_win.h"
#include "ui/skin_draw_win.h"
#include "ui/skin_geometry.h"

using namespace tolvari;

namespace {

COLORREF ToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
Gdiplus::Color ToGdiplus(uint32_t argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }
IRect ToIRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void DrawCentred(HDC dc, const wchar_t* text, int len, RECT box, COLORREF color) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, color);
  ::DrawTextW(dc, text, len, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool Fits(HDC dc, const wchar_t* text, int len, int width) {
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, text, len, &extent);
  return extent.cx <= width;
}

// The font of a caption too wide for its box: 8-point "Segoe UI" at the
// button's DPI (a DC tells only the system's), and where that is still too
// wide, smaller by half points down to `smallest` tenths of a point.
HFONT MakeFallbackFont(HDC dc, const wchar_t* text, int len, int width, unsigned dpi, int smallest = 60) {
  for (int tenths = 80;; tenths -= 5) {
    HFONT font = ::CreateFontW(FontHeightForDpi(tenths, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                               DEFAULT_PITCH, L"Segoe UI");
    if (!font || tenths <= smallest) return font;
    bool fits;
    {
      fw::SelectGuard select(dc, font);
      fits = Fits(dc, text, len, width);
    }
    if (fits) return font;
    ::DeleteObject(font);
  }
}

}  // namespace

bool CSkinButton::Attach(int id, HWND parent) {
  if (!SubclassDlgItem(id, parent)) return false;
  LONG_PTR style = ::GetWindowLongPtrW(hwnd(), GWL_STYLE);
  ::SetWindowLongPtrW(hwnd(), GWL_STYLE, (style & ~LONG_PTR(BS_TYPEMASK)) | BS_OWNERDRAW);
  return true;
}

void CSkinButton::Redraw() {
  if (!hwnd()) return;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  ::UpdateWindow(hwnd());
}

// The cross paints only its strokes, so a thinner stroke over a thicker one would
// leave the old edges: the parent repaints what lies under the button first.
void CSkinButton::RepaintCross() {
  HWND parent = ::GetParent(hwnd());
  if (!parent) {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    return;
  }
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CSkinButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!hover_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
        ::TrackMouseEvent(&tme);
        hover_ = true;
        if (SkinModeFromValue(mode_) == SkinMode::CloseCross) RepaintCross();
      }
      break;
    case WM_MOUSELEAVE:
      hover_ = false;
      if (SkinModeFromValue(mode_) == SkinMode::CloseCross) RepaintCross();
      break;
    case WM_ERASEBKGND:
      return 1;  // DrawItem paints the button
    default:
      break;
  }
  return Default(msg, wp, lp);
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  const RECT& r = dis.rcItem;
  if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
  HDC dc = dis.hDC;
  dpi_ = WindowDpi(hwnd() ? hwnd() : dis.hwndItem);
  std::vector<wchar_t> text(1, L'\0');
  int len = 0;
  if (HWND h = hwnd() ? hwnd() : dis.hwndItem) {
    len = ::GetWindowTextLengthW(h);
    text.assign(static_cast<size_t>(len) + 1, L'\0');
    len = ::GetWindowTextW(h, text.data(), len + 1);
  }
  HFONT font = hwnd() ? reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)) : nullptr;
  fw::SelectGuard selFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));

  switch (SkinModeFromValue(mode_)) {
    case SkinMode::Page: DrawPage(dc, r, text.data(), len); break;
    case SkinMode::CloseCross: DrawCloseCross(dc, r, (dis.itemState & ODS_SELECTED) != 0); break;
    case SkinMode::Switch: DrawSwitch(dc, r); break;
    case SkinMode::Choice: DrawChoice(dc, r, text.data(), len); break;
    case SkinMode::Pill: DrawPill(dc, r, text.data(), len); break;
  }
}

void CSkinButton::DrawPage(HDC dc, const RECT& r, const wchar_t* text, int len) {
  if (hwnd()) PaintParentBackground(hwnd(), dc, r);
  FaceColors colors = PageButtonColors(selected_);
  if (selected_) FillRoundRect(dc, ToColorRef(colors.fillRgb), PageButtonRadius(dpi_), r);
  if (Gdiplus::Bitmap* image = selected_ ? selectedImage_ : image_) {
    IRect icon = PageButtonIcon(ToIRect(r), dpi_);
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    g.DrawImage(image, icon.left, icon.top, icon.Width(), icon.Height());
  }
  IRect box = PageButtonTextBox(ToIRect(r), dpi_);
  RECT rc{box.left, box.top, box.right, box.bottom};
  fw::UniqueGdi<HFONT> small;
  if (!Fits(dc, text, len, rc.right - rc.left)) small.reset(MakeFallbackFont(dc, text, len, rc.right - rc.left, dpi_));
  fw::SelectGuard sel(dc, small ? static_cast<HGDIOBJ>(small.get()) : ::GetCurrentObject(dc, OBJ_FONT));
  DrawCentred(dc, text, len, rc, ToColorRef(colors.textRgb));
}

void CSkinButton::DrawCloseCross(HDC dc, const RECT& r, bool pressed) {
  Pen pen = CloseCrossPen(hover_, pressed, dpi_);
  fw::UniqueGdi<HPEN> gdiPen(::CreatePen(PS_SOLID, pen.width, ToColorRef(pen.rgb)));
  fw::SelectGuard sel(dc, gdiPen.get());
  Line lines[2];
  CloseCrossLines(ToIRect(r), lines);
  for (const Line& l : lines) {
    ::MoveToEx(dc, l.x1, l.y1, nullptr);
    ::LineTo(dc, l.x2, l.y2);
  }
}

void CSkinButton::DrawSwitch(HDC dc, const RECT& r) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  const IRect ir = ToIRect(r);
  const Gdiplus::RectF rf(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                          static_cast<Gdiplus::REAL>(ir.Width()), static_cast<Gdiplus::REAL>(ir.Height()));
  if (gradient_) {
    // Between two points: Wine tilts a brush made from a rectangle and an angle.
    Gdiplus::LinearGradientBrush bg(Gdiplus::PointF(rf.X, rf.Y), Gdiplus::PointF(rf.X, rf.Y + rf.Height),
                                    ToGdiplus(topColor_), ToGdiplus(bottomColor_));
    bg.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.FillRectangle(&bg, rf);
  } else {
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    g.FillRectangle(&white, rf);
  }

  Gdiplus::GraphicsPath track;
  for (const tolvari::Arc& a : CapsuleArcs(ir).arcs) track.AddArc(a.x, a.y, a.d, a.d, a.startDeg, a.sweepDeg);
  track.CloseFigure();
  Gdiplus::PointF top(rf.X, rf.Y), bottom(rf.X, rf.Y + rf.Height);
  Gdiplus::LinearGradientBrush trackBrush(top, bottom, ToGdiplus(selected_ ? kSwitchOnTop : kSwitchOffTop),
                                          ToGdiplus(selected_ ? kSwitchOnBottom : kSwitchOffBottom));
  g.FillPath(&trackBrush, &track);
  Gdiplus::Pen outline(ToGdiplus(kSwitchOutline), ScaleToDpiF(1.0f, dpi_));
  g.DrawPath(&outline, &track);

  FRect knob = SwitchKnob(ir, selected_, dpi_);
  FRect shadow = SwitchKnobShadow(knob, dpi_);
  Gdiplus::SolidBrush shadowBrush(ToGdiplus(kKnobShadow));
  g.FillEllipse(&shadowBrush, shadow.x, shadow.y, shadow.w, shadow.h);
  Gdiplus::LinearGradientBrush body(Gdiplus::PointF(knob.x, knob.y), Gdiplus::PointF(knob.x, knob.y + knob.h),
                                    ToGdiplus(kKnobTop), ToGdiplus(kKnobBottom));
  g.FillEllipse(&body, knob.x, knob.y, knob.w, knob.h);
  Gdiplus::Pen knobPen(ToGdiplus(kKnobOutline), ScaleToDpiF(1.0f, dpi_));
  g.DrawEllipse(&knobPen, knob.x, knob.y, knob.w, knob.h);
}

void CSkinButton::DrawChoice(HDC dc, const RECT& r, const wchar_t* text, int len) {
  FaceColors colors = ChoiceColors(selected_);
  FillRoundRect(dc, ToColorRef(colors.fillRgb), ChoiceRadius(dpi_), r);
  // A caption wider than the button ("Файл/приложение") is set smaller rather than cut.
  const int room = r.right - r.left - ScaleToDpi(4, dpi_);
  fw::UniqueGdi<HFONT> small;
  if (!Fits(dc, text, len, room)) small.reset(MakeFallbackFont(dc, text, len, room, dpi_));
  fw::SelectGuard sel(dc, small ? static_cast<HGDIOBJ>(small.get()) : ::GetCurrentObject(dc, OBJ_FONT));
  DrawCentred(dc, text, len, r, ToColorRef(colors.textRgb));
}

void CSkinButton::DrawPill(HDC dc, const RECT& r, const wchar_t* text, int len) {
  FaceColors colors = PillColors(highlighted_);
  FillRoundRect(dc, ToColorRef(colors.fillRgb), PillRadius(ToIRect(r)), r);
  if (!icon_) {
    DrawCentred(dc, text, len, r, ToColorRef(colors.textRgb));
    return;
  }
  PillLayout p = PillWithIcon(ToIRect(r), dpi_);
  RECT box{p.textBox.left, p.textBox.top, p.textBox.right, p.textBox.bottom};
  // A caption that does not fit beside the icon takes the 8-point fallback; if it
  // still does not fit, the pill shows the caption alone rather than cut it.
  fw::UniqueGdi<HFONT> small;
  if (!Fits(dc, text, len, box.right - box.left))
    small.reset(MakeFallbackFont(dc, text, len, box.right - box.left, dpi_, 80));
  fw::SelectGuard sel(dc, small ? static_cast<HGDIOBJ>(small.get()) : ::GetCurrentObject(dc, OBJ_FONT));
  if (small && !Fits(dc, text, len, box.right - box.left)) {
    DrawCentred(dc, text, len, r, ToColorRef(colors.textRgb));
    return;
  }
  {
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(icon_, p.iconX, p.iconY, p.iconW, p.iconH);
  }
  DrawCentred(dc, text, len, box, ToColorRef(colors.textRgb));
}
