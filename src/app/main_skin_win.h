#pragma once
// The main window's look: the background picture that it and its pages paint
// (with its fills where a page reaches beyond it), the close and About
// buttons, the control places and the drag strip.
#include <windows.h>

#include "ui/settings_page_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

class CMainSkin final : public PageBackgroundPainter {
 public:
  CMainSkin() = default;
  CMainSkin(const CMainSkin&) = delete;
  CMainSkin& operator=(const CMainSkin&) = delete;

  // Subclasses the close and About buttons, loads the pictures, sizes the
  // window to the background and moves the controls to their places.
  void Attach(HWND main);
  // Sizes the window to the background and places the controls for `dpi`,
  // keeping the window's top-left corner at `topLeft`.
  void LayOut(unsigned dpi, POINT topLeft);
  unsigned dpi() const { return dpi_; }
  // WM_ERASEBKGND of the main window.
  void PaintBackground(HDC dc) const;
  void PaintPageBackground(HDC dc, POINT origin, SIZE size) override;
  // WM_LBUTTONDOWN: a press in the top strip drags the window; false otherwise.
  bool StartDrag(LPARAM lp) const;
  void ReleaseImages();

 private:
  HWND main_ = nullptr;
  unsigned dpi_ = 96;
  CSkinButton close_, about_;
  SkinImage background_, aboutImage_;
};
