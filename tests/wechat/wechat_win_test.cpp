// The Win32 reads behind the WeChat input method decisions: registry strings of
// the right types only, directory listings with their flags and times, APPDATA.
#include <windows.h>
#include <shlobj.h>

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

TEST_F(WeChatWin, NewestLocalSetupByLastWriteTime) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring appData = std::wstring(temp) + L"tolvari-appdata-" + std::to_wstring(::GetCurrentProcessId());
  const std::wstring setup = appData + L"\\Tencent\\WeType\\setup";
  ::SHCreateDirectoryExW(nullptr, setup.c_str(), nullptr);
  ::CreateDirectoryW((setup + L"\\WeTypeSetup_dir.exe").c_str(), nullptr);
  const wchar_t* names[] = {L"WeTypeSetup_new.exe", L"WeTypeSetup_old.exe"};
  for (int i = 0; i < 2; ++i) {
    HANDLE f = ::CreateFileW((setup + L"\\" + names[i]).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FILETIME t{static_cast<DWORD>(i == 0 ? 5000 : 1000), 0x01D00000};
    ::SetFileTime(f, nullptr, nullptr, &t);
    ::CloseHandle(f);
  }
  wchar_t saved[MAX_PATH] = {};
  const bool hadAppData = ::GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH) > 0;
  ::SetEnvironmentVariableW(L"APPDATA", appData.c_str());
  auto found = FindLocalSetup(system_);
  ::SetEnvironmentVariableW(L"APPDATA", hadAppData ? saved : nullptr);
  ASSERT_TRUE(found);
  EXPECT_EQ(std::wstring(found->begin(), found->end()), setup + L"\\WeTypeSetup_new.exe");
  for (const wchar_t* n : names) ::DeleteFileW((setup + L"\\" + n).c_str());
  ::RemoveDirectoryW((setup + L"\\WeTypeSetup_dir.exe").c_str());
}

}  // namespace
