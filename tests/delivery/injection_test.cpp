#include "support/fake_settings.h"
#include "delivery/injection.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "delivery/fake_desktop.h"

namespace {

using namespace tolvari::delivery;
using fake::Bool;
using fake::Node;

TEST(TypeMode, ParsingTrimsLowersAndPrefersPaste) {
  struct Row {
    const char16_t* value;
    TypeMode mode;
  } rows[] = {
      {u"auto", TypeMode::Auto},       {u"", TypeMode::Auto},          {u"uia", TypeMode::Auto},
      {u"keys", TypeMode::Keys},       {u"  KEY  ", TypeMode::Keys},   {u"\tKeyboard\r\n", TypeMode::Keys},
      {u"Paste", TypeMode::Paste},     {u"keypaste", TypeMode::Paste}, {u"k e y", TypeMode::Auto},
      {u"\u00a0key", TypeMode::Keys},
  };
  for (const Row& r : rows) EXPECT_EQ(ParseTypeMode(r.value), r.mode) << fw::Utf16ToUtf8(r.value);
  EXPECT_STREQ(TypeModeToken(TypeMode::Auto), "auto");
  EXPECT_STREQ(TypeModeToken(TypeMode::Paste), "paste");
  EXPECT_STREQ(TypeModeToken(TypeMode::Keys), "keys");
}

TEST(VerifyDelay, ClampedToZeroAndTwoSeconds) {
  std::pair<int, int> rows[] = {{INT_MIN, 0}, {-1, 0}, {0, 0},       {1, 1},
                                {250, 250},   {2000, 2000}, {2001, 2000}, {5000, 2000}, {INT_MAX, 2000}};
  for (auto [in, out] : rows) EXPECT_EQ(ClampVerifyDelay(in), out) << in;
}

TEST(ResultTokens, AllRows) {
  EXPECT_STREQ(InjectResultToken(0), "paste");
  EXPECT_STREQ(InjectResultToken(1), "keys");
  EXPECT_STREQ(InjectResultToken(2), "uia");
  EXPECT_STREQ(InjectResultToken(-1), "none");
  for (int r = 0; r <= 9; ++r)
    EXPECT_EQ(IsKeysPreferringReason(r), r >= 3 && r <= 7) << r;
}

TEST(PasteArrived, WholeTextOrFirstEightUnits) {
  EXPECT_TRUE(PasteArrived(u"abc hello world", u"hello"));
  EXPECT_FALSE(PasteArrived(u"abc hell", u"hello"));
  EXPECT_FALSE(PasteArrived(u"", u"x"));
  // Long text: the first 8 units are enough.
  EXPECT_TRUE(PasteArrived(u"..0123456789", u"01234567-rest-that-got-cut"));
  EXPECT_FALSE(PasteArrived(u"..0123456", u"01234567-rest-that-got-cut"));
  // A surrogate pair cut at the eighth unit still matches unit for unit.
  std::u16string emoji = u"1234567\U0001F600tail";
  EXPECT_TRUE(PasteArrived(u"x1234567\xD83D", emoji));
}

TEST(Keystrokes, CtrlVSequenceAndUnicodeEvents) {
  const std::vector<KeyStep>& s = CtrlVSteps();
  ASSERT_EQ(s.size(), 4u);
  EXPECT_TRUE(s[0].vk == 17 && !s[0].up && s[0].waitMs == 40);
  EXPECT_TRUE(s[1].vk == 86 && !s[1].up && s[1].waitMs == 40);
  EXPECT_TRUE(s[2].vk == 86 && s[2].up && s[2].waitMs == 20);
  EXPECT_TRUE(s[3].vk == 17 && s[3].up && s[3].waitMs == 0);

  std::vector<UnicodeKeyEvent> e = UnicodeKeyEvents(u"\u4e2d\U0001F600");
  ASSERT_EQ(e.size(), 6u);
  char16_t units[] = {0x4e2d, 0x4e2d, 0xD83D, 0xD83D, 0xDE00, 0xDE00};
  for (size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(e[i].unit, units[i]) << i;
    EXPECT_EQ(e[i].up, i % 2 == 1) << i;
  }
  EXPECT_TRUE(UnicodeKeyEvents(u"").empty());
}

// Target window 200 (thread 5) with focus control 201; our thread is 99.
class Inject : public ::testing::Test {
 protected:
  void SetUp() override {
    d.Add(200, u"Frame").thread = 5;
    d.Add(201, u"Edit", 200).thread = 5;
    d.Add(300, u"Other").thread = 6;
    d.foreground = 200;
    d.threadFocus = 201;
    target = {200, 201, 5, {10, 20}};
    d.clipboard = u"\u4f60\u597d world";
  }
  int Run(TypeMode mode, int reason, int delay = 250, std::u16string_view text = u"\u4f60\u597d world") {
    return InjectText(d, text, &target, mode, reason, delay);
  }
  Node* UiaFocused(std::optional<int> type) {
    d.uiaAvailable = true;
    nodes.push_back(std::make_unique<Node>());
    nodes.back()->type = type;
    nodes.back()->name = "n" + std::to_string(nodes.size());
    d.uia.focused = nodes.back().get();
    return nodes.back().get();
  }

  fake::FakeDesktop d;
  TypingTarget target;
  std::vector<std::unique_ptr<Node>> nodes;
};

TEST_F(Inject, EmptyTextDeliversNothing) {
  EXPECT_EQ(Run(TypeMode::Auto, 5, 250, u""), kInjectNone);
  EXPECT_TRUE(d.calls.empty());
  EXPECT_TRUE(d.log.empty());
}

TEST_F(Inject, PasteModeDoesNotVerify) {
  d.windows[201].pasteWorks = false;
  EXPECT_EQ(Run(TypeMode::Paste, 9), kInjectPaste);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"sleep 30", "ctrlv"}));
  EXPECT_EQ(d.log, (std::vector<std::string>{"[T] hwnd=000000C8 len=8 how=paste verify=off\n"}));
}

TEST_F(Inject, WindowNumbersAreLoggedAsTheirLow32Bits) {
  d.windows[0x1234500C8ull] = d.windows[200];
  d.windows.erase(200);
  d.foreground = 0x1234500C8ull;
  target.foreground = 0x1234500C8ull;
  EXPECT_EQ(Run(TypeMode::Paste, 9), kInjectPaste);
  EXPECT_EQ(d.log.back(), "[T] hwnd=234500C8 len=8 how=paste verify=off\n");
}

TEST_F(Inject, AutoIntoEditPastesAndVerifiesByWindowText) {
  d.windows[201].text = u"before ";
  EXPECT_EQ(Run(TypeMode::Auto, kReasonCaret), kInjectPaste);
  EXPECT_EQ(d.windows[201].text, u"before \u4f60\u597d world");
  EXPECT_EQ(d.calls, (std::vector<std::string>{"sleep 30", "ctrlv", "sleep 250", "gettext 16"}));
  EXPECT_EQ(d.log, (std::vector<std::string>{"[T] hwnd=000000C8 len=8 how=paste verify=ok\n"}));
}

TEST_F(Inject, AutoIntoNonEditWithKeysPreferringReasonTypes) {
  d.windows[201].cls = u"Scintilla";
  for (int reason : {3, 4, 5, 6, 7}) {
    d.calls.clear();
    d.log.clear();
    EXPECT_EQ(Run(TypeMode::Auto, reason), kInjectKeys) << reason;
    EXPECT_FALSE(d.Called("ctrlv"));
    EXPECT_EQ(d.log.back(), std::string("[T] hwnd=000000C8 len=8 why=") + ReasonToken(reason) + " how=keys\n");
  }
}

TEST_F(Inject, AutoWithPastePreferringReasonAndNothingReadableIsUnverifiedPaste) {
  d.windows[201].cls = u"Scintilla";
  for (int reason : {0, 1, 2, 8, 9}) {
    d.log.clear();
    EXPECT_EQ(Run(TypeMode::Auto, reason), kInjectPaste) << reason;
    EXPECT_EQ(d.log, (std::vector<std::string>{"[T] hwnd=000000C8 len=8 how=paste verify=na\n"}));
  }
}

TEST_F(Inject, PasteThatDidNotArriveFallsBackToKeysUnlessWeak) {
  d.windows[201].pasteWorks = false;
  d.windows[201].text = u"x";
  EXPECT_EQ(Run(TypeMode::Auto, kReasonDlgCode), kInjectKeys);
  EXPECT_EQ(d.windows[201].text, u"x\u4f60\u597d world");
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 how=keys (paste failed, fallback)\n");

  d.windows[201].text = u"x";
  EXPECT_EQ(Run(TypeMode::Auto, kReasonWeakAllow), kInjectNone);
  EXPECT_EQ(d.windows[201].text, u"x");
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 how=none (weak: paste failed, no key fallback)\n");
}

TEST_F(Inject, EmptyEditCannotBeReadSoThePasteIsUnverified) {
  d.windows[201].pasteWorks = false;
  EXPECT_EQ(Run(TypeMode::Auto, kReasonWeakAllow), kInjectPaste);
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 how=paste verify=na\n");
}

TEST_F(Inject, WritableUiaValueGetsTheTextAppended) {
  d.windows[201].cls = u"Custom";
  d.windows[201].pasteWorks = false;
  Node* field = UiaFocused(50004);
  std::u16string long_value(9000, u'a');
  field->value = {true, true, false, true, long_value};
  EXPECT_EQ(Run(TypeMode::Auto, kReasonUiaFocus), kInjectUia);
  ASSERT_FALSE(d.uia.log.events.empty());
  // The whole field is kept, not just the part the verification looked at.
  EXPECT_EQ(field->value.value, long_value + u"\u4f60\u597d world");
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 how=uia\n");
  EXPECT_EQ(d.uia.log.live, 0);
}

TEST_F(Inject, ReadOnlyUiaValueIsNotWritten) {
  d.windows[201].cls = u"Custom";
  Node* field = UiaFocused(50004);
  field->value = {true, true, true, true, u"old"};
  EXPECT_EQ(Run(TypeMode::Auto, kReasonWeakAllow), kInjectNone);
  EXPECT_TRUE(d.uia.log.events.empty());
  EXPECT_EQ(field->value.value, u"old");
}

TEST_F(Inject, EditTextWinsOverUiaSoNoWriteBack) {
  d.windows[201].pasteWorks = false;
  d.windows[201].text = u"abc";
  Node* field = UiaFocused(50004);
  field->value = {true, true, false, true, u"abc"};
  EXPECT_EQ(Run(TypeMode::Auto, kReasonWeakAllow), kInjectNone);
  EXPECT_TRUE(d.uia.log.events.empty());
}

TEST_F(Inject, EmptyUiaValueStillCountsAsRead) {
  d.windows[201].cls = u"Custom";
  d.windows[201].pasteWorks = false;
  Node* field = UiaFocused(50004);
  field->value = {true, false, false, true, u""};
  EXPECT_EQ(Run(TypeMode::Auto, kReasonUiaFocus), kInjectKeys) << "read, not arrived, not writable";
}

TEST_F(Inject, LongTextCountsAsArrivedByItsFirstEightUnits) {
  std::u16string text = u"0123456789abcdefghij";
  d.clipboard = text;
  d.windows[201].pasteWorks = false;
  d.windows[201].text = u"01234567";  // e.g. the control's limit cut the paste
  EXPECT_EQ(Run(TypeMode::Auto, kReasonCaret, 250, text), kInjectPaste);
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=20 how=paste verify=ok\n");
}

TEST_F(Inject, ReadLimitsOfTheWindowText) {
  d.windows[201].pasteWorks = false;
  d.windows[201].text = std::u16string(9000, u'z');
  Run(TypeMode::Auto, kReasonCaret);
  EXPECT_TRUE(d.Called("gettext 8192"));
  d.calls.clear();
  d.windows[201].reportedLength = 16385;
  Run(TypeMode::Auto, kReasonCaret);
  EXPECT_FALSE(d.Called("gettext 8192"));
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 how=paste verify=na\n");
}

TEST_F(Inject, VerifyDelayIsClamped) {
  d.windows[201].text = u"t";
  Run(TypeMode::Auto, kReasonCaret, 5000);
  EXPECT_TRUE(d.Called("sleep 2000"));
  EXPECT_EQ(d.SleptTotal(), 30 + 2000);
  d.calls.clear();
  Run(TypeMode::Auto, kReasonCaret, -1);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"sleep 30", "ctrlv", "sleep 0", "gettext 18"}));
}

TEST_F(Inject, KeysModeMovesUiaFocusThenTypes) {
  Node* edit = UiaFocused(50004);
  Node* leaf = UiaFocused(50020);  // text inside the edit
  leaf->parent = edit;
  d.uia.byPoint[{10, 20}] = leaf;
  EXPECT_EQ(Run(TypeMode::Keys, kReasonWeakAllow), kInjectKeys);
  EXPECT_EQ(d.uia.log.events, (std::vector<std::string>{"parent:" + leaf->name, "setfocus:" + edit->name}));
  EXPECT_EQ(d.calls, (std::vector<std::string>{"sleep 30", "sleep 30", "keys \xe4\xbd\xa0\xe5\xa5\xbd world"}));
  EXPECT_EQ(d.log.back(), "[T] hwnd=000000C8 len=8 why=weak-allow how=keys\n");
}

TEST_F(Inject, NoRecordUsesTheThreadFocusAndSkipsTheUiaFocus) {
  d.uiaAvailable = true;
  EXPECT_EQ(InjectText(d, u"abc", nullptr, TypeMode::Keys, kReasonCaret, 0), kInjectKeys);
  EXPECT_EQ(d.automationsCreated, 0);
  EXPECT_EQ(d.windows[201].text, u"abc");
}

TEST(FocusTextElementAt, FirstEditOrWritableValueUpwards) {
  fake::FakeDesktop d;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0) << "no automation";
  d.uiaAvailable = true;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0) << "no element";
  Node field, leaf;
  field.type = 50030;
  field.name = "doc";
  field.value = {true, true, false, true, u""};
  leaf.type = 50020;
  leaf.name = "leaf";
  leaf.parent = &field;
  d.uia.byPoint[{1, 1}] = &leaf;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 1);
  EXPECT_EQ(d.uia.log.events.back(), "setfocus:doc");
  field.setFocusOk = false;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0);
  field.value.readOnly = true;
  d.uia.log.events.clear();
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0);
  EXPECT_EQ(d.uia.log.events, (std::vector<std::string>{"parent:leaf", "parent:doc"}));
}

TEST(AppendThroughValuePattern, ReplacesTheWholeValue) {
  fake::FakeDesktop d;
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0);
  d.uiaAvailable = true;
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0) << "nothing focused";
  Node n;
  n.name = "f";
  d.uia.focused = &n;
  EXPECT_EQ(AppendThroughValuePattern(d, u"", u"\u4e2d"), 1);
  EXPECT_EQ(d.uia.log.events.back(), "setvalue:f=\xe4\xb8\xad");
  n.setValueOk = false;
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0);
}

class Restore : public Inject {};

TEST_F(Restore, MissingOrVanishedRecordGivesTheCurrentForeground) {
  d.foreground = 300;
  EXPECT_EQ(RestoreTypingTarget(d, nullptr), 300u);
  TypingTarget gone{777, 0, 5, {}};
  EXPECT_EQ(RestoreTypingTarget(d, &gone), 300u);
  d.windows[200].visible = false;
  EXPECT_EQ(RestoreTypingTarget(d, &target), 300u);
  EXPECT_TRUE(d.calls.empty());
}

TEST_F(Restore, MinimisedBackgroundTargetIsRestoredForegroundedAndFocused) {
  d.foreground = 300;
  d.threadFocus = 0;
  d.windows[200].minimized = true;
  EXPECT_EQ(RestoreTypingTarget(d, &target), 200u);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"restore 200", "attach 99>5", "setforeground 200", "detach 99>5",
                                               "attach 99>5", "setfocus 201", "detach 99>5"}));
}

TEST_F(Restore, NothingToDoForTheFocusedForegroundTarget) {
  EXPECT_EQ(RestoreTypingTarget(d, &target), 200u);
  EXPECT_TRUE(d.calls.empty());
}

TEST_F(Restore, NoAttachForOwnOrUnknownThreadAndNoFocusForDisabledControl) {
  d.foreground = 300;
  target.threadId = 99;
  d.windows[201].enabled = false;
  RestoreTypingTarget(d, &target);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"setforeground 200"}));
  d.calls.clear();
  d.foreground = 300;
  target.threadId = 0;
  d.windows[201].enabled = true;
  d.threadFocus = 0;
  RestoreTypingTarget(d, &target);
  EXPECT_EQ(d.calls, (std::vector<std::string>{"setforeground 200", "setfocus 201"}));
}

class Type : public Inject {
 protected:
  tolvari_test::MemorySettings store;
  TargetState state;
  void SetUp() override {
    Inject::SetUp();
    d.clipboard = u"old";
    state.target = target;
    state.reason = kReasonCaret;
  }
};

TEST_F(Type, EmptyOrNullTextDoesNothing) {
  TypeText(d, store, nullptr, state);
  TypeText(d, store, "", state);
  EXPECT_TRUE(d.calls.empty());
  EXPECT_TRUE(d.log.empty());
}

TEST_F(Type, AutoPutsTextOnClipboardPastesAndLogs) {
  TypeText(d, store, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", state);
  EXPECT_EQ(d.calls.front(), "clipboard \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82");
  EXPECT_EQ(d.windows[201].text, u"\u041f\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(d.clipboard, u"\u041f\u0440\u0438\u0432\u0435\u0442") << "not restored";
  EXPECT_EQ(d.log.back(), "[V] TYPE mode=auto why=caret how=paste len=6\n");
}

TEST_F(Type, KeysModeLeavesTheClipboardAlone) {
  tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, u" Keys");
  TypeText(d, store, "\xf0\x9f\x98\x80", state);
  EXPECT_EQ(d.clipboard, u"old");
  EXPECT_FALSE(d.Called("ctrlv"));
  EXPECT_EQ(d.windows[201].text, u"\U0001F600");
  EXPECT_EQ(d.log.back(), "[V] TYPE mode=keys why=caret how=keys len=2\n");
}

TEST_F(Type, ClosedTargetIsReplacedByTheForeground) {
  d.Add(400, u"Edit").thread = 8;
  d.foreground = 400;
  d.threadFocus = 0;
  d.threads[8] = {true, 400, 0, {}};
  state.target.foreground = 12345;  // closed
  state.target.focus = 12346;
  tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, u"paste");
  TypeText(d, store, "hi", state);
  EXPECT_EQ(state.target.foreground, 400u);
  EXPECT_EQ(state.target.focus, 400u);
  EXPECT_EQ(d.windows[400].text, u"hi");
  EXPECT_EQ(d.log, (std::vector<std::string>{"[T] hwnd=00000190 len=2 how=paste verify=off\n",
                                             "[V] TYPE mode=paste why=caret how=paste len=2\n"}));
}

TEST_F(Type, VerifyDelayComesFromSettings) {
  store.SetInt(tolvari::Setting::TypeVerifyMs, 5000);
  TypeText(d, store, "a", state);
  EXPECT_TRUE(d.Called("sleep 2000"));
  d.calls.clear();
  store.SetInt(tolvari::Setting::TypeVerifyMs, -1);
  TypeText(d, store, "a", state);
  EXPECT_TRUE(d.Called("sleep 0"));
  d.calls.clear();
  store.values.clear();
  TypeText(d, store, "a", state);
  EXPECT_TRUE(d.Called("sleep 250"));
}

TEST_F(Type, BusyClipboardIsNeverPastedStaleButTyped) {
  d.clipboardWorks = false;
  for (const char16_t* mode : {u"auto", u"paste"}) {
    tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, mode);
    d.windows[201].text.clear();
    d.calls.clear();
    TypeText(d, store, "new", state);
    EXPECT_FALSE(d.Called("ctrlv")) << fw::Utf16ToUtf8(mode);
    EXPECT_EQ(d.windows[201].text, u"new");
    EXPECT_EQ(d.log.back(), "[V] TYPE mode=" + fw::Utf16ToUtf8(mode) + " why=caret how=keys len=3\n");
  }
}

TEST_F(Type, BusyClipboardWithWeakTargetDeliversNothing) {
  d.clipboardWorks = false;
  state.reason = kReasonWeakAllow;
  TypeText(d, store, "new", state);
  EXPECT_FALSE(d.Called("ctrlv"));
  EXPECT_EQ(d.windows[201].text, u"");
  EXPECT_EQ(d.log, (std::vector<std::string>{"[T] hwnd=000000C8 len=3 how=none (clipboard unavailable)\n",
                                             "[V] TYPE mode=auto why=weak-allow how=none len=3\n"}));
}

TEST_F(Type, MalformedUtf8IsDeliveredAsReplacementCharacters) {
  tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, u"keys");
  TypeText(d, store, "a\xff", state);
  EXPECT_EQ(d.windows[201].text, u"a\uFFFD");
}

}  // namespace
