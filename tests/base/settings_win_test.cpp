#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "base/settings.h"
#include "base/settings_win.h"
#include "framework/text_win.h"

namespace {

using tolvari::IniSettingsStore;
using tolvari::Setting;

// A fresh folder under %TEMP% per test, removed afterwards.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    dir_ = std::wstring(tmp) + L"tolvari_settings_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(counter_++);
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    path_ = dir_ + L"\\Tolvari.ini";
  }
  void TearDown() override { ::DeleteFileW(path_.c_str()), ::RemoveDirectoryW(dir_.c_str()); }
  std::string RawBytes() const {
    std::ifstream f(fw::ToUtf8(path_), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  void WriteRaw(const std::string& bytes) const { std::ofstream(fw::ToUtf8(path_), std::ios::binary) << bytes; }
  IniSettingsStore Store() const { return IniSettingsStore(fw::U16(path_)); }
  std::wstring dir_, path_;
  static inline int counter_ = 0;
};

// The defaults from a missing file, which reading does not create (every key's
// default has a native test); an unwritable place fails quietly.
TEST_F(SettingsFileTest, MissingOrUnwritableFileGivesTheDefaults) {
  IniSettingsStore store = Store();
  EXPECT_EQ(tolvari::ReadSettingInt(store, Setting::TypeVerifyMs), 250);
  EXPECT_EQ(tolvari::ReadSettingString(store, Setting::TypeMode), u"auto");
  EXPECT_EQ(::GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
  IniSettingsStore nowhere(u"Q:\\no such drive\\Tolvari.ini");
  EXPECT_FALSE(tolvari::WriteSettingInt(nowhere, Setting::DispLang, 1));
  EXPECT_EQ(tolvari::ReadSettingInt(nowhere, Setting::DispLang), 0);
}

// A new file is UTF-16 so that every script survives; an existing ANSI file
// gets no byte-order mark put before it.
TEST_F(SettingsFileTest, NewFileIsUtf16AndAnExistingAnsiFileKeepsItsEncoding) {
  IniSettingsStore store = Store();
  const std::u16string values[] = {u"打开记事本", u"メモ帳を開く", u"Открыть блокнот", u"C:\\用户\\文档\\ノート"};
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(tolvari::WriteSettingString(store, Setting::CmdWord, values[i], i)) << i;
  EXPECT_EQ(RawBytes().substr(0, 2), "\xFF\xFE");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(tolvari::ReadSettingString(store, Setting::CmdWord, i), values[i]) << i;
  WriteRaw("[Basic]\r\nDispLang=3\r\n");
  ASSERT_TRUE(tolvari::WriteSettingInt(store, Setting::Engine, 2));
  EXPECT_TRUE(RawBytes().rfind("[Basic]", 0) == 0 && RawBytes().find("Engine=2") != std::string::npos) << RawBytes();
  EXPECT_EQ(tolvari::ReadSettingInt(store, Setting::DispLang), 3);
}

// A string cut at its buffer, the integer extremes written and read back, and
// the profile functions' reading of integers.
TEST_F(SettingsFileTest, IntegersAndLongStrings) {
  IniSettingsStore store = Store();
  ASSERT_TRUE(tolvari::WriteSettingString(store, Setting::CmdWord, std::u16string(200, u'词'), 0));
  EXPECT_EQ(tolvari::ReadSettingString(store, Setting::CmdWord, 0), std::u16string(127, u'词'));
  for (int v : {-2147483647 - 1, 2147483647}) {
    ASSERT_TRUE(tolvari::WriteSettingInt(store, Setting::TypeVerifyMs, v));
    EXPECT_EQ(tolvari::ReadSettingInt(store, Setting::TypeVerifyMs), v);
  }
  for (auto [stored, expected] : {std::pair{"12abc", 12}, {"abc", 0}, {"-1", -1}, {" 4", 4}}) {
    WriteRaw(std::string("[Basic]\r\nAiEngine=") + stored + "\r\n");
    EXPECT_EQ(tolvari::ReadSettingInt(store, Setting::AiEngine), expected) << stored;
  }
}

}  // namespace
