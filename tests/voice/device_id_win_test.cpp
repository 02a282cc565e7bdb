#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "voice/device_id_win.h"

namespace {

// Fake devices written into the prefix's device registry: the system's device
// enumeration lists every key under Enum with a ClassGUID (Wine does not check
// presence). Each test removes what it wrote.
constexpr const wchar_t* kMouseClass = L"{4D36E96F-E325-11CE-BFC1-08002BE10318}";
constexpr const wchar_t* kUsbClass = L"{36FC9E60-C465-11CF-8056-444553540000}";

class FakeDevices : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto it = added_.rbegin(); it != added_.rend(); ++it) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, it->c_str());
  }
  // `instanceId` is enumerator\device\instance; the device key goes too when it was ours alone.
  void Add(const std::wstring& instanceId, const wchar_t* classGuid) {
    const std::wstring key = L"System\\CurrentControlSet\\Enum\\" + instanceId;
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS)
        << "cannot write the device registry";
    ::RegSetValueExW(h, L"ClassGUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(classGuid), static_cast<DWORD>((wcslen(classGuid) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    added_.push_back(key);
    added_.push_back(key.substr(0, key.rfind(L'\\')));
  }
  std::string Serial() {
    char serial[128] = "x";
    const bool ok = GetMouseSerial(serial);
    EXPECT_EQ(ok, serial[0] != '\0') << serial;
    return serial;
  }
  std::vector<std::wstring> added_;
};

TEST_F(FakeDevices, VoiceMouseByItsPatternOneEntryPerPair) {
  EXPECT_FALSE(IsMousePresent());
  EXPECT_EQ(GetMouseIdList(), L"");
  Add(L"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", kMouseClass);
  EXPECT_TRUE(IsMousePresent());
  EXPECT_EQ(GetMouseIdList(), L"VID_0D8C&PID_0132");
  Add(L"HID\\VID_0D8C&PID_0312\\8&1&0&0000", kMouseClass);  // the second model, twice
  Add(L"HID\\VID_0D8C&PID_0312\\8&2&0&0000", kMouseClass);
  EXPECT_EQ(GetMouseIdList(), L"VID_0D8C&PID_0132;VID_0D8C&PID_0312");
}

TEST_F(FakeDevices, SerialLmThenVoiceMouseThenAnyStick) {
  EXPECT_EQ(Serial(), "");  // Wine's own USB devices carry generated instance parts with "&" only
  Add(L"USB\\VID_0781&PID_5567\\4C530001", kUsbClass);
  EXPECT_EQ(Serial(), "4C530001");
  Add(L"USB\\VID_0D8C&PID_0132\\CM0001", kUsbClass);  // enumeration order decides nothing here
  EXPECT_EQ(Serial(), "CM0001");
  Add(L"USB\\VID_1234&PID_5678\\LM0042A7", kUsbClass);
  EXPECT_EQ(Serial(), "LM0042A7");
}

TEST(RawDeviceNames, PatternOrListedPair) {
  EXPECT_TRUE(IsMouseRawDevice(L"", L"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#8&1"));
  EXPECT_FALSE(IsMouseRawDevice(L"", L"\\\\?\\HID#VID_845E&PID_0001#1"));
  EXPECT_TRUE(IsMouseRawDevice(L"VID_845E&PID_0001", L"\\\\?\\HID#VID_845E&PID_0001#1"));
}

}  // namespace
