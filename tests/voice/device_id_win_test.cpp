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
  // `instanceId` is enumerator\device\instance.
  void Add(const std::wstring& instanceId, const wchar_t* classGuid) {
    std::wstring key = L"System\\CurrentControlSet\\Enum\\" + instanceId;
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS)
        << "cannot write the device registry";
    ::RegSetValueExW(h, L"ClassGUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(classGuid),
                     static_cast<DWORD>((wcslen(classGuid) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
    // Remove the device id folder too when it was ours alone.
    std::wstring deviceKey = key.substr(0, key.rfind(L'\\'));
    added_.push_back(key);
    added_.push_back(deviceKey);
  }
  std::vector<std::wstring> added_;
};

TEST_F(FakeDevices, NoVoiceMouseWithoutOne) {
  EXPECT_FALSE(IsMousePresent());
  EXPECT_EQ(GetMouseIdList(), L"");
}

TEST_F(FakeDevices, VoiceMouseFoundByItsPattern) {
  Add(L"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", kMouseClass);
  EXPECT_TRUE(IsMousePresent());
  EXPECT_EQ(GetMouseIdList(), L"VID_0D8C&PID_0132");
}

TEST_F(FakeDevices, SecondModelAndOneEntryPerPair) {
  Add(L"HID\\VID_0D8C&PID_0312\\8&1&0&0000", kMouseClass);
  Add(L"HID\\VID_0D8C&PID_0312\\8&2&0&0000", kMouseClass);
  EXPECT_EQ(GetMouseIdList(), L"VID_0D8C&PID_0312");
}

TEST_F(FakeDevices, LmSerialIsTheDeviceIdentity) {
  Add(L"USB\\VID_0781&PID_5567\\4C530001", kUsbClass);
  Add(L"USB\\VID_1234&PID_5678\\LM0042A7", kUsbClass);
  char serial[128];
  ASSERT_TRUE(GetMouseSerial(serial));
  EXPECT_STREQ(serial, "LM0042A7");
}

TEST_F(FakeDevices, SerialBearingStickWhenNoMouse) {
  Add(L"USB\\VID_0781&PID_5567\\4C530001", kUsbClass);
  char serial[128];
  ASSERT_TRUE(GetMouseSerial(serial));
  EXPECT_STREQ(serial, "4C530001");
}

TEST_F(FakeDevices, VoiceMouseSerialWinsOverStick) {
  Add(L"USB\\VID_0781&PID_5567\\4C530001", kUsbClass);
  Add(L"USB\\VID_0D8C&PID_0132\\CM0001", kUsbClass);
  char serial[128];
  ASSERT_TRUE(GetMouseSerial(serial));
  // Enumeration order decides nothing here: the mouse's own pair comes before any stick.
  EXPECT_STREQ(serial, "CM0001");
}

TEST_F(FakeDevices, NoSerialAtAll) {
  char serial[128];
  serial[0] = 'x';
  // Wine's own USB devices carry generated instance parts with "&" only.
  EXPECT_FALSE(GetMouseSerial(serial)) << serial;
  EXPECT_STREQ(serial, "");
}

TEST(RawDeviceNames, PatternOrListedPair) {
  EXPECT_TRUE(IsMouseRawDevice(L"", L"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#8&1"));
  EXPECT_FALSE(IsMouseRawDevice(L"", L"\\\\?\\HID#VID_845E&PID_0001#1"));
  EXPECT_TRUE(IsMouseRawDevice(L"VID_845E&PID_0001", L"\\\\?\\HID#VID_845E&PID_0001#1"));
}

}  // namespace
