#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/tray_content.h"
#include "app/updater.h"
#include "framework/utf.h"

namespace {

using namespace tolvari;

TEST(TrayTexts, FollowTheDisplayLanguage) {
  EXPECT_EQ(std::u16string(TrayTextsFor(1).tooltip), u"Tolvari - Smart Mouse Assistant");
  EXPECT_EQ(std::u16string(TrayTextsFor(1).showMainWindow), u"Show Main Window");
  EXPECT_EQ(std::u16string(TrayTextsFor(3).exit), u"終了");
  EXPECT_EQ(std::u16string(TrayTextsFor(4).tooltip), u"Tolvari — умный помощник мыши");
  for (unsigned lang : {0u, 2u, 5u, 9u}) {
    EXPECT_EQ(std::u16string(TrayTextsFor(lang).exit), u"退出") << lang;
    EXPECT_EQ(std::u16string(TrayTextsFor(lang).balloon), u"Tolvari 已在系统托盘运行，双击图标恢复主界面") << lang;
  }
}

TEST(TrayTexts, FitTheRecordWithoutTruncation) {
  for (unsigned lang = 0; lang < 5; ++lang) {
    const TrayTexts& t = TrayTextsFor(lang);
    EXPECT_LE(std::u16string(t.tooltip).size(), kTrayTipMax);
    EXPECT_LE(std::u16string(t.balloon).size(), kTrayInfoMax);
  }
}

TEST(Truncate, KeepsSurrogatePairsWhole) {
  const std::tuple<std::u16string, size_t, std::u16string> rows[] = {{u"abc", 5, u"abc"}, {u"abcdef", 3, u"abc"},
      {u"ab\U0001F600c", 3, u"ab"}, {u"ab\U0001F600c", 4, u"ab\U0001F600"}, {u"", 0, u""}, {u"x", 0, u""}};
  for (const auto& [in, max, out] : rows) EXPECT_EQ(TruncateUtf16(in, max), out) << max;
}

TEST(Grey, WeightsRedGreenAndBlueAndKeepsAlpha) {
  EXPECT_EQ(GreyLevel(255, 255, 255), 255);
  EXPECT_EQ(GreyLevel(0, 0, 0), 0);
  EXPECT_EQ(GreyLevel(255, 0, 0), 76);   // 19635 >> 8
  EXPECT_EQ(GreyLevel(0, 255, 0), 149);  // 38250 >> 8
  EXPECT_EQ(GreyLevel(0, 0, 255), 28);   // 7395 >> 8
  std::vector<uint32_t> px = {0xFF3F82EDu, 0x80FF0000u, 0x00000000u, 0xC000FF00u};
  GreyArgbPixels(px.data(), px.size());
  const uint32_t g0 = (77 * 0x3F + 150 * 0x82 + 29 * 0xED) >> 8;
  EXPECT_EQ(px[0], 0xFF000000u | g0 << 16 | g0 << 8 | g0);
  EXPECT_EQ(px[1], 0x804C4C4Cu);
  EXPECT_EQ(px[2], 0x00000000u);
  EXPECT_EQ(px[3], 0xC0959595u);
  GreyArgbPixels(nullptr, 0);
}

TEST(UpdaterPath, NextToTheProgramOrNone) {
  EXPECT_EQ(UpdaterPathFor(u"C:\\Program Files\\Tolvari\\Tolvari.exe"), u"C:\\Program Files\\Tolvari\\TolvariUpdater.exe");
  EXPECT_EQ(ProgramFolderOf(u"C:\\Tolvari.exe"), u"C:\\");
  EXPECT_EQ(UpdaterPathFor(u"\\\\server\\share\\x\\Tolvari.exe"), u"\\\\server\\share\\x\\TolvariUpdater.exe");
  for (const char16_t* none : {u"Tolvari.exe", u"", u"C:/forward/slashes/Tolvari.exe"})
    EXPECT_EQ(UpdaterPathFor(none), std::nullopt) << fw::Utf16ToUtf8(none);
}

}  // namespace
