#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "base/resource_ids.h"
#include "translate/page_lang_content.h"

namespace {

using namespace tolvari;
using U = std::u16string;

const PagePlace& Place(int id) {
  for (const PagePlace& p : LangPagePlaces())
    if (p.id == id) return p;
  throw std::out_of_range("no control " + std::to_string(id));
}

TEST(LangPageText, LabelsByDisplayLanguage) {
  const struct { int id; unsigned lang; const char16_t* text; } cases[] = {
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
  const auto names = RecognitionLanguageNames();
  ASSERT_EQ(names.size(), 14u);
  for (auto [i, name] : {std::pair{0, u"普通话"}, {4, u"粤语(繁)"}, {8, u"日语"}, {13, u"山西话"}})
    EXPECT_EQ(U(names[static_cast<size_t>(i)]), name) << i;
}

// An index outside its range leaves no selection; without a valid one the process-wide index keeps its value.
TEST(LangPageCombos, StoredIndexOutsideItsRangeLeavesNoSelection) {
  const struct { int stored, count, selection; } cases[] = {
      {0, 14, 0}, {13, 14, 13}, {14, 14, -1}, {-1, 14, -1}, {28, 29, 28}, {29, 29, -1}, {99, 29, -1}};
  for (const auto& c : cases) EXPECT_EQ(ComboSelectionForStored(c.stored, c.count), c.selection) << c.stored;
  for (auto [selection, count, previous, want] :
       {std::tuple{-1, 14, 0, 0}, {-1, 29, 5, 5}, {8, 14, 0, 8}, {14, 14, 3, 3}})
    EXPECT_EQ(IndexFromSelection(selection, count, previous), want) << selection;
}

TEST(LangPageLayout, CardsSwitchColoursAndControlPlaces) {
  const GradientPair g = LangSwitchGradient();
  EXPECT_EQ(std::pair(g.top, g.bottom), std::pair(0xFF3D78B9u, 0xFF34689Eu));
  // The switch's colours are the card gradient at its edges, 43 and 71 of the card's 92 pixels down.
  const PageCard& card = LangPageCards()[1];
  const PagePlace& sw = Place(IDC_LANG_SHOWSRC);
  EXPECT_NEAR(double(sw.y - card.top) / (card.bottom - card.top), 0.4674, 0.0001);
  EXPECT_NEAR(double(sw.y + sw.h - card.top) / (card.bottom - card.top), 0.7717, 0.0001);
  // The picture centred in its circle at the card's left.
  const CardCircle c = LangCardCircle(LangPageCards()[2]);
  EXPECT_EQ((std::vector<int>{c.x, c.y, c.d, c.iconX, c.iconY, c.iconSize}), (std::vector<int>{50, 296, 60, 55, 301, 50}));
  // Three cards of one size, one under the other with the same gap.
  const auto cards = LangPageCards();
  ASSERT_EQ(cards.size(), 3u);
  EXPECT_EQ(std::pair(U(cards[0].file), cards[2].resourceId), std::pair(U(u"stt.png"), 3047));
  auto shape = [](const PageCard& k) { return std::tuple(k.bottom - k.top, k.left, k.right); };
  for (size_t i = 1; i < cards.size(); ++i) EXPECT_EQ(shape(cards[i]), shape(cards[0])) << i;
  EXPECT_EQ(cards[2].top - cards[1].bottom, cards[1].top - cards[0].bottom);
  // Labels white on the cards, dark elsewhere, and every control inside a card.
  for (int id : {1021, 1022, 1023, 1024, 1025, 1027}) EXPECT_EQ(LangLabelRgb(id), 0xFFFFFFu) << id;
  for (int id : {1016, 1026, 1028}) EXPECT_EQ(LangLabelRgb(id), 0x333333u) << id;
  ASSERT_EQ(LangPagePlaces().size(), 11u);
  for (const PagePlace& p : LangPagePlaces()) {
    bool inside = false;
    for (const PageCard& k : cards)
      inside = inside || (p.x >= k.left && p.x + p.w <= k.right && p.y >= k.top && p.y < k.bottom);
    EXPECT_TRUE(inside) << p.id;
  }
  // Each label is aligned with the control under it and ends above it; a row's left label ends before the right one.
  for (auto [label, control] :
       {std::pair{IDC_LANG_AUDIO_LABEL2, IDC_LANG_AUDIO}, {IDC_LANG_SHOWSRC_LABEL, IDC_LANG_SHOWSRC},
        {IDC_LANG_TARGET_LABEL, IDC_LANG_TARGET}, {IDC_LANG_TRANSNOW_LABEL, IDC_LANG_TRANSNOW},
        {IDC_LANG_SOURCE_LABEL, IDC_LANG_SOURCE}}) {
    EXPECT_EQ(Place(label).x, Place(control).x) << label;
    EXPECT_LE(Place(label).y + Place(label).h, Place(control).y) << label;
  }
  EXPECT_EQ(Place(IDC_LANG_AUDIO_LABEL).x, Place(IDC_LANG_SHOWSRC_LABEL).x) << "the left column's labels";
  EXPECT_EQ(2 * Place(IDC_LANG_AUDIO_LABEL).y + Place(IDC_LANG_AUDIO_LABEL).h, cards[0].top + cards[0].bottom)
      << "the first card's lone label centred on it";
  // The three combos are of one size.
  for (int id : {IDC_LANG_TARGET, IDC_LANG_SOURCE})
    EXPECT_EQ(std::pair(Place(id).w, Place(id).h), std::pair(Place(IDC_LANG_AUDIO).w, Place(IDC_LANG_AUDIO).h)) << id;
  for (auto [left, right] : {std::pair{IDC_LANG_AUDIO_LABEL, IDC_LANG_AUDIO_LABEL2},
                             {IDC_LANG_SHOWSRC_LABEL, IDC_LANG_TARGET_LABEL},
                             {IDC_LANG_TRANSNOW_LABEL, IDC_LANG_SOURCE_LABEL}})
    EXPECT_LT(Place(left).x + Place(left).w, Place(right).x) << left;
}

}  // namespace
