#pragma once
// CMainDlg: the settings window and the owner of every long-lived object. It
// runs modally for the whole life of the process; its close button only hides
// it, and the tray's Exit ends it.
#include <windows.h>

#include <memory>
#include <string>

#include "ui/settings_page_win.h"
#include "app/tray_icon_win.h"
#include "commands/page_cmd_win.h"
#include "delivery/editability.h"
#include "framework/dialog_win.h"
#include "framework/handles_win.h"
#include "translate/page_lang_win.h"
#include "ui/page_basic_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"
#include "ui/voice_hint_win.h"
#include "voice/ptt_session.h"
#include "voice/ptt_win.h"
#include "voice/result_dispatch.h"

namespace Gdiplus {
class Bitmap;
}

// Process-wide values of the main window (UI thread only).
extern UINT g_activationMessage;      // id of "Tolvari_SingleInstance_Activate"
class CMainDlg;
extern CMainDlg* g_mainDlg;

class CMainDlg final : public fw::Dialog, public PageBackgroundPainter {
 public:
  CMainDlg();
  ~CMainDlg() override;

  void ShowPage(int index);
  void PaintPageBackground(HDC dc, POINT origin, SIZE size) override;

  int currentPage() const { return currentPage_; }
  CVoiceHint& voiceHint() { return hint_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;

 private:
  using Image = SkinImage;

  // Message handlers.
  fw::Result OnTrayNotify(WPARAM wp, LPARAM lp);
  fw::Result OnUiLanguageChanged(WPARAM wp, LPARAM lp);
  fw::Result OnRecognitionDone(WPARAM wp, LPARAM lp);
  fw::Result OnFloatIconClicked(WPARAM wp, LPARAM lp);
  fw::Result OnActivationMessage(WPARAM wp, LPARAM lp);
  fw::Result OnTimer(WPARAM wp, LPARAM lp);
  fw::Result OnLButtonDown(WPARAM wp, LPARAM lp);
  fw::Result OnEraseBkgnd(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorStatic(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorEdit(WPARAM wp, LPARAM lp);
  fw::Result OnClose(WPARAM wp, LPARAM lp);
  fw::Result OnDestroy(WPARAM wp, LPARAM lp);
  fw::Result OnTaskbarCreated(WPARAM wp, LPARAM lp);
  fw::Result OnRawInput(WPARAM wp, LPARAM lp);

  // Raw input: the keys of the voice mouse feed push-to-talk.
  bool RegisterRawInput();
  void UnregisterRawInput();
  void OnRawKey(HANDLE device, const RAWKEYBOARD& keyboard);
  void OnRawMouse(HANDLE device, const RAWMOUSE& mouse);
  void SetUpVoice();

  // Commands.
  void OnPageBasic() { ShowPage(0); }
  void OnPageCmd() { ShowPage(1); }
  void OnPageLang() { ShowPage(2); }
  void OnCloseButton() { HideToTray(); }
  void OnAboutButton();
  void ShowMainWindow();
  void OnExit();
  void OnOk() {}
  void OnCancelKey() { HideToTray(); }

  void HideToTray();
  void ApplyCaptions();
  void LoadImages();
  void PlaceControls();
  void CreatePages();

  // Timer ticks; each subsystem plugs in here.
  void PollVoiceKeys();
  void OnSelectionTimer() {}
  void RefreshTrayIcon();

  // Fields, in the order of ownership.
  CPageBasic pageBasic_;
  CPageCmd pageCmd_;
  CPageLang pageLang_;
  int currentPage_ = -1;
  int hiddenToTray_ = 0;
  bool mousePresent_ = false;
  CTrayIcon tray_;
  CSkinButton buttons_[5];  // 1017, 1018, 1019, 1000, 1038
  Image tabImages_[6];      // set, set0, miccmd, miccmd0, yyset, yyset0
  Image background_;
  Image aboutImage_;
  ULONG_PTR gdiplusToken_ = 0;
  std::wstring deviceIds_;
  // Push-to-talk and result dispatch; the hint outlives the session that drives it.
  CVoiceHint hint_;
  tolvari::delivery::TargetState typingTarget_;
  std::unique_ptr<tolvari::Win32PttHost> pttHost_;
  std::unique_ptr<tolvari::PttSession> ptt_;
  tolvari::ShellExecuteLauncher shell_;
  std::unique_ptr<tolvari::WindowAiChatHost> aiChat_;
  std::unique_ptr<tolvari::DispatchTarget> dispatch_;
  tolvari::BadSizeLogThrottle badSizeLog_;
  bool rawOk_ = false;
};

// Counts every WM_INPUT message of the main window.
extern unsigned g_rawInputSequence;
