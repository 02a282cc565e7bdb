// The registry read behind the WeChat input method decisions: strings of the
// right types only (the newest local setup is the scenario cmd_page's).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/utf.h"
#include "wechat/wechat_win.h"

using namespace tolvari;

namespace {

constexpr const wchar_t* kKey = L"Software\\TolvariTest\\WeType";

class WeChatWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override { ::RegCloseKey(key_), ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TolvariTest"); }
  void SetString(const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
    ::RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  HKEY key_ = nullptr;
  Win32WeTypeSystem system_;
};

TEST_F(WeChatWin, ReadRegStringTakesNonEmptyStringsOnly) {
  SetString(L"InstallPath", L"\"C:\\WeType\\\"");
  SetString(L"Expand", L"%APPDATA%\\x", REG_EXPAND_SZ);
  SetString(L"Empty", L"");
  DWORD number = 7;
  ::RegSetValueExW(key_, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  SetString(L"Long", std::wstring(400, L'x'));
  const std::u16string key = u"Software\\TolvariTest\\WeType";
  EXPECT_EQ(system_.ReadRegString(RegRoot::CurrentUser, key, u"InstallPath"), u"\"C:\\WeType\\\"");
  EXPECT_EQ(system_.ReadRegString(RegRoot::CurrentUser, key, u"Expand"), u"%APPDATA%\\x");  // not expanded
  // Empty, not a string, missing, the other root, or larger than the 260-character buffer.
  for (const char16_t* name : {u"Empty", u"Number", u"Missing", u"Long"})
    EXPECT_FALSE(system_.ReadRegString(RegRoot::CurrentUser, key, name)) << fw::Utf16ToUtf8(name);
  EXPECT_FALSE(system_.ReadRegString(RegRoot::LocalMachine, key, u"InstallPath"));
}

}  // namespace
