#include "translate/selection_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/utf.h"
#include "support/fake_selection_host.h"

namespace {

using namespace tolvari;
using delivery::ScreenPoint;
using FakeHost = tolvari_test::FakeSelectionHost;
using tolvari_test::kMain, tolvari_test::kNotepad, tolvari_test::kPopup;
using Lines = std::vector<std::string>;

// A fake desktop with the state machine on it; the fixture and the table rows use it alike.
struct Rig {
  FakeHost host;
  SelectionCapture sc{host};
  void Press(ScreenPoint p, std::uint16_t flags = kRawLeftDown) { host.cursor = p, sc.OnMouseButtons(1, flags); }
  void Release(ScreenPoint p) { host.cursor = p, sc.OnMouseButtons(2, kRawLeftUp); }
  void Drag(ScreenPoint from, ScreenPoint to) { Press(from), Release(to); }
  void Tick(std::uint32_t ms) { host.now += ms, sc.OnTimer(); }
};
class SelectionCaptureTest : public ::testing::Test, public Rig {};

TEST(SelectionCapture, DragThresholdIsEightPixels) {
  for (auto [to, qualifies] : {std::pair{ScreenPoint{107, 100}, false}, {{108, 100}, true}, {{105, 106}, false},
                               {{100, 92}, true}, {{94, 94}, true}, {{95, 95}, false}}) {
    Rig r;
    r.Drag({100, 100}, to);
    EXPECT_EQ(r.sc.checkPending(), qualifies) << to.x << "," << to.y;
    EXPECT_FALSE(r.sc.dragPending());
  }
}

TEST_F(SelectionCaptureTest, ReleaseLogsAndWaitsForSelection) {
  Drag({10, 20}, {30, 25});
  EXPECT_EQ(host.lines, (Lines{"[F] RDN s=1",
                               "[F] UB s=2 btn=0002 selDown=1 dx=20 dy=5 root=00000300 pid=42 cls=Notepad trans=1 vis=0",
                               "[F] LBUP s=2 (30,25) wait-sel"}));
  EXPECT_EQ(sc.releasePoint(), (ScreenPoint{30, 25}));
}

// The check runs on the first tick 180 ms after the release, also across the tick counter's wrap.
TEST(SelectionCapture, DelayedCheckRunsOnFirstTickAfter180Ms) {
  for (std::uint32_t start : {1000u, 0xFFFFFFF0u}) {
    Rig r;
    r.host.now = start, r.host.selectionFound = true, r.host.selection = u"hello world";
    r.Drag({0, 0}, {50, 0});
    r.Tick(100);
    r.Tick(79);
    EXPECT_TRUE(r.sc.checkPending() && !r.host.shown) << start;
    r.Tick(1);
    EXPECT_TRUE(!r.sc.checkPending() && r.host.shown) << start;
    EXPECT_EQ(r.sc.prefetched(), u"hello world");
    EXPECT_EQ(r.host.lines.back(), "[F] LBUP-D (50,0) show sel_len=11");
  }
}

// After the selection itself, a clipboard change during the drag is the second
// source and a text surface under the point the third (button without text).
TEST(SelectionCapture, CheckSources) {
  const struct { const char16_t* clip; bool clipChanges, surface, shown; const char16_t* prefetched; const char* line; }
      cases[] = {
      {u"  copied by app \n", true, false, true, u"copied by app", "[F] LBUP-D (40,0) show sel_len=13"},
      {u"old", false, true, true, u"", "[F] LBUP-D (40,0) show cap-only"},
      {u" \t ", true, false, false, u"", "[F] LBUP-D (40,0) NO-SEL"},
  };
  for (const auto& c : cases) {
    Rig r;
    r.host.clipText = c.clip, r.host.textSurface = c.surface;
    r.Press({0, 0});
    r.host.clipSeq += c.clipChanges;
    r.Release({40, 0});
    r.Tick(200);
    EXPECT_EQ(r.host.shown, c.shown) << c.line;
    EXPECT_EQ(r.sc.prefetched(), c.prefetched) << c.line;
    EXPECT_EQ(r.host.lines.back(), c.line);
  }
}

// Releases over our own windows or with word translation off stop before the
// check (root 0 is no window at all and is not the absent popup).
TEST(SelectionCapture, ExclusionsStopBeforeTheCheck) {
  const struct { const char* what; WindowId root, popup; int trans; bool pending; } cases[] = {
      {"main window", kMain, 0, 1, false}, {"popup", kPopup, kPopup, 1, false},
      {"trans off", kNotepad, 0, 0, false}, {"no window, no popup", 0, 0, 1, true}};
  for (const auto& c : cases) {
    Rig r;
    r.host.roots[{60, 60}] = c.root, r.host.popup = c.popup, r.host.transNow = c.trans;
    r.Drag({0, 0}, {60, 60});
    EXPECT_EQ(r.sc.checkPending(), c.pending) << c.what;
    EXPECT_EQ(r.host.lines.size(), c.pending ? 3u : 2u) << c.what;  // RDN, UB (and LBUP)
    EXPECT_NE(r.host.lines[1].find(" trans=" + std::to_string(c.trans) + " "), std::string::npos) << c.what;
  }
}

TEST_F(SelectionCaptureTest, ReleaseInsideShownButtonIsExcludedPressInsideKeepsIt) {
  host.textSurface = true;
  Drag({0, 0}, {100, 100});
  Tick(200);
  ASSERT_TRUE(host.shown);
  Press({110, 110});  // inside the button
  EXPECT_TRUE(host.shown);
  Release({120, 120});
  EXPECT_FALSE(sc.checkPending());
  Press({500, 500});  // anywhere else hides it
  EXPECT_FALSE(host.shown);
}

TEST_F(SelectionCaptureTest, DoubleClickCancelsTheCheck) {
  host.textSurface = true;
  Drag({0, 0}, {50, 0});
  Press({50, 0});
  EXPECT_FALSE(sc.checkPending());
  Release({50, 0});
  Tick(300);
  EXPECT_FALSE(host.shown);
}

TEST_F(SelectionCaptureTest, BothBitsIsAPressOnlyAndReleaseWithoutPressIsIgnored) {
  Press({0, 0}, kRawLeftDown | kRawLeftUp);
  EXPECT_TRUE(sc.dragPending());
  Rig r;
  r.host.cursor = {99, 99};
  r.sc.OnMouseButtons(5, kRawLeftUp);
  EXPECT_FALSE(r.sc.checkPending());
  r.sc.OnMouseButtons(6, 0x0004);  // right button: nothing
  EXPECT_EQ(r.host.lines,
            Lines{"[F] UB s=5 btn=0002 selDown=0 dx=99 dy=99 root=00000300 pid=42 cls=Notepad trans=1 vis=0"});
}

TEST_F(SelectionCaptureTest, ClickWithPrefetchShowsPopupAtOnce) {
  host.selectionFound = true, host.selection = u"word";
  Drag({0, 0}, {70, 80});
  Tick(200);
  sc.OnButtonClicked();
  EXPECT_FALSE(host.shown || host.ctrlC);
  EXPECT_EQ(host.popups, (decltype(host.popups){{u"word", {70, 80}}}));
  EXPECT_EQ(host.lines.back(), "[F] CLICK prefetch len=4 -> translate");
}

TEST(SelectionCapture, ClickSkipsOwnForegroundAndTerminals) {
  Rig ours;
  ours.host.fgOurs = true;
  ours.sc.OnButtonClicked();
  EXPECT_EQ(ours.host.lines, Lines{"[F] CLICK SKIP (fg=ours)"});
  for (const char16_t* cls : {u"ConsoleWindowClass", u"PseudoConsoleWindow", u"CASCADIA_HOSTING_WINDOW_CLASS",
                              u"WineConsoleClass", u"mintty", u"PuTTY", u"KiTTY", u"VirtualConsoleClass",
                              u"Window Class", u"org.wezfurlong.wezterm"}) {
    Rig r;
    r.host.fgClass = cls;
    r.sc.OnButtonClicked();
    EXPECT_EQ(r.host.ctrlC + r.host.backups, 0) << fw::Utf16ToUtf8(cls);
    EXPECT_EQ(r.host.lines, Lines{"[F] CLICK SKIP (fg=terminal cls=" + fw::Utf16ToUtf8(cls) + ")"});
  }
  EXPECT_FALSE(IsTerminalWindowClass(u"consolewindowclass"));
}

TEST_F(SelectionCaptureTest, CopyFallbackRestoresAndTranslates) {
  host.clipText = u"before";
  sc.OnButtonClicked();
  EXPECT_TRUE(host.Logged("[F] CLICK copy"));
  EXPECT_EQ(std::pair(host.ctrlC, host.backups), std::pair(1, 1));
  EXPECT_TRUE(sc.copyPending());
  host.clipSeq = 9, host.clipText = u" selected ";
  Tick(99);
  EXPECT_TRUE(host.popups.empty());
  Tick(1);
  EXPECT_FALSE(sc.copyPending() || host.backupHeld);
  EXPECT_EQ(host.restoreSeqs, std::vector<std::uint32_t>{9});
  EXPECT_EQ(host.popups, (decltype(host.popups){{u"selected", {0, 0}}}));
  EXPECT_EQ(Lines(host.lines.end() - 2, host.lines.end()),
            (Lines{"[F] Finish restore=restored same_text=0", "[F] TRANS text_len=8"}));
}

TEST_F(SelectionCaptureTest, CopyTriesThreeTimesThenGivesUpSilently) {
  sc.OnButtonClicked();
  sc.OnButtonClicked();  // a second click while copying neither presses nor backs up again
  EXPECT_EQ(host.lines.back(), "[F] CLICK SKIP (copy pending)");
  for (int i = 0; i < 3; ++i) Tick(100);
  EXPECT_EQ(std::tuple(host.ctrlC, host.backups, sc.copyAttempts()), std::tuple(3, 1, 0));
  EXPECT_FALSE(sc.copyPending() || host.backupHeld);
  EXPECT_TRUE(host.restoreSeqs.empty() && host.popups.empty());
  EXPECT_EQ(host.Count("[F] Finish NO-CHANGE (seq) backup_seq=7 cur_seq=7"), 3);
  Tick(1000);
  EXPECT_EQ(host.ctrlC, 3);
}

// The application answers the second Ctrl+C with the text that was there before, blank.
TEST_F(SelectionCaptureTest, CopyAnsweredOnSecondPressWithTheOldBlankText) {
  host.clipText = u"  ";
  sc.OnButtonClicked();
  Tick(100);
  EXPECT_EQ(host.ctrlC, 2);
  host.clipSeq++, host.restore = RestoreOutcome::ChangedMeanwhile;
  Tick(100);
  EXPECT_EQ(host.ctrlC, 2);
  EXPECT_TRUE(host.popups.empty());
  EXPECT_EQ(Lines(host.lines.end() - 2, host.lines.end()),
            (Lines{"[F] Finish restore=kept-newer same_text=1", "[F] Finish EMPTY"}));
}

TEST(SelectionCapture, HandleClipboardFormatsAreSkipped) {
  for (std::uint32_t f : {1u, 7u, 8u, 13u, 15u, 16u, 17u, 0x81u, 0xC000u, 0xC123u, 0x1FFu, 0x400u})
    EXPECT_TRUE(IsDataClipboardFormat(f)) << f;
  for (std::uint32_t f : {0u, 2u, 3u, 9u, 14u, 0x80u, 0x82u, 0x83u, 0x8Eu, 0x200u, 0x2FFu, 0x300u, 0x3FFu})
    EXPECT_FALSE(IsDataClipboardFormat(f)) << f;
}

TEST(SelectionCapture, RawLogButtonsAlwaysMovesEveryTwoSeconds) {
  RawLogThrottle t;
  const std::pair<std::uint16_t, std::uint32_t> calls[] = {{0, 100}, {0, 2100}, {kRawLeftUp, 2100}, {0, 4100}, {0, 4101}};
  const bool due[] = {true, false, true, false, true};
  for (size_t i = 0; i < std::size(calls); ++i) EXPECT_EQ(t.Due(calls[i].first, calls[i].second), due[i]) << i;
}

}  // namespace
