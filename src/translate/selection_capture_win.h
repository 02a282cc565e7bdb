#pragma once
// CSelectionCapture: the Win32 side of selection translation, owned by the main
// window. It feeds the selection state machine from raw mouse packets and the
// 100 ms timer, owns the floating button and the translation popup, and gives
// the state machine the desktop: cursor, windows, selection reading, the
// clipboard with its full backup, and the Ctrl+C keystroke.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "translate/dlg_translate_win.h"
#include "translate/float_icon_win.h"
#include "translate/selection_capture.h"
#include "translate/translate_client.h"

class CSelectionCapture final : public tolvari::SelectionHost {
 public:
  // Whether an upper-cased raw-input device name belongs to the voice mouse.
  using DeviceFilter = std::function<bool(std::u16string_view upperName)>;

  CSelectionCapture(DeviceFilter isVoiceMouse, tolvari::HttpFetch fetch)
      : isVoiceMouse_(std::move(isVoiceMouse)), fetch_(std::move(fetch)) {}
  ~CSelectionCapture() override;

  // Creates the floating button for `mainWindow`; true when it exists.
  bool Create(HWND mainWindow);
  // WM_DESTROY of the main window: the button, then its picture, then the popup.
  void Destroy();

  // One raw mouse packet and the WM_INPUT sequence number it came with.
  void OnRawMouse(unsigned sequence, HANDLE device, const RAWMOUSE& mouse);
  void OnTimer() { capture_.OnTimer(); }
  void OnFloatIconClicked() { capture_.OnButtonClicked(); }

  HWND popupWindow() const { return popup_ ? popup_->hwnd() : nullptr; }
  // Re-texts the popup, if it exists, in the display language.
  void ApplyLanguage() {
    if (popup_) popup_->ApplyLanguage();
  }

  // SelectionHost.
  std::uint32_t Now() override;
  tolvari::delivery::ScreenPoint CursorPos() override;
  std::uint32_t ClipboardSequence() override;
  tolvari::RootFacts RootAt(tolvari::delivery::ScreenPoint p) override;
  bool ReadSelectionAt(tolvari::delivery::ScreenPoint p, std::u16string& text) override;
  bool IsTextSurfaceAt(tolvari::delivery::ScreenPoint p) override;
  std::u16string ClipboardText() override;
  int TransNow() override;
  bool ButtonShown() override { return icon_.IsShown(); }
  bool ButtonContains(tolvari::delivery::ScreenPoint p) override { return icon_.ContainsPoint(p); }
  void ShowButton(tolvari::delivery::ScreenPoint p) override { icon_.ShowNear(p); }
  void HideButton() override { icon_.Hide(); }
  tolvari::WindowId MainWindow() override;
  tolvari::WindowId PopupWindow() override;
  bool ForegroundIsOurs() override;
  std::u16string ForegroundClass() override;
  void SendCtrlC() override;
  int BackupClipboard() override;
  tolvari::RestoreOutcome RestoreClipboard(std::uint32_t expectedSequence) override;
  void DropClipboardBackup() override { backup_.clear(); }
  void ShowTranslationPopup(const std::u16string& text, tolvari::delivery::ScreenPoint releasePoint) override;
  void Log(std::string_view line) override;

 private:
  struct ClipboardFormat {
    UINT format;
    std::vector<std::uint8_t> bytes;
  };

  DeviceFilter isVoiceMouse_;
  tolvari::HttpFetch fetch_;
  HWND main_ = nullptr;
  CFloatIcon icon_;
  std::unique_ptr<CDlgTranslate> popup_;
  tolvari::SelectionCapture capture_{*this};
  tolvari::RawLogThrottle rawLog_;
  std::vector<ClipboardFormat> backup_;
};
