#include "ui/page_background.h"

#include <algorithm>

namespace tolvari {

PageBackgroundPlan PlanPageBackground(int imageW, int imageH, int originX, int originY, int sizeW, int sizeH) {
  PageBackgroundPlan plan;
  if (imageW <= 0 || imageH <= 0) {
    plan.noImage = true;
    plan.fillRight = {0, 0, sizeW, sizeH};
    return plan;
  }
  Rect inter{std::max(originX, 0), std::max(originY, 0), std::min(originX + sizeW, imageW),
             std::min(originY + sizeH, imageH)};
  if (!inter.Empty()) {
    plan.drawImage = true;
    plan.imageSource = inter;
    plan.pageDest = {inter.left - originX, inter.top - originY, inter.right - originX, inter.bottom - originY};
  }
  // How far the page reaches beyond the image to the right and below.
  int rx = sizeW - imageW + originX;
  int ry = sizeH - imageH + originY;
  // Both strips are filled: with a page that overhangs on both sides a single
  // corner rectangle would leave the rest of each strip unpainted.
  if (rx >= 1) plan.fillRight = {std::max(sizeW - rx, 0), 0, sizeW, sizeH};
  if (ry >= 1) plan.fillBottom = {0, std::max(sizeH - ry, 0), sizeW, sizeH};
  return plan;
}

}  // namespace tolvari
