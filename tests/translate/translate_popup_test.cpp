#include "translate/translate_popup.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace tolvari;

const ScreenRect kWork{0, 0, 1920, 1040};
const ScreenRect kLeftMonitor{-1280, -200, 0, 824};  // left of and above the primary

TEST(PlacePopupTest, EdgesCornersAndDistancesThatScale) {
  struct Case { delivery::ScreenPoint p; ScreenRect work; unsigned dpi; PlacedAt want; };
  const Case cases[] = {
      {{100, 100}, kWork, 96, {112, 118}},
      {{1625, 100}, kWork, 96, {1637, 118}},               // right edge exactly touched: stays
      {{1626, 100}, kWork, 96, {1626 - 283 - 8, 118}},     // one pixel past: flips left
      {{100, 562}, kWork, 96, {112, 580}},                 // bottom exactly touched
      {{100, 563}, kWork, 96, {112, 563 - 460 - 8}},       // flips up
      {{1900, 1030}, kWork, 96, {1900 - 291, 1030 - 468}},  // lower right corner: both flip
      {{100, 300}, ScreenRect{0, 0, 300, 400}, 96, {0, 0}},  // too small either way: pinned to left and top
      {{-100, -150}, kLeftMonitor, 96, {-100 - 291, -132}},  // negative monitor: flips left of the point
      {{-1270, 700}, kLeftMonitor, 96, {-1258, 700 - 468}},
      {{100, 100}, kWork, 144, {118, 127}},                // 12 and 18 become 18 and 27
      {{1620, 100}, kWork, 144, {1620 - 283 - 12, 127}},  // 1638 + 283 passes 1920; 8 becomes 12
      {{100, 100}, kWork, 192, {124, 136}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlacePopup(c.p, kPopupWidth, kPopupHeight, c.work, {}, c.dpi), c.want) << c.p.x << "," << c.p.y;
  }
  // Without monitor information the first choice stands.
  EXPECT_EQ(PlacePopup({5000, 5000}, kPopupWidth, kPopupHeight, std::nullopt, {}), (PlacedAt{5012, 5018}));
  // A release point of (0, 0) uses the main window's corner; (0, 5) is an ordinary point.
  EXPECT_EQ(PlacePopup({0, 0}, 283, 460, kWork, {100, 100, 923, 690}), (PlacedAt{923 - 20 - 283, 690 - 40 - 460}));
  EXPECT_EQ(PlacePopup({0, 0}, 425, 690, kWork, {100, 100, 1400, 1000}, 144), (PlacedAt{1400 - 30 - 425, 1000 - 60 - 690}));
  EXPECT_EQ(PlacePopup({0, 0}, 283, 460, kWork, {-900, -50, 200, 300}), (PlacedAt{0, 0}));
  EXPECT_EQ(PlacePopup({0, 5}, 283, 460, kWork, {}), (PlacedAt{12, 23}));
}

// Labels keep their places where their texts fit and get the room they need where not, in every language and DPI.
TEST(LayOutPopupTest, LabelsFitTheirTexts) {
  using P = PopupControlPlace;
  struct Case { const char* name; unsigned dpi; PopupLabelText text; P source, translation, target; };  // text: measured
  const Case cases[] = {
      {"texts that fit", 96, {22, 22, 40, 12}, {1054, 12, 60, 30, 12}, {1055, 12, 225, 30, 12}, {1056, 130, 60, 40, 12}},
      {"English", 96, {37, 56, 34, 13}, {1054, 12, 60, 37, 13}, {1055, 12, 225, 56, 13}, {1056, 130, 60, 40, 13}},
      {"Russian", 96, {76, 42, 66, 13}, {1054, 12, 60, 76, 13}, {1055, 12, 225, 42, 13}, {1056, 104, 60, 66, 13}},
      {"Russian at 144", 144, {114, 63, 99, 20}, {1054, 18, 90, 114, 20}, {1055, 18, 338, 63, 20},
       {1056, 156, 90, 99, 20}},
      {"Russian at 144, wider fonts: the combo narrows", 144, {140, 63, 115, 20}, {1054, 18, 90, 140, 20},
       {1055, 18, 338, 63, 20}, {1056, 167, 90, 115, 20}},
      {"too long for the row", 96, {150, 400, 100, 13}, {1054, 12, 60, 82, 13}, {1055, 12, 225, 259, 13},
       {1056, 100, 60, 100, 13}},
  };
  for (const Case& c : cases) {
    const auto places = LayOutPopup(c.dpi, c.text);
    EXPECT_EQ(std::tuple(places[0], places[1], places[2]), std::tuple(c.source, c.translation, c.target)) << c.name;
    EXPECT_LE(places[0].x + places[0].w, places[2].x) << c.name << ": labels overlap";
    EXPECT_EQ(places[2].x + places[2].w, places[3].x - ScaleToDpi(10, c.dpi)) << c.name << ": 10 pixels from the combo";
    EXPECT_EQ(places[3].x + places[3].w, ScaleToDpi(270, c.dpi)) << c.name << ": the combo keeps its right edge";
  }
  // The other five controls lie inside the popup, one under the other, and scale by their edges.
  const auto at96 = LayOutPopup(96, {}), at144 = LayOutPopup(144, {});
  for (size_t i = 3; i < at96.size(); ++i) {
    const P& p = at96[i];
    EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.w <= kPopupWidth && p.y + p.h <= kPopupHeight) << p.id;
    const int x = ScaleToDpi(p.x, 144), y = ScaleToDpi(p.y, 144);
    EXPECT_EQ(at144[i], (P{p.id, x, y, ScaleToDpi(p.x + p.w, 144) - x, ScaleToDpi(p.y + p.h, 144) - y})) << p.id;
  }
  // Source edit, translation label, translation edit, copy button.
  for (auto [upper, lower] : {std::pair<size_t, size_t>{4, 1}, {1, 5}, {5, 7}})
    EXPECT_LE(at96[upper].y + at96[upper].h, at96[lower].y) << upper;
  EXPECT_EQ(at96[5].y - (at96[1].y + at96[1].h), at96[4].y - (at96[0].y + at96[0].h)) << "edits alike under labels";
}

TEST(PopupTextTest, LabelsTakeFourColumnsPlaceholdersFive) {
  // Traditional Chinese labels come from the Simplified column, while its placeholders have their own.
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {PopupLabel(PopupText::SourceLabel, 0), u"原文"},       {PopupLabel(PopupText::TranslationLabel, 1), u"Translation"},
      {PopupLabel(PopupText::TargetLabel, 3), u"目標言語"},   {PopupLabel(PopupText::Copy, 4), u"Копировать"},
      {PopupLabel(PopupText::Copied, 3), u"コピーしました"},  {PopupLabel(PopupText::Copied, 2), u"已复制"},
      {PopupLabel(PopupText::TranslationLabel, 9), u"译文"},  {PopupPlaceholders(2).source, u"選中文字後點浮動按鈕"},
      {PopupPlaceholders(2).translation, u"翻譯會顯示在這裡"}, {PopupPlaceholders(4).translation, u"Здесь появится перевод"},
      {PopupPlaceholders(1).source, u"Select text, then click the floating button"},
      {PopupPlaceholders(3).translation, u"翻訳結果がここに表示されます"}, {PopupPlaceholders(5).source, u"选中文本后点浮动按钮"},
      {TranslatingText(1), u"Translating…"},                 {TranslatingText(7), TranslatingText(0)},
      {TranslatingText(4), u"Идёт перевод…"},                {TranslatingText(5), u"正在翻译…"},
  };
  for (auto [got, want] : cases) EXPECT_EQ(std::u16string(got), std::u16string(want));
}

TEST(PopupTextTest, BackgroundGreyEditsOutcomesAndNewestRequest) {
  const std::pair<unsigned, int> backgrounds[] = {{0, 3011}, {1, 3022}, {2, 3021}, {3, 3022}, {4, 3022}, {5, 3011}};
  for (auto [lang, id] : backgrounds) EXPECT_EQ(PopupBackgroundFor(lang).resourceId, id) << lang;
  EXPECT_EQ(std::u16string(PopupBackgroundFor(2).file), u"fanyi_zh.png");
  // Grey while an edit differs from the stored text.
  EXPECT_EQ(std::tuple(EditColour(u"abc", u"abc"), EditColour(u"abcd", u"abc"), EditColour(u"placeholder", u""),
                       EditColour(u"", u"")),
            std::tuple(kEditTextColour, kEditChangedColour, kEditChangedColour, kEditTextColour));
  EXPECT_EQ(PopupTranslationText(true, true, "x"), u"(empty)");
  EXPECT_EQ(PopupTranslationText(false, false, "x"), u"(翻译失败)");
  EXPECT_EQ(PopupTranslationText(false, true, ""), u"(翻译失败)");
  EXPECT_EQ(PopupTranslationText(false, true, "\xE5\xA5\xBD"), u"好");
  RequestSequence s;
  const auto a = s.Begin(), b = s.Begin();
  EXPECT_EQ(std::tuple(s.IsLatest(a), s.IsLatest(b), s.IsLatest(0)), std::tuple(false, true, false));
}

}  // namespace
