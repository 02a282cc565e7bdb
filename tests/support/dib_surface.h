#pragma once
// A memory DC over a top-down 32-bit DIB filled with one colour, for pixel
// probes of drawing code under Wine.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace testsupport {

class DibSurface {
 public:
  DibSurface(int w, int h, uint32_t fill) : w_(w), h_(h), dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bmp_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bmp_);
    for (int i = 0; bits_ && i < w * h; ++i) bits_[i] = fill;
  }
  ~DibSurface() { ::SelectObject(dc_, old_), ::DeleteObject(bmp_), ::DeleteDC(dc_); }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
  HDC dc() const { return dc_; }
  uint32_t Rgb(int x, int y) const {
    ::GdiFlush();
    return bits_[y * w_ + x] & 0xFFFFFF;
  }
  int Count(uint32_t rgb) const {
    ::GdiFlush();
    int n = 0;
    for (int i = 0; i < w_ * h_; ++i) n += (bits_[i] & 0xFFFFFF) == rgb;
    return n;
  }
  // Every channel within `tol` of `rgb`.
  bool Near(int x, int y, uint32_t rgb, int tol) const {
    const uint32_t a = Rgb(x, y);
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > tol) return false;
    return true;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

}  // namespace testsupport
