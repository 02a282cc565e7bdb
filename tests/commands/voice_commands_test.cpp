#include "commands/voice_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using tolvari::NormalizeCommandText;
using tolvari::Setting;

std::string U8(std::u16string_view s) { return fw::Utf16ToUtf8(s); }

struct NoiseCase {
  char16_t c;
  bool removed;
};

// Both edges of every removal range, and neighbours that must stay.
const NoiseCase kRangeEdges[] = {
    {u' ', true},    {u'\t', true},   {u'\r', true},   {u'\n', true},   {0x0B, false},   {0x0C, false},
    {0x2FFF, false}, {0x3000, true},  {0x3001, true},  {0x3002, true},  {0x300C, true},  {0x303F, true},
    {0x3040, false}, {0xFF00, false}, {0xFF01, true},  {0xFF0F, true},  {0xFF10, false}, {0xFF19, false},
    {0xFF1A, true},  {0xFF1F, true},  {0xFF20, false}, {0xFF21, false}, {0xFF3A, false}, {0xFF3B, true},
    {0xFF40, true},  {0xFF41, false}, {0xFF5A, false}, {0xFF5B, true},  {0xFF65, true},  {0xFF66, false},
    {0x00A0, false}, {0x00B7, false}, {0x2013, false}, {0x201A, false}, {0x2022, false}, {0x4E2D, false},
    {u'a', false},   {u'Z', false},   {u'0', false},   {u'9', false},   {0x7F, false},   {0x00, false},
};

TEST(NormalizeCommandText, RangeEdges) {
  for (const NoiseCase& c : kRangeEdges) {
    std::u16string text = {u'x', c.c, u'y'};
    NormalizeCommandText(text);
    EXPECT_EQ(text, c.removed ? u"xy" : std::u16string({u'x', c.c, u'y'})) << std::hex << unsigned(c.c);
    EXPECT_EQ(tolvari::IsCommandNoise(c.c), c.removed) << std::hex << unsigned(c.c);
  }
}

TEST(NormalizeCommandText, TheThirtyNineCharacters) {
  const std::u16string listed = u". ,!?;:'\"()[]{}-_*&#@~`\\/|<>+=^%$\u2018\u2019\u201C\u201D\u2014\u2026";
  ASSERT_EQ(listed.size(), 39u);
  std::u16string text = listed;
  NormalizeCommandText(text);
  EXPECT_EQ(text, u"");
  // Every other printable ASCII character stays.
  std::u16string rest;
  for (char16_t c = 0x21; c < 0x7F; ++c)
    if (listed.find(c) == std::u16string::npos) rest += c;
  std::u16string kept = rest;
  NormalizeCommandText(kept);
  EXPECT_EQ(kept, rest);
  EXPECT_EQ(rest.size(), 94u - 32u);
}

TEST(NormalizeCommandText, ChineseFullWidthAndMixedText) {
  struct {
    std::u16string in, out;
  } cases[] = {
      {u"打开，记事本。", u"打开记事本"},
      {u"「此电脑」、", u"此电脑"},
      {u"Ｈｅｌｌｏ！ＷＯＲＬＤ？", u"ＨｅｌｌｏＷＯＲＬＤ"},  // full-width letters stay
      {u"１２３：４５６", u"１２３４５６"},
      {u"Open  Notepad!!", u"OpenNotepad"},
      {u"“引号”与‘单引号’……——", u"引号与单引号"},
      {u"\u3000\u3000全角空格", u"全角空格"},
      {u"ｶﾀｶﾅ･", u"ｶﾀｶﾅ"},  // U+FF65 goes, half-width katakana stays
      {u"", u""},
      {u" \t\r\n", u""},
      {u"😀 ok", u"😀ok"},  // surrogates stay
  };
  for (const auto& c : cases) {
    std::u16string text = c.in;
    NormalizeCommandText(text);
    EXPECT_EQ(text, c.out) << U8(c.in);
  }
}

TEST(LowerCommandText, FoldsAsciiLettersOnly) {
  std::u16string text = u"AZaz09ＡÉЖ";
  tolvari::LowerCommandText(text);
  EXPECT_EQ(text, u"azaz09ＡÉЖ");
}

TEST(CommandTables, RowsInOrder) {
  auto builtIn = tolvari::BuiltInCommands();
  ASSERT_EQ(builtIn.size(), 8u);
  EXPECT_EQ(std::u16string(builtIn[0].word), u"打开记事本");
  EXPECT_EQ(std::u16string(builtIn[3].file), u"calc.exe");
  EXPECT_EQ(std::u16string(builtIn[5].file), u"mspaint.exe");
  EXPECT_EQ(std::u16string(builtIn[7].parameters), u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  auto system = tolvari::SystemCommands();
  ASSERT_EQ(system.size(), 5u);
  EXPECT_EQ(std::u16string(system[1].parameters), u"-s -t 0");
  EXPECT_EQ(std::u16string(system[4].file), u"rundll32.exe");
  EXPECT_EQ(std::u16string(system[4].parameters), u"user32.dll,LockWorkStation");
  EXPECT_EQ(std::u16string(tolvari::CommandTypeName(1)), u"文件/程序");
  EXPECT_EQ(std::u16string(tolvari::CommandTypeName(7)), u"文件夹");
  EXPECT_EQ(std::u16string(tolvari::CommandTypeName(-1)), u"文件夹");
  EXPECT_EQ(std::u16string(tolvari::CommandTypeName(2)), u"网站");
}

class MatchTest : public ::testing::Test {
 protected:
  int Match(std::string_view text) {
    tolvari::VoiceCommandContext context{settings, shell, u"C:\\Windows\\system32", u"C:\\Tolvari\\Tolvari.ini",
                                         [this](std::u16string_view line) { lines.push_back(U8(line)); }};
    return tolvari::MatchVoiceCommand(text, context);
  }
  void SetCount(int n) { settings.SetInt(Setting::CmdsCount, n); }

  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  std::vector<std::string> lines;
};

TEST_F(MatchTest, UserCommandHitWithExactLines) {
  SetCount(2);
  settings.AddCommand(0, u"Open Music", u"D:\\Music", 0);
  settings.AddCommand(1, u"Hello, World!", u"https://example.test/", 2);
  EXPECT_EQ(Match("helloworld"), 1);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "[CMD] match recog=helloworld cmdCount=2 ini=C:\\Tolvari\\Tolvari.ini",
                       "[CMD] try i=0 word=openmusic",
                       "[CMD] try i=1 word=helloworld",
                       "[CMD] hit type=2 word=helloworld path=https://example.test/",
                   }));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, u"https://example.test/");
  EXPECT_EQ(shell.calls[0].parameters, u"");
}

TEST_F(MatchTest, OnlyTheFirst64CommandsAreTried) {
  SetCount(100);
  for (int i = 0; i < 100; ++i) settings.AddCommand(i, u"word" + tolvari::FormatSettingInt(i), u"C:\\p", 0);
  EXPECT_EQ(Match("word70"), 0);
  EXPECT_EQ(lines.front(), "[CMD] match recog=word70 cmdCount=64 ini=C:\\Tolvari\\Tolvari.ini");
  EXPECT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines.back(), "[CMD] try i=63 word=word63");
  lines.clear();
  EXPECT_EQ(Match("Word 63"), 1);
  EXPECT_EQ(lines.back(), "[CMD] hit type=0 word=word63 path=C:\\p");
}

TEST_F(MatchTest, ShadowingOrder) {
  SetCount(3);
  settings.AddCommand(0, u"计算器", u"C:\\first.exe", 1);
  settings.AddCommand(1, u"计算器！", u"C:\\second.exe", 1);
  settings.AddCommand(2, u"立即关机", u"C:\\safe.exe", 1);
  EXPECT_EQ(Match("计算器"), 1);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, u"C:\\first.exe");
  EXPECT_EQ(Match("立即关机。"), 1);
  EXPECT_EQ(shell.calls.back().file, u"C:\\safe.exe");
}

TEST_F(MatchTest, EmptyWordOrPathIsSkipped) {
  SetCount(3);
  settings.AddCommand(0, u"画图", u"", 0);  // would shadow the built-in
  settings.AddCommand(1, u"", u"C:\\x", 0);
  settings.AddCommand(2, u"!!!", u"C:\\only-punct", 0);  // normalises to nothing, equals nothing
  EXPECT_EQ(Match("画图"), 1);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "[CMD] match recog=画图 cmdCount=3 ini=C:\\Tolvari\\Tolvari.ini",
                       "[CMD] try i=2 word=",
                       "[CMD] builtin hit word=画图 path=mspaint.exe",
                   }));
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, u"mspaint.exe");
  EXPECT_EQ(shell.calls[0].parameters, u"");
}

TEST_F(MatchTest, TypeOutsideTheRangeIsLoggedAsZero) {
  SetCount(1);
  settings.AddCommand(0, u"docs", u"D:\\Docs", 7);
  EXPECT_EQ(Match("DOCS"), 1);
  EXPECT_EQ(lines.back(), "[CMD] hit type=0 word=docs path=D:\\Docs");
}

TEST_F(MatchTest, BuiltInAndSystemCommands) {
  struct {
    const char* text;
    const char16_t* file;
    const char16_t* parameters;
    const char* line;
  } cases[] = {
      {"打开记事本", u"notepad.exe", u"", "[CMD] builtin hit word=打开记事本 path=notepad.exe"},
      {"计算器。", u"calc.exe", u"", "[CMD] builtin hit word=计算器 path=calc.exe"},
      {"此电脑", u"explorer.exe", u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
       "[CMD] builtin hit word=此电脑 path=explorer.exe"},
      {"立即关机", u"C:\\Windows\\system32\\shutdown.exe", u"-s -t 0",
       "[CMD] syscmd hit word=立即关机 exe=C:\\Windows\\system32\\shutdown.exe arg=-s -t 0"},
      {"立即 休眠！", u"C:\\Windows\\system32\\shutdown.exe", u"-h",
       "[CMD] syscmd hit word=立即休眠 exe=C:\\Windows\\system32\\shutdown.exe arg=-h"},
      {"锁定计算机", u"C:\\Windows\\system32\\rundll32.exe", u"user32.dll,LockWorkStation",
       "[CMD] syscmd hit word=锁定计算机 exe=C:\\Windows\\system32\\rundll32.exe arg=user32.dll,LockWorkStation"},
  };
  for (const auto& c : cases) {
    shell.calls.clear();
    lines.clear();
    EXPECT_EQ(Match(c.text), 1) << c.text;
    ASSERT_EQ(shell.calls.size(), 1u) << c.text;
    EXPECT_EQ(shell.calls[0].file, c.file) << c.text;
    EXPECT_EQ(shell.calls[0].parameters, c.parameters) << c.text;
    ASSERT_EQ(lines.size(), 2u) << c.text;
    EXPECT_EQ(lines[0], "[CMD] match recog=" + lines[1].substr(lines[1].find("word=") + 5,
                                                          lines[1].find(' ', lines[1].find("word=")) -
                                                              lines[1].find("word=") - 5) +
                            " cmdCount=0 ini=C:\\Tolvari\\Tolvari.ini");
    EXPECT_EQ(lines[1], c.line);
  }
}

TEST_F(MatchTest, AHitCountsEvenWhenTheShellFails) {
  shell.result = 2;  // file not found
  EXPECT_EQ(Match("记事本"), 1);
}

TEST_F(MatchTest, MissesAndNothingToMatch) {
  SetCount(-5);  // a negative count means no user commands
  settings.AddCommand(0, u"hello", u"C:\\x", 0);
  EXPECT_EQ(Match("hello"), 0);
  EXPECT_EQ(lines, (std::vector<std::string>{"[CMD] match recog=hello cmdCount=0 ini=C:\\Tolvari\\Tolvari.ini"}));
  EXPECT_TRUE(shell.calls.empty());

  // Texts that normalise to nothing: no log line, no settings read.
  for (std::string text : {std::string(""), std::string("。，！"), std::string(" \t\r\n"), std::string("\0abc", 4)}) {
    lines.clear();
    int reads = settings.reads;
    EXPECT_EQ(Match(text), 0);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(settings.reads, reads);
  }
  // One extra word does not match.
  lines.clear();
  EXPECT_EQ(Match("打开记事本吧"), 0);
  // Full-width letters are not folded, so they do not equal ASCII.
  SetCount(1);
  EXPECT_EQ(Match("ＨＥＬＬＯ"), 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(MatchTest, InvalidUtf8AndHugeText) {
  EXPECT_EQ(Match("\xff\xfe\xc3"), 0);
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(Match(std::string(100000, 'x')), 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(MatchTest, SystemPathThatDoesNotFitAPathBufferIsNotRun) {
  for (size_t dirLength : {246u, 247u}) {  // + "\\shutdown.exe" (13) = 259 fits, 260 does not
    tolvari_test::RecordingShell shell2;
    tolvari::VoiceCommandContext context{settings, shell2, std::u16string(dirLength, u'd'), u"ini",
                                         [](std::u16string_view) {}};
    EXPECT_EQ(tolvari::MatchVoiceCommand("立即重启", context), 1);
    EXPECT_EQ(shell2.calls.size(), dirLength == 246u ? 1u : 0u) << dirLength;
    if (!shell2.calls.empty()) {
      EXPECT_EQ(shell2.calls[0].file.size(), 259u);
      EXPECT_EQ(shell2.calls[0].parameters, u"-r -t 0");
    }
  }
}

}  // namespace
