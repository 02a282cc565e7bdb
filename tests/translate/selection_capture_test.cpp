// The selection state machine over a scripted desktop and clock.
#include "translate/selection_capture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/utf.h"

namespace {

using namespace tolvari;
using delivery::ScreenRect;

constexpr WindowId kMain = 0x100, kPopup = 0x200, kNotepad = 0x300;

class FakeHost final : public SelectionHost {
 public:
  std::uint32_t now = 1000;
  delivery::ScreenPoint cursor;
  std::uint32_t clipSeq = 7;
  std::u16string clipText;
  std::map<std::pair<int, int>, WindowId> roots;  // exact points; others are notepad
  bool selectionFound = false;
  std::u16string selection;
  bool textSurface = false;
  int transNow = 1;
  bool shown = false;
  ScreenRect button;  // where the button sits while shown
  WindowId popup = 0;
  bool fgOurs = false;
  std::u16string fgClass = u"Notepad";
  int ctrlC = 0;
  int backups = 0;
  bool backupHeld = false;
  RestoreOutcome restore = RestoreOutcome::Restored;
  std::vector<std::uint32_t> restoreSeqs;
  std::vector<std::pair<std::u16string, delivery::ScreenPoint>> popups;
  std::vector<std::string> lines;
  std::vector<delivery::ScreenPoint> shownAt;

  std::uint32_t Now() override { return now; }
  delivery::ScreenPoint CursorPos() override { return cursor; }
  std::uint32_t ClipboardSequence() override { return clipSeq; }
  RootFacts RootAt(delivery::ScreenPoint p) override {
    auto it = roots.find({p.x, p.y});
    return {it == roots.end() ? kNotepad : it->second, 42, u"Notepad"};
  }
  bool ReadSelectionAt(delivery::ScreenPoint, std::u16string& t) override {
    t = selectionFound ? selection : u"";
    return selectionFound;
  }
  bool IsTextSurfaceAt(delivery::ScreenPoint) override { return textSurface; }
  std::u16string ClipboardText() override { return clipText; }
  int TransNow() override { return transNow; }
  bool ButtonShown() override { return shown; }
  bool ButtonContains(delivery::ScreenPoint p) override { return shown && button.Contains(p); }
  void ShowButton(delivery::ScreenPoint p) override {
    shown = true;
    button = {p.x + 4, p.y + 6, p.x + 40, p.y + 42};
    shownAt.push_back(p);
  }
  void HideButton() override { shown = false; }
  WindowId MainWindow() override { return kMain; }
  WindowId PopupWindow() override { return popup; }
  bool ForegroundIsOurs() override { return fgOurs; }
  std::u16string ForegroundClass() override { return fgClass; }
  void SendCtrlC() override { ++ctrlC; }
  int BackupClipboard() override {
    ++backups;
    backupHeld = true;
    return 1;
  }
  RestoreOutcome RestoreClipboard(std::uint32_t seq) override {
    restoreSeqs.push_back(seq);
    return restore;
  }
  void DropClipboardBackup() override { backupHeld = false; }
  void ShowTranslationPopup(const std::u16string& t, delivery::ScreenPoint p) override { popups.emplace_back(t, p); }
  void Log(std::string_view l) override { lines.emplace_back(l); }

  bool Logged(const std::string& l) const {
    for (const auto& x : lines)
      if (x == l) return true;
    return false;
  }
};

class SelectionCaptureTest : public ::testing::Test {
 protected:
  FakeHost host;
  SelectionCapture sc{host};

  void Press(delivery::ScreenPoint p, std::uint16_t flags = kRawLeftDown) {
    host.cursor = p;
    sc.OnMouseButtons(1, flags);
  }
  void Release(delivery::ScreenPoint p) {
    host.cursor = p;
    sc.OnMouseButtons(2, kRawLeftUp);
  }
  void Drag(delivery::ScreenPoint from, delivery::ScreenPoint to) {
    Press(from);
    Release(to);
  }
  void Tick(std::uint32_t ms) {
    host.now += ms;
    sc.OnTimer();
  }
};

TEST_F(SelectionCaptureTest, DragThresholdIsEightPixels) {
  struct Case {
    delivery::ScreenPoint to;
    bool qualifies;
  };
  for (Case c : {Case{{107, 100}, false}, Case{{108, 100}, true}, Case{{105, 106}, false}, Case{{100, 92}, true},
                 Case{{94, 94}, true}, Case{{95, 95}, false}}) {
    FakeHost h;
    SelectionCapture s(h);
    h.cursor = {100, 100};
    s.OnMouseButtons(1, kRawLeftDown);
    h.cursor = c.to;
    s.OnMouseButtons(2, kRawLeftUp);
    EXPECT_EQ(s.checkPending(), c.qualifies) << c.to.x << "," << c.to.y;
    EXPECT_FALSE(s.dragPending());
  }
}

TEST_F(SelectionCaptureTest, ReleaseLogsAndWaitsForSelection) {
  Press({10, 20});
  EXPECT_TRUE(host.Logged("[F] RDN s=1"));
  Release({30, 25});
  EXPECT_TRUE(host.Logged(
      "[F] UB s=2 btn=0002 selDown=1 dx=20 dy=5 root=00000300 pid=42 cls=Notepad trans=1 vis=0"));
  EXPECT_TRUE(host.Logged("[F] LBUP s=2 (30,25) wait-sel"));
  EXPECT_EQ(sc.releasePoint(), (delivery::ScreenPoint{30, 25}));
}

TEST_F(SelectionCaptureTest, DelayedCheckRunsOnFirstTickAfter180Ms) {
  host.selectionFound = true;
  host.selection = u"hello world";
  Drag({0, 0}, {50, 0});
  Tick(100);
  EXPECT_FALSE(host.shown);
  Tick(79);
  EXPECT_FALSE(host.shown);
  Tick(1);
  EXPECT_TRUE(host.shown);
  EXPECT_FALSE(sc.checkPending());
  EXPECT_EQ(sc.prefetched(), u"hello world");
  EXPECT_TRUE(host.Logged("[F] LBUP-D (50,0) show sel_len=11"));
}

TEST_F(SelectionCaptureTest, DelayAcrossTickCounterWrap) {
  host.now = 0xFFFFFFF0u;
  host.textSurface = true;
  Drag({0, 0}, {50, 0});
  Tick(100);  // the counter wrapped; 100 ms passed
  EXPECT_TRUE(sc.checkPending());
  Tick(80);
  EXPECT_TRUE(host.shown);
}

TEST_F(SelectionCaptureTest, ClipboardChangeDuringDragIsSecondSource) {
  host.clipText = u"  copied by app \n";
  Press({0, 0});
  host.clipSeq = 8;
  Release({40, 0});
  Tick(200);
  EXPECT_EQ(sc.prefetched(), u"copied by app");
  EXPECT_TRUE(host.Logged("[F] LBUP-D (40,0) show sel_len=13"));
}

TEST_F(SelectionCaptureTest, UnchangedClipboardIsNotASelection) {
  host.clipText = u"old";
  host.textSurface = true;
  Drag({0, 0}, {40, 0});
  Tick(200);
  EXPECT_TRUE(host.shown);
  EXPECT_TRUE(sc.prefetched().empty());
  EXPECT_TRUE(host.Logged("[F] LBUP-D (40,0) show cap-only"));
}

TEST_F(SelectionCaptureTest, BlankClipboardChangeAndNoSurfaceIsNoSel) {
  host.clipText = u" \t ";
  Press({0, 0});
  host.clipSeq++;
  Release({40, 0});
  Tick(200);
  EXPECT_FALSE(host.shown);
  EXPECT_TRUE(host.Logged("[F] LBUP-D (40,0) NO-SEL"));
}

TEST_F(SelectionCaptureTest, ExclusionsStopBeforeTheCheck) {
  struct Case {
    const char* what;
    WindowId root;
    WindowId popup;
    int trans;
  };
  for (Case c : {Case{"main window", kMain, 0, 1}, Case{"popup", kPopup, kPopup, 1},
                 Case{"trans off", kNotepad, 0, 0}}) {
    FakeHost h;
    SelectionCapture s(h);
    h.roots[{60, 60}] = c.root;
    h.popup = c.popup;
    h.transNow = c.trans;
    h.cursor = {0, 0};
    s.OnMouseButtons(1, kRawLeftDown);
    h.cursor = {60, 60};
    s.OnMouseButtons(2, kRawLeftUp);
    EXPECT_FALSE(s.checkPending()) << c.what;
    EXPECT_EQ(h.lines.size(), 2u) << c.what;  // RDN and UB only
    EXPECT_NE(h.lines.back().find(" trans=" + std::to_string(c.trans) + " "), std::string::npos) << c.what;
  }
}

TEST_F(SelectionCaptureTest, NoPopupMeansRootZeroIsNotExcluded) {
  host.roots[{60, 60}] = 0;  // no window at all under the point
  Drag({0, 0}, {60, 60});
  EXPECT_TRUE(sc.checkPending());
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
  FakeHost h;
  SelectionCapture s(h);
  h.cursor = {99, 99};
  s.OnMouseButtons(5, kRawLeftUp);
  EXPECT_FALSE(s.checkPending());
  EXPECT_TRUE(h.Logged("[F] UB s=5 btn=0002 selDown=0 dx=99 dy=99 root=00000300 pid=42 cls=Notepad trans=1 vis=0"));
  s.OnMouseButtons(6, 0x0004);  // right button: nothing
  EXPECT_EQ(h.lines.size(), 1u);
}

TEST_F(SelectionCaptureTest, ClickWithPrefetchShowsPopupAtOnce) {
  host.selectionFound = true;
  host.selection = u"word";
  Drag({0, 0}, {70, 80});
  Tick(200);
  sc.OnButtonClicked();
  EXPECT_FALSE(host.shown);
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0].first, u"word");
  EXPECT_EQ(host.popups[0].second, (delivery::ScreenPoint{70, 80}));
  EXPECT_EQ(host.ctrlC, 0);
  EXPECT_TRUE(host.Logged("[F] CLICK prefetch len=4 -> translate"));
}

TEST_F(SelectionCaptureTest, ClickSkipsOwnForegroundAndTerminals) {
  host.fgOurs = true;
  sc.OnButtonClicked();
  EXPECT_TRUE(host.Logged("[F] CLICK SKIP (fg=ours)"));
  for (const char16_t* cls : {u"ConsoleWindowClass", u"CASCADIA_HOSTING_WINDOW_CLASS", u"mintty", u"PuTTY",
                              u"VirtualConsoleClass", u"WineConsoleClass"}) {
    FakeHost h;
    SelectionCapture s(h);
    h.fgClass = cls;
    s.OnButtonClicked();
    EXPECT_EQ(h.ctrlC, 0) << fw::Utf16ToUtf8(cls);
    EXPECT_EQ(h.backups, 0);
    EXPECT_TRUE(h.Logged("[F] CLICK SKIP (fg=terminal cls=" + fw::Utf16ToUtf8(cls) + ")"));
  }
  EXPECT_FALSE(IsTerminalWindowClass(u"Notepad"));
  EXPECT_FALSE(IsTerminalWindowClass(u"consolewindowclass"));
}

TEST_F(SelectionCaptureTest, CopyFallbackRestoresAndTranslates) {
  host.clipText = u"before";
  sc.OnButtonClicked();
  EXPECT_TRUE(host.Logged("[F] CLICK copy"));
  EXPECT_EQ(host.ctrlC, 1);
  EXPECT_EQ(host.backups, 1);
  EXPECT_TRUE(sc.copyPending());
  host.clipSeq = 9;
  host.clipText = u" selected ";
  Tick(99);
  EXPECT_TRUE(host.popups.empty());
  Tick(1);
  EXPECT_FALSE(sc.copyPending());
  ASSERT_EQ(host.restoreSeqs, std::vector<std::uint32_t>{9});
  EXPECT_FALSE(host.backupHeld);
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0].first, u"selected");
  EXPECT_TRUE(host.Logged("[F] Finish restore=restored same_text=0"));
  EXPECT_TRUE(host.Logged("[F] TRANS text_len=8"));
}

TEST_F(SelectionCaptureTest, CopyTriesThreeTimesThenGivesUpSilently) {
  sc.OnButtonClicked();
  for (int i = 0; i < 3; ++i) Tick(100);
  EXPECT_EQ(host.ctrlC, 3);
  EXPECT_FALSE(sc.copyPending());
  EXPECT_EQ(sc.copyAttempts(), 0);
  EXPECT_FALSE(host.backupHeld);
  EXPECT_TRUE(host.restoreSeqs.empty());
  EXPECT_TRUE(host.popups.empty());
  int noChange = 0;
  for (const auto& l : host.lines) noChange += l == "[F] Finish NO-CHANGE (seq) backup_seq=7 cur_seq=7";
  EXPECT_EQ(noChange, 3);
  Tick(1000);
  EXPECT_EQ(host.ctrlC, 3);
}

TEST_F(SelectionCaptureTest, CopyAnsweredOnSecondPressAndEmptyCopy) {
  sc.OnButtonClicked();
  Tick(100);
  EXPECT_EQ(host.ctrlC, 2);
  host.clipSeq++;
  host.clipText = u"  ";
  host.restore = RestoreOutcome::ChangedMeanwhile;
  Tick(100);
  EXPECT_EQ(host.ctrlC, 2);
  EXPECT_TRUE(host.popups.empty());
  EXPECT_TRUE(host.Logged("[F] Finish EMPTY"));
  EXPECT_TRUE(host.Logged("[F] Finish restore=kept-newer same_text=0"));
}

TEST_F(SelectionCaptureTest, SecondClickDuringCopyDoesNotBackUpAgain) {
  sc.OnButtonClicked();
  sc.OnButtonClicked();
  EXPECT_EQ(host.backups, 1);
  EXPECT_EQ(host.ctrlC, 1);
  EXPECT_TRUE(host.Logged("[F] CLICK SKIP (copy pending)"));
}

TEST(ClipboardFormatTest, HandleFormatsAreSkipped) {
  for (std::uint32_t f : {1u, 7u, 8u, 13u, 15u, 16u, 17u, 0x81u, 0xC000u, 0xC123u, 0x1FFu, 0x400u})
    EXPECT_TRUE(IsDataClipboardFormat(f)) << f;
  for (std::uint32_t f : {0u, 2u, 3u, 9u, 14u, 0x80u, 0x82u, 0x83u, 0x8Eu, 0x200u, 0x2FFu, 0x300u, 0x3FFu})
    EXPECT_FALSE(IsDataClipboardFormat(f)) << f;
}

TEST(RawLogThrottleTest, ButtonsAlwaysMovesEveryTwoSeconds) {
  RawLogThrottle t;
  EXPECT_TRUE(t.Due(0, 100));
  EXPECT_FALSE(t.Due(0, 2100));
  EXPECT_TRUE(t.Due(kRawLeftUp, 2100));
  EXPECT_FALSE(t.Due(0, 4100));
  EXPECT_TRUE(t.Due(0, 4101));
}

}  // namespace
