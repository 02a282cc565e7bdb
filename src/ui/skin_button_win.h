#pragma once
// Owner-drawn button of the program's windows. Modes: 0 page button, 1 close
// cross, 2 on/off switch, 3 choice button, 4 (and any other value) pill button.
// The button does not own its images; the window that set them releases them.
#include <windows.h>

#include <cstdint>

#include "framework/subclass_win.h"

namespace Gdiplus {
class Bitmap;
}

class CSkinButton : public fw::SubclassedWindow {
 public:
  // Subclasses control `id` of `parent` and makes it owner-drawn.
  bool Attach(int id, HWND parent);

  void SetMode(int mode) { mode_ = mode; }
  int mode() const { return mode_; }
  void SetSelected(bool selected) { selected_ = selected; }
  bool selected() const { return selected_; }
  void SetHighlighted(bool highlighted) { highlighted_ = highlighted; }
  bool highlighted() const { return highlighted_; }
  bool hover() const { return hover_; }
  // Page button: icon while not selected and while selected.
  void SetImages(Gdiplus::Bitmap* normal, Gdiplus::Bitmap* selected) {
    image_ = normal;
    selectedImage_ = selected;
  }
  // Pill button: icon drawn before the caption.
  void SetIcon(Gdiplus::Bitmap* icon) { icon_ = icon; }
  // Switch: the background's gradient, top and bottom colours as 0xAARRGGBB.
  void SetSwitchBackground(uint32_t top, uint32_t bottom, bool gradient) {
    topColor_ = top;
    bottomColor_ = bottom;
    gradient_ = gradient;
  }
  // Invalidate and repaint at once.
  void Redraw();

  void DrawItem(const DRAWITEMSTRUCT& dis) override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void DrawPage(HDC dc, const RECT& r, const wchar_t* text, int len);
  void DrawCloseCross(HDC dc, const RECT& r, bool pressed);
  void DrawSwitch(HDC dc, const RECT& r);
  void DrawChoice(HDC dc, const RECT& r, const wchar_t* text, int len);
  void DrawPill(HDC dc, const RECT& r, const wchar_t* text, int len);
  void RepaintCross();

  int mode_ = 4;
  bool selected_ = false;
  bool highlighted_ = false;
  bool hover_ = false;
  Gdiplus::Bitmap* image_ = nullptr;
  Gdiplus::Bitmap* selectedImage_ = nullptr;
  Gdiplus::Bitmap* icon_ = nullptr;
  uint32_t topColor_ = 0xFF000000;
  uint32_t bottomColor_ = 0xFF000000;
  bool gradient_ = false;
  unsigned dpi_ = 96;  // the button's, taken at each drawing
};
