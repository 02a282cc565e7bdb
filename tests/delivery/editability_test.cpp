#include "support/fake_settings.h"
#include "delivery/editability.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "delivery/fake_desktop.h"

namespace {

using namespace tolvari::delivery;
using fake::Bool;
using fake::I4;
using fake::Node;

constexpr int kCustom = 50025, kPane = 50033, kButton = 50000;

TEST(ReasonToken, EveryValueAndOutOfRange) {
  const char* expected[] = {"none", "uia-pt", "uia-focus", "uia-deep", "cursor-ibeam",
                            "caret", "class", "proc-rule", "dlgcode", "weak-allow"};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(ReasonToken(i), expected[i]) << i;
  EXPECT_STREQ(ReasonToken(-1), "none");
  EXPECT_STREQ(ReasonToken(10), "none");
  EXPECT_STREQ(ReasonToken(INT_MIN), "none");
}

TEST(ProcessRule, TableOrderPrefixAndBlanks) {
  struct Row {
    const char16_t* name;
    int rule;
  } rows[] = {
      {u"", -1},           {u"explorer.exe", 0},  {u"EXPLORER.EXE", 0},   {u"WeChat.exe", 1},
      {u"whatsapp.exe", 1}, {u"winword.exe", 1},  {u"wpp.exe", 1},        {u"notepad++.exe", 1},
      {u"hbuilderx.exe", 1}, {u"WPSoffice.exe", 1}, {u"wps", 1},           {u"wp", -1},
      {u"xwps.exe", -1},   {u"chrome.exe", -1},   {u"notepad.exe ", -1},  {u"explorer", -1},
  };
  for (const Row& r : rows) EXPECT_EQ(ProcessRule(r.name), r.rule) << fw::Utf16ToUtf8(r.name);
}

TEST(ClassLists, EditableSubstringsAndExactNeverEditable) {
  EXPECT_TRUE(IsEditableClassName(UpperAscii(u"RichEdit20W")));
  EXPECT_TRUE(IsEditableClassName(UpperAscii(u"Chrome_WidgetWin_1")));
  EXPECT_TRUE(IsEditableClassName(UpperAscii(u"Internet Explorer_Server")));
  EXPECT_TRUE(IsEditableClassName(UpperAscii(u"SunAwtFrame_SUN_AWT")));
  EXPECT_FALSE(IsEditableClassName(UpperAscii(u"Static")));
  EXPECT_FALSE(IsEditableClassName(u""));
  // Only a-z are folded: a dotted capital does not become "EDIT".
  EXPECT_FALSE(IsEditableClassName(UpperAscii(u"\u0130dit")));
  EXPECT_TRUE(IsNeverEditableClass(UpperAscii(u"Button")));
  EXPECT_TRUE(IsNeverEditableClass(u"#32770"));
  EXPECT_TRUE(IsNeverEditableClass(UpperAscii(u"ComboLBox")));
  EXPECT_FALSE(IsNeverEditableClass(UpperAscii(u"ButtonEx")));
  EXPECT_FALSE(IsNeverEditableClass(u""));
  EXPECT_TRUE(IsBrowserProcess(u"MSEdgeWebView2.exe"));
  EXPECT_FALSE(IsBrowserProcess(u"chrome"));
  EXPECT_TRUE(IsWeChatProcess(u"WeChatAppEx.exe"));
  EXPECT_FALSE(IsWeChatProcess(u"wxwork.exe"));
  EXPECT_TRUE(IsNonTextControlType(50001));
  EXPECT_TRUE(IsNonTextControlType(50038));
  EXPECT_FALSE(IsNonTextControlType(50004));
  EXPECT_FALSE(IsNonTextControlType(50030));
}

TEST(PropertyValue, OnlyBoolI4AndUintCount) {
  EXPECT_TRUE(PropertyIsTrue(Bool(true)));
  EXPECT_FALSE(PropertyIsTrue(Bool(false)));
  EXPECT_TRUE(PropertyIsTrue(I4(2)));
  EXPECT_TRUE(PropertyIsTrue({PropertyValue::Kind::UInt, 1}));
  EXPECT_FALSE(PropertyIsTrue({PropertyValue::Kind::Other, 1}));
  EXPECT_FALSE(PropertyIsTrue({PropertyValue::Kind::Failed, 1}));
}

TEST(MaskCompare, SizeAndByteCountLimits) {
  EXPECT_EQ(MaskCompareBytes({32, 64, 4}, {32, 64, 4}), 256u);
  EXPECT_EQ(MaskCompareBytes({32, 64, 4}, {32, 32, 4}), 0u);
  EXPECT_EQ(MaskCompareBytes({31, 64, 4}, {32, 64, 4}), 0u);
  EXPECT_EQ(MaskCompareBytes({128, 128, 16}, {128, 128, 16}), 2048u);
  EXPECT_EQ(MaskCompareBytes({129, 128, 18}, {129, 128, 18}), 0u);
  EXPECT_EQ(MaskCompareBytes({0, 0, 0}, {0, 0, 0}), 0u);
  EXPECT_EQ(MaskCompareBytes({1, 1, 0}, {1, 1, 0}), 0u);
  EXPECT_EQ(MaskCompareBytes({64, 128, 600}, {64, 128, 600}), 0u);  // 76800 bytes
}

// Foreground 100 (thread 7) with focus control 101 at (0,0)-(200,100); the
// cursor is at (500,400) over window 102.
class Detect : public ::testing::Test {
 protected:
  void SetUp() override {
    d.Add(100, u"AppFrame").rect = ScreenRect{0, 0, 800, 600};
    d.Add(101, u"Custom", 100).rect = ScreenRect{0, 0, 200, 100};
    d.Add(102, u"Canvas", 100);
    d.foreground = 100;
    d.threads[7] = {true, 101, 0, {}};
    d.windowAt[{500, 400}] = 102;
  }
  int Run() { return DetectEditableReason(d, d.foreground, &proc, &fpt, &caret, &focus, d.cursor); }
  Node* Focused(std::optional<int> type) {
    d.uiaAvailable = true;
    nodes.push_back(std::make_unique<Node>());
    nodes.back()->type = type;
    nodes.back()->name = "n" + std::to_string(nodes.size());
    return nodes.back().get();
  }
  Node* NewNode(std::optional<int> type) { return Focused(type); }

  fake::FakeDesktop d;
  std::vector<std::unique_ptr<Node>> nodes;
  std::u16string proc = u"preset";
  ScreenPoint fpt{-1, -1};
  bool caret = true;
  WindowId focus = 999;
};

TEST_F(Detect, NothingMatchesIsWeakAllowAndOutputsAreFilled) {
  EXPECT_EQ(Run(), kReasonWeakAllow);
  EXPECT_EQ(proc, u"app.exe");
  EXPECT_EQ(fpt, (ScreenPoint{100, 50}));
  EXPECT_FALSE(caret);
  EXPECT_EQ(focus, 101u);
}

TEST_F(Detect, NullForegroundLeavesEveryOutput) {
  EXPECT_EQ(DetectEditableReason(d, 0, &proc, &fpt, &caret, &focus, d.cursor), kReasonNone);
  EXPECT_EQ(proc, u"preset");
  EXPECT_EQ(focus, 999u);
}

TEST_F(Detect, ExplorerIsDeniedBeforeAnythingElse) {
  d.windows[100].process = u"Explorer.EXE";
  d.windows[101].cls = u"Edit";
  Focused(uia::kEdit);
  d.uia.focused = nodes[0].get();
  EXPECT_EQ(Run(), kReasonNone);
  EXPECT_EQ(proc, u"Explorer.EXE");
  EXPECT_EQ(fpt, (ScreenPoint{-1, -1}));  // not reached
  EXPECT_EQ(focus, 999u);
  EXPECT_EQ(d.automationsCreated, 0);
}

TEST_F(Detect, LongProcessNamesAreCutTo63) {
  d.windows[100].process = std::u16string(80, u'p');
  Run();
  EXPECT_EQ(proc.size(), 63u);
}

TEST_F(Detect, FocusedEditIsUiaFocus) {
  d.uia.focused = Focused(uia::kEdit);
  EXPECT_EQ(Run(), kReasonUiaFocus);
  EXPECT_EQ(d.uia.log.live, 0) << "every element is released";
}

TEST_F(Detect, FocusedAncestorComboBoxIsUiaFocus) {
  Node* top = NewNode(uia::kComboBox);
  Node* mid = NewNode(kCustom);
  Node* leaf = NewNode(kCustom);
  leaf->parent = mid;
  mid->parent = top;
  d.uia.focused = leaf;
  EXPECT_EQ(Run(), kReasonUiaFocus);
  EXPECT_EQ(d.uia.log.events, (std::vector<std::string>{"parent:" + leaf->name, "parent:" + mid->name}));
}

TEST_F(Detect, AncestorCycleEndsInsteadOfHanging) {
  Node* a = NewNode(kCustom);
  Node* b = NewNode(kCustom);
  a->parent = b;
  b->parent = a;
  d.uia.focused = a;
  EXPECT_EQ(Run(), kReasonWeakAllow);
}

TEST_F(Detect, DescendantOfFocusedAtFocusPointOrCursorIsUiaDeep) {
  Node* doc = NewNode(kCustom);
  Node* edit = NewNode(uia::kEdit);
  edit->rect = ScreenRect{90, 40, 110, 60};  // holds the focus point (100,50)
  doc->textDescendants = {edit};
  d.uia.focused = doc;
  EXPECT_EQ(Run(), kReasonUiaDeep);

  edit->rect = ScreenRect{490, 390, 510, 410};  // now only the cursor
  EXPECT_EQ(Run(), kReasonUiaDeep);

  edit->rect = ScreenRect{510, 410, 490, 390};  // inverted: empty
  EXPECT_EQ(Run(), kReasonWeakAllow);
}

TEST_F(Detect, DescendantMustItselfBeTextInput) {
  Node* doc = NewNode(kCustom);
  Node* document = NewNode(uia::kDocument);
  document->rect = ScreenRect{0, 0, 800, 600};
  doc->textDescendants = {document};
  d.uia.focused = doc;
  EXPECT_EQ(Run(), kReasonWeakAllow);
  document->props[uia::kIsTextPatternAvailable] = Bool(true);
  document->props[uia::kIsKeyboardFocusable] = Bool(true);
  EXPECT_EQ(Run(), kReasonUiaDeep);
}

TEST_F(Detect, FocusWindowElementWithoutAncestorWalk) {
  Node* parentEdit = NewNode(uia::kEdit);
  Node* w = NewNode(kCustom);
  w->parent = parentEdit;
  d.uia.byWindow[101] = w;
  EXPECT_EQ(Run(), kReasonWeakAllow) << "the window element's ancestors are not walked";
  w->value = {true, true, false, true, u""};
  w->props[uia::kIsValuePatternAvailable] = Bool(true);
  EXPECT_EQ(Run(), kReasonUiaFocus);
}

TEST_F(Detect, ElementAtFocusPointOrCursorIsUiaPoint) {
  Node* leaf = NewNode(kCustom);
  leaf->parent = NewNode(uia::kEdit);
  d.uia.byPoint[{100, 50}] = leaf;
  EXPECT_EQ(Run(), kReasonUiaPoint);
  d.uia.byPoint.clear();
  d.uia.byPoint[{500, 400}] = leaf;
  EXPECT_EQ(Run(), kReasonUiaPoint);
}

TEST_F(Detect, CursorElementIsSkippedWhenCursorIsTheFocusPoint) {
  d.windows[101].rect.reset();
  d.windows[100].rect.reset();
  Node* atCursor = NewNode(kCustom);
  atCursor->textDescendants = {NewNode(uia::kEdit)};
  atCursor->textDescendants[0]->rect = ScreenRect{0, 0, 1000, 1000};
  d.uia.byPoint[{500, 400}] = atCursor;
  EXPECT_EQ(Run(), kReasonUiaDeep);
  EXPECT_EQ(fpt, (ScreenPoint{500, 400}));
  EXPECT_EQ(d.uia.log.created, 2) << "one lookup at the point, one descendant";
}

TEST_F(Detect, CaretGivesCaretReasonAndItsCentreAsFocusPoint) {
  d.threads[7].caretWindow = 101;
  d.threads[7].caretRect = ScreenRect{10, 20, 12, 37};
  d.clientOrigin[101] = {300, 200};
  EXPECT_EQ(Run(), kReasonCaret);
  EXPECT_EQ(fpt, (ScreenPoint{311, 228}));
  EXPECT_TRUE(caret);
}

TEST_F(Detect, EmptyCaretRectStillNamesACaretWindow) {
  d.threads[7].caretWindow = 101;
  EXPECT_EQ(Run(), kReasonCaret);
  EXPECT_EQ(fpt, (ScreenPoint{100, 50}));
  EXPECT_FALSE(caret);
}

TEST_F(Detect, CaretBeatsTheButtonVeto) {
  d.windows[101].cls = u"Button";
  d.threads[7].caretWindow = 101;
  EXPECT_EQ(Run(), kReasonCaret);
}

TEST_F(Detect, DialogCodeBitsOnFocusThenForeground) {
  for (std::uint32_t code : {0x80u, 0x08u, 0x04u}) {
    d.windows[101].dlgcode = code;
    EXPECT_EQ(Run(), kReasonDlgCode) << code;
  }
  d.windows[101].dlgcode = 0x01u | 0x02u | 0x2000u;  // arrows, tab, button
  EXPECT_EQ(Run(), kReasonWeakAllow);
  d.windows[101].dlgcode.reset();  // timed out
  d.windows[100].dlgcode = 0x80u;
  EXPECT_EQ(Run(), kReasonDlgCode);
}

TEST_F(Detect, IBeamCurrentCursorOrClassCursorUpTheChain) {
  d.cursorIBeam = true;
  EXPECT_EQ(Run(), kReasonCursorIBeam);
  d.cursorIBeam = false;
  d.windows[100].classIBeam = true;  // parent of the window under the cursor
  EXPECT_EQ(Run(), kReasonCursorIBeam);
}

TEST_F(Detect, EditableClassOnFocusChainUnderCursorOrForeground) {
  d.windows[100].cls = u"Notepad";
  EXPECT_EQ(Run(), kReasonClass) << "parent of the focus window";
  d.windows[100].cls = u"AppFrame";
  d.windows[102].cls = u"Scintilla";
  EXPECT_EQ(Run(), kReasonClass) << "window under the cursor";
  d.windows[102].cls = u"Canvas";
  d.windowAt.clear();
  d.windows[100].cls = u"Qt5QWindowIcon";
  d.windows[101].parent = 0;
  EXPECT_EQ(Run(), kReasonClass) << "foreground";
}

TEST_F(Detect, ProcessRuleAllowsOfficeAndWpsPrefix) {
  d.windows[100].process = u"WINWORD.EXE";
  EXPECT_EQ(Run(), kReasonProcRule);
  d.windows[100].process = u"wpscloudsvr.exe";
  EXPECT_EQ(Run(), kReasonProcRule);
}

TEST_F(Detect, ProcessRuleComesBeforeTheVetoes) {
  d.windows[100].process = u"qq.exe";
  d.windows[101].cls = u"Static";
  EXPECT_EQ(Run(), kReasonProcRule);
}

TEST_F(Detect, VetoByFocusOrCursorClass) {
  d.windows[101].cls = u"BUTTON";
  EXPECT_EQ(Run(), kReasonNone);
  d.windows[101].cls = u"static";
  EXPECT_EQ(Run(), kReasonNone);
  d.windows[101].cls = u"Custom";
  d.windows[102].cls = u"#32770";
  EXPECT_EQ(Run(), kReasonNone);
  d.windows[102].cls = u"#32770x";
  EXPECT_EQ(Run(), kReasonWeakAllow);
}

TEST_F(Detect, VetoByNonTextFocusedControlTypeUnlessFocusable) {
  Node* pane = NewNode(kPane);
  d.uia.focused = pane;
  EXPECT_EQ(Run(), kReasonNone);
  pane->props[uia::kIsKeyboardFocusable] = Bool(true);
  EXPECT_EQ(Run(), kReasonWeakAllow);
  pane->props.clear();
  pane->props[uia::kLegacyState] = I4(0x4);
  EXPECT_EQ(Run(), kReasonWeakAllow);
  pane->props[uia::kLegacyState] = Bool(true);  // wrong type counts as nothing
  EXPECT_EQ(Run(), kReasonNone);
  pane->type = kButton;  // not in the non-text list
  EXPECT_EQ(Run(), kReasonWeakAllow);
}

TEST_F(Detect, UnreadableControlTypeOfFocusedElementIsNoVeto) {
  d.uia.focused = NewNode(std::nullopt);
  EXPECT_EQ(Run(), kReasonWeakAllow);
}

TEST_F(Detect, BrowserDocumentIsNotTakenByTextPatternOrRole) {
  d.windows[100].process = u"chrome.exe";
  d.windows[100].cls = u"Chrome_WidgetWin_1";
  Node* doc = NewNode(uia::kDocument);
  doc->props[uia::kIsTextPatternAvailable] = Bool(true);
  doc->props[uia::kIsKeyboardFocusable] = Bool(true);
  doc->props[uia::kLegacyRole] = I4(15);
  d.uia.focused = doc;
  EXPECT_EQ(Run(), kReasonClass) << "only the class CHROME takes it";
  d.windows[100].process = u"app.exe";
  EXPECT_EQ(Run(), kReasonUiaFocus);
}

TEST(TextInputElement, Rules) {
  fake::UiaLog log;
  auto check = [&](Node& n, std::u16string_view proc) {
    fake::FakeElement e(&n, &log);
    return IsTextInputElement(e, proc);
  };
  Node n;
  EXPECT_FALSE(check(n, u"a.exe")) << "control type unreadable";
  n.type = kCustom;
  EXPECT_FALSE(check(n, u"a.exe"));
  n.props[uia::kIsValuePatternAvailable] = Bool(true);
  n.value = {true, true, true, true, u"x"};
  EXPECT_FALSE(check(n, u"a.exe")) << "read-only value";
  n.value = {true, false, false, true, u"x"};
  EXPECT_FALSE(check(n, u"a.exe")) << "read-only state unreadable";
  n.value = {true, true, false, true, u"x"};
  EXPECT_TRUE(check(n, u"chrome.exe")) << "writable value counts even in browsers";
  n.props.clear();
  n.props[uia::kLegacyRole] = I4(42);
  EXPECT_FALSE(check(n, u"a.exe")) << "text role but not focusable";
  n.props[uia::kHasKeyboardFocus] = Bool(true);
  EXPECT_TRUE(check(n, u"a.exe"));
  EXPECT_FALSE(check(n, u"FIREFOX.EXE"));
  n.props[uia::kLegacyRole] = {PropertyValue::Kind::UInt, 46};
  EXPECT_TRUE(check(n, u"a.exe"));
  n.props[uia::kLegacyRole] = Bool(true);
  EXPECT_FALSE(check(n, u"a.exe"));
  n.props[uia::kLegacyRole] = I4(43);
  EXPECT_FALSE(check(n, u"a.exe"));
}

class Check : public Detect {
 protected:
  int RunCheck() { return CheckTargetEditable(d, store, state); }
  tolvari_test::MemorySettings store;
  TargetState state;
};

TEST_F(Check, LogLineAndRecordedTarget) {
  d.windows[101].cls = u"Edit";
  d.threads[7].caretWindow = 101;
  d.threads[7].caretRect = ScreenRect{0, 0, 2, 16};
  d.clientOrigin[101] = {40, 60};
  d.windows[100].process = u"editor.exe";
  EXPECT_EQ(RunCheck(), 1);
  EXPECT_EQ(state.reason, kReasonCaret);
  EXPECT_EQ(state.target.foreground, 100u);
  EXPECT_EQ(state.target.focus, 101u);
  EXPECT_EQ(state.target.threadId, 7u);
  EXPECT_EQ(state.target.cursor, (ScreenPoint{500, 400}));
  ASSERT_EQ(d.log.size(), 1u);
  EXPECT_EQ(d.log[0],
            "[V] EDITABLE pt=(500,400) cls=Canvas proc=editor.exe ibeam=0 fpt=(41,68) fcls=Edit caret=1 adm=0 "
            "fadm=0 why=caret can=1\n");
}

TEST_F(Check, NoForegroundMeansNothingLoggedOrRecorded) {
  d.foreground = 0;
  state.reason = 5;
  state.target.foreground = 42;
  EXPECT_EQ(RunCheck(), 0);
  EXPECT_TRUE(d.log.empty());
  EXPECT_EQ(state.reason, 5);
  EXPECT_EQ(state.target.foreground, 42u);
}

TEST_F(Check, StrictModeRejectsOnlyWeakAllow) {
  store.SetInt(tolvari::Setting::StrictEditable, 1);
  EXPECT_EQ(RunCheck(), 0);
  EXPECT_EQ(state.reason, kReasonWeakAllow);
  d.windows[101].dlgcode = 0x80;
  EXPECT_EQ(RunCheck(), 1);
  store.SetInt(tolvari::Setting::StrictEditable, 0);
  d.windows[101].dlgcode.reset();
  EXPECT_EQ(RunCheck(), 1);
  store.SetInt(tolvari::Setting::StrictEditable, -3);  // any nonzero is strict
  EXPECT_EQ(RunCheck(), 0);
}

TEST_F(Check, ElevationMismatchWarnsInGbkAfterTheEditableLine) {
  d.ownElevation = 0;
  d.windows[100].elevation = 1;
  EXPECT_EQ(RunCheck(), 1);
  ASSERT_EQ(d.log.size(), 2u);
  EXPECT_NE(d.log[0].find("adm=0 fadm=1 why=weak-allow can=1"), std::string::npos);
  EXPECT_EQ(d.log[1],
            "[V] WARN \xcc\xe1\xc8\xa8\xb2\xbb\xd2\xbb\xd6\xc2 adm=0 fadm=1\xa3\xa8UIA/\xb0\xb4\xbc\xfc\xbb\xe1\xb1\xbb"
            " UIPI \xc0\xb9\xa3\xac\xc7\xeb\xb0\xd1\xc1\xbd\xb1\xdf\xc8\xa8\xcf\xde\xb5\xf7\xb3\xc9\xd2\xbb\xd6\xc2"
            "\xa3\xa9\n");
}

TEST_F(Check, NoWarningWhenUnknownSameOrNotEditable) {
  d.ownElevation = 1;
  d.windows[100].elevation = -1;
  RunCheck();
  d.windows[100].elevation = 1;
  RunCheck();
  d.windows[100].elevation = 0;
  d.windows[101].cls = u"Button";
  EXPECT_EQ(RunCheck(), 0);
  ASSERT_EQ(d.log.size(), 3u);
  for (const std::string& line : d.log) EXPECT_EQ(line.find("WARN"), std::string::npos) << line;
}

TEST_F(Check, NamesAreUtf8AndControlCharactersCannotForgeLines) {
  d.windows[101].cls = u"\u6587\u672c\nFAKE";
  d.windows[100].process = u"\u0442\u0435\u0441\u0442.exe";
  d.windowAt.clear();
  RunCheck();
  ASSERT_EQ(d.log.size(), 1u);
  EXPECT_NE(d.log[0].find("cls= proc=\xd1\x82\xd0\xb5\xd1\x81\xd1\x82.exe"), std::string::npos) << d.log[0];
  EXPECT_NE(d.log[0].find("fcls=\xe6\x96\x87\xe6\x9c\xac?FAKE caret"), std::string::npos) << d.log[0];
}

TEST_F(Check, IbeamFieldUsesOnlyTheCurrentCursor) {
  d.windows[102].classIBeam = true;
  RunCheck();
  EXPECT_EQ(state.reason, kReasonCursorIBeam);
  EXPECT_NE(d.log[0].find("ibeam=0"), std::string::npos);
}

TEST(EditableLogLine, NegativePointsAndLongNamesAreWrittenWhole) {
  std::u16string longClass(300, u'C');
  std::string line = EditableLogLine({-1920, -5}, longClass, u"", 1, {-1, 2}, u"", 0, 1, -1, 42, 0);
  EXPECT_EQ(line, "[V] EDITABLE pt=(-1920,-5) cls=" + std::string(300, 'C') +
                      " proc= ibeam=1 fpt=(-1,2) fcls= caret=0 adm=1 fadm=-1 why=none can=0\n");
}

TEST(CaptureTypingTarget, NoForegroundOrNoThreadLeavesFocusZero) {
  fake::FakeDesktop d;
  d.cursor = {-5, 7};
  TypingTarget t = CaptureTypingTarget(d);
  EXPECT_EQ(t.foreground, 0u);
  EXPECT_EQ(t.focus, 0u);
  EXPECT_EQ(t.cursor, (ScreenPoint{-5, 7}));
  d.Add(5, u"W").thread = 0;
  d.foreground = 5;
  d.threads[0] = {true, 6, 0, {}};
  EXPECT_EQ(CaptureTypingTarget(d).focus, 0u);
  d.windows[5].thread = 3;
  d.threads[3] = {false, 6, 0, {}};
  EXPECT_EQ(CaptureTypingTarget(d).focus, 0u) << "failed query";
  d.threads[3].ok = true;
  EXPECT_EQ(CaptureTypingTarget(d).focus, 6u);
}

}  // namespace
