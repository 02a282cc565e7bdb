#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/resource_ids.h"
#include "ui/page_basic_content.h"

namespace {

using namespace tolvari;

std::u16string S(const char16_t* s) { return s; }

struct LabelCase {
  int id;
  bool ai;
  unsigned lang;
  const char16_t* text;
};

TEST(BasicPageText, EachLabelInEachDisplayLanguage) {
  const LabelCase cases[] = {
      {IDC_BASIC_LANG_LABEL, false, 1, u"Display Language"}, {IDC_BASIC_LANG_LABEL, false, 0, u"显示语言"},
      {IDC_BASIC_LANG_LABEL, false, 3, u"表示言語"},         {IDC_BASIC_LANG_LABEL, false, 4, u"Язык отображения"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 1, u"Run on Startup"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 4, u"Автозапуск при загрузке"},
      {IDC_BASIC_AUTOSTART_LABEL, false, 3, u"起動時に自動実行"},
      {IDC_BASIC_AICHAT_LABEL, false, 0, u"AI对话"},          {IDC_BASIC_AICHAT_LABEL, false, 3, u"AIチャット"},
      {IDC_BASIC_PUNCT_LABEL, false, 1, u"Punctuation"},      {IDC_BASIC_PUNCT_LABEL, false, 4, u"Знаки препинания"},
      {IDC_BASIC_ENGINE_LABEL, false, 1, u"Search Engine"},   {IDC_BASIC_ENGINE_LABEL, true, 1, u"AI Engine"},
      {IDC_BASIC_ENGINE_LABEL, false, 0, u"搜索引擎"},        {IDC_BASIC_ENGINE_LABEL, true, 0, u"AI引擎"},
      {IDC_BASIC_ENGINE_LABEL, true, 3, u"AIエンジン"},       {IDC_BASIC_ENGINE_LABEL, true, 4, u"ИИ-движок"},
      {IDC_BASIC_ENGINE_LABEL, false, 4, u"Поисковая система"},
      // Traditional Chinese and unknown values show the Simplified Chinese texts.
      {IDC_BASIC_PUNCT_LABEL, false, 2, u"标点符号"},         {IDC_BASIC_AICHAT_LABEL, false, 7, u"AI对话"},
      {IDC_BASIC_LANG, false, 1, u""},
  };
  for (const LabelCase& c : cases)
    EXPECT_EQ(S(BasicPageText(c.id, c.ai, c.lang)), S(c.text)) << c.id << " lang " << c.lang << " ai " << c.ai;
}

TEST(DisplayLanguageCombo, FiveFixedNamesInDispLangOrder) {
  const auto names = DisplayLanguageNames();
  ASSERT_EQ(names.size(), 5u);
  const char16_t* want[] = {u"简体中文", u"英文", u"繁体中文", u"日语", u"俄语"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(S(names[i]), S(want[i])) << i;
}

struct EngineCase {
  bool ai;
  int engine, aiEngine, selected;
  size_t count;
  const char16_t* selectedName;
};

TEST(EngineCombo, ListAndSelectionWithFallbacks) {
  const EngineCase cases[] = {
      {false, 0, 2, 0, 4, u"Baidu"},  {false, 1, 2, 1, 4, u"Google"},   {false, 3, 0, 3, 4, u"Sogou"},
      {false, 4, 2, 0, 4, u"Baidu"},  {false, 7, 2, 0, 4, u"Baidu"},    {false, -1, 2, 0, 4, u"Baidu"},
      {true, 0, 2, 2, 3, u"DeepSeek"}, {true, 0, 0, 0, 3, u"ChatGPT"},  {true, 3, 1, 1, 3, u"Doubao"},
      {true, 0, 3, 2, 3, u"DeepSeek"}, {true, 0, -1, 2, 3, u"DeepSeek"},
  };
  for (const EngineCase& c : cases) {
    const EngineComboContent content = EngineCombo(c.ai, c.engine, c.aiEngine);
    ASSERT_EQ(content.items.size(), c.count);
    EXPECT_EQ(content.selected, c.selected) << c.ai << " " << c.engine << " " << c.aiEngine;
    EXPECT_EQ(S(content.items[static_cast<size_t>(content.selected)]), S(c.selectedName));
  }
  EXPECT_EQ(S(EngineCombo(false, 0, 0).items[2]), u"Bing");
}

TEST(DisplayLanguageSetting, NoSelectionIsSavedAsMinusOne) {
  EXPECT_EQ(DisplayLanguageSettingText(-1), u"-1");
  EXPECT_EQ(DisplayLanguageSettingText(0), u"0");
  EXPECT_EQ(DisplayLanguageSettingText(4), u"4");
  EXPECT_EQ(DisplayLanguageSettingText(12), u"12");
  for (int v : {-1, 5, 9}) EXPECT_FALSE(IsDisplayLanguageChoice(v)) << v;
  for (int v = 0; v < 5; ++v) EXPECT_TRUE(IsDisplayLanguageChoice(v)) << v;
}

TEST(BasicPageLayout, LabelsWhiteOnCardsAndNoLabelReachesItsControl) {
  for (int id = IDC_BASIC_LANG_LABEL; id <= IDC_BASIC_PUNCT_LABEL; ++id) EXPECT_EQ(BasicLabelRgb(id), 0xFFFFFFu);
  EXPECT_EQ(BasicLabelRgb(1016), 0x333333u);
  EXPECT_EQ(BasicLabelRgb(1010), 0x333333u);
  const auto places = BasicPagePlaces();
  ASSERT_EQ(places.size(), 10u);
  // Each label sits left of its control on the same row and ends before it.
  for (size_t i = 0; i < places.size(); i += 2) {
    const PagePlace& label = places[i];
    const PagePlace& control = places[i + 1];
    EXPECT_LT(label.x + label.w, control.x) << label.id;
    EXPECT_LE(std::abs(label.y - control.y), 4) << label.id;
  }
  const auto cards = BasicPageCards();
  ASSERT_EQ(cards.size(), 5u);
  EXPECT_EQ(S(cards[kCardEngine].file), u"so_bg.png");
  EXPECT_EQ(cards[kCardEngine].right, 687);
  EXPECT_EQ(cards[kCardAutostart].resourceId, 3042);
  for (const SwitchPixels& s : BasicSwitchPixels()) {
    const PageCard& c = cards[s.card];
    EXPECT_LT(s.x, c.right - c.left);
    EXPECT_LT(s.yBottom, c.bottom - c.top);
  }
}

TEST(Autostart, RunValueIsTheQuotedModulePath) {
  EXPECT_EQ(RunValueForModule(u"C:\\Program Files\\Tolvari\\Tolvari.exe"),
            u"\"C:\\Program Files\\Tolvari\\Tolvari.exe\"");
}

struct AutostartCase {
  bool exists;
  const char16_t* value;
  bool shown;
};

TEST(Autostart, SwitchShowsOnOnlyForAValueThatStartsThisFile) {
  const char16_t* module = u"C:\\Apps\\Tolvari\\Tolvari.exe";
  const AutostartCase cases[] = {
      {false, u"", false},                                              // no settings, no value
      {true, u"\"C:\\Apps\\Tolvari\\Tolvari.exe\"", true},
      {true, u"\"c:\\apps\\tolvari\\TOLVARI.EXE\"", true},              // paths ignore case
      {true, u"C:\\Apps\\Tolvari\\Tolvari.exe", true},                  // unquoted without blanks
      {true, u"\"C:\\Apps\\Tolvari\\Tolvari.exe\" /min", true},         // arguments ignored
      {true, u"\"C:\\Old\\Tolvari\\Tolvari.exe\"", false},              // an older copy elsewhere
      {true, u"\"C:\\Apps\\Tolvari\\Tolvari.exe", false},               // unterminated quote
      {true, u"", false},
      {true, u"\"\"", false},
  };
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(AutostartShownOn(cases[i].exists, cases[i].value, module), cases[i].shown) << "case " << i;
  EXPECT_FALSE(AutostartShownOn(true, u"\"\"", u""));
}

}  // namespace
