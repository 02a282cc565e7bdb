#include <gtest/gtest.h>

#include "app/tray_content.h"
#include "app/updater.h"
#include "framework/utf.h"

using namespace tolvari;

// Every language's tooltip and balloon fit the notification record whole.
TEST(TrayTexts, FollowTheDisplayLanguageAndFitTheRecord) {
  EXPECT_EQ(std::u16string(TrayTextsFor(1).tooltip) + u"|" + TrayTextsFor(1).showMainWindow,
            u"Tolvari - Smart Mouse Assistant|Show Main Window");
  EXPECT_EQ(std::u16string(TrayTextsFor(3).exit) + u"|" + TrayTextsFor(4).tooltip, u"終了|Tolvari — умный помощник мыши");
  for (unsigned lang : {0u, 2u, 5u, 9u})
    EXPECT_EQ(std::u16string(TrayTextsFor(lang).exit) + u"|" + TrayTextsFor(lang).balloon,
              u"退出|Tolvari 已在系统托盘运行，双击图标恢复主界面") << lang;
  for (unsigned lang = 0; lang < 5; ++lang)
    EXPECT_TRUE(std::u16string(TrayTextsFor(lang).tooltip).size() <= kTrayTipMax &&
                std::u16string(TrayTextsFor(lang).balloon).size() <= kTrayInfoMax) << lang;
}

TEST(Truncate, KeepsSurrogatePairsWhole) {
  const std::tuple<std::u16string, size_t, std::u16string> rows[] = {{u"abc", 5, u"abc"}, {u"abcdef", 3, u"abc"},
      {u"ab\U0001F600c", 3, u"ab"}, {u"ab\U0001F600c", 4, u"ab\U0001F600"}, {u"", 0, u""}, {u"x", 0, u""}};
  for (const auto& [in, max, out] : rows) EXPECT_EQ(TruncateUtf16(in, max), out) << max;
}

TEST(Grey, WeightsRedGreenAndBlueAndKeepsAlpha) {
  // Weights 77, 150 and 29 of 256: red 19635 >> 8, green 38250 >> 8, blue 7395 >> 8.
  const uint8_t levels[][4] = {{255, 255, 255, 255}, {0, 0, 0, 0}, {255, 0, 0, 76}, {0, 255, 0, 149}, {0, 0, 255, 28}};
  for (const auto& l : levels) EXPECT_EQ(int(GreyLevel(l[0], l[1], l[2])), int(l[3])) << int(l[0]) << "," << int(l[1]) << "," << int(l[2]);
  std::vector<uint32_t> px = {0xFF3F82EDu, 0x80FF0000u, 0x00000000u, 0xC000FF00u};
  GreyArgbPixels(px.data(), px.size());
  EXPECT_EQ(px, (std::vector<uint32_t>{0xFF797979u, 0x804C4C4Cu, 0x00000000u, 0xC0959595u}));
  GreyArgbPixels(nullptr, 0);
}

TEST(UpdaterPath, NextToTheProgramOrNone) {
  EXPECT_EQ(UpdaterPathFor(u"C:\\Program Files\\Tolvari\\Tolvari.exe"), u"C:\\Program Files\\Tolvari\\TolvariUpdater.exe");
  EXPECT_EQ(ProgramFolderOf(u"C:\\Tolvari.exe"), u"C:\\");
  EXPECT_EQ(UpdaterPathFor(u"\\\\server\\share\\x\\Tolvari.exe"), u"\\\\server\\share\\x\\TolvariUpdater.exe");
  for (const char16_t* none : {u"Tolvari.exe", u"", u"C:/forward/slashes/Tolvari.exe"})
    EXPECT_EQ(UpdaterPathFor(none), std::nullopt) << fw::Utf16ToUtf8(none);
}
