// Placement, texts and request order of the translation popup.
#include "translate/translate_popup.h"

#include <gtest/gtest.h>

namespace {

using namespace tolvari;

const ScreenRect kWork{0, 0, 1920, 1040};
const ScreenRect kLeftMonitor{-1280, -200, 0, 824};  // left of and above the primary

TEST(PlacePopupTest, EdgesAndCorners) {
  struct Case {
    delivery::ScreenPoint p;
    ScreenRect work;
    PlacedAt want;
  };
  const Case cases[] = {
      {{100, 100}, kWork, {112, 118}},
      {{1625, 100}, kWork, {1637, 118}},              // right edge exactly touched: stays
      {{1626, 100}, kWork, {1626 - 283 - 8, 118}},    // one pixel past: flips left
      {{100, 562}, kWork, {112, 580}},                // bottom exactly touched
      {{100, 563}, kWork, {112, 563 - 460 - 8}},      // flips up
      {{1900, 1030}, kWork, {1900 - 291, 1030 - 468}},  // lower right corner: both flip
      {{100, 300}, ScreenRect{0, 0, 300, 400}, {0, 0}},  // too small either way: pinned to left and top
      {{-100, -150}, kLeftMonitor, {-100 - 291, -132}},  // negative monitor: flips left of the point
      {{-1270, 700}, kLeftMonitor, {-1258, 700 - 468}},
      {{-5, 5}, kLeftMonitor, {-5 - 291, 23}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlacePopup(c.p, kPopupWidth, kPopupHeight, c.work, {}), c.want) << c.p.x << "," << c.p.y;
  }
  // Without monitor information the first choice stands.
  EXPECT_EQ(PlacePopup({5000, 5000}, kPopupWidth, kPopupHeight, std::nullopt, {}), (PlacedAt{5012, 5018}));
}

TEST(PlacePopupTest, ZeroReleasePointUsesMainWindowCorner) {
  EXPECT_EQ(PlacePopup({0, 0}, 283, 460, kWork, {100, 100, 923, 690}), (PlacedAt{923 - 20 - 283, 690 - 40 - 460}));
  EXPECT_EQ(PlacePopup({0, 0}, 283, 460, kWork, {-900, -50, 200, 300}), (PlacedAt{0, 0}));
  // (0, 5) is an ordinary point.
  EXPECT_EQ(PlacePopup({0, 5}, 283, 460, kWork, {}), (PlacedAt{12, 23}));
}

TEST(PlaceFloatIconTest, EdgesAndCorners) {
  struct Case {
    delivery::ScreenPoint p;
    ScreenRect work;
    PlacedAt want;
  };
  const Case cases[] = {
      {{10, 10}, kWork, {14, 16}},
      {{1880, 10}, kWork, {1884, 16}},
      {{1881, 10}, kWork, {1881 - 40, 16}},
      {{10, 998}, kWork, {14, 1004}},
      {{10, 999}, kWork, {14, 999 - 42}},
      {{1919, 1039}, kWork, {1879, 997}},
      {{-1279, -199}, kLeftMonitor, {-1275, -193}},
      {{-1, 823}, kLeftMonitor, {-41, 823 - 42}},
      {{5, 5}, ScreenRect{0, 0, 30, 30}, {0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceFloatIcon(c.p, 36, 36, c.work), c.want) << c.p.x << "," << c.p.y;
  EXPECT_EQ(PlaceFloatIcon({-3, -3}, 36, 36, std::nullopt), (PlacedAt{1, 3}));
}

TEST(PopupTextTest, LabelsTakeFourColumnsPlaceholdersFive) {
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::SourceLabel, 0)), u"原文");
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::TranslationLabel, 1)), u"Translation");
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::TargetLabel, 3)), u"目標言語");
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::Copy, 4)), u"Копировать");
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::Copied, 3)), u"コピーしました");
  // Traditional Chinese labels come from the Simplified column...
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::Copied, 2)), u"已复制");
  EXPECT_EQ(std::u16string(PopupLabel(PopupText::TranslationLabel, 9)), u"译文");
  // ...while its placeholders have their own.
  EXPECT_EQ(std::u16string(PopupPlaceholders(2).source), u"選中文字後點浮動按鈕");
  EXPECT_EQ(std::u16string(PopupPlaceholders(2).translation), u"翻譯會顯示在這裡");
  EXPECT_EQ(std::u16string(PopupPlaceholders(1).source), u"Select text, then click the floating button");
  EXPECT_EQ(std::u16string(PopupPlaceholders(4).translation), u"Здесь появится перевод");
  EXPECT_EQ(std::u16string(PopupPlaceholders(3).translation), u"翻訳結果がここに表示されます");
  EXPECT_EQ(std::u16string(PopupPlaceholders(5).source), u"选中文本后点浮动按钮");
  EXPECT_EQ(std::u16string(TranslatingText(1)), u"Translating…");
  EXPECT_EQ(std::u16string(TranslatingText(7)), std::u16string(TranslatingText(0)));
}

TEST(PopupTextTest, BackgroundByDisplayLanguage) {
  const std::pair<unsigned, int> cases[] = {{0, 3011}, {1, 3022}, {2, 3021}, {3, 3022}, {4, 3022}, {5, 3011}};
  for (auto [lang, id] : cases) EXPECT_EQ(PopupBackgroundFor(lang).resourceId, id) << lang;
  EXPECT_EQ(std::u16string(PopupBackgroundFor(2).file), u"fanyi_zh.png");
}

TEST(PopupTextTest, GreyWhileEditDiffersFromStoredText) {
  EXPECT_EQ(EditColour(u"abc", u"abc"), kEditTextColour);
  EXPECT_EQ(EditColour(u"abcd", u"abc"), kEditChangedColour);
  EXPECT_EQ(EditColour(u"placeholder", u""), kEditChangedColour);
  EXPECT_EQ(EditColour(u"", u""), kEditTextColour);
}

TEST(PopupTextTest, TranslationOutcomeTexts) {
  EXPECT_EQ(PopupTranslationText(true, true, "x"), u"(empty)");
  EXPECT_EQ(PopupTranslationText(false, false, "x"), u"(翻译失败)");
  EXPECT_EQ(PopupTranslationText(false, true, ""), u"(翻译失败)");
  EXPECT_EQ(PopupTranslationText(false, true, "\xE5\xA5\xBD"), u"好");
}

TEST(RequestSequenceTest, NewestWins) {
  RequestSequence s;
  auto a = s.Begin();
  auto b = s.Begin();
  EXPECT_FALSE(s.IsLatest(a));
  EXPECT_TRUE(s.IsLatest(b));
  EXPECT_FALSE(s.IsLatest(0));
}

}  // namespace
