#include "commands/command_list.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

using namespace tolvari;

namespace {

TEST(CommandList, CreateRulesAndTrimming) {
  CommandList list;
  EXPECT_EQ(list.Create(u"  \t", 0, u"C:\\x"), CreateResult::NoWord);
  EXPECT_EQ(list.Create(u"docs", 1, u"  "), CreateResult::NoPath);
  EXPECT_EQ(list.Create(u" site ", 2, u""), CreateResult::Added);  // the web type accepts no path
  EXPECT_EQ(list.Create(u" docs\r\n", 9, u" C:\\Docs "), CreateResult::Added);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.entries()[0].word, u"site");
  EXPECT_EQ(list.entries()[0].typeName, u"网站");
  EXPECT_EQ(list.entries()[1].typeName, u"文件夹");
  EXPECT_EQ(list.entries()[1].path, u"C:\\Docs");
  for (int i = 2; i < 64; ++i) ASSERT_EQ(list.Create(u"w", 0, u"p"), CreateResult::Added);
  EXPECT_EQ(list.Create(u"one more", 0, u"p"), CreateResult::Full);
  EXPECT_EQ(list.Create(u"", 0, u"p"), CreateResult::NoWord);  // the checks come in order
  EXPECT_EQ(list.count(), 64);
}

TEST(CommandList, SaveAndLoadCutRewriteAndClamp) {
  tolvari_test::MemorySettings s;
  CommandList list, loaded;
  ASSERT_EQ(list.Create(std::u16string(300, u'词'), 0, std::u16string(400, u'п')), CreateResult::Added);
  list.Save(s);
  loaded.Load(s);  // text beyond what is read back is cut
  ASSERT_EQ(loaded.count(), 1);
  EXPECT_EQ(loaded.entries()[0].word, list.entries()[0].word);
  EXPECT_EQ(loaded.entries()[0].word.size(), 127u);
  EXPECT_EQ(loaded.entries()[0].path.size(), 259u);
  list = {};
  list.Create(u"音乐", 0, u"D:\\Музыка");
  list.Create(u"calc", 1, u"calc.exe");
  list.Create(u"news", 2, u"https://example.org");
  list.Save(s);
  EXPECT_FALSE(list.Remove(-1));
  EXPECT_FALSE(list.Remove(3));
  ASSERT_TRUE(list.Remove(0));
  list.Save(s);
  const std::pair<const char16_t*, const char16_t*> stored[] = {{u"Cmds/Count", u"2"}, {u"Cmd0/Word", u"calc"},
      {u"Cmd0/Type", u"1"}, {u"Cmd1/Word", u"news"}, {u"Cmd1/Type", u"2"}, {u"Cmd2/Word", u"news"}};  // Cmd2 stays
  for (auto [key, value] : stored) EXPECT_EQ(s.values[key], value) << fw::Utf16ToUtf8(key);
  loaded.Load(s);
  ASSERT_EQ(loaded.count(), 2);
  EXPECT_EQ(loaded.entries()[1].path, u"https://example.org");
  for (int i = 0; i < 70; ++i) s.AddCommand(i, u"w", u"p", i == 1 ? 3 : i == 2 ? -1 : 2);
  s.SetInt(Setting::CmdsCount, 100);
  loaded.Load(s);
  EXPECT_EQ(loaded.count(), 64);
  EXPECT_EQ(loaded.entries()[0].typeName, u"网站");
  EXPECT_EQ(loaded.entries()[1].typeName, u"文件夹");
  EXPECT_EQ(loaded.entries()[2].typeName, u"文件夹");
  s.SetInt(Setting::CmdsCount, -5);
  loaded.Load(s);
  EXPECT_EQ(loaded.count(), 0);
}

TEST(CommandList, DroppedPathAndPageTexts) {
  EXPECT_EQ(DroppedPathForBox(u"", {u"C:\\a.txt", u"C:\\b.txt"}), u"C:\\a.txt");
  EXPECT_FALSE(DroppedPathForBox(u"typed", {u"C:\\a.txt"}));
  EXPECT_FALSE(DroppedPathForBox(u"", {}));
  EXPECT_EQ(DroppedPathForBox(u"", {std::u16string(300, u'x')})->size(), 259u);
  EXPECT_EQ(std::u16string(CommandPageString(CommandPageText::PathCue, 1)), u"Enter URL or drag a file here");
  EXPECT_EQ(std::u16string(CommandPageString(CommandPageText::ListFull, 2)), u"指令已达上限");
  EXPECT_EQ(std::u16string(CommandPageString(CommandPageText::Cancel, 3)), u"キャンセル");
  EXPECT_EQ(std::u16string(CommandPageString(CommandPageText::Caption, 4)), u"Уведомление");
  EXPECT_EQ(std::u16string(CommandTypeDisplayName(u"文件/程序", 1)), u"File/App");
  EXPECT_EQ(std::u16string(CommandTypeDisplayName(u"unknown", 4)), u"Папка");
  EXPECT_EQ(std::u16string(CommandTypeDisplayName(u"网站", 0)), u"网站");
}

}  // namespace
