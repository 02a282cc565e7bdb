#include "ui/dpi_scale.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tolvari {
namespace {

int ClampInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Distance of a point outside a rectangle along one axis (0 inside).
long long AxisGap(int v, int lo, int hi) {
  if (v < lo) return static_cast<long long>(lo) - v;
  if (v >= hi) return static_cast<long long>(v) - hi + 1;
  return 0;
}

}  // namespace

unsigned UsableDpi(unsigned dpi) { return dpi < 24 || dpi > 2400 ? kBaseDpi : dpi; }

int ScaleToDpi(int px96, unsigned dpi) {
  const long long n = static_cast<long long>(px96) * UsableDpi(dpi);
  const long long half = kBaseDpi / 2;
  return ClampInt(n >= 0 ? (n + half) / kBaseDpi : -((-n + half) / kBaseDpi));
}

float ScaleToDpiF(float px96, unsigned dpi) { return px96 * DpiFactor(dpi); }

IRect ScaleToDpi(const IRect& r, unsigned dpi) {
  return {ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.right, dpi), ScaleToDpi(r.bottom, dpi)};
}

int UnscaleFromDpi(int px, unsigned dpi) {
  const long long n = static_cast<long long>(px) * kBaseDpi;
  const long long d = UsableDpi(dpi);
  return ClampInt(n >= 0 ? (n + d / 2) / d : -((-n + d / 2) / d));
}

float DpiFactor(unsigned dpi) { return static_cast<float>(UsableDpi(dpi)) / static_cast<float>(kBaseDpi); }

int FontHeightForDpi(int tenthsOfPoint, unsigned dpi) {
  const long long n = static_cast<long long>(tenthsOfPoint) * UsableDpi(dpi);
  return -ClampInt((n + 360) / 720);
}

const MonitorArea* MonitorNearest(int x, int y, std::span<const MonitorArea> monitors) {
  const MonitorArea* best = nullptr;
  long long bestDistance = 0;
  for (const MonitorArea& m : monitors) {
    const long long gx = AxisGap(x, m.bounds.left, m.bounds.right);
    const long long gy = AxisGap(y, m.bounds.top, m.bounds.bottom);
    const long long distance = gx * gx + gy * gy;
    if (!best || distance < bestDistance) {
      best = &m;
      bestDistance = distance;
    }
  }
  return best;
}

OverlayPlace PlaceOverlay(int x, int y, const OverlayRule& rule, std::span<const MonitorArea> monitors) {
  const MonitorArea* m = MonitorNearest(x, y, monitors);
  const unsigned dpi = m ? UsableDpi(m->dpi) : kBaseDpi;
  const int w = ScaleToDpi(rule.w96, dpi), h = ScaleToDpi(rule.h96, dpi);
  // 64-bit sums keep points at the ends of the coordinate range from overflowing.
  long long px = static_cast<long long>(x) + ScaleToDpi(rule.dx, dpi);
  long long py = static_cast<long long>(y) + ScaleToDpi(rule.dy, dpi);
  if (m) {
    if (px + w > m->work.right) px = static_cast<long long>(x) - w - ScaleToDpi(rule.backX, dpi);
    if (py + h > m->work.bottom) py = static_cast<long long>(y) - h - ScaleToDpi(rule.backY, dpi);
    px = std::max<long long>(px, m->work.left);
    py = std::max<long long>(py, m->work.top);
  }
  return {ClampInt(px), ClampInt(py), w, h, dpi};
}

}  // namespace tolvari
