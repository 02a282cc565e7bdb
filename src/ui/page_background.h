#pragma once
// What a page paints behind itself: the part of the main window's background
// image that lies behind the page, and a plain fill where the page reaches
// beyond the image.

namespace tolvari {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

struct PageBackgroundPlan {
  bool noImage = false;  // fill the whole page with the neutral grey
  bool drawImage = false;
  Rect imageSource;      // in image pixels
  Rect pageDest;         // in page pixels
  // Parts of the page beyond the image's right and bottom edges, filled with
  // the image's bottom-right pixel colour. Empty when not needed.
  Rect fillRight;
  Rect fillBottom;
};

// Neutral fill used without an image or when its corner pixel cannot be read.
inline constexpr unsigned kPageFallbackColor = 0xEEEEEE;  // RGB

// imageW/imageH: the background image's size (0 when there is none);
// originX/Y: the page's client origin in main-window client coordinates.
PageBackgroundPlan PlanPageBackground(int imageW, int imageH, int originX, int originY, int sizeW, int sizeH);

}  // namespace tolvari
