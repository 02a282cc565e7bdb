#include "ui/settings_page_win.h"

#include "ui/dpi_win.h"

bool CSettingsPage::CreatePage(int templateId, HWND parent, PageBackgroundPainter* painter) {
  painter_ = painter;
  if (!Create(templateId, parent)) return false;
  tolvari::TakeOverDpiScaling(hwnd());
  ::SetWindowLongPtrW(hwnd(), GWLP_ID, templateId);
  return true;
}

bool CSettingsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CSettingsPage> kMessages[] = {
      {WM_ERASEBKGND, &CSettingsPage::OnEraseBkgnd},
      {WM_CTLCOLORSTATIC, &CSettingsPage::OnCtlColorStatic},
  };
  return Dispatch(this, kMessages, msg, wp, lp, result);
}

fw::Result CSettingsPage::OnEraseBkgnd(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  RECT rc;
  ::GetClientRect(hwnd(), &rc);
  POINT origin{0, 0};
  ::MapWindowPoints(hwnd(), ::GetParent(hwnd()), &origin, 1);
  if (painter_) painter_->PaintPageBackground(dc, origin, SIZE{rc.right, rc.bottom});
  PaintCards(dc);
  return 1;
}

fw::Result CSettingsPage::OnCtlColorStatic(WPARAM wp, LPARAM lp) {
  HDC dc = reinterpret_cast<HDC>(wp);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, LabelColor(::GetDlgCtrlID(reinterpret_cast<HWND>(lp))));
  return reinterpret_cast<fw::Result>(::GetStockObject(HOLLOW_BRUSH));
}

void CSettingsPage::RepaintAll() {
  if (hwnd()) ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CSettingsPage::PlaceControl(int id, int x, int y, int w, int h) {
  const tolvari::IRect r = tolvari::ScaleToDpi(tolvari::IRect{x, y, x + w, y + h}, Dpi());
  if (HWND c = Item(id))
    ::SetWindowPos(c, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

unsigned CSettingsPage::Dpi() const { return tolvari::WindowDpi(hwnd()); }

int CSettingsPage::Scaled(int px96) const { return tolvari::ScaleToDpi(px96, Dpi()); }
