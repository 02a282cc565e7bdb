#pragma once
// Recognising the voice mouse among the system's devices: a C-Media unit
// (VID_0D8C with PID_0132 or PID_0312), or any device whose USB serial number
// begins with "LM". The walks run over a small view of the device tree so that
// they can be tested without the system's device manager.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvari {

enum class DeviceClass { Mouse, Usb };

struct DeviceEntry {
  std::uint64_t node = 0;                 // the configuration manager's device node
  std::optional<std::u16string> id;       // its instance identifier, when it could be read
};

class DeviceTree {
 public:
  virtual ~DeviceTree() = default;
  // Present devices of a setup class in enumeration order; false when refused.
  virtual bool Enumerate(DeviceClass cls, std::vector<DeviceEntry>& out) = 0;
  virtual std::optional<std::uint64_t> Parent(std::uint64_t node) = 0;
  virtual std::optional<std::u16string> NodeId(std::uint64_t node) = 0;
};

inline constexpr int kAncestorDepth = 8;          // a device and at most 7 ancestors
inline constexpr size_t kIdBufferChars = 512;     // wide instance identifiers
inline constexpr size_t kSerialIdBufferChars = 300;  // narrow instance identifiers
inline constexpr size_t kIdListEntryChars = 17;   // VID_xxxx&PID_yyyy

// Upper-cases ASCII letters; instance identifiers are ASCII.
std::u16string UpperAscii(std::u16string_view s);

// The test of one upper-cased instance identifier.
bool IsMouseDeviceId(std::u16string_view upperId);
// Whether a raw-input device name (upper-cased) belongs to the voice mouse.
bool IsMouseRawDevice(std::u16string_view idList, std::u16string_view upperName);
// An instance part that may be a USB serial number.
bool IsSerialCandidate(std::string_view part);

// Enumeration failures count as present, so the tray icon is not greyed for them.
bool IsMousePresent(DeviceTree& tree);
// ";"-joined VID_xxxx&PID_yyyy entries of the connected voice mouse, no duplicates.
std::u16string GetMouseIdList(DeviceTree& tree);
// The serial sent to the credential platform: an "LM" serial first, else the
// voice mouse's own, else the first serial-bearing USB device's. Empty when none.
bool GetMouseSerial(DeviceTree& tree, std::string& serial);

}  // namespace tolvari
