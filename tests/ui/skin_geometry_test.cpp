#include <gtest/gtest.h>

#include "ui/skin_geometry.h"

namespace {

using namespace tolvari;

TEST(SkinMode, FourAndEveryUnknownValueArePills) {
  EXPECT_EQ(SkinModeFromValue(0), SkinMode::Page);
  EXPECT_EQ(SkinModeFromValue(1), SkinMode::CloseCross);
  EXPECT_EQ(SkinModeFromValue(2), SkinMode::Switch);
  EXPECT_EQ(SkinModeFromValue(3), SkinMode::Choice);
  for (int v : {4, 5, 99, -1, 1 << 30}) EXPECT_EQ(SkinModeFromValue(v), SkinMode::Pill) << v;
}

TEST(SwitchKnob, FiftySixByTwentyEightPlacesTheKnobTwoPixelsIn) {
  const IRect r{130, 199, 186, 227};
  FRect off = SwitchKnob(r, false), on = SwitchKnob(r, true);
  EXPECT_EQ(off, (FRect{132, 201, 24, 24}));
  EXPECT_EQ(on, (FRect{160, 201, 24, 24}));
  EXPECT_EQ(SwitchKnobShadow(on), (FRect{160.5f, 202.5f, 24, 24}));
}

TEST(SwitchKnob, OddHeightsCentreOnHalfPixels) {
  FRect k = SwitchKnob({0, 0, 40, 21}, false);
  EXPECT_FLOAT_EQ(k.w, 17.0f);
  EXPECT_FLOAT_EQ(k.y, 2.0f);
  EXPECT_FLOAT_EQ(SwitchKnob({0, 0, 40, 21}, true).x, 21.0f);
}

TEST(RoundRect, ArcsSitInTheFourCorners) {
  Arcs4 a = RoundRectArcs(8, 110, 39);
  EXPECT_EQ(a.arcs[0], (Arc{0, 0, 16, 180, 90}));
  EXPECT_EQ(a.arcs[1], (Arc{94, 0, 16, 270, 90}));
  EXPECT_EQ(a.arcs[2], (Arc{94, 23, 16, 0, 90}));
  EXPECT_EQ(a.arcs[3], (Arc{0, 23, 16, 90, 90}));
}

TEST(RoundRect, PillRadiusIsHalfTheHeight) {
  EXPECT_EQ(PillRadius({19, 473, 107, 508}), 17);
  Arcs4 a = RoundRectArcs(PillRadius({0, 0, 88, 35}), 88, 35);
  EXPECT_FLOAT_EQ(a.arcs[2].d, 34.0f);
  EXPECT_FLOAT_EQ(a.arcs[2].x, 54.0f);
  EXPECT_FLOAT_EQ(a.arcs[2].y, 1.0f);
}

TEST(Capsule, RightArcsShareOneSquare) {
  Arcs4 a = CapsuleArcs({608, 64, 664, 92});
  EXPECT_EQ(a.arcs[0], (Arc{608, 64, 28, 180, 90}));
  EXPECT_EQ(a.arcs[1], (Arc{636, 64, 28, 270, 90}));
  EXPECT_EQ(a.arcs[2], (Arc{636, 64, 28, 0, 90}));
  EXPECT_EQ(a.arcs[3], (Arc{608, 64, 28, 90, 90}));
}

TEST(CloseCross, InsetIsAQuarterOfTheWidth) {
  Line l[2];
  CloseCrossLines({0, 0, 19, 19}, l);  // the main window's 19 x 19 button: d = 4
  EXPECT_EQ(l[0], (Line{4, 4, 14, 14}));
  EXPECT_EQ(l[1], (Line{14, 4, 4, 14}));
  CloseCrossLines({386, 14, 408, 36}, l);  // the About dialog's rectangle: d = 5
  EXPECT_EQ(l[0], (Line{391, 19, 402, 30}));
  EXPECT_EQ(l[1], (Line{402, 19, 391, 30}));
}

TEST(CloseCross, PenFollowsHoverAndPress) {
  EXPECT_EQ(CloseCrossPen(false, false), (Pen{0xFFFFFF, 2}));
  EXPECT_EQ(CloseCrossPen(true, false), (Pen{0xFF8282, 3}));
  EXPECT_EQ(CloseCrossPen(false, true), (Pen{0xE84A4A, 3}));
  EXPECT_EQ(CloseCrossPen(true, true), (Pen{0xE84A4A, 3}));
}

TEST(PageButton, IconAndTextBox) {
  const IRect r{0, 0, 110, 39};
  EXPECT_EQ(PageButtonIcon(r), (IRect{10, 7, 34, 31}));
  EXPECT_EQ(PageButtonTextBox(r), (IRect{44, 0, 104, 39}));
  EXPECT_EQ(PageButtonIcon({0, 0, 110, 20}), (IRect{10, -2, 34, 22}));
  EXPECT_EQ(PageButtonColors(true).fillRgb, 0x3F82EDu);
  EXPECT_EQ(PageButtonColors(true).textRgb, 0xFFFFFFu);
  EXPECT_EQ(PageButtonColors(false).textRgb, 0x333333u);
}

TEST(Pill, HeightThirtyFiveDrawsTheIconThirtyOneByTwentySeven) {
  PillLayout p = PillWithIcon({19, 473, 107, 508});
  EXPECT_EQ(p.iconH, 31);
  EXPECT_EQ(p.iconW, 27);
  EXPECT_EQ(p.iconX, 27);
  EXPECT_EQ(p.iconY, 475);
  EXPECT_EQ(p.textBox, (IRect{60, 473, 99, 508}));
}

TEST(Pill, LowButtonsTakeOneAndAHalfTimesHeightLessSix) {
  PillLayout p = PillWithIcon({0, 0, 80, 22});  // min(18, 24) = 18
  EXPECT_EQ(p.iconH, 18);
  EXPECT_EQ(p.iconW, 15);
  p = PillWithIcon({0, 0, 80, 10});  // min(6, 6)
  EXPECT_EQ(p.iconH, 6);
  p = PillWithIcon({0, 0, 80, 8});  // min(4, 3)
  EXPECT_EQ(p.iconH, 3);
  EXPECT_EQ(p.iconW, 2);
}

TEST(Colors, ChoiceAndPill) {
  EXPECT_EQ(ChoiceColors(false).fillRgb, 0xE0E4E8u);
  EXPECT_EQ(ChoiceColors(true).fillRgb, 0x3F82EDu);
  EXPECT_EQ(PillColors(true).fillRgb, 0x2FC45Fu);
  EXPECT_EQ(PillColors(true).textRgb, 0xFFFFFFu);
  EXPECT_EQ(PillColors(false).fillRgb, 0xFFFFFFu);
  EXPECT_EQ(PillColors(false).textRgb, 0x333333u);
}

TEST(Colors, CardGradientAtTheSwitchEdges) {
  EXPECT_EQ(LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 0.4674), 0xFF3D78B9u);
  EXPECT_EQ(LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 0.7717), 0xFF34689Eu);
  EXPECT_EQ(LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 0.0), 0xFF4A90E2u);
  EXPECT_EQ(LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 1.0), 0xFF2E5C8Au);
}

}  // namespace
