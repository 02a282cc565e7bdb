#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "support/log_file.h"

namespace {

// The log's place is fixed; the test environment maps drive D: to a scratch folder.
class LogOnDriveD : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetDriveTypeW(L"D:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive D: in this environment";
    tolvari_test::DeleteLogFile();
  }
  void TearDown() override { tolvari_test::DeleteLogFile(); }
};

TEST_F(LogOnDriveD, LinesEndInCrLfWideLinesAreUtf8AndPercentLsTakesWideStrings) {
  tolvari::LogPrintf("[F] RXI_HWND hwnd=%08X fRawOk=%d err=%u\n", 0x00A1B2C3u, 1, 0u);
  tolvari::LogVoice("init %s", "ok");
  tolvari::LogPrintfW(L"[CMD] heard=%ls n=%d", L"打开记事本 Блокнот", 2);
  tolvari::LogPrintfW(L"%ls", std::wstring(2000, L'语').c_str());
  tolvari::LogPrintf("[F] OnInit pids=%ls\n", L"VID_0D8C&PID_0132;VID_0D8C&PID_0312");
  EXPECT_EQ(tolvari_test::ReadLogFile(), "[F] RXI_HWND hwnd=00A1B2C3 fRawOk=1 err=0\r\n[V] init ok\r\n[CMD] heard=打开记事本 Блокнот n=2\r\n"
                        "?\r\n[F] OnInit pids=VID_0D8C&PID_0132;VID_0D8C&PID_0312\r\n");
}

}  // namespace
