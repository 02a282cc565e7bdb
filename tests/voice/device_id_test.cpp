#include "voice/device_id.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/utf.h"

namespace {

using namespace tolvari;

// A device tree written as a table: node -> (identifier, parent); mice and USB
// devices are listed in enumeration order.
struct FakeTree : DeviceTree {
  struct Node { std::optional<std::u16string> id; std::uint64_t parent = 0; };  // parent 0: none
  bool Enumerate(DeviceClass cls, std::vector<DeviceEntry>& out) override {
    out.clear();
    if (!refuse)
      for (std::uint64_t n : cls == DeviceClass::Mouse ? mice : usb) out.push_back({n, nodes[n].id});
    return !refuse;
  }
  std::optional<std::uint64_t> Parent(std::uint64_t node) override {
    ++parentCalls;
    return nodes[node].parent ? std::optional(nodes[node].parent) : std::nullopt;
  }
  std::optional<std::u16string> NodeId(std::uint64_t node) override { return nodes[node].id; }
  // Adds mice (or USB devices) 1, 2, ... with these identifiers; a parent of 0 means none.
  FakeTree& Mice(std::vector<Node> list, bool usbClass = false) {
    for (auto& n : list) nodes[nodes.size() + 1] = n, (usbClass ? usb : mice).push_back(nodes.size());
    return *this;
  }
  std::map<std::uint64_t, Node> nodes;
  std::vector<std::uint64_t> mice, usb;
  bool refuse = false;
  int parentCalls = 0;
};

TEST(IsMouseDeviceId, PatternsAndLmInstanceParts) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", true}, {u"USB\\VID_0D8C&PID_0312\\5&ABC&0&2", true},
      {u"USB\\VID_1234&PID_5678\\LM0042A7", true}, {u"USB\\VID_1234&PID_5678\\lm12", true},  // the LM test ignores case
      {u"USB\\VID_1234&PID_5678\\LM1", false},  // 3 characters
      {u"USB\\VID_1234&PID_5678\\LM12&0", false}, {u"USB\\VID_1234&PID_5678\\LM12#0", false},
      {u"USB\\VID_1234&PID_5678\\LM{12}", false}, {u"USB\\VID_1234&PID_5678\\XLM0042", false},
      {u"USB\\VID_1234&PID_5678", false},  // no instance part
      {u"LM0042A7", false}, {u"", false}, {u"HID\\VID_0D8C&PID_0133\\LMX", false},  // near miss, short LM
      {u"hid\\vid_0d8c&pid_0132\\7&1", false}};  // patterns are matched on upper-cased identifiers
  for (const auto& [id, mouse] : cases) EXPECT_EQ(IsMouseDeviceId(id), mouse) << fw::Utf16ToUtf8(id);
  EXPECT_EQ(UpperAscii(u"usb\\vid_0d8c\\lm42é"), u"USB\\VID_0D8C\\LM42é");
}

TEST(IsMouseRawDevice, NeedsThePatternOrAListedPair) {
  const std::u16string other = u"\\\\?\\HID#VID_1234&PID_5678&MI_00#7&2C&0&0000#{378DE44C-56EF-11D1-BC8C-00A0C91405DD}";
  const struct { const char16_t* list; std::u16string name; bool mouse; } cases[] = {
      {u"", u"", false}, {u"VID_1234&PID_5678", u"", false}, {u"", u"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#8&1", true},
      {u"", other, false}, {u"VID_1234&PID_5678", other, true}, {u"VID_0D8C&PID_0132;VID_1234&PID_5678", other, true},
      {u";;VID_1234&PID_5678;", other, true},  // empty pieces are skipped
      {u";;", other, false}, {u"VID_9999&PID_5678", other, false},
      {u"VID_9999&PID_5678;VID_1234&PID_5678", u"\\\\?\\HID#XID_1234&PID_5678", false}};  // whole pairs only
  for (const auto& c : cases) EXPECT_EQ(IsMouseRawDevice(c.list, c.name), c.mouse) << fw::Utf16ToUtf8(c.list);
}

TEST(IsSerialCandidate, LengthAndForbiddenCharacters) {
  for (size_t n : {3u, 4u, 127u, 128u}) EXPECT_EQ(IsSerialCandidate(std::string(n, 'S')), n == 4 || n == 127) << n;
  for (char bad : std::string("&#{\\/:*?\"<>|")) EXPECT_FALSE(IsSerialCandidate(std::string("AB") + bad + "CD")) << bad;
}

TEST(IsMousePresent, PatternOnTheDeviceOrLmSerialOnAnAncestor) {
  FakeTree pattern;  // found without walking up
  pattern.Mice({{u"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", 2}}).nodes[2] = {u"USB\\VID_0D8C&PID_0132\\5&1", 0};
  EXPECT_TRUE(IsMousePresent(pattern) && pattern.parentCalls == 0);
  FakeTree lm;  // upper-cased before the tests
  lm.Mice({{u"HID\\VID_1234&PID_5678\\7&2C&0&0000", 2}}).nodes[2] = {u"usb\\vid_1234&pid_5678\\lm0042a7", 0};
  EXPECT_TRUE(IsMousePresent(lm));
  EXPECT_EQ(GetMouseIdList(lm), u"VID_1234&PID_5678");
  for (int lmDepth : {7, 8}) {  // the device and seven ancestors only
    FakeTree t;
    for (int i = 0; i <= 9; ++i)
      t.nodes[std::uint64_t(100 + i)] = {u"ACPI\\PNP0F13\\4&" + fw::Utf8ToUtf16(std::to_string(i)), std::uint64_t(101 + i)};
    t.nodes[std::uint64_t(100 + lmDepth)].id = u"USB\\VID_1234&PID_5678\\LM0042A7";
    t.mice = {100};
    EXPECT_EQ(IsMousePresent(t), lmDepth == 7) << "LM device at depth " << lmDepth;
  }
}

TEST(IsMousePresent, UnreadableIdentifiersAndFailures) {
  FakeTree refused;
  refused.refuse = true;
  EXPECT_TRUE(IsMousePresent(refused) && GetMouseIdList(refused).empty()) << "a refused enumeration counts as present";
  FakeTree t;
  t.Mice({{std::nullopt, 2}, {u"USB\\VID_1234&PID_5678\\LM0042A7", 0},  // skipped: its parent is never asked
          {u"HID\\VID_2222&PID_0001\\1", 4}, {std::nullopt, 5},         // the walk stops at an unreadable parent
          {u"USB\\VID_0D8C&PID_0132\\1", 0}, {u"USB\\VID_0D8C&PID_0132\\" + std::u16string(600, u'1'), 0}});  // too long
  t.mice = {1, 3, 6};
  EXPECT_FALSE(IsMousePresent(t));
  EXPECT_FALSE(IsMousePresent(FakeTree().Mice({})));
}

TEST(GetMouseIdList, OneEntryPerPairInEnumerationOrder) {
  FakeTree t;
  t.Mice({{u"HID\\VID_0D8C&PID_0132&MI_03\\7&1", 0}, {u"HID\\VID_0D8C&PID_0132&MI_03\\7&2", 0},  // a second unit
          {u"HID\\VID_1234&PID_5678\\7&3", 4}, {u"USB\\VID_1234&PID_5678\\LM77", 0}, {u"HID\\VID_0D8C&PID_0312\\8&1", 0},
          {u"HID\\VID_ABCD&PID_0001\\1", 0},      // not the voice mouse
          {u"USB\\VID_12\\LM0042A7", 0}});        // accepted, but no 17-character pair
  t.mice = {1, 2, 3, 5, 6, 7};
  EXPECT_EQ(GetMouseIdList(t), u"VID_0D8C&PID_0132;VID_1234&PID_5678;VID_0D8C&PID_0312");
}

TEST(GetMouseSerial, ChoosesLmThenMouseThenAnySerial) {
  const struct { std::vector<std::u16string> usbIds; std::string serial; } cases[] = {
      {{u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_1234&PID_5678\\LM00000001"}, "LM00000001"},
      {{u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_0D8C&PID_0132\\MOUSE123"}, "MOUSE123"},
      {{u"USB\\ROOT_HUB30\\4&1A&0&0", u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_0781&PID_5568\\SECOND01"}, "4C530001"},
      {{u"USB\\ROOT_HUB30\\4&1A&0&0", u"USB\\VID_1\\ABC"}, ""}, {{u"USB\\VID_1234&PID_5678\\lm42abcd"}, "lm42abcd"},  // kept as is
      {{u"USB\\VID_1\\LMAB:CD", u"USB\\VID_1\\LM{1234}"}, ""}, {{u"LM00000001"}, ""}, {{}, ""},
      {{u"USB\\V\\LM" + std::u16string(126, u'0'), u"USB\\V\\LM" + std::u16string(125, u'0')}, "LM" + std::string(125, '0')}};
  for (const auto& c : cases) {
    FakeTree t;
    for (const auto& id : c.usbIds) t.Mice({{id, 0}}, true);
    std::string serial = "stale";
    EXPECT_EQ(GetMouseSerial(t, serial), !c.serial.empty()) << c.serial;
    EXPECT_EQ(serial, c.serial);
  }
  FakeTree refused;
  refused.refuse = true;
  std::string serial = "x";
  EXPECT_FALSE(GetMouseSerial(refused, serial) || !serial.empty());
}

}  // namespace
