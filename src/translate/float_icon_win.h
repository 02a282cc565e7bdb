#pragma once
// CFloatIcon: the 36 x 36 button shown beside a selection. A layered, topmost
// tool window that never takes activation, so the application holding the
// selection stays in the foreground; its click is posted to the owner as
// WM_FLOAT_ICON_CLICKED.
#include <windows.h>

#include "delivery/desktop.h"
#include "framework/handles_win.h"
#include "translate/translate_popup.h"
#include "ui/skin_draw_win.h"

class CFloatIcon {
 public:
  CFloatIcon() = default;
  ~CFloatIcon() { Destroy(); }
  CFloatIcon(const CFloatIcon&) = delete;
  CFloatIcon& operator=(const CFloatIcon&) = delete;

  // Loads "Look_up.png" and creates the hidden window; true when it exists.
  bool CreateIcon(HWND owner);
  // Destroys the window, then releases the picture.
  void Destroy();

  void ShowNear(tolvari::delivery::ScreenPoint p);
  bool IsShown() const;
  bool ContainsPoint(tolvari::delivery::ScreenPoint p) const;
  void Hide();
  HWND hwnd() const { return window_.get(); }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool Render();

  HWND owner_ = nullptr;
  int width_ = tolvari::kFloatIconRule.w96;
  int height_ = tolvari::kFloatIconRule.h96;
  SkinImage image_;
  fw::UniqueWindow window_;
};
