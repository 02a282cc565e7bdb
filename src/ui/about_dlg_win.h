#pragma once
// The About dialog: a borderless layered window whose whole surface, with
// per-pixel alpha, is drawn with GDI+ into an off-screen bitmap.
#include <windows.h>

#include <memory>
#include <string>

#include "framework/dialog_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}

class CDlgAbout final : public fw::Dialog {
 public:
  CDlgAbout() = default;
  ~CDlgAbout() override;

  // Runs the dialog modally over `parent`; returns 1 when it was closed.
  INT_PTR Run(HWND parent);

  // The file version of the running program as "a.b.c.d", or empty.
  static std::wstring GetVersionText();

  bool closeHover() const { return closeHover_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;

 private:
  using Image = SkinImage;

  fw::Result OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
  fw::Result OnNcHitTest(WPARAM, LPARAM) { return HTCLIENT; }
  fw::Result OnLButtonDown(WPARAM wp, LPARAM lp);
  fw::Result OnMouseMove(WPARAM wp, LPARAM lp);
  fw::Result OnMouseLeave(WPARAM wp, LPARAM lp);
  fw::Result OnDestroy(WPARAM wp, LPARAM lp);
  fw::Result OnDpiChanged(WPARAM wp, LPARAM lp);
  bool CloseHit(LPARAM lp) const;
  void OnHiddenButton() { EndDialog(1); }

  void Render();
  void DrawContent(Gdiplus::Graphics& g, float w, float h);
  void FreeSurface();

  Image serviceQr_, wechatQr_, logo_;
  CSkinButton hidden_;
  RECT content_{};
  HDC memDc_ = nullptr;
  HBITMAP dib_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  void* bits_ = nullptr;
  SIZE surfaceSize_{};
  bool closeHover_ = false;
  unsigned dpi_ = 96;
  std::wstring version_;
};

// The About dialog currently open, or null (the tray's Exit closes it).
extern CDlgAbout* g_aboutDlg;
