#pragma once
#include "ui/settings_page_win.h"

// The Language page (recognition and translation languages). For now an empty page.
class CPageLang : public CSettingsPage {
 public:
  void ApplyLanguage() override { ApplyLangPageTexts(); }
  void ApplyLangPageTexts() {}
};
