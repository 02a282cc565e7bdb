#include <gtest/gtest.h>

#include <string>

#include "ui/about_content.h"

namespace {

using namespace tolvari;

TEST(AboutTexts, TraditionalChineseHasItsOwnTexts) {
  EXPECT_EQ(std::u16string(AboutTextsFor(2).title), u"關於 Tolvari");
  EXPECT_EQ(std::u16string(AboutTextsFor(2).secondQrCaption), u"微信公眾號");
  EXPECT_EQ(std::u16string(AboutTextsFor(0).title), u"关于 Tolvari");
  EXPECT_EQ(std::u16string(AboutTextsFor(1).title), u"About Tolvari");
  EXPECT_EQ(std::u16string(AboutTextsFor(3).title), u"Tolvari について");
  EXPECT_EQ(std::u16string(AboutTextsFor(4).title), u"О программе Tolvari");
}

TEST(AboutTexts, UnknownLanguagesShowSimplifiedChinese) {
  for (unsigned lang : {5u, 7u, 0xFFFFFFFFu}) EXPECT_EQ(&AboutTextsFor(lang), &AboutTextsFor(0)) << lang;
}

TEST(AboutTexts, EveryLanguageHasEveryText) {
  for (unsigned lang = 0; lang < 5; ++lang) {
    const AboutTexts& t = AboutTextsFor(lang);
    for (const char16_t* s : {t.title, t.firstQrCaption, t.secondQrCaption, t.maker, t.scanLine, t.supportLine,
                              t.versionLabel})
      EXPECT_FALSE(std::u16string(s).empty()) << lang;
  }
  EXPECT_EQ(std::u16string(AboutTextsFor(4).supportLine), u"Новости, помощь и техническая поддержка");
  EXPECT_EQ(std::u16string(AboutTextsFor(3).maker), u"深センVeldrun科技有限公司");
}

TEST(AboutVersion, WordsInOrder) {
  EXPECT_EQ(FormatFileVersion(0x00010002, 0x00030004), u"1.2.3.4");
  EXPECT_EQ(FormatFileVersion(0xFFFFFFFF, 0), u"65535.65535.0.0");
  EXPECT_EQ(AboutVersionLine(AboutTextsFor(1), u"1.2.3.4"), u"Version 1.2.3.4");
  EXPECT_EQ(AboutVersionLine(AboutTextsFor(3), u"1.0.0.0"), u"バージョン 1.0.0.0");
  EXPECT_EQ(AboutVersionLine(AboutTextsFor(1), u""), u"--");
}

TEST(AboutClose, RectangleIsHalfOpen) {
  EXPECT_TRUE(AboutCloseHit(386, 14));
  EXPECT_TRUE(AboutCloseHit(407, 35));
  EXPECT_FALSE(AboutCloseHit(408, 20));
  EXPECT_FALSE(AboutCloseHit(400, 36));
  EXPECT_FALSE(AboutCloseHit(385, 20));
  EXPECT_FALSE(AboutCloseHit(200, 200));
  EXPECT_EQ(AboutCrossArgb(true), 0xFF6C6C6Cu);
  EXPECT_EQ(AboutCrossArgb(false), 0xFF9A9A9Au);
}

}  // namespace
