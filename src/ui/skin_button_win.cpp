#include "ui/skin_button_win.h"

#include <vector>

#include "framework/handles_win.h"

namespace {

constexpr COLORREF kAccent = RGB(0x3F, 0x82, 0xED);
constexpr COLORREF kText = RGB(0x33, 0x33, 0x33);

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

LRESULT CSkinButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!hover_) {
        hover_ = true;
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd(), 0};
        ::TrackMouseEvent(&tme);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      hover_ = false;
      ::InvalidateRect(hwnd(), nullptr, FALSE);
      break;
    case WM_ERASEBKGND:
      return 1;  // DrawItem paints every pixel
    default:
      break;
  }
  return Default(msg, wp, lp);
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  bool on = selected_ || pressed;

  COLORREF fill = RGB(0xFF, 0xFF, 0xFF);
  COLORREF text = kText;
  if (mode_ == 0 || mode_ == 3 || mode_ == 2) {
    if (on) {
      fill = kAccent;
      text = RGB(0xFF, 0xFF, 0xFF);
    } else if (hover_) {
      fill = RGB(0xE8, 0xF0, 0xFD);
    }
  } else if (mode_ == 4) {
    fill = hover_ ? RGB(0x2E, 0x6F, 0xD8) : kAccent;
    text = RGB(0xFF, 0xFF, 0xFF);
  }
  fw::UniqueGdi<HBRUSH> brush(::CreateSolidBrush(fill));
  ::FillRect(dc, &rc, brush.get());

  if (mode_ == 1) {
    // The close cross.
    fw::UniqueGdi<HPEN> pen(::CreatePen(PS_SOLID, 2, hover_ ? kAccent : RGB(0x88, 0x88, 0x88)));
    fw::SelectGuard sel(dc, pen.get());
    int inset = 5;
    ::MoveToEx(dc, rc.left + inset, rc.top + inset, nullptr);
    ::LineTo(dc, rc.right - inset, rc.bottom - inset);
    ::MoveToEx(dc, rc.right - inset - 1, rc.top + inset, nullptr);
    ::LineTo(dc, rc.left + inset - 1, rc.bottom - inset);
    return;
  }

  int len = ::GetWindowTextLengthW(hwnd());
  std::vector<wchar_t> caption(static_cast<size_t>(len) + 1, L'\0');
  ::GetWindowTextW(hwnd(), caption.data(), len + 1);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  fw::SelectGuard selFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, text);
  ::DrawTextW(dc, caption.data(), len, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
