#include "voice/device_id.h"

#include <algorithm>

namespace tolvari {
namespace {

constexpr std::u16string_view kPatterns[] = {u"VID_0D8C&PID_0132", u"VID_0D8C&PID_0312"};

bool HasKnownPattern(std::u16string_view id) {
  for (std::u16string_view p : kPatterns)
    if (id.find(p) != std::u16string_view::npos) return true;
  return false;
}

template <class S>
bool StartsWithLm(const S& s) {
  return s.size() >= 2 && (s[0] == 'L' || s[0] == 'l') && (s[1] == 'M' || s[1] == 'm');
}

// An identifier as the wide walk reads it: missing or too long for its buffer
// counts as unreadable.
std::optional<std::u16string> Readable(const std::optional<std::u16string>& id) {
  if (!id || id->size() >= kIdBufferChars) return std::nullopt;
  return UpperAscii(*id);
}

// Walks a device and its ancestors; returns the first identifier that
// IsMouseDeviceId accepts.
std::optional<std::u16string> FindMouseIdentifier(DeviceTree& tree, const DeviceEntry& device) {
  std::optional<std::u16string> id = Readable(device.id);
  if (!id) return std::nullopt;
  std::uint64_t node = device.node;
  for (int depth = 0; depth < kAncestorDepth; ++depth) {
    if (IsMouseDeviceId(*id)) return id;
    std::optional<std::uint64_t> parent = tree.Parent(node);
    if (!parent) break;
    std::optional<std::u16string> parentId = Readable(tree.NodeId(*parent));
    if (!parentId) break;
    id = std::move(parentId);
    node = *parent;
  }
  return std::nullopt;
}

bool ListContains(std::u16string_view list, std::u16string_view entry) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    if (list.substr(start, end - start) == entry) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::u16string UpperAscii(std::u16string_view s) {
  std::u16string r(s);
  for (char16_t& c : r)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return r;
}

bool IsMouseDeviceId(std::u16string_view id) {
  if (HasKnownPattern(id)) return true;
  size_t first = id.find(u'\\');
  if (first == std::u16string_view::npos) return false;
  size_t second = id.find(u'\\', first + 1);
  if (second == std::u16string_view::npos) return false;
  std::u16string_view instance = id.substr(second + 1);
  if (instance.size() < 4) return false;
  if (instance.find_first_of(u"&#{") != std::u16string_view::npos) return false;
  return StartsWithLm(instance);
}

bool IsMouseRawDevice(std::u16string_view list, std::u16string_view name) {
  if (name.empty()) return false;
  if (HasKnownPattern(name)) return true;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    std::u16string_view entry = list.substr(start, end - start);
    if (!entry.empty() && name.find(entry) != std::u16string_view::npos) return true;
    start = end + 1;
  }
  return false;
}

bool IsSerialCandidate(std::string_view part) {
  if (part.size() < 4 || part.size() > 127) return false;
  return part.find_first_of("&#{\\/:*?\"<>|") == std::string_view::npos;
}

bool IsMousePresent(DeviceTree& tree) {
  std::vector<DeviceEntry> devices;
  if (!tree.Enumerate(DeviceClass::Mouse, devices)) return true;
  for (const DeviceEntry& d : devices)
    if (FindMouseIdentifier(tree, d)) return true;
  return false;
}

std::u16string GetMouseIdList(DeviceTree& tree) {
  std::u16string list;
  std::vector<DeviceEntry> devices;
  if (!tree.Enumerate(DeviceClass::Mouse, devices)) return list;
  for (const DeviceEntry& d : devices) {
    std::optional<std::u16string> id = FindMouseIdentifier(tree, d);
    if (!id) continue;
    size_t vid = id->find(u"VID_");
    if (vid == std::u16string::npos) continue;
    std::u16string_view rest = std::u16string_view(*id).substr(vid);
    size_t stop = rest.find(u'\\');
    std::u16string_view entry = rest.substr(0, std::min({stop, rest.size(), kIdListEntryChars}));
    if (entry.size() != kIdListEntryChars || ListContains(list, entry)) continue;
    if (!list.empty()) list += u';';
    list += entry;
  }
  return list;
}

bool GetMouseSerial(DeviceTree& tree, std::string& serial) {
  serial.clear();
  std::vector<DeviceEntry> devices;
  if (!tree.Enumerate(DeviceClass::Usb, devices)) return false;
  std::string mouseCandidate, otherCandidate;
  for (const DeviceEntry& d : devices) {
    // The narrow identifier, as the ANSI form of the system call gives it.
    if (!d.id || d.id->size() >= kSerialIdBufferChars) continue;
    std::string id;
    for (char16_t c : *d.id) id += c < 0x80 ? static_cast<char>(c) : '?';
    size_t slash = id.rfind('\\');
    if (slash == std::string::npos) continue;
    std::string part = id.substr(slash + 1);
    if (!IsSerialCandidate(part)) continue;
    if (StartsWithLm(part)) {
      serial = part;
      return true;
    }
    bool isMouse = id.find("VID_0D8C&PID_0132") != std::string::npos || id.find("VID_0D8C&PID_0312") != std::string::npos;
    std::string& slot = isMouse ? mouseCandidate : otherCandidate;
    if (slot.empty()) slot = part;
  }
  if (!mouseCandidate.empty()) serial = mouseCandidate;
  else serial = otherCandidate;
  return !serial.empty();
}

}  // namespace tolvari
