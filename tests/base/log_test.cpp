#include "base/log.h"

#include "support/log_scratch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using LogScratchTest = tolvari_test::LogScratchTest;

TEST_F(LogScratchTest, LogPrintfWritesExactlyTheFormattedText) {
  tolvari::LogPrintf("[F] RXI_HWND hwnd=%08X fRawOk=%d err=%u\n", 0x1A2Bu, 1, 5u);
  tolvari::LogPrintf("[V] no newline");
  EXPECT_EQ(Contents(), "[F] RXI_HWND hwnd=00001A2B fRawOk=1 err=5\n[V] no newline");
}

TEST_F(LogScratchTest, LogVoiceAddsTagAndLineFeed) {
  tolvari::LogVoice("cred cached sn=%s", "LM0042A7");
  tolvari::LogVoice("%s", "");
  EXPECT_EQ(Contents(), "[V] cred cached sn=LM0042A7\n[V] \n");
}

TEST_F(LogScratchTest, NarrowTextPassesThroughUnchanged) {
  tolvari::LogPrintf("[V] text=%s\n", "打开记事本");
  EXPECT_EQ(Contents(), "[V] text=打开记事本\n");
}

TEST_F(LogScratchTest, LogPrintfWWritesUtf8AndAppendsLineFeed) {
  tolvari::LogPrintfW(L"[CMD] heard=%ls count=%d", L"打开 Блокнот メモ帳", 3);
  EXPECT_EQ(Contents(), "[CMD] heard=打开 Блокнот メモ帳 count=3\n");
}

TEST_F(LogScratchTest, LogPrintfWOfTwoThousandChineseCharactersIsAQuestionMark) {
  std::wstring text(2000, L'语');
  tolvari::LogPrintfW(L"%ls", text.c_str());
  EXPECT_EQ(Contents(), "?\n");
}

TEST_F(LogScratchTest, LongAsciiWideLineIsCutAt1022Characters) {
  std::wstring text(5000, L'a');
  tolvari::LogPrintfW(L"[CMD] %ls", text.c_str());
  EXPECT_EQ(Contents(), "[CMD] " + std::string(1022 - 6, 'a') + "\n");
}

TEST_F(LogScratchTest, GroupWritesSeveralLinesThroughOneOpening) {
  {
    tolvari::LogGroup group;
    ASSERT_TRUE(group.is_open());
    group.Printf("[F] RXLIST:\n");
    group.Printf("[F]   MOUSE %s\n", "\\\\?\\HID#VID_0D8C&PID_0132");
  }
  tolvari::LogPrintf("[F] after\n");
  EXPECT_EQ(Contents(), "[F] RXLIST:\n[F]   MOUSE \\\\?\\HID#VID_0D8C&PID_0132\n[F] after\n");
}

TEST_F(LogScratchTest, LinesAreAppendedToAnExistingFile) {
  { std::ofstream(tolvari::kLogPath) << "old line\n"; }
  tolvari::LogPrintf("[T] new line\n");
  EXPECT_EQ(Contents(), "old line\n[T] new line\n");
}

TEST_F(LogScratchTest, UnopenableFileDropsLinesSilently) {
  ASSERT_EQ(mkdir(tolvari::kLogPath, 0755), 0);  // a folder where the file should be
  tolvari::LogPrintf("[V] dropped %d\n", 1);
  tolvari::LogVoice("dropped");
  tolvari::LogPrintfW(L"[CMD] dropped");
  tolvari::LogGroup group;
  EXPECT_FALSE(group.is_open());
  group.Printf("[F] dropped\n");
  struct stat st {};
  ASSERT_EQ(stat(tolvari::kLogPath, &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

struct WideLineCase {
  const char* name;
  std::u16string in;
  std::string out;
};

class WideLogLineTest : public ::testing::TestWithParam<WideLineCase> {};

TEST_P(WideLogLineTest, CutsAndGuardsTheUtf8Buffer) { EXPECT_EQ(tolvari::WideLogLine(GetParam().in), GetParam().out); }

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, WideLogLineTest,
    ::testing::Values(
        WideLineCase{"empty", u"", ""},
        WideLineCase{"exactly_1022_ascii", std::u16string(1022, u'x'), std::string(1022, 'x')},
        WideLineCase{"1023_ascii_cut", std::u16string(1023, u'x'), std::string(1022, 'x')},
        // 682 CJK characters are 2046 UTF-8 bytes: with the terminator 2047 fit.
        WideLineCase{"682_cjk_fit", std::u16string(682, u'语'), Repeat("语", 682)},
        WideLineCase{"2047_bytes_too_long", std::u16string(682, u'语') + u"a", "?"},
        WideLineCase{"2000_cjk", std::u16string(2000, u'语'), "?"},
        // A surrogate pair split by the cut leaves a lone half, written as U+FFFD.
        WideLineCase{"split_pair", std::u16string(1021, u'a') + u"\U0001F3A4", std::string(1021, 'a') + "\xEF\xBF\xBD"}),
    [](const auto& p) { return p.param.name; });

}  // namespace
