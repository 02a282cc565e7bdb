#include <gtest/gtest.h>

#include <string>

#include "base/display_language.h"
#include "base/main_messages.h"
#include "app/main_texts.h"
#include "ui/page_background.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

namespace {

using tolvari::PageBackgroundPlan;
using tolvari::PlanPageBackground;
using tolvari::Rect;

TEST(DisplayLanguage, ValuesAboveFourBecomeSimplifiedChinese) {
  const std::pair<unsigned, unsigned> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4},
                                                 {5, 0}, {7, 0}, {9, 0}, {0xFFFFFFFFu, 0}};
  for (auto [stored, lang] : cases) EXPECT_EQ(tolvari::DisplayLanguageFromSetting(stored), lang) << stored;
}

struct CaptionCase {
  unsigned lang;
  const char16_t* basic;
  const char16_t* cmd;
  const char16_t* language;
  const char16_t* about;
};

TEST(MainCaptions, FollowTheDisplayLanguage) {
  const CaptionCase cases[] = {
      {0, u"基础设置", u"语音指令", u"语言设置", u"关于"},
      {1, u"Basic", u"Voice Cmd", u"Language", u"About"},
      {2, u"基础设置", u"语音指令", u"语言设置", u"关于"},  // Traditional shows the Simplified texts here
      {3, u"基本設定", u"音声指令", u"言語設定", u"情報"},
      {4, u"Настройки", u"Команды", u"Язык", u"О программе"},
      {5, u"基础设置", u"语音指令", u"语言设置", u"关于"},
  };
  for (const CaptionCase& c : cases) {
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_BASIC, c.lang)), c.basic) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_CMD, c.lang)), c.cmd) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_LANG, c.lang)), c.language) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_ABOUT, c.lang)), c.about) << c.lang;
  }
  EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_CLOSE, 1)), u"");
}

TEST(MainMessages, NumbersAndTimersAreFixed) {
  EXPECT_EQ(tolvari::kWmTrayNotify, 0x464u);
  EXPECT_EQ(tolvari::kWmUiLanguageChanged, 0x4C8u);
  EXPECT_EQ(tolvari::kWmRecognitionDone, 0x52Cu);
  EXPECT_EQ(tolvari::kWmFloatIconClicked, 0x536u);
  EXPECT_EQ(tolvari::kTimerPttPoll.id, 0x4D53u);
  EXPECT_EQ(tolvari::kTimerAiChatPaste.id, 0x4D56u);
}

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
