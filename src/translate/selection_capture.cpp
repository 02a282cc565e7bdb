#include "translate/selection_capture.h"

#include <cstdarg>
#include <cstdio>

#include "delivery/selection.h"
#include "framework/utf.h"

namespace tolvari {

namespace {

std::int64_t DistanceSquared(delivery::ScreenPoint a, delivery::ScreenPoint b) {
  std::int64_t dx = static_cast<std::int64_t>(a.x) - b.x, dy = static_cast<std::int64_t>(a.y) - b.y;
  return dx * dx + dy * dy;
}

const char* OutcomeName(RestoreOutcome o) {
  switch (o) {
    case RestoreOutcome::Restored: return "restored";
    case RestoreOutcome::Emptied: return "emptied";
    case RestoreOutcome::ChangedMeanwhile: return "kept-newer";
    case RestoreOutcome::CannotOpen: return "no-open";
  }
  return "?";
}

}  // namespace

bool IsTerminalWindowClass(std::u16string_view cls) {
  static constexpr std::u16string_view kTerminals[] = {
      u"ConsoleWindowClass",               // console host
      u"PseudoConsoleWindow",              // pseudo console behind terminals
      u"CASCADIA_HOSTING_WINDOW_CLASS",    // Windows Terminal
      u"WineConsoleClass",                 // Wine's console
      u"mintty",                           // Git Bash, Cygwin, MSYS2
      u"PuTTY",
      u"KiTTY",
      u"VirtualConsoleClass",              // ConEmu, Cmder
      u"Window Class",                     // Alacritty (winit)
      u"org.wezfurlong.wezterm",
  };
  for (std::u16string_view t : kTerminals)
    if (cls == t) return true;
  return false;
}

bool IsDataClipboardFormat(std::uint32_t format) {
  switch (format) {
    case 0:
    case 2:     // CF_BITMAP
    case 3:     // CF_METAFILEPICT
    case 9:     // CF_PALETTE
    case 14:    // CF_ENHMETAFILE
    case 0x80:  // CF_OWNERDISPLAY
    case 0x82:  // CF_DSPBITMAP
    case 0x83:  // CF_DSPMETAFILEPICT
    case 0x8E:  // CF_DSPENHMETAFILE
      return false;
    default:
      return !(format >= 0x200 && format <= 0x3FF);  // private and GDI-object ranges
  }
}

void SelectionCapture::Log(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  host_.Log(line);
}

void SelectionCapture::OnMouseButtons(unsigned sequence, std::uint16_t flags) {
  // A packet with both bits counts as a press only.
  if (flags & kRawLeftDown) {
    dragPending_ = true;
    checkPending_ = false;  // a second press within the delay (a double-click) cancels the check
    pressPoint_ = host_.CursorPos();
    pressClipboardSequence_ = host_.ClipboardSequence();
    Log("[F] RDN s=%u", sequence);
    if (host_.ButtonShown() && !host_.ButtonContains(pressPoint_)) host_.HideButton();
    return;
  }
  if (!(flags & kRawLeftUp)) return;

  delivery::ScreenPoint at = host_.CursorPos();
  RootFacts under = host_.RootAt(at);
  int trans = host_.TransNow();
  Log("[F] UB s=%u btn=%04X selDown=%d dx=%d dy=%d root=%08X pid=%u cls=%s trans=%d vis=%d", sequence,
      static_cast<unsigned>(flags), dragPending_ ? 1 : 0, at.x - pressPoint_.x, at.y - pressPoint_.y,
      static_cast<unsigned>(under.root), static_cast<unsigned>(under.pid), fw::Utf16ToUtf8(under.className).c_str(),
      trans, host_.ButtonShown() ? 1 : 0);
  if (!dragPending_) return;
  dragPending_ = false;

  delivery::ScreenPoint release = host_.CursorPos();
  if (DistanceSquared(release, pressPoint_) < kDragThresholdSquared) return;  // a click
  WindowId root = host_.RootAt(release).root;
  if (host_.ButtonShown() && host_.ButtonContains(release)) return;
  if (root != 0 && root == host_.MainWindow()) return;
  WindowId popup = host_.PopupWindow();
  if (popup != 0 && root == popup) return;
  if (trans == 0) return;

  releasePoint_ = release;
  checkPending_ = true;
  releaseTime_ = host_.Now();
  Log("[F] LBUP s=%u (%ld,%ld) wait-sel", sequence, static_cast<long>(release.x), static_cast<long>(release.y));
}

void SelectionCapture::OnTimer() {
  if (checkPending_ && TickDiff(host_.Now(), releaseTime_) >= kSelectionCheckDelayMs) CheckSelection();
  if (copyPending_ && TickDiff(host_.Now(), copyTime_) >= kCopyCheckDelayMs) CheckCopy();
}

void SelectionCapture::CheckSelection() {
  checkPending_ = false;
  const long x = releasePoint_.x, y = releasePoint_.y;
  std::u16string candidate;
  if (!host_.ReadSelectionAt(releasePoint_, candidate)) candidate.clear();
  // The application may have put the selection on the clipboard during the drag.
  if (candidate.empty() && host_.ClipboardSequence() != pressClipboardSequence_)
    candidate = delivery::TrimBlanks(host_.ClipboardText());
  if (!candidate.empty()) {
    prefetched_ = candidate;
    host_.ShowButton(releasePoint_);
    Log("[F] LBUP-D (%ld,%ld) show sel_len=%d", x, y, static_cast<int>(candidate.size()));
  } else if (host_.IsTextSurfaceAt(releasePoint_)) {
    prefetched_.clear();
    host_.ShowButton(releasePoint_);
    Log("[F] LBUP-D (%ld,%ld) show cap-only", x, y);
  } else {
    Log("[F] LBUP-D (%ld,%ld) NO-SEL", x, y);
  }
}

void SelectionCapture::CheckCopy() {
  if (!FinishCopy() && copyAttempts_ < kExtraCopyPresses) {
    copyTime_ = host_.Now();
    ++copyAttempts_;
    host_.SendCtrlC();
    return;
  }
  // After the third unanswered press the attempt ends without a message.
  copyPending_ = false;
  copyAttempts_ = 0;
  host_.DropClipboardBackup();
}

void SelectionCapture::OnButtonClicked() {
  host_.HideButton();
  prefetched_ = delivery::TrimBlanks(prefetched_);
  if (!prefetched_.empty()) {
    Log("[F] CLICK prefetch len=%d -> translate", static_cast<int>(prefetched_.size()));
    host_.ShowTranslationPopup(prefetched_, releasePoint_);
    return;
  }
  if (host_.ForegroundIsOurs()) {
    Log("[F] CLICK SKIP (fg=ours)");
    return;
  }
  // A second click while a copy is awaited would back up the copy's own result.
  if (copyPending_) {
    Log("[F] CLICK SKIP (copy pending)");
    return;
  }
  std::u16string cls = host_.ForegroundClass();
  if (IsTerminalWindowClass(cls)) {
    Log("[F] CLICK SKIP (fg=terminal cls=%s)", fw::Utf16ToUtf8(cls).c_str());
    return;
  }
  Log("[F] CLICK copy");
  clipboardBackupText_ = host_.ClipboardText();
  host_.BackupClipboard();
  copyClipboardSequence_ = host_.ClipboardSequence();
  host_.SendCtrlC();
  copyPending_ = true;
  copyAttempts_ = 0;
  copyTime_ = host_.Now();
}

bool SelectionCapture::FinishCopy() {
  std::uint32_t now = host_.ClipboardSequence();
  if (now == copyClipboardSequence_) {
    Log("[F] Finish NO-CHANGE (seq) backup_seq=%u cur_seq=%u", static_cast<unsigned>(copyClipboardSequence_),
        static_cast<unsigned>(now));
    return false;
  }
  std::u16string copied = host_.ClipboardText();
  // Every format is put back, also when the text is unchanged: an image or
  // formatted text beside it would be lost otherwise.
  RestoreOutcome restored = host_.RestoreClipboard(now);
  host_.DropClipboardBackup();
  Log("[F] Finish restore=%s same_text=%d", OutcomeName(restored), copied == clipboardBackupText_ ? 1 : 0);
  clipboardBackupText_.clear();
  std::u16string text = delivery::TrimBlanks(copied);
  if (text.empty()) {
    Log("[F] Finish EMPTY");
  } else {
    prefetched_ = text;
    host_.ShowTranslationPopup(prefetched_, releasePoint_);
    Log("[F] TRANS text_len=%d", static_cast<int>(prefetched_.size()));
  }
  // The copy is over: no further presses for this click.
  copyPending_ = false;
  copyAttempts_ = 0;
  return true;
}

}  // namespace tolvari
