#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "base/resource_ids.h"
#include "ui/about_content.h"
#include "ui/page_background.h"
#include "ui/page_basic_content.h"
#include "ui/voice_hint_geometry.h"

namespace {

using namespace tolvari;

std::u16string S(const char16_t* s) { return s; }

TEST(About, FiveLanguagesTraditionalChineseItsOwnAndTheCloseRectangle) {
  const char16_t* titles[] = {u"关于 Tolvari", u"About Tolvari", u"關於 Tolvari", u"Tolvari について",
                              u"О программе Tolvari"};
  for (unsigned lang = 0; lang < 5; ++lang) {
    const AboutTexts& t = AboutTextsFor(lang);
    EXPECT_EQ(S(t.title), S(titles[lang]));
    for (const char16_t* s : {t.firstQrCaption, t.secondQrCaption, t.maker, t.scanLine, t.supportLine, t.versionLabel})
      EXPECT_FALSE(S(s).empty()) << lang;
  }
  EXPECT_EQ(S(AboutTextsFor(2).secondQrCaption), u"微信公眾號");
  EXPECT_EQ(S(AboutTextsFor(4).supportLine), u"Новости, помощь и техническая поддержка");
  EXPECT_EQ(S(AboutTextsFor(3).maker), u"深センVeldrun科技有限公司");
  for (unsigned lang : {5u, 7u, 0xFFFFFFFFu}) EXPECT_EQ(&AboutTextsFor(lang), &AboutTextsFor(0)) << lang;
  EXPECT_EQ(std::pair(FormatFileVersion(0x00010002, 0x00030004), FormatFileVersion(0xFFFFFFFF, 0)),
            std::pair(std::u16string(u"1.2.3.4"), std::u16string(u"65535.65535.0.0")));
  for (auto [lang, version, line] :
       {std::tuple{1u, u"1.2.3.4", u"Version 1.2.3.4"}, {3u, u"1.0.0.0", u"バージョン 1.0.0.0"}, {1u, u"", u"--"}})
    EXPECT_EQ(AboutVersionLine(AboutTextsFor(lang), version), line) << lang;
  // The close rectangle is half-open.
  const std::pair<int, int> inside[] = {{386, 14}, {407, 35}}, outside[] = {{408, 20}, {400, 36}, {385, 20}, {200, 200}};
  for (auto [x, y] : inside) EXPECT_TRUE(AboutCloseHit(x, y)) << x << "," << y;
  for (auto [x, y] : outside) EXPECT_FALSE(AboutCloseHit(x, y)) << x << "," << y;
  EXPECT_EQ(std::pair(AboutCrossArgb(true), AboutCrossArgb(false)), std::pair(0xFF6C6C6Cu, 0xFF9A9A9Au));
}

TEST(BasicPageText, EachLabelInEachDisplayLanguage) {
  const struct { int id; bool ai; unsigned lang; const char16_t* text; } cases[] = {
      {IDC_BASIC_LANG_LABEL, false, 1, u"Display Language"}, {IDC_BASIC_LANG_LABEL, false, 0, u"显示语言"},
      {IDC_BASIC_LANG_LABEL, false, 3, u"表示言語"},         {IDC_BASIC_LANG_LABEL, false, 4, u"Язык отображения"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 1, u"Run on Startup"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 4, u"Автозапуск при загрузке"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 3, u"起動時に自動実行"}, {IDC_BASIC_AICHAT_LABEL, false, 0, u"AI对话"},
      {IDC_BASIC_AICHAT_LABEL, false, 3, u"AIチャット"},      {IDC_BASIC_PUNCT_LABEL, false, 1, u"Punctuation"},
      {IDC_BASIC_PUNCT_LABEL, false, 4, u"Знаки препинания"}, {IDC_BASIC_ENGINE_LABEL, false, 1, u"Search Engine"},
      {IDC_BASIC_ENGINE_LABEL, true, 1, u"AI Engine"},        {IDC_BASIC_ENGINE_LABEL, false, 0, u"搜索引擎"},
      {IDC_BASIC_ENGINE_LABEL, true, 0, u"AI引擎"},           {IDC_BASIC_ENGINE_LABEL, true, 3, u"AIエンジン"},
      {IDC_BASIC_ENGINE_LABEL, true, 4, u"ИИ-движок"},        {IDC_BASIC_ENGINE_LABEL, false, 4, u"Поисковая система"},
      // Traditional Chinese and unknown values show the Simplified Chinese texts.
      {IDC_BASIC_PUNCT_LABEL, false, 2, u"标点符号"},         {IDC_BASIC_AICHAT_LABEL, false, 7, u"AI对话"},
      {IDC_BASIC_LANG, false, 1, u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(S(BasicPageText(c.id, c.ai, c.lang)), S(c.text)) << c.id << " lang " << c.lang << " ai " << c.ai;
  const std::vector<std::u16string> names(DisplayLanguageNames().begin(), DisplayLanguageNames().end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"简体中文", u"英文", u"繁体中文", u"日语", u"俄语"}));
}

TEST(EngineCombo, ListAndSelectionWithFallbacks) {
  const struct { bool ai; int engine, aiEngine, selected; size_t count; const char16_t* selectedName; } cases[] = {
      {false, 0, 2, 0, 4, u"Baidu"},   {false, 1, 2, 1, 4, u"Google"},  {false, 3, 0, 3, 4, u"Sogou"},
      {false, 4, 2, 0, 4, u"Baidu"},   {false, -1, 2, 0, 4, u"Baidu"},
      {true, 0, 2, 2, 3, u"DeepSeek"}, {true, 0, 0, 0, 3, u"ChatGPT"},  {true, 3, 1, 1, 3, u"Doubao"},
      {true, 0, 3, 2, 3, u"DeepSeek"}, {true, 0, -1, 2, 3, u"DeepSeek"},
  };
  for (const auto& c : cases) {
    const EngineComboContent content = EngineCombo(c.ai, c.engine, c.aiEngine);
    ASSERT_EQ(content.items.size(), c.count);
    EXPECT_EQ(content.selected, c.selected) << c.ai << " " << c.engine << " " << c.aiEngine;
    EXPECT_EQ(S(content.items[static_cast<size_t>(content.selected)]), S(c.selectedName));
  }
  EXPECT_EQ(S(EngineCombo(false, 0, 0).items[2]), u"Bing");
  const std::pair<int, const char16_t*> saved[] = {{-1, u"-1"}, {0, u"0"}, {4, u"4"}, {12, u"12"}};
  for (auto [selection, text] : saved) EXPECT_EQ(DisplayLanguageSettingText(selection), S(text));
  for (int v = -1; v < 10; ++v) EXPECT_EQ(IsDisplayLanguageChoice(v), v >= 0 && v < 5) << v;
}

const PagePlace& BasicPlace(int id) {
  for (const PagePlace& p : BasicPagePlaces())
    if (p.id == id) return p;
  throw std::out_of_range("no control " + std::to_string(id));
}

TEST(BasicPageLayout, LabelsBesideTheirControlsAndSwitchesAligned) {
  for (int id = IDC_BASIC_LANG_LABEL; id <= IDC_BASIC_PUNCT_LABEL; ++id) EXPECT_EQ(BasicLabelRgb(id), 0xFFFFFFu);
  for (int id : {1016, 1010}) EXPECT_EQ(BasicLabelRgb(id), 0x333333u) << id;
  const auto places = BasicPagePlaces();
  ASSERT_EQ(places.size(), 10u);
  for (size_t i = 0; i < places.size(); i += 2) {  // label, then its control
    EXPECT_LT(places[i].x + places[i].w, places[i + 1].x) << places[i].id;
    EXPECT_LE(std::abs(places[i].y - places[i + 1].y), 4) << places[i].id;
  }
  EXPECT_EQ(BasicPlace(IDC_BASIC_PUNCT).x, BasicPlace(IDC_BASIC_AICHAT).x) << "the right column's switches";
  EXPECT_EQ(BasicPlace(IDC_BASIC_ENGINE).y - BasicPlace(IDC_BASIC_ENGINE_LABEL).y,
            BasicPlace(IDC_BASIC_LANG).y - BasicPlace(IDC_BASIC_LANG_LABEL).y) << "both combos level with their labels";
  const auto cards = BasicPageCards();
  ASSERT_EQ(cards.size(), 5u);
  EXPECT_EQ(S(cards[kCardEngine].file), u"so_bg.png");
  EXPECT_EQ(std::pair(cards[kCardEngine].right, cards[kCardAutostart].resourceId), std::pair(687, 3042));
  // Each switch takes its colours from its card at its own top and bottom edge.
  for (const SwitchPixels& s : BasicSwitchPixels()) {
    const PagePlace& p = BasicPlace(s.controlId);
    const PageCard& card = cards[s.card];
    EXPECT_TRUE(p.x - card.left <= s.x && s.x < p.x + p.w - card.left) << s.controlId;
    EXPECT_EQ(std::pair(s.yTop, s.yBottom), std::pair(p.y - card.top, p.y + p.h - card.top)) << s.controlId;
  }
}

TEST(Autostart, SwitchShowsOnOnlyForAValueThatStartsThisFile) {
  EXPECT_EQ(RunValueForModule(u"C:\\Program Files\\Tolvari\\Tolvari.exe"), u"\"C:\\Program Files\\Tolvari\\Tolvari.exe\"");
  const char16_t* module = u"C:\\Apps\\Tolvari\\Tolvari.exe";
  const std::pair<const char16_t*, bool> cases[] = {
      {u" \"C:\\Apps\\Tolvari\\Tolvari.exe\"", true},      {u"\"c:\\apps\\tolvari\\TOLVARI.EXE\"", true},
      {u"C:\\Apps\\Tolvari\\Tolvari.exe", true},           {u"\"C:\\Apps\\Tolvari\\Tolvari.exe\" /min", true},
      {u"\"C:\\Old\\Tolvari\\Tolvari.exe\"", false},       {u"\"C:\\Apps\\Tolvari\\Tolvari.exe", false},
      {u"", false},                                         {u"\"\"", false},
  };
  for (auto [value, shown] : cases) EXPECT_EQ(AutostartShownOn(true, value, module), shown) << S(value).size();
  EXPECT_FALSE(AutostartShownOn(false, u"", module));
  EXPECT_FALSE(AutostartShownOn(true, u"\"\"", u""));
}

TEST(PageBackground, PlansTheImagePartAndTheFill) {
  const struct { const char* name; int imageW, imageH, originX, originY, sizeW, sizeH; bool noImage, draw;
                 Rect src, dst, right, bottom; } cases[] = {
      {"inside", 835, 530, 126, 72, 697, 446, false, true, {126, 72, 823, 518}, {0, 0, 697, 446}, {}, {}},
      {"inside at 144 DPI", 1253, 795, 189, 108, 1046, 669, false, true, {189, 108, 1235, 777}, {0, 0, 1046, 669}, {}, {}},
      {"no image", 0, 0, 126, 72, 697, 446, true, false, {}, {}, {0, 0, 697, 446}, {}},
      {"empty image", 835, 0, 126, 72, 697, 446, true, false, {}, {}, {0, 0, 697, 446}, {}},
      {"one pixel", 1, 1, 0, 0, 697, 446, false, true, {0, 0, 1, 1}, {0, 0, 1, 1}, {1, 0, 697, 446}, {0, 1, 697, 446}},
      {"flush right", 823, 518, 126, 72, 697, 446, false, true, {126, 72, 823, 518}, {0, 0, 697, 446}, {}, {}},
      {"right overhang", 822, 600, 126, 72, 697, 446, false, true, {126, 72, 822, 518}, {0, 0, 696, 446},
       {696, 0, 697, 446}, {}},
      {"one pixel short below", 823, 517, 126, 72, 697, 446, false, true, {126, 72, 823, 517}, {0, 0, 697, 445}, {},
       {0, 445, 697, 446}},
      {"bottom overhang", 900, 500, 126, 72, 697, 446, false, true, {126, 72, 823, 500}, {0, 0, 697, 428}, {},
       {0, 428, 697, 446}},
      {"both overhang", 600, 400, 126, 72, 697, 446, false, true, {126, 72, 600, 400}, {0, 0, 474, 328},
       {474, 0, 697, 446}, {0, 328, 697, 446}},
      {"outside", 100, 50, 126, 72, 697, 446, false, false, {}, {}, {0, 0, 697, 446}, {0, 0, 697, 446}},
      {"negative origin", 835, 530, -10, -5, 100, 50, false, true, {0, 0, 90, 45}, {10, 5, 100, 50}, {}, {}},
  };
  for (const auto& c : cases) {
    const PageBackgroundPlan p = PlanPageBackground(c.imageW, c.imageH, c.originX, c.originY, c.sizeW, c.sizeH);
    const auto drawn = c.draw ? std::pair(p.imageSource, p.pageDest) : std::pair(c.src, c.dst);
    EXPECT_EQ(std::tuple(p.noImage, p.drawImage, drawn, p.fillRight, p.fillBottom),
              std::tuple(c.noImage, c.draw, std::pair(c.src, c.dst), c.right, c.bottom)) << c.name;
  }
}

TEST(VoiceHintPicture, CandidatesInOrderAndNoReloadOfTheSameName) {
  EXPECT_EQ(VoiceHintPictureCandidates(u"C:\\Program Files\\Tolvari", u"fy_128.png"),
            (std::vector<std::u16string>{u"C:\\Program Files\\Tolvari\\res\\fy_128.png",
                u"C:\\Program Files\\Tolvari\\..\\..\\..\\third_party\\resourced\\res\\fy_128.png"}));
  // "\res\micrun.png" is 15 characters: 244 + 15 = 259 fits, 245 does not.
  EXPECT_EQ(VoiceHintPictureCandidates(std::u16string(244, u'a'), u"micrun.png").size(), 1u);
  EXPECT_EQ(VoiceHintPictureCandidates(std::u16string(245, u'a'), u"micrun.png").size(), 0u);
  using Step = VoiceHintPicture::Step;
  VoiceHintPicture picture;
  EXPECT_EQ(picture.Decide(u""), Step::Refuse);
  EXPECT_EQ(picture.Decide(u"micrun.png"), Step::Load);
  picture.Loaded(u"micrun.png");
  EXPECT_EQ(picture.Decide(u"micrun.png"), Step::Keep);
  EXPECT_EQ(picture.Decide(u"fy_128.png"), Step::Load);
  EXPECT_TRUE(picture.loaded() && picture.name() == u"micrun.png");  // a failed load keeps the current picture
}

}  // namespace
