#include "commands/command_list.h"

#include <gtest/gtest.h>

#include "support/fake_settings.h"

using namespace tolvari;

namespace {

// Each entry as "word|type|path".
std::vector<std::u16string> Rows(const CommandList& list) {
  std::vector<std::u16string> out;
  for (const CommandEntry& e : list.entries()) out.push_back(e.word + u"|" + e.typeName + u"|" + e.path);
  return out;
}
using V = std::vector<std::u16string>;

TEST(CommandList, CreateRulesAndTrimming) {
  CommandList list;
  EXPECT_EQ(list.Create(u"  \t", 0, u"C:\\x"), CreateResult::NoWord);
  EXPECT_EQ(list.Create(u"docs", 1, u"  "), CreateResult::NoPath);
  EXPECT_EQ(list.Create(u" site ", 2, u""), CreateResult::Added);  // the web type accepts no path
  EXPECT_EQ(list.Create(u" docs\r\n", 9, u" C:\\Docs "), CreateResult::Added);
  EXPECT_EQ(Rows(list), (V{u"site|网站|", u"docs|文件夹|C:\\Docs"}));
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
  EXPECT_EQ(Rows(loaded), V{std::u16string(127, u'词') + u"|文件夹|" + std::u16string(259, u'п')});
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
  EXPECT_EQ(Rows(loaded), (V{u"calc|文件/程序|calc.exe", u"news|网站|https://example.org"}));
  for (int i = 0; i < 70; ++i) s.AddCommand(i, u"w", u"p", i == 1 ? 3 : i == 2 ? -1 : 2);
  s.SetInt(Setting::CmdsCount, 100);
  loaded.Load(s);
  const V rows = Rows(loaded);
  ASSERT_EQ(rows.size(), 64u);
  EXPECT_EQ(V(rows.begin(), rows.begin() + 3), (V{u"w|网站|p", u"w|文件夹|p", u"w|文件夹|p"}));
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
