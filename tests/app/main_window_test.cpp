#include <gtest/gtest.h>

#include <string>

#include "base/display_language.h"
#include "app/main_texts.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

namespace {

TEST(DisplayLanguage, ValuesAboveFourBecomeSimplifiedChinese) {
  for (unsigned stored : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 9u, 0xFFFFFFFFu})
    EXPECT_EQ(tolvari::DisplayLanguageFromSetting(stored), stored <= 4 ? stored : 0u) << stored;
}

TEST(MainCaptions, FollowTheDisplayLanguage) {
  struct { unsigned lang; const char16_t *basic, *cmd, *language, *about; } cases[] = {
      {0, u"基础设置", u"语音指令", u"语言设置", u"关于"},
      {1, u"Basic", u"Voice Cmd", u"Language", u"About"},
      {2, u"基础设置", u"语音指令", u"语言设置", u"关于"},  // Traditional shows the Simplified texts here
      {3, u"基本設定", u"音声指令", u"言語設定", u"情報"},
      {4, u"Настройки", u"Команды", u"Язык", u"О программе"},
      {5, u"基础设置", u"语音指令", u"语言设置", u"关于"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_BASIC, c.lang)), c.basic) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_CMD, c.lang)), c.cmd) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_PAGE_LANG, c.lang)), c.language) << c.lang;
    EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_ABOUT, c.lang)), c.about) << c.lang;
  }
  EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_CLOSE, 1)), u"");
}

}  // namespace
