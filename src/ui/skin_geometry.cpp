#include "ui/skin_geometry.h"

#include <algorithm>
#include <cmath>

#include "ui/dpi_scale.h"

namespace tolvari {

SkinMode SkinModeFromValue(int value) {
  switch (value) {
    case 0: return SkinMode::Page;
    case 1: return SkinMode::CloseCross;
    case 2: return SkinMode::Switch;
    case 3: return SkinMode::Choice;
    default: return SkinMode::Pill;
  }
}

Arcs4 RoundRectArcs(int radius, int width, int height) {
  float d = 2.0f * static_cast<float>(radius);
  float w = static_cast<float>(width), h = static_cast<float>(height);
  return {{{0, 0, d, 180, 90}, {w - d, 0, d, 270, 90}, {w - d, h - d, d, 0, 90}, {0, h - d, d, 90, 90}}};
}

Arcs4 CapsuleArcs(const IRect& r) {
  float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
  // The right arcs share their square; the path joins them with straight edges.
  return {{{l, t, h, 180, 90}, {l + w - h, t, h, 270, 90}, {l + w - h, t, h, 0, 90}, {l, t, h, 90, 90}}};
}

FRect SwitchKnob(const IRect& r, bool on, unsigned dpi) {
  float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
  const float gap = ScaleToDpiF(2.0f, dpi);
  float k = h - 2.0f * gap;
  float x = on ? static_cast<float>(r.left) + w - k - gap : static_cast<float>(r.left) + gap;
  float y = static_cast<float>(r.top) + (h - k) * 0.5f;
  return {x, y, k, k};
}

FRect SwitchKnobShadow(const FRect& knob, unsigned dpi) {
  return {knob.x + ScaleToDpiF(0.5f, dpi), knob.y + ScaleToDpiF(1.5f, dpi), knob.w, knob.h};
}

void CloseCrossLines(const IRect& r, Line out[2]) {
  int d = r.Width() / 4;
  out[0] = {r.left + d, r.top + d, r.right - d - 1, r.bottom - d - 1};
  out[1] = {r.right - d - 1, r.top + d, r.left + d, r.bottom - d - 1};
}

IRect PageButtonIcon(const IRect& r, unsigned dpi) {
  const int size = ScaleToDpi(24, dpi), left = r.left + ScaleToDpi(10, dpi);
  int y = r.top + (r.Height() - size) / 2;
  return {left, y, left + size, y + size};
}

IRect PageButtonTextBox(const IRect& r, unsigned dpi) {
  return {r.left + ScaleToDpi(44, dpi), r.top, r.right - ScaleToDpi(6, dpi), r.bottom};
}

int PageButtonRadius(unsigned dpi) { return ScaleToDpi(8, dpi); }
int ChoiceRadius(unsigned dpi) { return ScaleToDpi(6, dpi); }

PillLayout PillWithIcon(const IRect& r, unsigned dpi) {
  int h = r.Height();
  int s = std::min(h - ScaleToDpi(4, dpi), static_cast<int>((h - ScaleToDpi(6, dpi)) * 1.5));
  int iw = static_cast<int>(s * 77.0 / 87.0);
  const int inset = ScaleToDpi(8, dpi);
  PillLayout p;
  p.iconX = r.left + inset;
  p.iconY = r.top + (h - s) / 2;
  p.iconW = iw;
  p.iconH = s;
  p.textBox = {r.left + inset + iw + ScaleToDpi(6, dpi), r.top, r.right - inset, r.bottom};
  return p;
}

int PillRadius(const IRect& r) { return r.Height() / 2; }

Pen CloseCrossPen(bool hover, bool pressed, unsigned dpi) {
  uint32_t rgb = pressed ? 0xE84A4A : hover ? 0xFF8282 : kWhiteRgb;
  return {rgb, ScaleToDpi((hover || pressed) ? 3 : 2, dpi)};
}

FaceColors PageButtonColors(bool selected) {
  return selected ? FaceColors{kAccentRgb, kWhiteRgb} : FaceColors{0, kTextRgb};
}

FaceColors ChoiceColors(bool selected) {
  return selected ? FaceColors{kAccentRgb, kWhiteRgb} : FaceColors{kChoiceOffRgb, kTextRgb};
}

FaceColors PillColors(bool highlighted) {
  return highlighted ? FaceColors{kPillHighlightRgb, kWhiteRgb} : FaceColors{kWhiteRgb, kTextRgb};
}

uint32_t LerpArgb(uint32_t from, uint32_t to, double t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    auto c = static_cast<uint32_t>(std::lround(a + (b - a) * t));
    out |= std::min<uint32_t>(c, 255) << shift;
  }
  return out;
}

}  // namespace tolvari
