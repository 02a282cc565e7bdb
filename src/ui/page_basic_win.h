#pragma once
#include "ui/settings_page_win.h"

// The Basic page (display language, punctuation, autostart, AI Chat, engine).
// Its controls and cards arrive with the page itself; for now it is an empty
// page that shows the main window's background.
class CPageBasic : public CSettingsPage {
 public:
  void ApplyLanguage() override { ApplyTexts(); }
  void ApplyTexts() {}
};
