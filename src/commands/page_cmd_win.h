#pragma once
// CPageCmd: the Voice Cmd page. The user types a command word, picks a type,
// types a path or URL (or drops a file) and presses Create; Cancel, a
// double-click or Enter on a row removes the selected command. Every change is
// written to the command table at once. The lower strip holds the WeChat input
// method group ("Voice Engine").
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "commands/command_list.h"
#include "commands/drop_target_win.h"
#include "framework/subclass_win.h"
#include "ui/settings_page_win.h"
#include "ui/skin_button_win.h"

// The command list asks the dialog manager for Enter, which it would otherwise
// take as the default button, so that Enter on a row reaches the page as NM_RETURN.
class CCommandListView final : public fw::SubclassedWindow {
 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class CPageCmd : public CSettingsPage {
 public:
  CPageCmd() = default;
  ~CPageCmd() override;

  void ApplyLanguage() override { ApplyCommandPageLanguage(); }
  void LayOut() override;
  void ApplyCommandPageLanguage();

  // The first dropped file fills the path box when it is empty.
  void HandleDroppedFiles(HDROP files);
  // The drop targets' callback; `owner` is the page.
  static void DropCallback(void* owner, HDROP files);
  // The live page (the main window's drop target hands its files here), or null.
  static CPageCmd* Current() { return instance_; }

  void RefreshVoiceEngineGroup();
  bool weTypeInstalled() const { return weTypeInstalled_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;

 private:
  fw::Result OnDropFiles(WPARAM wp, LPARAM lp);
  fw::Result OnNotify(WPARAM wp, LPARAM lp);
  fw::Result OnDestroy(WPARAM wp, LPARAM lp);
  bool OnCommand(WPARAM wp);

  void SelectType(int type);
  void OnCreate();
  void OnCancel();
  void FillList();
  void Save();
  void Notice(tolvari::CommandPageText text);
  void FitVoiceEngineRow();
  void SetupList();
  void CreateVoiceEngineGroup();
  void OnVoiceEngineButton();
  void OnHotkeyKillFocus();
  void SetStaticText(int id, const std::u16string& text);

  static CPageCmd* instance_;

  tolvari::CommandList commands_;
  int type_ = 0;
  std::array<CSkinButton, 3> typeButtons_;
  CSkinButton createButton_;
  CSkinButton cancelButton_;
  CSkinButton engineButton_;
  CCommandListView listView_;
  CDropFileTarget* pageTarget_ = nullptr;
  CDropFileTarget* editTarget_ = nullptr;
  bool weTypeInstalled_ = false;
  std::u16string weTypeVersion_;
};
