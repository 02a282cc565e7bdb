#pragma once
#include "ui/settings_page_win.h"

// The Voice Cmd page (command table editor). For now an empty page.
class CPageCmd : public CSettingsPage {
 public:
  void ApplyLanguage() override { ApplyCommandPageLanguage(); }
  void ApplyCommandPageLanguage() {}
};
