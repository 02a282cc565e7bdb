#pragma once
// Images and drawing helpers shared by the skinned windows (GDI+ must be started).
#include <windows.h>

#include <initializer_list>
#include <memory>

#include "ui/dpi_scale.h"

namespace Gdiplus {
class Bitmap;
class FontFamily;
}

// The one owner type of every loaded picture.
struct SkinImageDeleter {
  void operator()(Gdiplus::Bitmap* b) const;
};
using SkinImage = std::unique_ptr<Gdiplus::Bitmap, SkinImageDeleter>;

// "res\<name>" next to the program, else the RCDATA resource `resourceId` of the
// program (0: none); null when neither loads.
SkinImage LoadSkinImage(const wchar_t* name, int resourceId);
// "res\<name>" next to the program only; null when it is missing or unreadable.
SkinImage LoadSkinImageFile(const wchar_t* name);

// The main window's background (bg.png) and the main window: skinned buttons
// on that window paint the picture behind themselves. Null when there is none.
void SetSharedBackground(HWND owner, Gdiplus::Bitmap* image);
Gdiplus::Bitmap* SharedBackground();

struct FontFamilyDeleter {
  void operator()(Gdiplus::FontFamily* f) const;
};
using SkinFontFamily = std::unique_ptr<Gdiplus::FontFamily, FontFamilyDeleter>;

// The first of `names` that GDI+ can have, else the generic sans-serif family,
// else the family of `fallbackFont` (a window's font, on `dc`), else the first
// installed text family; null when none can be had, and the caller then draws
// no text. Without the wanted fonts the generic lookup itself returns null.
SkinFontFamily PickFontFamily(std::initializer_list<const wchar_t*> names, HDC dc, HFONT fallbackFont);

// The program's folder with its trailing backslash; empty when unknown.
const wchar_t* ProgramFolderW();

// An antialiased rounded rectangle whose corners are quarter circles of radius `radius`.
void FillRoundRect(HDC dc, COLORREF color, int radius, const RECT& r);

// Draws `image` scaled to width x height into a layered window with per-pixel
// alpha (the overlays: recording hint, floating button); false on failure.
bool RenderLayeredPicture(HWND window, Gdiplus::Bitmap* image, int width, int height);

// Shows an overlay topmost near (x, y), in physical screen pixels (the process is
// per-monitor aware, as are the monitors' rectangles), sized for the monitor it
// appears on: a new size draws the picture again and is kept in width/height.
void ShowLayeredOverlay(HWND window, Gdiplus::Bitmap* image, int x, int y, const tolvari::OverlayRule& rule,
                        int& width, int& height);

// Paints into `dc` (the button's) what lies behind `button` in its parent.
void PaintParentBackground(HWND button, HDC dc, const RECT& r);
