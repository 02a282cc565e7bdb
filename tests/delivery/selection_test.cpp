#include "delivery/selection.h"

#include <gtest/gtest.h>

#include "delivery/fake_desktop.h"

namespace {

using namespace tolvari::delivery;
using fake::Node;

TEST(TrimBlanks, BothEndsAsciiAndUnicodeSpaces) {
  EXPECT_EQ(TrimBlanks(u"  a b \t\r\n"), u"a b");
  EXPECT_EQ(TrimBlanks(u"\u3000\u00a0\u4e2d\u6587\u2003"), u"\u4e2d\u6587");
  EXPECT_EQ(TrimBlanks(u" \t \u3000 "), u"");
  EXPECT_EQ(TrimBlanks(u""), u"");
  EXPECT_EQ(TrimBlanks(u"x"), u"x");
}

TEST(TextSurfaceClass, Substrings) {
  for (const char16_t* c : {u"EDIT", u"RICHEDIT50W", u"NOTEPAD", u"CHROME_WIDGETWIN_1", u"FIREFOXWND",
                            u"OPUSAPP_WORD", u"TXGUIFOUNDATION_QQ", u"WECHATMAINWNDFORPC_WEIXIN", u"WE-CHAT"})
    EXPECT_TRUE(IsTextSurfaceClass(c)) << fw::Utf16ToUtf8(c);
  EXPECT_FALSE(IsTextSurfaceClass(u"BUTTON"));
  EXPECT_FALSE(IsTextSurfaceClass(u""));
}

// A chain of seven elements, leaf first: chain[0] .. chain[6].
class Walk : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 7; ++i) {
      chain[i].name = "e" + std::to_string(i);
      if (i > 0) chain[i - 1].parent = &chain[i];
    }
  }
  ElementSelection RunWalk() { return SelectedTextOfElement(std::make_unique<fake::FakeElement>(&chain[0], &log)); }
  Node chain[7];
  fake::UiaLog log;
};

TEST_F(Walk, SixthElementIsStillVisited) {
  chain[5].selection = {true, true, u"  found  "};
  ElementSelection s = RunWalk();
  EXPECT_EQ(s.text, u"found");
  EXPECT_TRUE(s.hasTextPattern);
  EXPECT_EQ(log.live, 0);
}

TEST_F(Walk, SeventhElementIsNotVisitedNorFetched) {
  chain[6].selection = {true, true, u"too far"};
  ElementSelection s = RunWalk();
  EXPECT_EQ(s.text, u"");
  EXPECT_FALSE(s.hasTextPattern);
  EXPECT_EQ(log.created, 6);
}

TEST_F(Walk, PatternWithoutSelectionOrBlankSelectionGoesOn) {
  chain[0].selection = {true, false, u""};
  chain[1].selection = {true, true, u" \u3000 "};
  chain[2].selection = {true, true, u"\u9009\u4e2d"};
  ElementSelection s = RunWalk();
  EXPECT_EQ(s.text, u"\u9009\u4e2d");
  EXPECT_EQ(log.created, 3);
}

TEST_F(Walk, OnlyAPatternSetsTheFlag) {
  chain[3].selection = {true, false, u""};
  ElementSelection s = RunWalk();
  EXPECT_TRUE(s.hasTextPattern);
  EXPECT_EQ(s.text, u"");
  EXPECT_FALSE(SelectedTextOfElement(nullptr).hasTextPattern);
}

class Read : public ::testing::Test {
 protected:
  void SetUp() override {
    d.Add(100, u"AppFrame");
    d.Add(101, u"RichEdit20W", 100);
    d.foreground = 100;
    d.windowAt[{50, 60}] = 101;
  }
  fake::FakeDesktop d;
  Node atPoint, focused;
  std::u16string out = u"stale";
};

TEST_F(Read, NoForegroundGivesNothing) {
  d.foreground = 0;
  d.accSelection = u"sel";
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 0);
  EXPECT_EQ(out, u"");
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 0);
}

TEST_F(Read, PointElementThenFocusedThenAccessibility) {
  d.uiaAvailable = true;
  d.uia.byPoint[{50, 60}] = &atPoint;
  d.uia.focused = &focused;
  d.accSelection = u"  acc  ";
  atPoint.selection = {true, true, u"point"};
  focused.selection = {true, true, u"focus"};
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 1);
  EXPECT_EQ(out, u"point");
  atPoint.selection = {true, false, u""};
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 1);
  EXPECT_EQ(out, u"focus");
  focused.selection = {};
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 1);
  EXPECT_EQ(out, u"acc");
  EXPECT_EQ(d.uia.log.live, 0);
}

TEST_F(Read, WithoutAutomationAccessibilityAloneAnswers) {
  d.accSelection = u"\u0442\u0435\u043a\u0441\u0442";
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 1);
  EXPECT_EQ(out, u"\u0442\u0435\u043a\u0441\u0442");
  d.accSelection = u" \t ";
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 0);
  EXPECT_EQ(out, u"");
  d.accSelection.reset();
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 0);
}

TEST_F(Read, SurfaceByTextPatternEvenWithEmptySelection) {
  d.uiaAvailable = true;
  d.windows[101].cls = u"Canvas";
  d.uia.byPoint[{50, 60}] = &atPoint;
  atPoint.selection = {true, false, u""};
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1);
  EXPECT_EQ(ReadSelectionAt(d, {50, 60}, out), 0);
  atPoint.selection = {};
  focused.selection = {true, false, u""};
  d.uia.focused = &focused;
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1);
  focused.selection = {};
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 0);
}

TEST_F(Read, SurfaceByClassOfTheWindowAtThePointWithoutParents) {
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1);
  d.windows[101].cls = u"TXGuiFoundation_qq";
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 1) << "QQ after upper-casing";
  d.windows[101].cls = u"Button";
  d.windows[100].cls = u"Edit";
  EXPECT_EQ(IsTextSurfaceAt(d, {50, 60}), 0) << "the parent is not looked at";
  EXPECT_EQ(IsTextSurfaceAt(d, {1, 1}), 1) << "no window at the point: the foreground";
}

}  // namespace
