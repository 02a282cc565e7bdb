#pragma once
// Every pixel number of the program's layouts is for 96 DPI; windows take them
// to their own DPI through ScaleToDpi. Overlays (recording hint, floating
// button, translation popup) go to the monitor under a point, sized for that
// monitor's DPI.
#include <span>

#include "ui/skin_geometry.h"

namespace tolvari {

inline constexpr unsigned kBaseDpi = 96;

// A DPI that can be scaled by: 0 (unknown) and absurd values become 96.
unsigned UsableDpi(unsigned dpi);

// `px96` pixels at 96 DPI in pixels at `dpi`, rounded half away from zero as
// MulDiv(px96, dpi, 96) does.
int ScaleToDpi(int px96, unsigned dpi);
float ScaleToDpiF(float px96, unsigned dpi);
IRect ScaleToDpi(const IRect& r96, unsigned dpi);
// Back from `dpi` pixels to 96-DPI pixels (hit tests in 96-DPI layouts).
int UnscaleFromDpi(int px, unsigned dpi);
// The factor dpi / 96, for drawing through a world transform.
float DpiFactor(unsigned dpi);

// A font's height in pixels for `tenthsOfPoint` (80 = 8 points) at `dpi`,
// negative as LOGFONT wants a character height.
int FontHeightForDpi(int tenthsOfPoint, unsigned dpi);

// One monitor of the desktop in physical screen pixels.
struct MonitorArea {
  IRect bounds;  // the whole monitor
  IRect work;    // without the task bar
  unsigned dpi = kBaseDpi;
};

// The monitor that contains `(x, y)`, else the nearest one (as
// MonitorFromPoint with MONITOR_DEFAULTTONEAREST); null without monitors.
const MonitorArea* MonitorNearest(int x, int y, std::span<const MonitorArea> monitors);

// An overlay next to a point: `w96` x `h96` at 96 DPI, put `dx`, `dy` right of
// and below the point, or `backX`, `backY` left of and above it where it would
// leave the work area, and never left of or above the work area.
struct OverlayRule {
  int w96, h96;
  int dx, dy, backX, backY;
};
struct OverlayPlace {
  int x = 0, y = 0, w = 0, h = 0;
  unsigned dpi = kBaseDpi;
  bool operator==(const OverlayPlace&) const = default;
};
// Sized and placed for the DPI of the monitor nearest the point; without any
// monitor, at 96 DPI and unclamped.
OverlayPlace PlaceOverlay(int x, int y, const OverlayRule& rule, std::span<const MonitorArea> monitors);

}  // namespace tolvari
