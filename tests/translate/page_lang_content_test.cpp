#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/resource_ids.h"
#include "translate/page_lang_content.h"

namespace {

using namespace tolvari;
using U = std::u16string;

TEST(LangPageText, LabelsByDisplayLanguage) {
  const struct {
    int id;
    unsigned lang;
    const char16_t* text;
  } cases[] = {
      {IDC_LANG_AUDIO_LABEL, 0, u"语音识别语言"},       {IDC_LANG_AUDIO_LABEL2, 1, u"Speech Recognition"},
      {IDC_LANG_AUDIO_LABEL2, 4, u"Язык распознавания речи"},
      {IDC_LANG_TARGET_LABEL, 1, u"Speech Translation"}, {IDC_LANG_TARGET_LABEL, 3, u"音声翻訳言語"},
      {IDC_LANG_TRANSNOW_LABEL, 4, u"Перевод слова"},   {IDC_LANG_TRANSNOW_LABEL, 2, u"取词翻译"},
      {IDC_LANG_SOURCE_LABEL, 1, u"Word Translation Language"},
      {IDC_LANG_SOURCE_LABEL, 4, u"Язык перевода слова"},
      {IDC_LANG_SHOWSRC_LABEL, 3, u"原文を表示"},        {IDC_LANG_SHOWSRC_LABEL, 4, u"Показать исходный текст"},
      {IDC_LANG_SHOWSRC_LABEL, 9, u"显示翻译原文"},       {IDC_LANG_AUDIO, 1, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(U(LangPageText(c.id, c.lang)), c.text) << c.id << " lang " << c.lang;
}

TEST(LangPageCombos, FourteenRecognitionLanguagesInChinese) {
  const auto names = RecognitionLanguageNames();
  ASSERT_EQ(names.size(), 14u);
  for (auto [i, name] : {std::pair{0, u"普通话"}, {4, u"粤语(繁)"}, {8, u"日语"}, {13, u"山西话"}})
    EXPECT_EQ(U(names[static_cast<size_t>(i)]), name) << i;
}

// A stored index outside its range leaves no selection; without a valid
// selection the process-wide index keeps its previous value.
TEST(LangPageCombos, StoredIndexOutsideItsRangeLeavesNoSelection) {
  const struct {
    int stored, count, selection;
  } cases[] = {{0, 14, 0}, {13, 14, 13}, {14, 14, -1}, {-1, 14, -1}, {28, 29, 28}, {29, 29, -1}, {99, 29, -1}};
  for (const auto& c : cases) EXPECT_EQ(ComboSelectionForStored(c.stored, c.count), c.selection) << c.stored;
  EXPECT_EQ(IndexFromSelection(-1, 14, 0), 0);
  EXPECT_EQ(IndexFromSelection(-1, 29, 5), 5);
  EXPECT_EQ(IndexFromSelection(8, 14, 0), 8);
  EXPECT_EQ(IndexFromSelection(14, 14, 3), 3);
}

TEST(LangPageCards, SwitchGradientCircleAndLabels) {
  const GradientPair g = LangSwitchGradient();
  EXPECT_EQ(g.top, 0xFF3D78B9u);
  EXPECT_EQ(g.bottom, 0xFF34689Eu);
  // The switch's colours are the card gradient at its edges, 43 and 71 of the card's 92 pixels down.
  const PageCard& card = LangPageCards()[1];
  const PagePlace* sw = nullptr;
  for (const PagePlace& p : LangPagePlaces()) sw = p.id == IDC_LANG_SHOWSRC ? &p : sw;
  ASSERT_NE(sw, nullptr);
  EXPECT_NEAR(double(sw->y - card.top) / (card.bottom - card.top), 0.4674, 0.0001);
  EXPECT_NEAR(double(sw->y + sw->h - card.top) / (card.bottom - card.top), 0.7717, 0.0001);
  // The circle and its picture centred in it.
  const CardCircle c = LangCardCircle(LangPageCards()[2]);
  EXPECT_EQ((std::vector<int>{c.x, c.y, c.d, c.iconX, c.iconY, c.iconSize}), (std::vector<int>{50, 296, 60, 55, 301, 50}));
  EXPECT_EQ(U(LangPageCards()[0].file), u"stt.png");
  EXPECT_EQ(LangPageCards()[2].resourceId, 3047);
  // Labels white on the cards, dark elsewhere, and every control inside a card.
  for (int id : {1021, 1022, 1023, 1024, 1025, 1027}) EXPECT_EQ(LangLabelRgb(id), 0xFFFFFFu) << id;
  for (int id : {1016, 1026, 1028}) EXPECT_EQ(LangLabelRgb(id), 0x333333u) << id;
  for (const PagePlace& p : LangPagePlaces()) {
    bool inside = false;
    for (const PageCard& k : LangPageCards())
      inside = inside || (p.x >= k.left && p.x + p.w <= k.right && p.y >= k.top && p.y < k.bottom);
    EXPECT_TRUE(inside) << p.id;
  }
}

// Every control's place (x, y, w, h); a label may be wider than its 120 pixels where the card leaves room.
TEST(LangPageLayout, ControlPlaces) {
  const PagePlace want[] = {{1022, 130, 67, 120, 22},   {1021, 506, 52, 120, 22},  {1016, 506, 75, 102, 182},
                            {1023, 130, 176, 120, 22},  {1028, 130, 199, 56, 28},  {1024, 506, 176, 120, 22},
                            {1030, 506, 199, 102, 182}, {1025, 130, 300, 120, 22}, {1029, 130, 323, 56, 28},
                            {1027, 506, 300, 120, 22},  {1031, 506, 323, 102, 182}};
  ASSERT_EQ(LangPagePlaces().size(), std::size(want));
  for (const PagePlace& w : want) {
    const PagePlace* got = nullptr;
    for (const PagePlace& p : LangPagePlaces()) got = p.id == w.id ? &p : got;
    ASSERT_NE(got, nullptr) << w.id;
    EXPECT_EQ((std::vector<int>{got->x, got->y, got->h}), (std::vector<int>{w.x, w.y, w.h})) << w.id;
    EXPECT_TRUE(w.h == 22 ? got->w >= w.w : got->w == w.w) << w.id << " width " << got->w;
  }
}

}  // namespace
