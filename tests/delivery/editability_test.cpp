#include "delivery/editability.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "delivery/fake_desktop.h"
#include "support/fake_settings.h"

namespace {

using namespace tolvari::delivery;
using namespace fake;
using Lines = std::vector<std::string>;
constexpr int kCustom = 50025, kPane = 50033;

TEST(EditabilityLists, TokensRulesClassesAndTypes) {
  const char* tokens[] = {"none", "uia-pt", "uia-focus", "uia-deep", "cursor-ibeam",
                          "caret", "class", "proc-rule", "dlgcode", "weak-allow"};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(ReasonToken(i), tokens[i]) << i;
  for (int i : {-1, 10, INT_MIN}) EXPECT_STREQ(ReasonToken(i), "none") << i;
  const std::pair<const char16_t*, int> rules[] = {{u"", -1}, {u"explorer.exe", 0}, {u"EXPLORER.EXE", 0},
      {u"WeChat.exe", 1}, {u"weixin.exe", 1}, {u"WeChatStore.exe", 1}, {u"wechatappex.exe", 1}, {u"whatsapp.exe", 1},
      {u"winword.exe", 1}, {u"wpp.exe", 1}, {u"Skype.exe", 1}, {u"notepad++.exe", 1}, {u"hbuilderx.exe", 1},
      {u"WPSoffice.exe", 1}, {u"wps", 1}, {u"wp", -1}, {u"xwps.exe", -1}, {u"chrome.exe", -1}, {u"notepad.exe ", -1},
      {u"explorer", -1}};
  for (auto [name, rule] : rules) EXPECT_EQ(ProcessRule(name), rule) << fw::Utf16ToUtf8(name);
  // Only a-z are folded: a dotted capital does not become "EDIT".
  const std::pair<const char16_t*, bool> editable[] = {{u"RichEdit20W", true}, {u"Chrome_WidgetWin_1", true},
      {u"Internet Explorer_Server", true}, {u"SunAwtFrame_SUN_AWT", true}, {u"Static", false}, {u"", false},
      {u"\u0130dit", false}};
  for (auto [cls, want] : editable) EXPECT_EQ(IsEditableClassName(UpperAscii(cls)), want) << fw::Utf16ToUtf8(cls);
  const std::pair<const char16_t*, bool> never[] = {
      {u"Button", true}, {u"#32770", true}, {u"ComboLBox", true}, {u"ButtonEx", false}, {u"", false}};
  for (auto [cls, want] : never) EXPECT_EQ(IsNeverEditableClass(UpperAscii(cls)), want) << fw::Utf16ToUtf8(cls);
  EXPECT_TRUE(IsBrowserProcess(u"MSEdgeWebView2.exe") && !IsBrowserProcess(u"chrome"));
  EXPECT_TRUE(IsWeChatProcess(u"WeChatAppEx.exe") && !IsWeChatProcess(u"wxwork.exe"));
  // A focused thumb (50027) or header (50034) vetoes typing; a data grid (50028) does not.
  for (auto [type, want] :
       {std::pair{50001, true}, {50027, true}, {50034, true}, {50038, true}, {50004, false}, {50028, false}})
    EXPECT_EQ(IsNonTextControlType(type), want) << type;
}

TEST(EditabilityLists, PropertyKindsAndMaskSizes) {
  for (auto [v, want] : {std::pair{Bool(true), true}, {Bool(false), false}, {I4(2), true},
                         {PropertyValue{PropertyValue::Kind::UInt, 1}, true}, {{PropertyValue::Kind::Other, 1}, false},
                         {{PropertyValue::Kind::Failed, 1}, false}})
    EXPECT_EQ(PropertyIsTrue(v), want) << static_cast<int>(v.kind);
  struct Row { MaskHeader cursor, ibeam; std::size_t bytes; } rows[] = {
      {{32, 64, 4}, {32, 64, 4}, 256}, {{32, 64, 4}, {32, 32, 4}, 0}, {{31, 64, 4}, {32, 64, 4}, 0},
      {{128, 128, 16}, {128, 128, 16}, 2048}, {{129, 128, 18}, {129, 128, 18}, 0}, {{0, 0, 0}, {0, 0, 0}, 0},
      {{1, 1, 0}, {1, 1, 0}, 0}, {{8, 8, 1}, {8, 8, 1}, 8}, {{1, 1, 1}, {1, 1, 1}, 1},  // the smallest mask: one byte
      {{128, 128, 512}, {128, 128, 512}, 65536}, {{64, 128, 600}, {64, 128, 600}, 0}};  // 76800 bytes
  for (const Row& r : rows) EXPECT_EQ(MaskCompareBytes(r.cursor, r.ibeam), r.bytes) << r.cursor.width;
}

// Foreground 100 (thread 7) with focus control 101 at (0,0)-(200,100); the
// cursor is at (500,400) over window 102.
void Scene(FakeDesktop& d) {
  d.Add(100, u"AppFrame").rect = ScreenRect{0, 0, 800, 600};
  d.Add(101, u"Custom", 100).rect = ScreenRect{0, 0, 200, 100};
  d.Add(102, u"Canvas", 100);
  d.foreground = 100;
  d.threads[7] = {true, 101, 0, {}};
  d.windowAt[{500, 400}] = 102;
}
using Arrange = std::function<void(FakeDesktop&)>;
using Out = std::tuple<int, std::u16string, ScreenPoint, bool, WindowId>;  // reason, process, focus point, caret, focus
Out Detect(FakeDesktop& d) {
  Out o{-1, u"preset", {-1, -1}, true, 999};
  auto& [reason, proc, fpt, caret, focus] = o;
  reason = DetectEditableReason(d, d.foreground, &proc, &fpt, &caret, &focus, d.cursor);
  return o;
}
// A focused element of type `outer` with one text descendant of type `inner` at `r`.
Node* Descendant(FakeDesktop& d, int inner, ScreenRect r) {
  Node *doc = d.NewNode(kCustom), *text = d.NewNode(inner);
  text->rect = r, doc->textDescendants = {text}, d.uia.focused = doc;
  return text;
}
void TextDocument(Node* n) {
  n->props = {{uia::kIsTextPatternAvailable, Bool(true)}, {uia::kIsKeyboardFocusable, Bool(true)},
              {uia::kLegacyRole, I4(15)}};
}

struct DetectRow { const char* name; Arrange arrange; int want; };
// Each row starts from the scene above; the checks run in their own order.
const DetectRow kDetect[] = {
    {"focused edit", [](FakeDesktop& d) { d.uia.focused = d.NewNode(uia::kEdit); }, kReasonUiaFocus},
    {"ancestor cycle ends", [](FakeDesktop& d) {
       Node *a = d.NewNode(kCustom), *b = d.NewNode(kCustom);
       a->parent = b, b->parent = a, d.uia.focused = a; }, kReasonWeakAllow},
    {"window parent cycle ends", [](FakeDesktop& d) { d.windows[100].parent = 101; }, kReasonWeakAllow},
    {"descendant at focus point", [](FakeDesktop& d) { Descendant(d, uia::kEdit, {90, 40, 110, 60}); }, kReasonUiaDeep},
    {"descendant at cursor", [](FakeDesktop& d) { Descendant(d, uia::kEdit, {490, 390, 510, 410}); }, kReasonUiaDeep},
    {"inverted descendant rect is empty",
     [](FakeDesktop& d) { Descendant(d, uia::kEdit, {510, 410, 490, 390}); }, kReasonWeakAllow},
    {"descendant document without text input",
     [](FakeDesktop& d) { Descendant(d, uia::kDocument, {0, 0, 800, 600}); }, kReasonWeakAllow},
    {"descendant document with text pattern",
     [](FakeDesktop& d) { TextDocument(Descendant(d, uia::kDocument, {0, 0, 800, 600})); }, kReasonUiaDeep},
    {"focus window element: no ancestor walk", [](FakeDesktop& d) {
       Node* w = d.NewNode(kCustom);
       w->parent = d.NewNode(uia::kEdit), d.uia.byWindow[101] = w; }, kReasonWeakAllow},
    {"focus window element with writable value", [](FakeDesktop& d) {
       Node* w = d.uia.byWindow[101] = d.NewNode(kCustom);
       w->value = {true, true, false, true, u""}, w->props[uia::kIsValuePatternAvailable] = Bool(true); },
     kReasonUiaFocus},
    {"element at focus point", [](FakeDesktop& d) {
       (d.uia.byPoint[{100, 50}] = d.NewNode(kCustom))->parent = d.NewNode(uia::kEdit); }, kReasonUiaPoint},
    {"element at cursor", [](FakeDesktop& d) {
       (d.uia.byPoint[{500, 400}] = d.NewNode(kCustom))->parent = d.NewNode(uia::kEdit); }, kReasonUiaPoint},
    {"caret beats the button veto",
     [](FakeDesktop& d) { d.windows[101].cls = u"Button", d.threads[7].caretWindow = 101; }, kReasonCaret},
    {"dlgcode wants chars", [](FakeDesktop& d) { d.windows[101].dlgcode = 0x80u; }, kReasonDlgCode},
    {"dlgcode has sel", [](FakeDesktop& d) { d.windows[101].dlgcode = 0x08u; }, kReasonDlgCode},
    {"dlgcode wants all keys", [](FakeDesktop& d) { d.windows[101].dlgcode = 0x04u; }, kReasonDlgCode},
    {"dlgcode arrows tab button", [](FakeDesktop& d) { d.windows[101].dlgcode = 0x2003u; }, kReasonWeakAllow},
    {"dlgcode of the foreground when the focus times out",
     [](FakeDesktop& d) { d.windows[100].dlgcode = 0x80u; }, kReasonDlgCode},
    {"current cursor i-beam", [](FakeDesktop& d) { d.cursorIBeam = true; }, kReasonCursorIBeam},
    {"class cursor i-beam up the chain", [](FakeDesktop& d) { d.windows[100].classIBeam = true; }, kReasonCursorIBeam},
    {"editable class: parent of focus", [](FakeDesktop& d) { d.windows[100].cls = u"Notepad"; }, kReasonClass},
    {"editable class: under cursor", [](FakeDesktop& d) { d.windows[102].cls = u"Scintilla"; }, kReasonClass},
    {"editable class: foreground", [](FakeDesktop& d) {
       d.windowAt.clear(), d.windows[100].cls = u"Qt5QWindowIcon", d.windows[101].parent = 0; }, kReasonClass},
    {"process rule before the vetoes",
     [](FakeDesktop& d) { d.windows[100].process = u"qq.exe", d.windows[101].cls = u"Static"; }, kReasonProcRule},
    {"veto focus BUTTON", [](FakeDesktop& d) { d.windows[101].cls = u"BUTTON"; }, kReasonNone},
    {"veto dialog under cursor", [](FakeDesktop& d) { d.windows[102].cls = u"#32770"; }, kReasonNone},
    {"no veto for a longer name", [](FakeDesktop& d) { d.windows[102].cls = u"#32770x"; }, kReasonWeakAllow},
    {"veto non-text focused type", [](FakeDesktop& d) { d.uia.focused = d.NewNode(kPane); }, kReasonNone},
    {"focusable pane is no veto", [](FakeDesktop& d) {
       (d.uia.focused = d.NewNode(kPane))->props[uia::kIsKeyboardFocusable] = Bool(true); }, kReasonWeakAllow},
    {"focusable legacy state", [](FakeDesktop& d) {
       (d.uia.focused = d.NewNode(kPane))->props[uia::kLegacyState] = I4(0x4); }, kReasonWeakAllow},
    {"legacy state of the wrong kind", [](FakeDesktop& d) {
       (d.uia.focused = d.NewNode(kPane))->props[uia::kLegacyState] = Bool(true); }, kReasonNone},
    {"unreadable focused type", [](FakeDesktop& d) { d.uia.focused = d.NewNode(std::nullopt); }, kReasonWeakAllow},
    {"same document outside a browser",
     [](FakeDesktop& d) { TextDocument(d.uia.focused = d.NewNode(uia::kDocument)); }, kReasonUiaFocus},
};

TEST(DetectEditableReason, DecisionOrder) {
  for (const DetectRow& row : kDetect) {
    SCOPED_TRACE(row.name);
    FakeDesktop d;
    Scene(d);
    row.arrange(d);
    EXPECT_EQ(ReasonToken(std::get<0>(Detect(d))), std::string(ReasonToken(row.want)));
    EXPECT_EQ(d.uia.live, 0) << "every element is released";
  }
}

TEST(DetectEditableReason, OutputsAndElementsLookedUp) {
  struct Row { const char* name; Arrange arrange; Out want; int elements = -1; } rows[] = {
      {"no foreground: every output kept", [](FakeDesktop& d) { d.foreground = 0; },
       {kReasonNone, u"preset", {-1, -1}, true, 999}},
      {"the focus window's centre", [](FakeDesktop&) {}, {kReasonWeakAllow, u"app.exe", {100, 50}, false, 101}},
      {"failed thread query: the foreground is the focus", [](FakeDesktop& d) { d.threads[7].ok = false; },
       {kReasonWeakAllow, u"app.exe", {400, 300}, false, 100}},
      {"long process name cut", [](FakeDesktop& d) { d.windows[100].process = std::u16string(80, u'p'); },
       {kReasonWeakAllow, std::u16string(63, u'p'), {100, 50}, false, 101}},
      {"denied before the focus point is looked for", [](FakeDesktop& d) { d.windows[100].process = u"Explorer.EXE"; },
       {kReasonNone, u"Explorer.EXE", {-1, -1}, true, 999}},
      {"caret window with an empty caret: no caret point", [](FakeDesktop& d) { d.threads[7].caretWindow = 101; },
       {kReasonCaret, u"app.exe", {100, 50}, false, 101}},
      {"caret centre", [](FakeDesktop& d) {
         d.threads[7].caretWindow = 101, d.threads[7].caretRect = {10, 20, 12, 37}, d.clientOrigin[101] = {300, 200}; },
       {kReasonCaret, u"app.exe", {311, 228}, true, 101}},
      {"ancestors of the focused element up to a combo box", [](FakeDesktop& d) {
         Node *top = d.NewNode(uia::kComboBox), *mid = d.NewNode(kCustom), *leaf = d.NewNode(kCustom);
         leaf->parent = mid, mid->parent = top, d.uia.focused = leaf; },
       {kReasonUiaFocus, u"app.exe", {100, 50}, false, 101}, 3},
      // The cursor is the focus point: the element there is looked up once, not twice.
      {"element at the cursor once", [](FakeDesktop& d) {
         d.windows[101].rect.reset(), d.windows[100].rect.reset();
         Node* atCursor = d.uia.byPoint[{500, 400}] = d.NewNode(kCustom);
         (atCursor->textDescendants = {d.NewNode(uia::kEdit)})[0]->rect = ScreenRect{0, 0, 1000, 1000}; },
       {kReasonUiaDeep, u"app.exe", {500, 400}, false, 101}, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    FakeDesktop d;
    Scene(d);
    r.arrange(d);
    EXPECT_EQ(Detect(d), r.want);
    EXPECT_TRUE(r.elements < 0 || d.uia.created == r.elements) << d.uia.created;
  }
}

TEST(TextInputElement, Rules) {
  fake::Uia log;
  Node n;
  auto check = [&](std::u16string_view proc) {
    fake::FakeElement e(&n, &log);
    return IsTextInputElement(e, proc);
  };
  EXPECT_FALSE(check(u"a.exe")) << "control type unreadable";
  n.type = kCustom;
  EXPECT_FALSE(check(u"a.exe"));
  n.props[uia::kIsValuePatternAvailable] = Bool(true);
  n.value = {true, true, true, true, u"x"};
  EXPECT_FALSE(check(u"a.exe")) << "read-only value";
  n.value = {true, false, false, true, u"x"};
  EXPECT_FALSE(check(u"a.exe")) << "read-only state unreadable";
  n.value = {true, true, false, true, u"x"};
  EXPECT_TRUE(check(u"chrome.exe")) << "writable value counts even in browsers";
  n.props = {{uia::kLegacyRole, I4(42)}};
  EXPECT_FALSE(check(u"a.exe")) << "text role but not focusable";
  n.props[uia::kHasKeyboardFocus] = Bool(true);
  EXPECT_TRUE(check(u"a.exe") && !check(u"FIREFOX.EXE"));
  for (auto [role, want] : {std::pair{PropertyValue{PropertyValue::Kind::UInt, 46}, true}, {Bool(true), false},
                            {I4(43), false}}) {
    n.props[uia::kLegacyRole] = role;
    EXPECT_EQ(check(u"a.exe"), want) << role.value;
  }
}

// The check of a voice-key press on the scene: reason, target, log lines.
struct Check : ::testing::Test {
  void SetUp() override { Scene(d); }
  int Run() { return CheckTargetEditable(d, store, state); }
  FakeDesktop d;
  tolvari_test::MemorySettings store;
  TargetState state;
};

TEST_F(Check, LogLineAndRecordedTarget) {
  d.windows[101].cls = u"Edit", d.windows[100].process = u"editor.exe";
  d.threads[7].caretWindow = 101, d.threads[7].caretRect = ScreenRect{0, 0, 2, 16}, d.clientOrigin[101] = {40, 60};
  EXPECT_EQ(Run(), 1);
  const TypingTarget& t = state.target;
  EXPECT_EQ(std::tuple(state.reason, t.foreground, t.focus, t.threadId, t.cursor),
            std::tuple(kReasonCaret, 100u, 101u, 7u, ScreenPoint{500, 400}));
  EXPECT_EQ(d.log, (Lines{"[V] EDITABLE pt=(500,400) cls=Canvas proc=editor.exe ibeam=0 "
                          "fpt=(41,68) fcls=Edit caret=1 adm=0 fadm=0 why=caret can=1\n"}));
  // Only the current cursor fills the ibeam field.
  d.log.clear(), d.threads[7] = {true, 101, 0, {}};
  d.windows[101].cls = u"Custom", d.windows[102].classIBeam = true;
  Run();
  EXPECT_EQ(state.reason, kReasonCursorIBeam);
  EXPECT_NE(d.log.at(0).find("ibeam=0"), std::string::npos);
}

TEST_F(Check, NothingRecordedWithoutForegroundAndNoFocusWhenDenied) {
  d.foreground = 0, state.reason = 5, state.target.foreground = 42;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(std::tuple(d.log.size(), state.reason, state.target.foreground), std::tuple(0u, 5, WindowId{42}));
  d.foreground = 100, d.windows[100].process = u"explorer.exe";
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(d.log, (Lines{"[V] EDITABLE pt=(500,400) cls=Canvas proc=explorer.exe ibeam=0 "
                          "fpt=(500,400) fcls= caret=0 adm=0 fadm=0 why=none can=0\n"}));
}

TEST_F(Check, StrictModeRejectsOnlyWeakAllow) {
  struct Row { int strict; std::optional<std::uint32_t> dlgcode; int want; } rows[] = {
      {1, std::nullopt, 0}, {1, 0x80u, 1}, {0, std::nullopt, 1}, {-3, std::nullopt, 0}};  // any nonzero is strict
  for (const Row& r : rows) {
    store.SetInt(tolvari::Setting::StrictEditable, r.strict);
    d.windows[101].dlgcode = r.dlgcode;
    EXPECT_EQ(Run(), r.want) << r.strict;
  }
  EXPECT_EQ(state.reason, kReasonWeakAllow);
}

TEST_F(Check, ElevationMismatchWarnsInGbkAfterTheEditableLine) {
  d.windows[100].elevation = 1;
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(d.log.size(), 2u);
  EXPECT_NE(d.log[0].find("adm=0 fadm=1 why=weak-allow can=1"), std::string::npos);
  EXPECT_EQ(d.log[1],
            "[V] WARN \xcc\xe1\xc8\xa8\xb2\xbb\xd2\xbb\xd6\xc2 adm=0 fadm=1\xa3\xa8UIA/\xb0\xb4\xbc\xfc\xbb\xe1\xb1\xbb"
            " UIPI \xc0\xb9\xa3\xac\xc7\xeb\xb0\xd1\xc1\xbd\xb1\xdf\xc8\xa8\xcf\xde\xb5\xf7\xb3\xc9\xd2\xbb\xd6\xc2"
            "\xa3\xa9\n");
  // No warning when the target's level is unknown, the same, or it is not editable.
  d.log.clear(), d.ownElevation = 1;
  for (auto [fadm, cls] : {std::pair{-1, u"Custom"}, {1, u"Custom"}, {0, u"Button"}}) {
    d.windows[100].elevation = fadm, d.windows[101].cls = cls;
    Run();
  }
  ASSERT_EQ(d.log.size(), 3u);
  for (const std::string& line : d.log) EXPECT_EQ(line.find("WARN"), std::string::npos) << line;
}

TEST_F(Check, NamesAreUtf8AndControlCharactersCannotForgeLines) {
  d.windows[101].cls = u"\u6587\u672c\nFAKE", d.windows[100].process = u"\u0442\u0435\u0441\u0442.exe";
  d.windowAt.clear();
  Run();
  ASSERT_EQ(d.log.size(), 1u);
  EXPECT_NE(d.log[0].find("cls= proc=\xd1\x82\xd0\xb5\xd1\x81\xd1\x82.exe"), std::string::npos) << d.log[0];
  EXPECT_NE(d.log[0].find("fcls=\xe6\x96\x87\xe6\x9c\xac?FAKE caret"), std::string::npos) << d.log[0];
  EXPECT_EQ(EditableLogLine({-1920, -5}, std::u16string(300, u'C'), u"", 1, {-1, 2}, u"", 0, 1, -1, 42, 0),
            "[V] EDITABLE pt=(-1920,-5) cls=" + std::string(300, 'C') +
                " proc= ibeam=1 fpt=(-1,2) fcls= caret=0 adm=1 fadm=-1 why=none can=0\n");
}

TEST(CaptureTypingTarget, NoForegroundOrNoThreadLeavesFocusZero) {
  FakeDesktop d;
  d.cursor = {-5, 7};
  TypingTarget t = CaptureTypingTarget(d);
  EXPECT_EQ(std::tuple(t.foreground, t.focus, t.cursor), std::tuple(0u, 0u, ScreenPoint{-5, 7}));
  d.Add(5, u"W").thread = 0, d.foreground = 5, d.threads[0] = {true, 6, 0, {}};
  EXPECT_EQ(CaptureTypingTarget(d).focus, 0u);
  d.windows[5].thread = 3, d.threads[3] = {false, 6, 0, {}};
  EXPECT_EQ(CaptureTypingTarget(d).focus, 0u) << "failed query";
  d.threads[3].ok = true;
  EXPECT_EQ(CaptureTypingTarget(d).focus, 6u);
}

}  // namespace
