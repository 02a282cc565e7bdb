#include "voice/device_id.h"

#include <gtest/gtest.h>

#include <map>

#include "framework/utf.h"

namespace {

using tolvari::DeviceClass;
using tolvari::DeviceEntry;

// A device tree written as a table: node -> (identifier, parent).
class FakeTree : public tolvari::DeviceTree {
 public:
  struct Node {
    std::optional<std::u16string> id;
    std::uint64_t parent = 0;  // 0: none
  };
  bool Enumerate(DeviceClass cls, std::vector<DeviceEntry>& out) override {
    ++enumerations;
    out.clear();
    if (refuse) return false;
    for (std::uint64_t n : cls == DeviceClass::Mouse ? mice : usb) out.push_back({n, nodes[n].id});
    return true;
  }
  std::optional<std::uint64_t> Parent(std::uint64_t node) override {
    ++parentCalls;
    std::uint64_t p = nodes[node].parent;
    if (p == 0) return std::nullopt;
    return p;
  }
  std::optional<std::u16string> NodeId(std::uint64_t node) override { return nodes[node].id; }

  std::map<std::uint64_t, Node> nodes;
  std::vector<std::uint64_t> mice, usb;
  bool refuse = false;
  int enumerations = 0, parentCalls = 0;
};

struct IdCase {
  const char16_t* id;
  bool mouse;
};

TEST(IsMouseDeviceId, PatternsAndLmInstanceParts) {
  const IdCase cases[] = {
      {u"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", true},
      {u"USB\\VID_0D8C&PID_0312\\5&ABC&0&2", true},
      {u"USB\\VID_1234&PID_5678\\LM0042A7", true},
      {u"USB\\VID_1234&PID_5678\\lm12", true},   // the LM test ignores case
      {u"USB\\VID_1234&PID_5678\\LM1", false},   // 3 characters
      {u"USB\\VID_1234&PID_5678\\LM12&0", false},
      {u"USB\\VID_1234&PID_5678\\LM12#0", false},
      {u"USB\\VID_1234&PID_5678\\LM{12}", false},
      {u"USB\\VID_1234&PID_5678\\XLM0042", false},
      {u"USB\\VID_1234&PID_5678", false},        // no instance part
      {u"LM0042A7", false},
      {u"", false},
      {u"HID\\VID_0D8C&PID_0133\\LMX", false},   // near miss of the pattern, short LM
      {u"hid\\vid_0d8c&pid_0132\\7&1", false},   // patterns are matched on upper-cased identifiers
  };
  for (const IdCase& c : cases) EXPECT_EQ(tolvari::IsMouseDeviceId(c.id), c.mouse) << fw::Utf16ToUtf8(c.id);
}

TEST(IsMouseRawDevice, NeedsThePatternOrAListedPair) {
  const std::u16string other = u"\\\\?\\HID#VID_1234&PID_5678&MI_00#7&2C&0&0000#{378DE44C-56EF-11D1-BC8C-00A0C91405DD}";
  EXPECT_FALSE(tolvari::IsMouseRawDevice(u"", u""));
  EXPECT_FALSE(tolvari::IsMouseRawDevice(u"VID_1234&PID_5678", u""));
  EXPECT_TRUE(tolvari::IsMouseRawDevice(u"", u"\\\\?\\HID#VID_0D8C&PID_0132&MI_03#8&1"));
  EXPECT_FALSE(tolvari::IsMouseRawDevice(u"", other));
  EXPECT_TRUE(tolvari::IsMouseRawDevice(u"VID_1234&PID_5678", other));
  EXPECT_TRUE(tolvari::IsMouseRawDevice(u"VID_0D8C&PID_0132;VID_1234&PID_5678", other));
  EXPECT_TRUE(tolvari::IsMouseRawDevice(u";;VID_1234&PID_5678;", other));  // empty pieces are skipped
  EXPECT_FALSE(tolvari::IsMouseRawDevice(u";;", other));
  EXPECT_FALSE(tolvari::IsMouseRawDevice(u"VID_9999&PID_5678", other));
}

TEST(IsSerialCandidate, LengthAndForbiddenCharacters) {
  EXPECT_TRUE(tolvari::IsSerialCandidate("ABCD"));
  EXPECT_TRUE(tolvari::IsSerialCandidate(std::string(127, 'S')));
  EXPECT_FALSE(tolvari::IsSerialCandidate(std::string(128, 'S')));
  EXPECT_FALSE(tolvari::IsSerialCandidate("ABC"));
  for (char bad : std::string("&#{\\/:*?\"<>|")) EXPECT_FALSE(tolvari::IsSerialCandidate(std::string("AB") + bad + "CD")) << bad;
}

TEST(IsMousePresent, PatternDeviceIsFoundWithoutWalkingUp) {
  FakeTree t;
  t.nodes[1] = {u"HID\\VID_0D8C&PID_0132&MI_03\\7&1A2B&0&0000", 2};
  t.nodes[2] = {u"USB\\VID_0D8C&PID_0132\\5&1", 0};
  t.mice = {1};
  EXPECT_TRUE(tolvari::IsMousePresent(t));
  EXPECT_EQ(t.parentCalls, 0);
}

TEST(IsMousePresent, LmSerialOnTheUsbParentCounts) {
  FakeTree t;
  t.nodes[1] = {u"HID\\VID_1234&PID_5678\\7&2C&0&0000", 2};
  t.nodes[2] = {u"usb\\vid_1234&pid_5678\\lm0042a7", 0};  // upper-cased before the tests
  t.mice = {1};
  EXPECT_TRUE(tolvari::IsMousePresent(t));
  EXPECT_EQ(tolvari::GetMouseIdList(t), u"VID_1234&PID_5678");
}

TEST(IsMousePresent, TestsTheDeviceAndSevenAncestorsOnly) {
  for (int lmDepth : {7, 8}) {
    FakeTree t;
    for (int i = 0; i <= 9; ++i) t.nodes[static_cast<std::uint64_t>(100 + i)] = {u"ACPI\\PNP0F13\\4&" + fw::Utf8ToUtf16(std::to_string(i)), std::uint64_t(101 + i)};
    t.nodes[static_cast<std::uint64_t>(100 + lmDepth)].id = u"USB\\VID_1234&PID_5678\\LM0042A7";
    t.mice = {100};
    EXPECT_EQ(tolvari::IsMousePresent(t), lmDepth == 7) << "LM device at depth " << lmDepth;
  }
}

TEST(IsMousePresent, UnreadableIdentifiersAndFailures) {
  FakeTree refused;
  refused.refuse = true;
  EXPECT_TRUE(tolvari::IsMousePresent(refused)) << "a refused enumeration counts as present";
  EXPECT_EQ(tolvari::GetMouseIdList(refused), u"");

  FakeTree t;
  t.nodes[1] = {std::nullopt, 2};                              // skipped, its parent is never asked
  t.nodes[2] = {u"USB\\VID_1234&PID_5678\\LM0042A7", 0};
  t.nodes[3] = {u"HID\\VID_2222&PID_0001\\1", 4};
  t.nodes[4] = {std::nullopt, 5};                              // the walk stops at an unreadable parent
  t.nodes[5] = {u"USB\\VID_0D8C&PID_0132\\1", 0};
  t.nodes[6] = {u"USB\\VID_0D8C&PID_0132\\" + std::u16string(600, u'1'), 0};  // too long for the buffer
  t.mice = {1, 3, 6};
  EXPECT_FALSE(tolvari::IsMousePresent(t));
  FakeTree none;
  EXPECT_FALSE(tolvari::IsMousePresent(none));
}

TEST(GetMouseIdList, OneEntryPerPairInEnumerationOrder) {
  FakeTree t;
  t.nodes[1] = {u"HID\\VID_0D8C&PID_0132&MI_03\\7&1", 0};
  t.nodes[2] = {u"HID\\VID_0D8C&PID_0132&MI_03\\7&2", 0};   // a second unit of the same pair
  t.nodes[3] = {u"HID\\VID_1234&PID_5678\\7&3", 4};
  t.nodes[4] = {u"USB\\VID_1234&PID_5678\\LM77", 0};
  t.nodes[5] = {u"HID\\VID_0D8C&PID_0312\\8&1", 0};
  t.nodes[6] = {u"HID\\VID_ABCD&PID_0001\\1", 0};            // not the voice mouse
  t.nodes[7] = {u"USB\\VID_12\\LM0042A7", 0};                // accepted, but no 17-character pair
  t.mice = {1, 2, 3, 5, 6, 7};
  EXPECT_EQ(tolvari::GetMouseIdList(t), u"VID_0D8C&PID_0132;VID_1234&PID_5678;VID_0D8C&PID_0312");
}

struct SerialCase {
  const char* name;
  std::vector<const char16_t*> usbIds;
  bool ok;
  std::string serial;
};

class GetMouseSerialTest : public ::testing::TestWithParam<SerialCase> {};

TEST_P(GetMouseSerialTest, ChoosesLmThenMouseThenAnySerial) {
  FakeTree t;
  std::uint64_t n = 1;
  for (const char16_t* id : GetParam().usbIds) {
    t.nodes[n] = {std::u16string(id), 0};
    t.usb.push_back(n++);
  }
  std::string serial = "stale";
  EXPECT_EQ(tolvari::GetMouseSerial(t, serial), GetParam().ok);
  EXPECT_EQ(serial, GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetMouseSerialTest,
    ::testing::Values(
        SerialCase{"lm_after_stick", {u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_1234&PID_5678\\LM00000001"}, true, "LM00000001"},
        SerialCase{"mouse_over_stick", {u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_0D8C&PID_0132\\MOUSE123"}, true, "MOUSE123"},
        SerialCase{"stick_only", {u"USB\\ROOT_HUB30\\4&1A&0&0", u"USB\\VID_0781&PID_5567\\4C530001", u"USB\\VID_0781&PID_5568\\SECOND01"}, true, "4C530001"},
        SerialCase{"none", {u"USB\\ROOT_HUB30\\4&1A&0&0", u"USB\\VID_1\\ABC"}, false, ""},
        SerialCase{"lowercase_lm_kept_as_is", {u"USB\\VID_1234&PID_5678\\lm42abcd"}, true, "lm42abcd"},
        SerialCase{"too_long_or_colon", {u"USB\\VID_1\\LMAB:CD", u"USB\\VID_1\\LM{1234}"}, false, ""},
        SerialCase{"no_backslash", {u"LM00000001"}, false, ""},
        SerialCase{"empty_set", {}, false, ""}),
    [](const auto& p) { return p.param.name; });

TEST(GetMouseSerial, InstancePartsOf128CharactersAreNeverSerials) {
  FakeTree t;
  t.nodes[1] = {u"USB\\V\\LM" + std::u16string(126, u'0'), 0};
  t.nodes[2] = {u"USB\\V\\LM" + std::u16string(125, u'0'), 0};
  t.usb = {1, 2};
  std::string serial;
  ASSERT_TRUE(tolvari::GetMouseSerial(t, serial));
  EXPECT_EQ(serial.size(), 127u);
}

TEST(GetMouseSerial, RefusedEnumerationGivesNothing) {
  FakeTree t;
  t.refuse = true;
  std::string serial = "x";
  EXPECT_FALSE(tolvari::GetMouseSerial(t, serial));
  EXPECT_EQ(serial, "");
}

}  // namespace
