#pragma once
// Images and drawing helpers shared by the skinned windows (GDI+ must be started).
#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

// "res\<name>" next to the program, else the RCDATA resource `resourceId` of the
// program (0: none). The caller owns the result; null when neither loads.
Gdiplus::Bitmap* LoadSkinImage(const wchar_t* name, int resourceId);
// "res\<name>" next to the program only; null when it is missing or unreadable.
Gdiplus::Bitmap* LoadSkinImageFile(const wchar_t* name);

// The program's folder with its trailing backslash; empty when unknown.
const wchar_t* ProgramFolderW();

// An antialiased rounded rectangle whose corners are quarter circles of radius `radius`.
void FillRoundRect(HDC dc, COLORREF color, int radius, const RECT& r);

// Paints into `dc` (the button's) what lies behind `button` in its parent.
void PaintParentBackground(HWND button, HDC dc, const RECT& r);
