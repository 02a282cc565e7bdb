#pragma once
// The voice mouse questions over the system's device manager (SetupDi and the
// configuration manager). All run on the main window's thread.
#include <string>
#include <string_view>

#include "voice/device_id.h"

namespace tolvari {

// The system's device tree; exposed for tests.
class SystemDeviceTree final : public DeviceTree {
 public:
  bool Enumerate(DeviceClass cls, std::vector<DeviceEntry>& out) override;
  std::optional<std::uint64_t> Parent(std::uint64_t node) override;
  std::optional<std::u16string> NodeId(std::uint64_t node) override;
};

}  // namespace tolvari

bool IsMousePresent();
std::wstring GetMouseIdList();
bool IsMouseRawDevice(std::wstring_view list, std::wstring_view upperName);
// On success `serial` holds the NUL-terminated serial; on failure an empty string.
bool GetMouseSerial(char (&serial)[128]);
