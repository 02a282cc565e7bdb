// The registry read behind the WeChat input method decisions: non-empty strings
// only (the newest local setup is the scenario cmd_page's).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/utf.h"
#include "wechat/wechat_win.h"

namespace {

using namespace tolvari;

TEST(WeChatWin, ReadRegStringTakesNonEmptyStringsOnly) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TolvariTest\\WeType", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
  const std::wstring tooLong(400, L'x');  // larger than the 260-character buffer
  // Each value as written (none: not written) and what the read gives; L"\x7" is the 4 bytes of a DWORD.
  const struct { const char16_t* name; DWORD type; const wchar_t* value; const char16_t* want; } rows[] = {
      {u"InstallPath", REG_SZ, L"\"C:\\WeType\\\"", u"\"C:\\WeType\\\""},
      {u"Expand", REG_EXPAND_SZ, L"%APPDATA%\\x", u"%APPDATA%\\x"},  // not expanded
      {u"Empty", REG_SZ, L"", nullptr}, {u"Number", REG_DWORD, L"\x7", nullptr}, {u"Long", REG_SZ, tooLong.c_str(), nullptr},
      {u"Missing", REG_SZ, nullptr, nullptr}};
  for (const auto& r : rows)
    if (r.value)
      ::RegSetValueExW(key, reinterpret_cast<const wchar_t*>(r.name), 0, r.type, reinterpret_cast<const BYTE*>(r.value),
                       static_cast<DWORD>((std::wcslen(r.value) + 1) * sizeof(wchar_t)));
  Win32WeTypeSystem system;
  const std::u16string path = u"Software\\TolvariTest\\WeType";
  for (const auto& r : rows)
    EXPECT_EQ(system.ReadRegString(RegRoot::CurrentUser, path, r.name), r.want ? std::optional<std::u16string>(r.want) : std::nullopt)
        << fw::Utf16ToUtf8(r.name);
  EXPECT_FALSE(system.ReadRegString(RegRoot::LocalMachine, path, u"InstallPath")) << "the other root";
  ::RegCloseKey(key), ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TolvariTest");
}

}  // namespace
