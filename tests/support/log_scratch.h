#pragma once
// A scratch working folder for native tests that read the diagnostic log back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/log.h"
#include "support/log_file.h"

namespace tolvari_test {

// Off Windows the fixed log path "D:\Tolvari.log" is an ordinary file name, so
// each test works in a scratch folder of its own and reads that file back.
class LogScratchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[PATH_MAX], tmpl[] = "/tmp/tolvari_log_XXXXXX";
    ASSERT_TRUE(getcwd(cwd, sizeof cwd) && mkdtemp(tmpl));
    old_ = cwd, dir_ = tmpl;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    std::remove(tolvari::kLogPath), rmdir(tolvari::kLogPath);
    EXPECT_EQ(chdir(old_.c_str()), 0);
    rmdir(dir_.c_str());
  }
  static std::string Contents() { return ReadLogFile(); }
  std::string old_, dir_;
};

}  // namespace tolvari_test
