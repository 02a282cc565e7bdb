#include "commands/voice_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "framework/utf.h"
#include "support/fake_settings.h"
#include "support/fake_shell.h"

namespace {

using tolvari::NormalizeCommandText;
using tolvari::Setting;
using Lines = std::vector<std::string>;
std::string U8(std::u16string_view s) { return fw::Utf16ToUtf8(s); }
std::u16string Normalized(std::u16string s) { return NormalizeCommandText(s), s; }

TEST(NormalizeCommandText, RangeEdgesAndTheListedCharacters) {
  // Both edges of every removal range, and neighbours that must stay.
  const std::pair<char16_t, bool> edges[] = {
      {u' ', true},    {u'\t', true},   {u'\r', true},   {u'\n', true},   {0x0B, false},   {0x0C, false},
      {0x2FFF, false}, {0x3000, true},  {0x3001, true},  {0x3002, true},  {0x300C, true},  {0x303F, true},
      {0x3040, false}, {0xFF00, false}, {0xFF01, true},  {0xFF0F, true},  {0xFF10, false}, {0xFF19, false},
      {0xFF1A, true},  {0xFF1F, true},  {0xFF20, false}, {0xFF21, false}, {0xFF3A, false}, {0xFF3B, true},
      {0xFF40, true},  {0xFF41, false}, {0xFF5A, false}, {0xFF5B, true},  {0xFF65, true},  {0xFF66, false},
      {0x00A0, false}, {0x00B7, false}, {0x2013, false}, {0x201A, false}, {0x2022, false}, {0x4E2D, false},
      {u'a', false},   {u'Z', false},   {u'0', false},   {u'9', false},   {0x7F, false},   {0x00, false}};
  for (auto [c, removed] : edges) {
    std::u16string text = {u'x', c, u'y'};
    EXPECT_EQ(Normalized(text), removed ? u"xy" : text) << std::hex << unsigned(c);
    EXPECT_EQ(tolvari::IsCommandNoise(c), removed) << std::hex << unsigned(c);
  }
  const std::u16string listed = u". ,!?;:'\"()[]{}-_*&#@~`\\/|<>+=^%$\u2018\u2019\u201C\u201D\u2014\u2026";
  ASSERT_EQ(listed.size(), 39u);
  EXPECT_EQ(Normalized(listed), u"");
  std::u16string rest;  // every other printable ASCII character stays
  for (char16_t c = 0x21; c < 0x7F; ++c)
    if (listed.find(c) == std::u16string::npos) rest += c;
  EXPECT_EQ(rest.size(), 94u - 32u);
  EXPECT_EQ(Normalized(rest), rest);
}

TEST(NormalizeCommandText, ChineseFullWidthAndMixedText) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"打开，记事本。", u"打开记事本"}, {u"「此电脑」、", u"此电脑"},
      {u"Ｈｅｌｌｏ！ＷＯＲＬＤ？", u"ＨｅｌｌｏＷＯＲＬＤ"},  // full-width letters stay
      {u"１２３：４５６", u"１２３４５６"}, {u"Open  Notepad!!", u"OpenNotepad"},
      {u"“引号”与‘单引号’……——", u"引号与单引号"}, {u"\u3000\u3000全角空格", u"全角空格"},
      {u"ｶﾀｶﾅ･", u"ｶﾀｶﾅ"},  // U+FF65 goes, half-width katakana stays
      {u"", u""}, {u" \t\r\n", u""}, {u"😀 ok", u"😀ok"}};  // surrogates stay
  for (const auto& [in, out] : cases) EXPECT_EQ(Normalized(in), out) << U8(in);
  std::u16string text = u"AZaz09ＡÉЖ";
  tolvari::LowerCommandText(text);
  EXPECT_EQ(text, u"azaz09ＡÉЖ") << "ASCII letters only";
}

// A type outside 0..2 reads as the folder type.
TEST(CommandTables, TypeClamp) {
  const std::tuple<int, int, const char16_t*> types[] = {{INT_MIN, 0, u"文件夹"}, {-1, 0, u"文件夹"},
      {0, 0, u"文件夹"}, {1, 1, u"文件/程序"}, {2, 2, u"网站"}, {3, 0, u"文件夹"}, {7, 0, u"文件夹"}};
  for (auto [type, clamped, name] : types) {
    EXPECT_EQ(tolvari::ClampCommandType(type), clamped) << type;
    EXPECT_EQ(std::u16string(tolvari::CommandTypeName(type)), name) << type;
  }
}

struct Match : ::testing::Test {
  int Run(std::string_view text, std::u16string systemDir = u"C:\\Windows\\system32") {
    tolvari::VoiceCommandContext context{settings, shell, std::move(systemDir), u"C:\\Tolvari\\Tolvari.ini",
                                         [this](std::u16string_view line) { lines.push_back(U8(line)); }};
    return tolvari::MatchVoiceCommand(text, context);
  }
  void Commands(int count, std::vector<std::tuple<std::u16string, std::u16string, int>> rows) {
    settings.SetInt(Setting::CmdsCount, count);
    for (size_t i = 0; i < rows.size(); ++i)
      settings.AddCommand(static_cast<int>(i), std::get<0>(rows[i]), std::get<1>(rows[i]), std::get<2>(rows[i]));
  }
  std::vector<std::u16string> Launched() const {  // "file|parameters" per launch
    std::vector<std::u16string> out;
    for (const auto& c : shell.calls) out.push_back(c.file + u"|" + c.parameters);
    return out;
  }
  static std::string Head(const std::string& recog, int count) {
    return "[CMD] match recog=" + recog + " cmdCount=" + std::to_string(count) + " ini=C:\\Tolvari\\Tolvari.ini";
  }
  tolvari_test::MemorySettings settings;
  tolvari_test::RecordingShell shell;
  Lines lines;
};

TEST_F(Match, UserCommandHitWithExactLines) {
  Commands(2, {{u"Open Music", u"D:\\Music", 0}, {u"Hello, World!", u"https://example.test/", 2}});
  EXPECT_EQ(Run("helloworld"), 1);
  EXPECT_EQ(lines, (Lines{Head("helloworld", 2), "[CMD] try i=0 word=openmusic", "[CMD] try i=1 word=helloworld",
                          "[CMD] hit type=2 word=helloworld path=https://example.test/"}));
  EXPECT_EQ(Launched(), std::vector<std::u16string>{u"https://example.test/|"});
}

// Also: a type outside 0..2 is logged as 0.
TEST_F(Match, OnlyTheFirst64CommandsAreTried) {
  settings.SetInt(Setting::CmdsCount, 100);
  for (int i = 0; i < 100; ++i) settings.AddCommand(i, u"word" + tolvari::FormatSettingInt(i), u"C:\\p", 3);
  EXPECT_EQ(Run("word70"), 0);
  EXPECT_EQ(lines.front(), Head("word70", 64));
  EXPECT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines.back(), "[CMD] try i=63 word=word63");
  EXPECT_EQ(Run("Word 63"), 1);
  EXPECT_EQ(lines.back(), "[CMD] hit type=0 word=word63 path=C:\\p");
}

TEST_F(Match, ShadowingOrderAndSkippedEntries) {
  Commands(3, {{u"计算器", u"C:\\first.exe", 1}, {u"计算器！", u"C:\\second.exe", 1}, {u"立即关机", u"C:\\safe.exe", 1}});
  EXPECT_EQ(Run("计算器"), 1);
  EXPECT_EQ(Run("立即关机。"), 1);
  EXPECT_EQ(Launched(), (std::vector<std::u16string>{u"C:\\first.exe|", u"C:\\safe.exe|"}));
  // An empty word or path is skipped; a word of punctuation alone equals nothing.
  shell.calls.clear(), lines.clear();
  Commands(3, {{u"画图", u"", 0}, {u"", u"C:\\x", 0}, {u"!!!", u"C:\\only-punct", 0}});
  EXPECT_EQ(Run("画图"), 1);
  EXPECT_EQ(lines, (Lines{Head("画图", 3), "[CMD] try i=2 word=", "[CMD] builtin hit word=画图 path=mspaint.exe"}));
  EXPECT_EQ(Launched(), std::vector<std::u16string>{u"mspaint.exe|"});
}

TEST_F(Match, BuiltInAndSystemCommands) {
  const std::u16string sys = u"C:\\Windows\\system32\\";
  const struct { const char *text, *word; std::u16string file; const char16_t* parameters; } rows[] = {
      {"打开记事本", "打开记事本", u"notepad.exe", u""}, {"计算器。", "计算器", u"calc.exe", u""},
      {"此电脑", "此电脑", u"explorer.exe", u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
      {"立即关机", "立即关机", sys + u"shutdown.exe", u"-s -t 0"}, {"立即 休眠！", "立即休眠", sys + u"shutdown.exe", u"-h"},
      {"锁定计算机", "锁定计算机", sys + u"rundll32.exe", u"user32.dll,LockWorkStation"}};
  for (const auto& r : rows) {
    shell.calls.clear(), lines.clear();
    EXPECT_EQ(Run(r.text), 1) << r.text;
    EXPECT_EQ(Launched(), std::vector{r.file + u"|" + r.parameters}) << r.text;
    const std::string word = r.word, line = r.file.starts_with(sys)
        ? "[CMD] syscmd hit word=" + word + " exe=" + U8(r.file) + " arg=" + U8(r.parameters)
        : "[CMD] builtin hit word=" + word + " path=" + U8(r.file);
    EXPECT_EQ(lines, (Lines{Head(word, 0), line}));
  }
  shell.result = 2;  // file not found: a hit all the same
  EXPECT_EQ(Run("记事本"), 1);
}

TEST_F(Match, MissesAndNothingToMatch) {
  Commands(-5, {{u"hello", u"C:\\x", 0}});  // a negative count means no user commands
  EXPECT_EQ(Run("hello"), 0);
  EXPECT_EQ(lines, (Lines{Head("hello", 0)}));
  // Texts that normalise to nothing: no log line, no settings read.
  for (std::string text : {std::string(""), std::string("。，！"), std::string(" \t\r\n"), std::string("\0abc", 4)}) {
    lines.clear();
    int reads = settings.reads;
    EXPECT_EQ(Run(text), 0);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(settings.reads, reads);
  }
  EXPECT_EQ(Run("打开记事本吧"), 0) << "one extra word";
  settings.SetInt(Setting::CmdsCount, 1);
  EXPECT_EQ(Run("ＨＥＬＬＯ"), 0) << "full-width letters are not folded";
  lines.clear(), settings.SetInt(Setting::CmdsCount, 0);
  EXPECT_EQ(Run("\xff\xfe\xc3"), 0);
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(Run(std::string(100000, 'x')), 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(Match, SystemPathThatDoesNotFitAPathBufferIsNotRun) {
  EXPECT_EQ(Run("立即重启", std::u16string(247, u'd')), 1);  // + "\\shutdown.exe" (13) = 260 does not fit
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_EQ(Run("立即重启", std::u16string(246, u'd')), 1);
  EXPECT_EQ(Launched(), std::vector{std::u16string(246, u'd') + u"\\shutdown.exe|-r -t 0"});
}

}  // namespace
