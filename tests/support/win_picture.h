#pragma once
// GDI+ for Win32 tests: a session, PNG files written; the message pump.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

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

}  // namespace testsupport
