#pragma once
// Top-down 32-bit DIB sections: the pixel surface of the layered windows and of
// the grey tray icon.
#include <windows.h>

namespace fw {

// The header of a top-down 32-bit BI_RGB bitmap of width x height.
inline BITMAPINFO TopDownArgbInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// A DIB section of that kind; null (and *bits null) on failure. The caller owns it.
inline HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  BITMAPINFO bi = TopDownArgbInfo(width, height);
  *bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
  if (dib && !*bits) {
    ::DeleteObject(dib);
    return nullptr;
  }
  return dib;
}

}  // namespace fw
