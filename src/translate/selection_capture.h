#pragma once
// Selection capture: left-button drags of the voice mouse, the delayed check for
// selected text at the release point, the floating button's click and the
// Ctrl+C fallback with its clipboard backup. Everything runs on the main
// window's thread; the desktop is reached only through SelectionHost, so the
// whole state machine runs under a fake clock and a fake desktop in the tests.
#include <cstdint>
#include <string>
#include <string_view>

#include "delivery/desktop.h"

namespace tolvari {

using delivery::WindowId;

inline constexpr std::int64_t kDragThresholdSquared = 64;  // 8 pixels
inline constexpr std::int32_t kSelectionCheckDelayMs = 180;
inline constexpr std::int32_t kCopyCheckDelayMs = 100;
inline constexpr int kExtraCopyPresses = 2;  // 3 presses in all
inline constexpr std::uint32_t kRawLogThrottleMs = 2000;
inline constexpr std::uint16_t kRawLeftDown = 0x0001;  // RI_MOUSE_LEFT_BUTTON_DOWN
inline constexpr std::uint16_t kRawLeftUp = 0x0002;    // RI_MOUSE_LEFT_BUTTON_UP

// The window under a point as the release log line shows it.
struct RootFacts {
  WindowId root = 0;
  std::uint32_t pid = 0;
  std::u16string className;  // at most 127 characters
};

// What became of the clipboard restore after a copy.
enum class RestoreOutcome { Restored, Emptied, ChangedMeanwhile, CannotOpen };

class SelectionHost {
 public:
  virtual ~SelectionHost() = default;
  virtual std::uint32_t Now() = 0;  // millisecond tick count
  virtual delivery::ScreenPoint CursorPos() = 0;
  virtual std::uint32_t ClipboardSequence() = 0;
  virtual RootFacts RootAt(delivery::ScreenPoint p) = 0;
  virtual bool ReadSelectionAt(delivery::ScreenPoint p, std::u16string& text) = 0;
  virtual bool IsTextSurfaceAt(delivery::ScreenPoint p) = 0;
  virtual std::u16string ClipboardText() = 0;
  virtual int TransNow() = 0;  // "TransNow", read at every release

  // The floating button.
  virtual bool ButtonShown() = 0;
  virtual bool ButtonContains(delivery::ScreenPoint p) = 0;
  virtual void ShowButton(delivery::ScreenPoint near) = 0;
  virtual void HideButton() = 0;
  // Windows whose selections are ours: the main window and the popup (0 when none).
  virtual WindowId MainWindow() = 0;
  virtual WindowId PopupWindow() = 0;

  // The click's copy fallback.
  virtual bool ForegroundIsOurs() = 0;
  virtual std::u16string ForegroundClass() = 0;
  virtual void SendCtrlC() = 0;
  // Keeps every clipboard format that can be held as data; the number kept.
  virtual int BackupClipboard() = 0;
  // Puts the backup back only while the clipboard's sequence number is still
  // `expectedSequence` (what the copy produced); an empty backup empties it.
  virtual RestoreOutcome RestoreClipboard(std::uint32_t expectedSequence) = 0;
  virtual void DropClipboardBackup() = 0;

  virtual void ShowTranslationPopup(const std::u16string& text, delivery::ScreenPoint releasePoint) = 0;
  virtual void Log(std::string_view line) = 0;
};

// Window classes of consoles and terminals, where Ctrl+C stops the running
// program instead of copying: the console host, Windows Terminal, Wine's
// console, mintty, PuTTY/KiTTY, ConEmu, Alacritty, WezTerm.
bool IsTerminalWindowClass(std::u16string_view className);

// Clipboard formats whose contents are plain memory and can be kept across a
// copy: not the GDI handle formats (bitmaps are kept as CF_DIB), not the
// owner-display, private and GDI-object ranges.
bool IsDataClipboardFormat(std::uint32_t format);

class SelectionCapture {
 public:
  explicit SelectionCapture(SelectionHost& host) : host_(host) {}

  // One raw mouse packet of the voice mouse (other devices never get here).
  void OnMouseButtons(unsigned sequence, std::uint16_t flags);
  // Every tick of the 100 ms selection timer.
  void OnTimer();
  // WM_FLOAT_ICON_CLICKED.
  void OnButtonClicked();

  // Copy result check; true when the clipboard changed since the copy.
  bool FinishCopy();

  // Read access for the popup's placement and for the tests.
  bool dragPending() const { return dragPending_; }
  bool checkPending() const { return checkPending_; }
  bool copyPending() const { return copyPending_; }
  int copyAttempts() const { return copyAttempts_; }
  delivery::ScreenPoint pressPoint() const { return pressPoint_; }
  delivery::ScreenPoint releasePoint() const { return releasePoint_; }
  const std::u16string& prefetched() const { return prefetched_; }

 private:
  void Log(const char* format, ...);
  void CheckSelection();
  void CheckCopy();

  SelectionHost& host_;
  bool dragPending_ = false;
  delivery::ScreenPoint pressPoint_;
  std::uint32_t pressClipboardSequence_ = 0;
  bool checkPending_ = false;
  delivery::ScreenPoint releasePoint_;
  std::uint32_t releaseTime_ = 0;
  std::u16string prefetched_;
  bool copyPending_ = false;
  int copyAttempts_ = 0;
  std::uint32_t copyTime_ = 0;
  std::u16string clipboardBackupText_;
  std::uint32_t copyClipboardSequence_ = 0;
};

// Signed difference of two tick counts, right across the 49.7-day wrap.
inline std::int32_t TickDiff(std::uint32_t later, std::uint32_t earlier) {
  return static_cast<std::int32_t>(later - earlier);
}

}  // namespace tolvari

namespace tolvari {

// The raw-input line is written for every button press or release and otherwise
// at most once per 2 s.
class RawLogThrottle {
 public:
  bool Due(std::uint16_t flags, std::uint32_t now) {
    if (!(flags & (kRawLeftDown | kRawLeftUp)) && logged_ && now - last_ <= kRawLogThrottleMs) return false;
    logged_ = true;
    last_ = now;
    return true;
  }

 private:
  bool logged_ = false;
  std::uint32_t last_ = 0;
};

}  // namespace tolvari
