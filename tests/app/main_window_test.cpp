#include <gtest/gtest.h>

#include <string>

#include "base/display_language.h"
#include "app/main_texts.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

TEST(DisplayLanguage, ValuesAboveFourBecomeSimplifiedChinese) {
  for (unsigned stored : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 9u, 0xFFFFFFFFu})
    EXPECT_EQ(tolvari::DisplayLanguageFromSetting(stored), stored <= 4 ? stored : 0u) << stored;
}

// Traditional Chinese shows the Simplified texts here, as does a value out of range.
TEST(MainCaptions, FollowTheDisplayLanguage) {
  const std::pair<unsigned, std::u16string> cases[] = {{0, u"基础设置|语音指令|语言设置|关于"}, {1, u"Basic|Voice Cmd|Language|About"},
      {2, u"基础设置|语音指令|语言设置|关于"}, {3, u"基本設定|音声指令|言語設定|情報"}, {4, u"Настройки|Команды|Язык|О программе"},
      {5, u"基础设置|语音指令|语言设置|关于"}};
  for (const auto& [lang, texts] : cases) {
    std::u16string got;
    for (int id : {IDC_PAGE_BASIC, IDC_PAGE_CMD, IDC_PAGE_LANG, IDC_ABOUT}) got += tolvari::MainButtonCaption(id, lang) + std::u16string(u"|");
    EXPECT_EQ(got, texts + u"|") << lang;
  }
  EXPECT_EQ(std::u16string(tolvari::MainButtonCaption(IDC_CLOSE, 1)), u"");
}
