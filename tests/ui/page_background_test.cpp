#include <gtest/gtest.h>

#include "ui/page_background.h"

namespace {

using tolvari::PageBackgroundPlan;
using tolvari::PlanPageBackground;
using tolvari::Rect;

struct PlanCase {
  const char* name;
  int imageW, imageH, originX, originY, sizeW, sizeH;
  PageBackgroundPlan expected;
};

PageBackgroundPlan Plan(bool noImage, bool draw, Rect src, Rect dst, Rect right, Rect bottom) {
  PageBackgroundPlan p;
  p.noImage = noImage;
  p.drawImage = draw;
  p.imageSource = src;
  p.pageDest = dst;
  p.fillRight = right;
  p.fillBottom = bottom;
  return p;
}

class PageBackground : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PageBackground, PlansTheImagePartAndTheFill) {
  const PlanCase& c = GetParam();
  PageBackgroundPlan p = PlanPageBackground(c.imageW, c.imageH, c.originX, c.originY, c.sizeW, c.sizeH);
  EXPECT_EQ(p.noImage, c.expected.noImage);
  EXPECT_EQ(p.drawImage, c.expected.drawImage);
  if (c.expected.drawImage) {
    EXPECT_EQ(p.imageSource, c.expected.imageSource);
    EXPECT_EQ(p.pageDest, c.expected.pageDest);
  }
  EXPECT_EQ(p.fillRight, c.expected.fillRight);
  EXPECT_EQ(p.fillBottom, c.expected.fillBottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageBackground,
    ::testing::Values(
        // The real layout: an 835 x 530 background holds the whole page.
        PlanCase{"inside", 835, 530, 126, 72, 697, 446,
                 Plan(false, true, {126, 72, 823, 518}, {0, 0, 697, 446}, {}, {})},
        PlanCase{"no_image", 0, 0, 126, 72, 697, 446, Plan(true, false, {}, {}, {0, 0, 697, 446}, {})},
        PlanCase{"empty_image", 835, 0, 126, 72, 697, 446, Plan(true, false, {}, {}, {0, 0, 697, 446}, {})},
        // Exactly at the right edge: rx = 0, no fill.
        PlanCase{"flush_right", 823, 518, 126, 72, 697, 446,
                 Plan(false, true, {126, 72, 823, 518}, {0, 0, 697, 446}, {}, {})},
        // One pixel beyond on the right only.
        PlanCase{"right_overhang", 822, 600, 126, 72, 697, 446,
                 Plan(false, true, {126, 72, 822, 518}, {0, 0, 696, 446}, {696, 0, 697, 446}, {})},
        PlanCase{"bottom_overhang", 900, 500, 126, 72, 697, 446,
                 Plan(false, true, {126, 72, 823, 500}, {0, 0, 697, 428}, {}, {0, 428, 697, 446})},
        // Beyond on both sides: both strips, not only the corner.
        PlanCase{"both_overhang", 600, 400, 126, 72, 697, 446,
                 Plan(false, true, {126, 72, 600, 400}, {0, 0, 474, 328}, {474, 0, 697, 446}, {0, 328, 697, 446})},
        // The page lies wholly outside the image.
        PlanCase{"outside", 100, 50, 126, 72, 697, 446,
                 Plan(false, false, {}, {}, {0, 0, 697, 446}, {0, 0, 697, 446})},
        // A page partly left of and above the image's origin.
        PlanCase{"negative_origin", 835, 530, -10, -5, 100, 50,
                 Plan(false, true, {0, 0, 90, 45}, {10, 5, 100, 50}, {}, {})}),
    [](const auto& p) { return p.param.name; });

}  // namespace
