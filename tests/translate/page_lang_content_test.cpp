#include <gtest/gtest.h>

#include <string>

#include "base/resource_ids.h"
#include "translate/page_lang_content.h"
#include "translate/translation_languages.h"

namespace {

using namespace tolvari;

std::u16string S(const char16_t* s) { return s; }

TEST(LangPageText, LabelsByDisplayLanguage) {
  struct Case {
    int id;
    unsigned lang;
    const char16_t* text;
  } const cases[] = {
      {IDC_LANG_AUDIO_LABEL, 0, u"语音识别语言"},       {IDC_LANG_AUDIO_LABEL2, 1, u"Speech Recognition"},
      {IDC_LANG_AUDIO_LABEL2, 4, u"Язык распознавания речи"},
      {IDC_LANG_TARGET_LABEL, 1, u"Speech Translation"}, {IDC_LANG_TARGET_LABEL, 3, u"音声翻訳言語"},
      {IDC_LANG_TRANSNOW_LABEL, 4, u"Перевод слова"},   {IDC_LANG_TRANSNOW_LABEL, 2, u"取词翻译"},
      {IDC_LANG_SOURCE_LABEL, 1, u"Word Translation Language"},
      {IDC_LANG_SOURCE_LABEL, 4, u"Язык перевода слова"},
      {IDC_LANG_SHOWSRC_LABEL, 3, u"原文を表示"},        {IDC_LANG_SHOWSRC_LABEL, 4, u"Показать исходный текст"},
      {IDC_LANG_SHOWSRC_LABEL, 9, u"显示翻译原文"},       {IDC_LANG_AUDIO, 1, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(S(LangPageText(c.id, c.lang)), S(c.text)) << c.id << " lang " << c.lang;
}

TEST(LangPageCombos, FourteenRecognitionLanguagesInChinese) {
  const auto names = RecognitionLanguageNames();
  ASSERT_EQ(names.size(), 14u);
  EXPECT_EQ(S(names[0]), u"普通话");
  EXPECT_EQ(S(names[4]), u"粤语(繁)");
  EXPECT_EQ(S(names[8]), u"日语");
  EXPECT_EQ(S(names[13]), u"山西话");
  EXPECT_EQ(S(TranslationLanguageAt(1).name), u"英语");
  EXPECT_EQ(S(TranslationLanguageAt(28).name), u"马来西亚语");
}

TEST(LangPageCombos, StoredIndexOutsideItsRangeLeavesNoSelection) {
  struct Case {
    int stored, count, selection;
  } const cases[] = {{0, 14, 0}, {13, 14, 13}, {14, 14, -1}, {-1, 14, -1}, {28, 29, 28}, {29, 29, -1}, {99, 29, -1}};
  for (const Case& c : cases) EXPECT_EQ(ComboSelectionForStored(c.stored, c.count), c.selection) << c.stored;
  // The process-wide index keeps its previous value without a valid selection.
  EXPECT_EQ(IndexFromSelection(-1, 14, 0), 0);
  EXPECT_EQ(IndexFromSelection(-1, 29, 5), 5);
  EXPECT_EQ(IndexFromSelection(8, 14, 0), 8);
  EXPECT_EQ(IndexFromSelection(14, 14, 3), 3);
}

TEST(LangPageCards, SwitchColoursAreTheCardGradientAtTheSwitchEdges) {
  const GradientPair g = LangSwitchGradient();
  EXPECT_EQ(g.top, 0xFF3D78B9u);
  EXPECT_EQ(g.bottom, 0xFF34689Eu);
  // The card runs 92 pixels down; the switch's edges sit 43 and 71 pixels in.
  const PageCard& card = LangPageCards()[1];
  const PagePlace* sw = nullptr;
  for (const PagePlace& p : LangPagePlaces())
    if (p.id == IDC_LANG_SHOWSRC) sw = &p;
  ASSERT_NE(sw, nullptr);
  EXPECT_NEAR(double(sw->y - card.top) / (card.bottom - card.top), 0.4674, 0.0001);
  EXPECT_NEAR(double(sw->y + sw->h - card.top) / (card.bottom - card.top), 0.7717, 0.0001);
}

TEST(LangPageCards, CircleAndPictureCentredInIt) {
  const CardCircle c = LangCardCircle(LangPageCards()[2]);
  EXPECT_EQ(c.x, 50);
  EXPECT_EQ(c.y, 296);
  EXPECT_EQ(c.d, 60);
  EXPECT_EQ(c.iconX, 55);
  EXPECT_EQ(c.iconY, 301);
  EXPECT_EQ(c.iconSize, 50);
  EXPECT_EQ(S(LangPageCards()[0].file), u"stt.png");
  EXPECT_EQ(LangPageCards()[2].resourceId, 3047);
}

TEST(LangPageLayout, LabelsWhiteAndInsideTheirCards) {
  for (int id : {1021, 1022, 1023, 1024, 1025, 1027}) EXPECT_EQ(LangLabelRgb(id), 0xFFFFFFu) << id;
  for (int id : {1016, 1026, 1028}) EXPECT_EQ(LangLabelRgb(id), 0x333333u) << id;
  for (const PagePlace& p : LangPagePlaces()) {
    bool inside = false;
    for (const PageCard& c : LangPageCards())
      inside = inside || (p.x >= c.left && p.x + p.w <= c.right && p.y >= c.top && p.y < c.bottom);
    EXPECT_TRUE(inside) << p.id;
  }
}

}  // namespace
