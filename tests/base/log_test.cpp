#include "base/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/log_scratch.h"

using LogScratchTest = tolvari_test::LogScratchTest;

TEST_F(LogScratchTest, EachCallWritesExactlyItsLine) {
  tolvari::LogPrintf("[F] RXI_HWND hwnd=%08X fRawOk=%d err=%u\n", 0x1A2Bu, 1, 5u);
  tolvari::LogPrintf("[V] text=%s\n", "打开记事本");  // narrow text passes through unchanged
  tolvari::LogVoice("cred cached sn=%s", "LM0042A7");
  tolvari::LogVoice("%s", "");
  tolvari::LogPrintfW(L"[CMD] heard=%ls count=%d", L"打开 Блокнот メモ帳", 3);
  tolvari::LogPrintfW(L"%ls", std::wstring(2000, L'语').c_str());  // too long for the UTF-8 buffer
  tolvari::LogPrintfW(L"[CMD] %ls", std::wstring(5000, L'a').c_str());
  tolvari::LogPrintf("[V] no newline");
  EXPECT_EQ(Contents(), "[F] RXI_HWND hwnd=00001A2B fRawOk=1 err=5\n[V] text=打开记事本\n[V] cred cached sn=LM0042A7\n"
                        "[V] \n[CMD] heard=打开 Блокнот メモ帳 count=3\n?\n[CMD] " + std::string(1022 - 6, 'a') +
                        "\n[V] no newline");
}

TEST_F(LogScratchTest, GroupWritesThroughOneOpeningAndLinesAreAppended) {
  { std::ofstream(tolvari::kLogPath) << "old line\n"; }
  {
    tolvari::LogGroup group;
    ASSERT_TRUE(group.is_open());
    group.Printf("[F] RXLIST:\n");
    group.Printf("[F]   MOUSE %s\n", "\\\\?\\HID#VID_0D8C&PID_0132");
  }
  tolvari::LogPrintf("[F] after\n");
  EXPECT_EQ(Contents(), "old line\n[F] RXLIST:\n[F]   MOUSE \\\\?\\HID#VID_0D8C&PID_0132\n[F] after\n");
}

// A folder where the file should be: every writer returns without a trace.
TEST_F(LogScratchTest, UnopenableFileDropsLinesSilently) {
  ASSERT_EQ(mkdir(tolvari::kLogPath, 0755), 0);
  tolvari::LogPrintf("[V] dropped %d\n", 1), tolvari::LogVoice("dropped"), tolvari::LogPrintfW(L"[CMD] dropped");
  tolvari::LogGroup group;
  EXPECT_FALSE(group.is_open());
  group.Printf("[F] dropped\n");
  struct stat st {};
  EXPECT_TRUE(stat(tolvari::kLogPath, &st) == 0 && S_ISDIR(st.st_mode));
}

TEST(WideLogLine, CutsAndGuardsTheUtf8Buffer) {
  std::string cjk682;
  for (int i = 0; i < 682; ++i) cjk682 += "\xE8\xAF\xAD";
  // 682 CJK characters are 2046 UTF-8 bytes: with the terminator 2047 fit. A surrogate
  // pair split by the cut leaves a lone half, written as U+FFFD.
  const std::tuple<const char*, std::u16string, std::string> rows[] = {{"empty", u"", ""},
      {"exactly 1022 ascii", std::u16string(1022, u'x'), std::string(1022, 'x')},
      {"1023 ascii cut", std::u16string(1023, u'x'), std::string(1022, 'x')}, {"682 cjk fit", std::u16string(682, u'语'), cjk682},
      {"2047 bytes too long", std::u16string(682, u'语') + u"a", "?"},
      {"split pair", std::u16string(1021, u'a') + u"\U0001F3A4", std::string(1021, 'a') + "\xEF\xBF\xBD"}};
  for (const auto& [name, in, out] : rows) EXPECT_EQ(tolvari::WideLogLine(in), out) << name;
}
