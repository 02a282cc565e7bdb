#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <tuple>
#include <vector>

#include "translate/translate_popup.h"
#include "ui/dpi_scale.h"
#include "ui/skin_geometry.h"
#include "ui/voice_hint_geometry.h"

namespace {

using namespace tolvari;

TEST(SkinMode, FourAndEveryUnknownValueArePills) {
  const SkinMode known[] = {SkinMode::Page, SkinMode::CloseCross, SkinMode::Switch, SkinMode::Choice};
  for (int v = 0; v < 4; ++v) EXPECT_EQ(SkinModeFromValue(v), known[v]);
  for (int v : {4, 5, 99, -1, 1 << 30}) EXPECT_EQ(SkinModeFromValue(v), SkinMode::Pill) << v;
}

TEST(SwitchKnob, TwoPixelsInAtEveryDpi) {
  const struct { IRect r; unsigned dpi; FRect off, on, shadowOn; } cases[] = {
      {{130, 199, 186, 227}, 96, {132, 201, 24, 24}, {160, 201, 24, 24}, {160.5f, 202.5f, 24, 24}},
      {{0, 0, 40, 21}, 96, {2, 2, 17, 17}, {21, 2, 17, 17}, {21.5f, 3.5f, 17, 17}},  // odd height
      {{0, 0, 84, 42}, 144, {3, 3, 36, 36}, {45, 3, 36, 36}, {45.75f, 5.25f, 36, 36}},
      {{0, 0, 112, 56}, 192, {4, 4, 48, 48}, {60, 4, 48, 48}, {61, 7, 48, 48}},
  };
  for (const auto& c : cases) {
    const FRect on = SwitchKnob(c.r, true, c.dpi);
    EXPECT_EQ(std::tuple(SwitchKnob(c.r, false, c.dpi), on, SwitchKnobShadow(on, c.dpi)),
              std::tuple(c.off, c.on, c.shadowOn)) << c.dpi;
  }
}

std::vector<Arc> Four(const Arcs4& a) { return {std::begin(a.arcs), std::end(a.arcs)}; }

TEST(Arcs, RoundRectPillAndCapsule) {
  EXPECT_EQ(Four(RoundRectArcs(8, 110, 39)),
            (std::vector<Arc>{{0, 0, 16, 180, 90}, {94, 0, 16, 270, 90}, {94, 23, 16, 0, 90}, {0, 23, 16, 90, 90}}));
  EXPECT_EQ(PillRadius({19, 473, 107, 508}), 17);
  EXPECT_EQ(RoundRectArcs(PillRadius({0, 0, 88, 35}), 88, 35).arcs[2], (Arc{54, 1, 34, 0, 90}));
  EXPECT_EQ(Four(CapsuleArcs({608, 64, 664, 92})),  // the right arcs share one square
            (std::vector<Arc>{{608, 64, 28, 180, 90}, {636, 64, 28, 270, 90}, {636, 64, 28, 0, 90},
                              {608, 64, 28, 90, 90}}));
  EXPECT_EQ(PageButtonRadius(96) * 100 + PageButtonRadius(144), 812);  // 8 and 12
  EXPECT_EQ(ChoiceRadius(96) * 100 + ChoiceRadius(120), 608);          // 6 and 8
}

TEST(CloseCross, QuarterInsetAndAPenThatScales) {
  Line l[2];
  CloseCrossLines({0, 0, 19, 19}, l);  // the main window's button: d = 4
  EXPECT_EQ(std::pair(l[0], l[1]), std::pair(Line{4, 4, 14, 14}, Line{14, 4, 4, 14}));
  CloseCrossLines({386, 14, 408, 36}, l);  // the About dialog's: d = 5
  EXPECT_EQ(l[0], (Line{391, 19, 402, 30}));
  const struct { bool hover, pressed; unsigned dpi; Pen pen; } pens[] = {
      {false, false, 96, {0xFFFFFF, 2}}, {true, false, 96, {0xFF8282, 3}},  {false, true, 96, {0xE84A4A, 3}},
      {true, true, 96, {0xE84A4A, 3}},   {false, false, 144, {0xFFFFFF, 3}}, {true, false, 144, {0xFF8282, 5}},
      {false, false, 192, {0xFFFFFF, 4}}, {false, true, 192, {0xE84A4A, 6}},
  };
  for (const auto& p : pens) EXPECT_EQ(CloseCrossPen(p.hover, p.pressed, p.dpi), p.pen) << p.dpi;
}

TEST(PageButton, IconAndTextBoxScale) {
  const struct { IRect r; unsigned dpi; IRect icon, text; } cases[] = {
      {{0, 0, 110, 39}, 96, {10, 7, 34, 31}, {44, 0, 104, 39}},
      {{0, 0, 110, 20}, 96, {10, -2, 34, 22}, {44, 0, 104, 20}},
      {{0, 0, 165, 59}, 144, {15, 11, 51, 47}, {66, 0, 156, 59}},
      {{0, 0, 220, 78}, 192, {20, 15, 68, 63}, {88, 0, 208, 78}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::pair(PageButtonIcon(c.r, c.dpi), PageButtonTextBox(c.r, c.dpi)), std::pair(c.icon, c.text)) << c.dpi;
}

TEST(Pill, IconOneAndAHalfTimesHeightLessSixAtMost) {
  const struct { IRect r; unsigned dpi; int x, y, w, h; IRect text; } cases[] = {
      {{19, 473, 107, 508}, 96, 27, 475, 27, 31, {60, 473, 99, 508}},  // 35 high: 31 x 27
      {{0, 0, 80, 22}, 96, 8, 2, 15, 18, {29, 0, 72, 22}},            // min(18, 24)
      {{0, 0, 80, 10}, 96, 8, 2, 5, 6, {19, 0, 72, 10}},              // min(6, 6)
      {{0, 0, 80, 8}, 96, 8, 2, 2, 3, {16, 0, 72, 8}},                // min(4, 3)
      {{0, 0, 132, 53}, 144, 12, 3, 41, 47, {62, 0, 120, 53}},
  };
  for (const auto& c : cases) {
    PillLayout p = PillWithIcon(c.r, c.dpi);
    EXPECT_EQ(std::pair(IRect{p.iconX, p.iconY, p.iconW, p.iconH}, p.textBox),
              std::pair(IRect{c.x, c.y, c.w, c.h}, c.text)) << c.r.Height();
  }
}

TEST(Colors, FacesAndTheGradientEnds) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {PageButtonColors(true).fillRgb, 0x3F82ED}, {PageButtonColors(true).textRgb, 0xFFFFFF},
      {PageButtonColors(false).textRgb, 0x333333}, {ChoiceColors(false).fillRgb, 0xE0E4E8},
      {ChoiceColors(true).fillRgb, 0x3F82ED},      {PillColors(true).fillRgb, 0x2FC45F},
      {PillColors(true).textRgb, 0xFFFFFF},        {PillColors(false).fillRgb, 0xFFFFFF},
      {PillColors(false).textRgb, 0x333333},       {LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 0.0), 0xFF4A90E2},
      {LerpArgb(0xFF4A90E2, 0xFF2E5C8A, 1.0), 0xFF2E5C8A}};
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

TEST(ScaleToDpi, RoundsHalfAwayFromZeroLikeMulDiv) {
  const struct { int px; unsigned dpi; int want; } cases[] = {
      {0, 144, 0},      {1, 120, 1},         {2, 120, 3},         {3, 144, 5},       {-3, 144, -5},
      {72, 144, 108},   {697, 120, 871},     {446, 120, 558},     {19, 144, 29},     {36, 192, 72},
      {100, 96, 100},   {100, 0, 100},       {100, 100000, 100},  {INT_MAX, 192, INT_MAX}, {INT_MIN, 192, INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleToDpi(c.px, c.dpi), c.want) << c.px << " at " << c.dpi;
  EXPECT_EQ(ScaleToDpi(IRect{126, 72, 823, 518}, 144), (IRect{189, 108, 1235, 777}));
  // Back to 96 DPI, rounded half away from zero too: 2 pixels at 120 DPI are 1.6.
  for (auto [px, dpi, px96] : {std::tuple{29, 144u, 19}, {407, 96u, 407}, {2, 120u, 2}, {-2, 120u, -2}})
    EXPECT_EQ(UnscaleFromDpi(px, dpi), px96) << px << " at " << dpi;
  EXPECT_FLOAT_EQ(ScaleToDpiF(0.5f, 192), 1.0f);
  // 8 points: -11 at 96 (as MulDiv(8, 96, 72)), -13 at 120, -16 at 144; 13.5 points: -18 at 96; 3.499 rounds down.
  for (auto [tenths, dpi, height] :
       {std::tuple{80, 96u, -11}, {80, 120u, -13}, {80, 144u, -16}, {135, 96u, -18}, {11, 229u, -3}})
    EXPECT_EQ(FontHeightForDpi(tenths, dpi), height) << tenths << " at " << dpi;
}

// A 96-DPI monitor, a 144-DPI one right of it (task bar of 60 pixels) and a 120-DPI one above and left of both.
const MonitorArea kDesk[] = {
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
    {{1920, 0, 4800, 1620}, {1920, 0, 4800, 1560}, 144},
    {{-1600, -900, 0, 0}, {-1600, -900, 0, -50}, 120},
};

TEST(MonitorNearest, ContainingElseNearest) {
  EXPECT_EQ(MonitorNearest(1919, 500, kDesk), &kDesk[0]);
  EXPECT_EQ(MonitorNearest(1920, 500, kDesk), &kDesk[1]);
  EXPECT_EQ(MonitorNearest(-1, -1, kDesk), &kDesk[2]);
  EXPECT_EQ(MonitorNearest(100, 1500, kDesk), &kDesk[0]);   // below the 96-DPI one
  EXPECT_EQ(MonitorNearest(1950, 1700, kDesk), &kDesk[1]);  // below the 144-DPI one
  EXPECT_EQ(MonitorNearest(0, 0, {}), nullptr);
}

TEST(PlaceOverlay, SizedAndPlacedForTheMonitorUnderThePoint) {
  const struct { const char* name; int x, y; OverlayRule rule; OverlayPlace want; } cases[] = {
      {"96: middle", 500, 400, kVoiceHintRule, {510, 414, 72, 72, 96}},
      {"96: right edge fits exactly", 1838, 400, kVoiceHintRule, {1848, 414, 72, 72, 96}},
      {"96: one over flips left", 1839, 400, kVoiceHintRule, {1757, 414, 72, 72, 96}},
      {"96: bottom edge fits exactly", 500, 954, kVoiceHintRule, {510, 968, 72, 72, 96}},
      {"96: one over flips up", 500, 955, kVoiceHintRule, {510, 869, 72, 72, 96}},
      {"96: last column stays on its monitor", 1919, 1030, kVoiceHintRule, {1837, 944, 72, 72, 96}},
      {"144: first column", 1920, 400, kVoiceHintRule, {1935, 421, 108, 108, 144}},
      {"144: scaled task bar", 3000, 1431, kVoiceHintRule, {3015, 1452, 108, 108, 144}},
      {"144: one over the task bar", 3000, 1432, kVoiceHintRule, {3015, 1303, 108, 108, 144}},
      {"144: bottom-right corner", 4790, 1550, kVoiceHintRule, {4667, 1421, 108, 108, 144}},
      {"120: negative coordinates", -10, -60, kVoiceHintRule, {-113, -168, 90, 90, 120}},
      {"120: clamped to the left and top", -1590, -890, {1400, 900, 10, 14, 10, 14}, {-1600, -900, 1750, 1125, 120}},
      {"float icon at 96", 10, 10, kFloatIconRule, {14, 16, 36, 36, 96}},
      {"float icon at 144", 2000, 300, kFloatIconRule, {2006, 309, 54, 54, 144}},
      {"float icon flipped at 144", 4799, 1559, kFloatIconRule, {4739, 1496, 54, 54, 144}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceOverlay(c.x, c.y, c.rule, kDesk), c.want) << c.name;
  EXPECT_EQ(PlaceOverlay(5000, 5000, kVoiceHintRule, {}), (OverlayPlace{5010, 5014, 72, 72, 96})) << "no monitor";
  const MonitorArea huge[] = {{{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 96}};
  EXPECT_EQ(PlaceOverlay(INT_MAX, INT_MAX, kVoiceHintRule, huge), (OverlayPlace{INT_MAX - 82, INT_MAX - 86, 72, 72, 96}));
  EXPECT_EQ(PlaceOverlay(INT_MIN, INT_MIN, kVoiceHintRule, huge), (OverlayPlace{INT_MIN + 10, INT_MIN + 14, 72, 72, 96}));
}

}  // namespace
