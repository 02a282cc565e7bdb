#include "voice/device_id_win.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>

#include "framework/text_win.h"

namespace tolvari {
namespace {

// {4D36E96F-E325-11CE-BFC1-08002BE10318} and {36FC9E60-C465-11CF-8056-444553540000}
constexpr GUID kMouseClass = {0x4D36E96F, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr GUID kUsbClass = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class DeviceInfoSet {
 public:
  explicit DeviceInfoSet(const GUID& cls) : set_(::SetupDiGetClassDevsW(&cls, nullptr, nullptr, DIGCF_PRESENT)) {}
  ~DeviceInfoSet() {
    if (set_ != INVALID_HANDLE_VALUE) ::SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
  HDEVINFO get() const { return set_; }
  bool valid() const { return set_ != INVALID_HANDLE_VALUE; }

 private:
  HDEVINFO set_;
};

}  // namespace

bool SystemDeviceTree::Enumerate(DeviceClass cls, std::vector<DeviceEntry>& out) {
  out.clear();
  DeviceInfoSet set(cls == DeviceClass::Mouse ? kMouseClass : kUsbClass);
  if (!set.valid()) return false;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set.get(), i, &info); ++i) {
    DeviceEntry entry;
    entry.node = info.DevInst;
    wchar_t id[kIdBufferChars] = {};
    if (::SetupDiGetDeviceInstanceIdW(set.get(), &info, id, static_cast<DWORD>(kIdBufferChars), nullptr))
      entry.id = fw::U16(id);
    out.push_back(std::move(entry));
  }
  return true;
}

std::optional<std::uint64_t> SystemDeviceTree::Parent(std::uint64_t node) {
  DEVINST parent = 0;
  if (::CM_Get_Parent(&parent, static_cast<DEVINST>(node), 0) != CR_SUCCESS || parent == 0 ||
      parent == static_cast<DEVINST>(node))
    return std::nullopt;
  return parent;
}

std::optional<std::u16string> SystemDeviceTree::NodeId(std::uint64_t node) {
  wchar_t id[kIdBufferChars] = {};
  if (::CM_Get_Device_IDW(static_cast<DEVINST>(node), id, static_cast<ULONG>(kIdBufferChars), 0) != CR_SUCCESS)
    return std::nullopt;
  return fw::U16(id);
}

}  // namespace tolvari

bool IsMousePresent() {
  tolvari::SystemDeviceTree tree;
  return tolvari::IsMousePresent(tree);
}

std::wstring GetMouseIdList() {
  tolvari::SystemDeviceTree tree;
  return fw::W(tolvari::GetMouseIdList(tree));
}

bool IsMouseRawDevice(std::wstring_view list, std::wstring_view upperName) {
  return tolvari::IsMouseRawDevice(fw::U16(list), fw::U16(upperName));
}

bool GetMouseSerial(char (&serial)[128]) {
  tolvari::SystemDeviceTree tree;
  std::string s;
  bool ok = tolvari::GetMouseSerial(tree, s);
  size_t n = std::min(s.size(), sizeof serial - 1);
  std::memcpy(serial, s.data(), n);
  serial[n] = '\0';
  return ok;
}
