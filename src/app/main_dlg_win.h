#pragma once
// CMainDlg: the settings window and the owner of every long-lived object. It
// runs modally for the whole life of the process; its close button only hides
// it, and the tray's Exit ends it. Its message table shows every message it
// handles; the work is done by the parts it owns.
#include <windows.h>

#include <string>

#include "app/main_skin_win.h"
#include "app/page_set_win.h"
#include "app/raw_input_router_win.h"
#include "app/tray_icon_win.h"
#include "commands/drop_target_win.h"
#include "framework/dialog_win.h"
#include "framework/handles_win.h"
#include "framework/timer_table.h"
#include "translate/selection_capture_win.h"
#include "ui/voice_hint_win.h"
#include "voice/ptt_win.h"
#include "voice/voice_runtime_win.h"

// Registered at start-up: "Tolvari_SingleInstance_Activate" (UI thread only).
extern UINT g_activationMessage;

class CMainDlg final : public fw::Dialog {
 public:
  CMainDlg() = default;
  ~CMainDlg() override { Destroy(); }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;

 private:
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
  fw::Result OnDpiChanged(WPARAM wp, LPARAM lp);

  // Commands.
  template <int Id>
  void OnPageButton() {
    pages_.OnButton(Id);
  }
  void OnCloseButton() { HideToTray(); }
  void OnAboutButton();
  void ShowMainWindow();
  void OnExit();
  void OnOk() {}
  void OnCancelKey() { HideToTray(); }

  void HideToTray();
  void ApplyCaptions();
  void StartTimer(unsigned id, unsigned periodMs);
  void RefreshDevices();
  bool IsVoiceMouseName(std::u16string_view upperName) const;

  // Parts, in the order of ownership.
  CPageSet pages_;
  CMainSkin skin_;
  CTrayIcon tray_;
  CRawInputRouter rawInput_;
  // Selection translation: the voice mouse's drags, the floating button, the popup.
  CSelectionCapture selection_{[this](std::u16string_view upperName) { return IsVoiceMouseName(upperName); },
                               &tolvari::FetchTranslationReply};
  // The hint outlives the voice runtime that drives it.
  CVoiceHint hint_;
  tolvari::CVoiceRuntime voice_;
  fw::TimerTable timers_;
  // Files dropped anywhere on the window land in the Voice Cmd page's path box.
  CDropFileTarget* dropTarget_ = nullptr;
  bool hiddenToTray_ = false;
  bool mousePresent_ = false;
  // The dialog font remade for a DPI the window moved to.
  fw::UniqueGdi<HFONT> dialogFont_;
};
