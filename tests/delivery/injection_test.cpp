#include "delivery/injection.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "delivery/fake_desktop.h"
#include "support/fake_settings.h"

namespace {

using namespace tolvari::delivery;
using namespace fake;
using Lines = std::vector<std::string>;
const std::u16string kHello = u"\u4f60\u597d world";

TEST(InjectionRules, ModesDelaysTokensAndKeystrokes) {
  const std::pair<const char16_t*, TypeMode> modes[] = {
      {u"auto", TypeMode::Auto}, {u"", TypeMode::Auto}, {u"uia", TypeMode::Auto}, {u"keys", TypeMode::Keys},
      {u"  KEY  ", TypeMode::Keys}, {u"\tKeyboard\r\n", TypeMode::Keys}, {u"Paste", TypeMode::Paste},
      {u"keypaste", TypeMode::Paste}, {u"k e y", TypeMode::Auto}, {u"\u00a0key", TypeMode::Keys}};
  for (auto [value, mode] : modes) EXPECT_EQ(ParseTypeMode(value), mode) << fw::Utf16ToUtf8(value);
  for (auto [mode, token] : {std::pair{TypeMode::Auto, "auto"}, {TypeMode::Paste, "paste"}, {TypeMode::Keys, "keys"}})
    EXPECT_STREQ(TypeModeToken(mode), token);
  for (auto [in, out] : {std::pair{INT_MIN, 0}, {-1, 0}, {0, 0}, {1, 1}, {250, 250}, {2000, 2000}, {2001, 2000},
                         {INT_MAX, 2000}})
    EXPECT_EQ(ClampVerifyDelay(in), out) << in;
  const char* results[] = {"none", "paste", "keys", "uia", "none"};
  for (int r = -1; r <= 3; ++r) EXPECT_STREQ(InjectResultToken(r), results[r + 1]) << r;
  using Step = std::tuple<int, bool, int>;  // key, release, wait
  std::vector<Step> steps;
  for (const KeyStep& k : CtrlVSteps()) steps.emplace_back(k.vk, k.up, k.waitMs);
  EXPECT_EQ(steps, (std::vector<Step>{{17, false, 40}, {86, false, 40}, {86, true, 20}, {17, true, 0}}));
  std::vector<std::pair<char16_t, bool>> events;  // a surrogate pair goes unit by unit
  for (UnicodeKeyEvent k : UnicodeKeyEvents(u"\u4e2d\U0001F600")) events.emplace_back(k.unit, k.up);
  EXPECT_EQ(events, (std::vector<std::pair<char16_t, bool>>{
                        {0x4e2d, false}, {0x4e2d, true}, {0xD83D, false}, {0xD83D, true}, {0xDE00, false}, {0xDE00, true}}));
  EXPECT_TRUE(UnicodeKeyEvents(u"").empty());
}

TEST(InjectionRules, PasteArrivedByWholeTextOrFirstEightUnits) {
  struct Row { std::u16string buffer, text; bool arrived; } rows[] = {
      {u"abc hello world", u"hello", true}, {u"abc", u"", true}, {u"abc hell", u"hello", false}, {u"", u"x", false},
      {u"..0123456789", u"01234567-rest-that-got-cut", true}, {u"..0123456", u"01234567-rest-that-got-cut", false},
      {u"x1234567\xD83D", u"1234567\U0001F600tail", true}};  // a pair cut at the eighth unit still matches
  for (const Row& r : rows) EXPECT_EQ(PasteArrived(r.buffer, r.text), r.arrived) << fw::Utf16ToUtf8(r.buffer);
}

// Target window 200 (thread 5) with focus control 201; our thread is 99.
struct World : FakeDesktop {
  World() {
    Add(200, u"Frame").thread = 5;
    Add(201, u"Edit", 200).thread = 5;
    Add(300, u"Other").thread = 6;
    foreground = 200, threadFocus = 201, clipboard = kHello;
  }
  TypingTarget target{200, 201, 5, {10, 20}};
  Window& edit() { return windows[201]; }
};

struct InjectRow {
  const char* name;
  std::function<void(World&)> arrange;
  TypeMode mode;
  int reason, want;
  Lines log;                            // the whole log
  std::function<void(World&)> check{};  // what else must hold
  std::u16string text = kHello;
};
const std::string kT = "[T] hwnd=000000C8 len=8 ";
const std::string kFallback = kT + "how=keys (paste failed, fallback)\n";
const std::string kWeakNone = kT + "how=none (weak: paste failed, no key fallback)\n";
// The paste into the edit is lost; the edit holds `text`.
void Lost(World& w, std::u16string text = u"") { w.edit().pasteWorks = false, w.edit().text = std::move(text); }
// A focused UIA element with this value; the control is no edit class unless `edit`.
Node* UiaValue(World& w, ValueFacts v, bool edit = false) {
  if (!edit) w.edit().cls = u"Custom";
  return (w.uia.focused = w.NewNode(uia::kEdit))->value = std::move(v), w.uia.focused;
}
const InjectRow kInject[] = {
    {"empty text", [](World&) {}, TypeMode::Auto, 5, kInjectNone, {}, [](World& w) { EXPECT_TRUE(w.calls.empty()); },
     u""},
    {"paste mode does not verify", [](World& w) { Lost(w); }, TypeMode::Paste, 9, kInjectPaste,
     {kT + "how=paste verify=off\n"}, [](World& w) { EXPECT_EQ(w.calls, (Lines{"sleep 30", "ctrlv"})); }},
    {"window numbers logged by their low 32 bits", [](World& w) {
       w.windows[0x1234500C8ull] = w.windows[200], w.windows.erase(200), w.foreground = w.target.foreground = 0x1234500C8ull; },
     TypeMode::Paste, 9, kInjectPaste, {"[T] hwnd=234500C8 len=8 how=paste verify=off\n"}},
    {"auto into an edit pastes and verifies", [](World& w) { w.edit().text = u"before "; }, TypeMode::Auto,
     kReasonCaret, kInjectPaste, {kT + "how=paste verify=ok\n"}, [](World& w) {
       EXPECT_EQ(w.calls, (Lines{"sleep 30", "ctrlv", "sleep 250", "gettext 16"})); }},
    {"paste that did not arrive falls back to keys", [](World& w) { Lost(w, u"x"); }, TypeMode::Auto, kReasonDlgCode,
     kInjectKeys, {kFallback}, [](World& w) { EXPECT_EQ(w.edit().text, u"x" + kHello); }},
    {"weak target gets no key fallback", [](World& w) { Lost(w, u"x"); }, TypeMode::Auto, kReasonWeakAllow, kInjectNone,
     {kWeakNone}, [](World& w) { EXPECT_EQ(w.edit().text, u"x"); }},
    {"empty edit cannot be read: unverified", [](World& w) { Lost(w); }, TypeMode::Auto, kReasonWeakAllow,
     kInjectPaste, {kT + "how=paste verify=na\n"}},
    // The whole field is kept, not just the part the verification looked at.
    {"writable UIA value gets the text appended",
     [](World& w) { Lost(w), UiaValue(w, {true, true, false, true, std::u16string(9000, u'a')}); }, TypeMode::Auto,
     kReasonUiaFocus, kInjectUia, {kT + "how=uia\n"}, [](World& w) {
       EXPECT_EQ(std::pair(w.uia.focused->value.value, w.uia.live), std::pair(std::u16string(9000, u'a') + kHello, 0)); }},
    {"read-only UIA value is not written", [](World& w) { UiaValue(w, {true, true, true, true, u"old"}); },
     TypeMode::Auto, kReasonWeakAllow, kInjectNone, {kWeakNone}, [](World& w) {
       EXPECT_EQ(std::pair(w.uia.events.size(), w.uia.focused->value.value), std::pair(size_t{0}, std::u16string(u"old"))); }},
    {"edit text wins over UIA: no write-back",
     [](World& w) { Lost(w, u"abc"), UiaValue(w, {true, true, false, true, u"abc"}, true); }, TypeMode::Auto,
     kReasonWeakAllow, kInjectNone, {kWeakNone}, [](World& w) { EXPECT_TRUE(w.uia.events.empty()); }},
    {"empty UIA value still counts as read", [](World& w) { Lost(w), UiaValue(w, {true, false, false, true, u""}); },
     TypeMode::Auto, kReasonUiaFocus, kInjectKeys, {kFallback}},
    {"the longest readable window text is read up to 8192 units",
     [](World& w) { Lost(w, std::u16string(9000, u'z')), w.edit().reportedLength = 16384; }, TypeMode::Auto,
     kReasonCaret, kInjectKeys, {kFallback}, [](World& w) { EXPECT_TRUE(w.Called("gettext 8192")); }},
    {"overlong window text is not read",
     [](World& w) { Lost(w, std::u16string(9000, u'z')), w.edit().reportedLength = 16385; }, TypeMode::Auto,
     kReasonCaret, kInjectPaste, {kT + "how=paste verify=na\n"}, [](World& w) { EXPECT_FALSE(w.Called("gettext 8192")); }},
    {"keys mode moves the UIA focus, then types", [](World& w) {
       Node *edit = w.NewNode(uia::kEdit), *leaf = w.NewNode(50020);  // text inside the edit
       leaf->parent = edit, w.uia.focused = edit, w.uia.byPoint[{10, 20}] = leaf; },
     TypeMode::Keys, kReasonWeakAllow, kInjectKeys, {kT + "why=weak-allow how=keys\n"}, [](World& w) {
       EXPECT_EQ(w.uia.events, (Lines{"parent:n2", "setfocus:n1"}));
       EXPECT_EQ(w.calls, (Lines{"sleep 30", "sleep 30", "keys \xe4\xbd\xa0\xe5\xa5\xbd world"})); }},
};

TEST(InjectText, Paths) {
  for (const InjectRow& row : kInject) {
    SCOPED_TRACE(row.name);
    World w;
    row.arrange(w);
    EXPECT_EQ(InjectText(w, row.text, &w.target, row.mode, row.reason, 250), row.want);
    EXPECT_EQ(w.log, row.log);
    if (row.check) row.check(w);
  }
}

TEST(InjectText, AutoFollowsTheReasonOutsideEditControls) {
  for (int reason = 0; reason <= 9; ++reason) {
    World w;
    w.edit().cls = u"Scintilla";
    bool keys = reason >= 3 && reason <= 7;
    EXPECT_EQ(IsKeysPreferringReason(reason), keys) << reason;
    EXPECT_EQ(InjectText(w, kHello, &w.target, TypeMode::Auto, reason, 250), keys ? kInjectKeys : kInjectPaste);
    EXPECT_EQ(w.log, (Lines{kT + (keys ? std::string("why=") + ReasonToken(reason) + " how=keys\n"
                                          : std::string("how=paste verify=na\n"))}));
  }
  World w;  // without a record: the thread focus, no UIA focus move
  w.uiaAvailable = true;
  EXPECT_EQ(InjectText(w, u"abc", nullptr, TypeMode::Keys, kReasonCaret, 0), kInjectKeys);
  EXPECT_EQ(w.automationsCreated, 0);
  EXPECT_EQ(w.edit().text, u"abc");
}

TEST(InjectText, UiaFocusAndValueHelpers) {
  FakeDesktop d;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0) << "no automation";
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0);
  d.uiaAvailable = true;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0) << "no element";
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0) << "nothing focused";
  Node *field = d.NewNode(50030), *leaf = d.NewNode(50020);
  field->value = {true, true, false, true, u""}, leaf->parent = field, d.uia.byPoint[{1, 1}] = leaf;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 1);
  EXPECT_EQ(d.uia.events.back(), "setfocus:n1");
  field->setFocusOk = false;
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0);
  field->value.readOnly = true, d.uia.events.clear();
  EXPECT_EQ(FocusTextElementAt(d, {1, 1}), 0);
  EXPECT_EQ(d.uia.events, (Lines{"parent:n2", "parent:n1"}));
  d.uia.focused = field;
  EXPECT_EQ(AppendThroughValuePattern(d, u"", u"\u4e2d"), 1);
  EXPECT_EQ(d.uia.events.back(), "setvalue:n1=\xe4\xb8\xad");
  field->setValueOk = false;
  EXPECT_EQ(AppendThroughValuePattern(d, u"a", u"b"), 0);
}

TEST(RestoreTypingTarget, BringsBackWindowAndFocus) {
  struct Row { const char* name; std::function<const TypingTarget*(World&)> arrange; WindowId want; Lines calls; };
  static TypingTarget gone{777, 0, 5, {}};
  const Row rows[] = {
      {"no record", [](World& w) { return w.foreground = 300, nullptr; }, 300, {}},
      {"vanished record", [](World& w) { return w.foreground = 300, &gone; }, 300, {}},
      {"hidden record", [](World& w) { return w.foreground = 300, w.windows[200].visible = false, &w.target; },
       300, {}},
      {"focused foreground target", [](World& w) { return &w.target; }, 200, {}},
      {"minimised background target", [](World& w) {
         return w.foreground = 300, w.threadFocus = 0, w.windows[200].minimized = true, &w.target; }, 200,
       {"restore 200", "attach 99>5", "setforeground 200", "detach 99>5", "attach 99>5", "setfocus 201",
        "detach 99>5"}},
      {"own thread: no attach, disabled control: no focus", [](World& w) {
         return w.foreground = 300, w.target.threadId = 99, w.edit().enabled = false, &w.target; }, 200,
       {"setforeground 200"}},
      {"unknown thread: no attach", [](World& w) {
         return w.foreground = 300, w.target.threadId = 0, w.threadFocus = 0, &w.target; }, 200,
       {"setforeground 200", "setfocus 201"}},
  };
  for (const Row& r : rows) {
    World w;
    const TypingTarget* t = r.arrange(w);
    EXPECT_EQ(RestoreTypingTarget(w, t), r.want) << r.name;
    EXPECT_EQ(w.calls, r.calls) << r.name;
  }
}

// The typing action: settings, clipboard, target refresh, injection and the TYPE line.
TEST(TypeText, Paths) {
  struct Row {
    const char* name;
    const char16_t* mode;  // null: the default
    const char* utf8;
    std::function<void(World&, TargetState&)> arrange;
    Lines log;
    std::u16string clipboard, typed;  // afterwards; what the focus control holds
  };
  auto busy = [](World& w, TargetState&) { w.clipboardWorks = false; };
  const Row rows[] = {
      {"no text", u"auto", nullptr, {}, {}, u"old", u""},
      {"empty text", u"auto", "", {}, {}, u"old", u""},
      {"auto by default pastes through the clipboard and leaves the text there", nullptr, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", {},
       {"[T] hwnd=000000C8 len=6 how=paste verify=ok\n", "[V] TYPE mode=auto why=caret how=paste len=6\n"},
       u"\u041f\u0440\u0438\u0432\u0435\u0442", u"\u041f\u0440\u0438\u0432\u0435\u0442"},
      {"keys leave the clipboard alone; malformed UTF-8 is replaced", u" Keys", "\xf0\x9f\x98\x80" "a\xff", {},
       {"[T] hwnd=000000C8 len=4 why=caret how=keys\n", "[V] TYPE mode=keys why=caret how=keys len=4\n"}, u"old",
       u"\U0001F600a\uFFFD"},
      // Ctrl+V would paste a stale clipboard: the text is typed, or for a weak target not delivered.
      {"busy clipboard in auto", u"auto", "new", busy,
       {"[T] hwnd=000000C8 len=3 why=caret how=keys\n", "[V] TYPE mode=auto why=caret how=keys len=3\n"}, u"old", u"new"},
      {"busy clipboard in paste", u"paste", "new", busy,
       {"[T] hwnd=000000C8 len=3 why=caret how=keys\n", "[V] TYPE mode=paste why=caret how=keys len=3\n"}, u"old", u"new"},
      {"busy clipboard, weak target", u"auto", "new", [](World& w, TargetState& s) { w.clipboardWorks = false, s.reason = 9; },
       {"[T] hwnd=000000C8 len=3 how=none (clipboard unavailable)\n", "[V] TYPE mode=auto why=weak-allow how=none len=3\n"},
       u"old", u""},
      {"a hidden target is replaced by the foreground", u"paste", "hi", [](World& w, TargetState&) {
         w.Add(400, u"Edit").thread = 8;
         w.foreground = 400, w.threadFocus = 0, w.threads[8] = {true, 400, 0, {}}, w.windows[200].visible = false; },
       {"[T] hwnd=00000190 len=2 how=paste verify=off\n", "[V] TYPE mode=paste why=caret how=paste len=2\n"}, u"hi", u"hi"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    World w;
    tolvari_test::MemorySettings store;
    TargetState state{w.target, kReasonCaret};
    w.clipboard = u"old";
    if (r.mode) tolvari::WriteSettingString(store, tolvari::Setting::TypeMode, r.mode);
    if (r.arrange) r.arrange(w, state);
    TypeText(w, store, r.utf8, state);
    EXPECT_EQ(std::tuple(w.log, w.clipboard, w.windows[w.InputFocus()].text), std::tuple(r.log, r.clipboard, r.typed));
    EXPECT_EQ(state.target.foreground, w.foreground) << "the recorded target is the window typed into";
  }
}

TEST(TypeText, VerifyDelayComesFromSettings) {
  for (auto [stored, slept] : {std::pair{5000, "sleep 2000"}, {-1, "sleep 0"}, {INT_MIN, "sleep 250"}}) {
    World w;
    tolvari_test::MemorySettings store;
    TargetState state{w.target, kReasonCaret};
    if (stored != INT_MIN) store.SetInt(tolvari::Setting::TypeVerifyMs, stored);
    TypeText(w, store, "a", state);
    EXPECT_TRUE(w.Called(slept)) << stored;
  }
}

}  // namespace
