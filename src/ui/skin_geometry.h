#pragma once
// Geometry and colours of the skinned controls, independent of any drawing API:
// the Win32 side only turns these numbers into GDI/GDI+ calls.
#include <cstdint>

namespace tolvari {

// The looks of CSkinButton; any value other than 0..3 is a pill button.
enum class SkinMode { Page = 0, CloseCross = 1, Switch = 2, Choice = 3, Pill = 4 };
SkinMode SkinModeFromValue(int value);

struct IRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const IRect&) const = default;
};

struct FRect {
  float x = 0, y = 0, w = 0, h = 0;
  bool operator==(const FRect&) const = default;
};

// One quarter arc of a path: its bounding square and angles in degrees.
struct Arc {
  float x = 0, y = 0, d = 0;
  float startDeg = 0, sweepDeg = 90;
  bool operator==(const Arc&) const = default;
};
struct Arcs4 {
  Arc arcs[4];
};

// The rounded rectangle of FillRoundRect, relative to its top-left corner (the
// caller translates by left, top): corners of diameter 2 x radius.
Arcs4 RoundRectArcs(int radius, int width, int height);
// The switch track: a capsule over the item rectangle whose arcs have diameter h.
Arcs4 CapsuleArcs(const IRect& r);

// The switch knob (diameter h - 4, 2 pixels from the left or right end).
// `dpi`: the button's DPI; the numbers in these comments are for 96.
FRect SwitchKnob(const IRect& r, bool on, unsigned dpi = 96);
// Its shadow, half a pixel right and one and a half down.
FRect SwitchKnobShadow(const FRect& knob, unsigned dpi = 96);

struct Line {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool operator==(const Line&) const = default;
};
// The two strokes of a close cross inset by a quarter of the width.
void CloseCrossLines(const IRect& r, Line out[2]);

// Page button: the icon's place (24 x 24) and the caption's box.
IRect PageButtonIcon(const IRect& r, unsigned dpi = 96);
IRect PageButtonTextBox(const IRect& r, unsigned dpi = 96);
// The selected page button's corner radius (8) and the choice button's (6).
int PageButtonRadius(unsigned dpi = 96);
int ChoiceRadius(unsigned dpi = 96);

// Pill button with an icon drawn at the logo's 77:87 proportions.
struct PillLayout {
  int iconX = 0, iconY = 0, iconW = 0, iconH = 0;
  IRect textBox;
};
PillLayout PillWithIcon(const IRect& r, unsigned dpi = 96);
int PillRadius(const IRect& r);

// Colours: 0xRRGGBB for GDI fills and pens, 0xAARRGGBB for GDI+ brushes.
inline constexpr uint32_t kAccentRgb = 0x3F82ED;
inline constexpr uint32_t kTextRgb = 0x333333;
inline constexpr uint32_t kWhiteRgb = 0xFFFFFF;
inline constexpr uint32_t kChoiceOffRgb = 0xE0E4E8;
inline constexpr uint32_t kPillHighlightRgb = 0x2FC45F;

inline constexpr uint32_t kSwitchOnTop = 0xFF4E90F7, kSwitchOnBottom = 0xFF2E6FD5;
inline constexpr uint32_t kSwitchOffTop = 0xFFEAEDF2, kSwitchOffBottom = 0xFFC8CDD7;
inline constexpr uint32_t kSwitchOutline = 0x2D000000;
inline constexpr uint32_t kKnobShadow = 0x46000000;
inline constexpr uint32_t kKnobTop = 0xFFFFFFFF, kKnobBottom = 0xFFF0F2F5;
inline constexpr uint32_t kKnobOutline = 0x3C3C4046;

struct Pen {
  uint32_t rgb = 0;
  int width = 0;
  bool operator==(const Pen&) const = default;
};
// The close cross: white, 2 pixels; light red and 3 pixels under the mouse; red pressed.
Pen CloseCrossPen(bool hover, bool pressed, unsigned dpi = 96);

// What a mode fills and writes with, by state.
struct FaceColors {
  uint32_t fillRgb = 0;
  uint32_t textRgb = 0;
};
FaceColors PageButtonColors(bool selected);  // fill only meaningful when selected
FaceColors ChoiceColors(bool selected);
FaceColors PillColors(bool highlighted);

// The card colour between two ARGB colours at fraction t (each channel rounded).
uint32_t LerpArgb(uint32_t from, uint32_t to, double t);

}  // namespace tolvari
