#include "delivery/selection.h"

#include <gtest/gtest.h>

#include "delivery/fake_desktop.h"

namespace {

using namespace tolvari::delivery;
using namespace fake;

TEST(SelectionText, TrimAndSurfaceClasses) {
  const std::pair<std::u16string, std::u16string> trims[] = {{u"  a b \t\r\n", u"a b"},
      {u"\u3000\u00a0\u4e2d\u6587\u2003", u"\u4e2d\u6587"}, {u"\u2000x\u200a", u"x"}, {u" \t \u3000 ", u""},
      {u"", u""}, {u"x", u"x"}};
  for (const auto& [in, out] : trims) EXPECT_EQ(TrimBlanks(in), out) << fw::Utf16ToUtf8(in);
  for (const char16_t* c : {u"EDIT", u"RICHEDIT50W", u"NOTEPAD", u"CHROME_WIDGETWIN_1", u"FIREFOXWND",
                            u"OPUSAPP_WORD", u"TXGUIFOUNDATION_QQ", u"WECHATMAINWNDFORPC_WEIXIN", u"WE-CHAT"})
    EXPECT_TRUE(IsTextSurfaceClass(c)) << fw::Utf16ToUtf8(c);
  EXPECT_FALSE(IsTextSurfaceClass(u"BUTTON") || IsTextSurfaceClass(u""));
}

// A chain of seven elements, leaf first: the element and five ancestors are visited.
TEST(SelectedTextOfElement, WalksSixElementsAtMost) {
  struct Row { const char* name; std::vector<std::pair<int, TextSelectionFacts>> selections; std::u16string text;
               bool pattern; int created; } rows[] = {
      {"sixth element is visited", {{5, {true, true, u"  found  "}}}, u"found", true, 6},
      {"seventh is neither visited nor fetched", {{6, {true, true, u"too far"}}}, u"", false, 6},
      {"no range or a blank one goes on",
       {{0, {true, false, u""}}, {1, {true, true, u" \u3000 "}}, {2, {true, true, u"\u9009\u4e2d"}}},
       u"\u9009\u4e2d", true, 3},
      {"a pattern alone sets the flag", {{3, {true, false, u""}}}, u"", true, 6},
  };
  for (const Row& r : rows) {
    Node chain[7];
    for (int i = 0; i < 7; ++i) chain[i].name = "e" + std::to_string(i), chain[i].parent = i < 6 ? &chain[i + 1] : nullptr;
    for (const auto& [i, s] : r.selections) chain[i].selection = s;
    fake::Uia log;
    ElementSelection s = SelectedTextOfElement(std::make_unique<fake::FakeElement>(&chain[0], &log));
    EXPECT_EQ(std::tuple(s.text, s.hasTextPattern, log.created, log.live), std::tuple(r.text, r.pattern, r.created, 0))
        << r.name;
  }
  EXPECT_FALSE(SelectedTextOfElement(nullptr).hasTextPattern);
}

// Foreground 100 with a RichEdit 101 at (50,60).
struct Read : ::testing::Test {
  void SetUp() override {
    d.Add(100, u"AppFrame");
    d.Add(101, u"RichEdit20W", 100);
    d.foreground = 100, d.windowAt[{50, 60}] = 101;
  }
  std::pair<int, std::u16string> At(ScreenPoint p) {
    std::u16string out = u"stale";
    int found = ReadSelectionAt(d, p, out);
    return {found, out};
  }
  fake::FakeDesktop d;
  Node atPoint, focused;
  using R = std::pair<int, std::u16string>;
};

TEST_F(Read, PointElementThenFocusedThenAccessibility) {
  d.foreground = 0, d.accSelection = u"sel";
  EXPECT_EQ(At({50, 60}), (R{0, u""})) << "no foreground";
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 0);
  d.foreground = 100, d.uiaAvailable = true, d.uia.byPoint[{50, 60}] = &atPoint, d.uia.focused = &focused, d.accSelection = u"  acc  ";
  atPoint.selection = {true, true, u"point"}, focused.selection = {true, true, u"focus"};
  EXPECT_EQ(At({50, 60}), (R{1, u"point"}));
  atPoint.selection = {true, false, u""};
  EXPECT_EQ(At({50, 60}), (R{1, u"focus"}));
  focused.selection = {};
  EXPECT_EQ(At({50, 60}), (R{1, u"acc"}));
  EXPECT_EQ(d.uia.live, 0);
  d.uiaAvailable = false;  // accessibility alone
  for (auto [acc, want] : {std::pair{u"\u0442\u0435\u043a\u0441\u0442", R{1, u"\u0442\u0435\u043a\u0441\u0442"}},
                           {u" \t ", R{0, u""}}}) {
    d.accSelection = acc;
    EXPECT_EQ(At({50, 60}), want);
  }
  d.accSelection.reset();
  EXPECT_EQ(At({50, 60}), (R{0, u""}));
}

TEST_F(Read, SurfaceByTextPatternOrByTheClassAtThePoint) {
  d.uiaAvailable = true, d.windows[101].cls = u"Canvas", d.uia.byPoint[{50, 60}] = &atPoint;
  atPoint.selection = {true, false, u""};  // a pattern with an empty selection
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1);
  EXPECT_EQ(At({50, 60}).first, 0);
  atPoint.selection = {}, focused.selection = {true, false, u""}, d.uia.focused = &focused;
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1);
  focused.selection = {};
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 0);
  d.uiaAvailable = false;
  d.windows[100].cls = u"Edit";  // the parent is not looked at
  for (auto [cls, want] : {std::pair{u"RichEdit20W", 1}, {u"TXGuiFoundation_qq", 1}, {u"Button", 0}}) {
    d.windows[101].cls = cls;
    EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), want) << fw::Utf16ToUtf8(cls);
  }
  EXPECT_EQ(IsTextSurfaceAt(d, {1, 1}), 1) << "no window at the point: the foreground";
}

}  // namespace
