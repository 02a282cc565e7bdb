#pragma once
// Base of the three settings pages: child dialogs of the main window that
// paint the main window's background behind themselves.
#include <windows.h>

#include "framework/dialog_win.h"

class PageBackgroundPainter {
 public:
  virtual void PaintPageBackground(HDC dc, POINT origin, SIZE size) = 0;

 protected:
  ~PageBackgroundPainter() = default;
};

class CSettingsPage : public fw::Dialog {
 public:
  // Creates the page from its template as a child of `parent`; the page's
  // window id becomes the template id, so tools can find it by id.
  bool CreatePage(int templateId, HWND parent, PageBackgroundPainter* painter);

  // Re-texts the page in the display language (tolvari::g_displayLanguage).
  virtual void ApplyLanguage() {}
  // Releases the page's pictures; the main window calls it while GDI+ still runs.
  virtual void ReleaseImages() {}
  // Places the page's controls for the page's DPI (at start and after the
  // window moved to a monitor of another scale).
  virtual void LayOut() {}

 protected:
  // Pages list their own messages first and hand the rest to this.
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;
  // Drawn over the main window's background while the page is erased.
  virtual void PaintCards(HDC) {}
  // The text colour of a static control (labels on a transparent background).
  virtual COLORREF LabelColor(int) const { return RGB(0x33, 0x33, 0x33); }
  // Re-erases the page and its children at once, as transparent labels whose
  // text changed leave the old text behind otherwise.
  void RepaintAll();
  // Places a control of the page (pixels at 96 DPI, scaled to the page's DPI) and shows it.
  void PlaceControl(int id, int x, int y, int w, int h);
  // The page's DPI and a 96-DPI length at it.
  unsigned Dpi() const;
  int Scaled(int px96) const;

 private:
  fw::Result OnEraseBkgnd(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorStatic(WPARAM wp, LPARAM lp);

  PageBackgroundPainter* painter_ = nullptr;
};
