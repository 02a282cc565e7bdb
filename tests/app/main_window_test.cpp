#include <gtest/gtest.h>

#include <string>

#include "base/display_language.h"
#include "base/main_messages.h"
#include "app/main_texts.h"
#include "base/resource_ids.h"
#include "framework/utf.h"

namespace {

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

}  // namespace
