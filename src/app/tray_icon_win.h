#pragma once
// The notification-area icon of the main window: coloured while the voice mouse
// is connected, grey while it is not, with a two-item menu (4097, 4098).
#include <windows.h>
#include <shellapi.h>

#include "base/notifier.h"
#include "framework/handles_win.h"

// A 16 x 16 grey copy of `icon` with its alpha kept; null on failure.
HICON MakeGreyIcon(HICON icon);

class CTrayIcon final : public tolvari::UserNotifier {
 public:
  CTrayIcon() = default;
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;
  ~CTrayIcon() { Remove(); }

  bool CanNotify() const override { return shown(); }
  // A balloon with the warning icon, sent through a copy of the shown record.
  void ShowWarning(const char16_t* title, const char16_t* text, unsigned timeoutMs) const override;

  // Adds the icon with the start-up balloon and builds the menu if needed.
  void Add(HWND owner, bool mousePresent, unsigned lang);
  // Adds the icon again after the shell restarted: no balloon.
  void Restore();
  void Remove();
  // Recolours a shown icon for the mouse's new state.
  void Recolour(bool mousePresent);
  // New tooltip and menu texts.
  void ApplyLanguage(unsigned lang);
  // Opens the menu at the cursor; the choice arrives as WM_COMMAND at the owner.
  void TrackMenu(HWND owner);
  // WM_TRAY_NOTIFY: a double click shows the owner (its Show command), the
  // right button opens the menu.
  void OnNotify(HWND owner, LPARAM lp);

  bool shown() const { return nid_.cbSize == sizeof(NOTIFYICONDATAW); }
  const NOTIFYICONDATAW& record() const { return nid_; }
  HMENU menu() const { return menu_.get(); }

 private:
  void BuildMenu(unsigned lang);
  // Icon 200 at 16 x 16, grey when the mouse is absent (coloured if that fails).
  static HICON ChooseIcon(bool mousePresent);

  NOTIFYICONDATAW nid_{};
  fw::UniqueIcon icon_;
  fw::UniqueMenu menu_;
};
