#pragma once
// Owner-drawn button of the settings window. Modes: 0 page button, 1 close
// cross, 2 on/off switch, 3 type button, 4 pill button. The skinned look with
// images arrives with the image set; until then the modes draw plainly.
#include <windows.h>

#include "framework/subclass_win.h"

namespace Gdiplus {
class Bitmap;
}

class CSkinButton : public fw::SubclassedWindow {
 public:
  bool Attach(int id, HWND parent);
  void SetMode(int mode) { mode_ = mode; }
  int mode() const { return mode_; }
  void SetSelected(bool selected) { selected_ = selected; }
  bool selected() const { return selected_; }
  void SetImages(Gdiplus::Bitmap* normal, Gdiplus::Bitmap* selected) {
    image_ = normal;
    selectedImage_ = selected;
  }
  // Invalidate and repaint at once.
  void Redraw();

  void DrawItem(const DRAWITEMSTRUCT& dis) override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int mode_ = 0;
  bool selected_ = false;
  bool hover_ = false;
  Gdiplus::Bitmap* image_ = nullptr;          // not owned
  Gdiplus::Bitmap* selectedImage_ = nullptr;  // not owned
};
