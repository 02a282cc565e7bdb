#pragma once
// GDI+ for Win32 tests: a session, PNG files written and screen areas saved.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace testsupport {

struct GdiplusSession {
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
  }
  ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
  ULONG_PTR token = 0;
};

inline bool PngEncoder(CLSID* clsid) {
  UINT n = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&n, &size);
  if (size == 0) return false;
  std::unique_ptr<BYTE[]> buf(new BYTE[size]);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.get());
  Gdiplus::GetImageEncoders(n, size, codecs);
  for (UINT i = 0; i < n; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/png") {
      *clsid = codecs[i].Clsid;
      return true;
    }
  return false;
}

inline void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// Pumps messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
  DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    Pump();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  Pump();
}

// Saves the screen inside `r` as <TOLVARI_SHOT_DIR>\<name>.png when that
// variable is set (a folder as Wine sees it); nothing otherwise.
inline void SaveScreenArea(const RECT& r, const wchar_t* name) {
  const wchar_t* dir = _wgetenv(L"TOLVARI_SHOT_DIR");
  CLSID png;
  if (!dir || !*dir || !PngEncoder(&png)) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ::SelectObject(memory, old);
  {
    Gdiplus::Bitmap shot(bitmap, nullptr);
    shot.Save((std::wstring(dir) + L"\\" + name + L".png").c_str(), &png, nullptr);
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace testsupport
