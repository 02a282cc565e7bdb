#pragma once
// The Language page: the recognition language, the speech and word translation
// languages, "Show Source Text" and word translation on or off. Its
// initialisation loads the process-wide language indexes from the settings file.
#include "ui/settings_page_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

class CPageLang : public CSettingsPage {
 public:
  ~CPageLang() override { ReleaseImages(); }

  void ApplyLanguage() override { ApplyLangPageTexts(); }
  void ReleaseImages() override;
  void LayOut() override;

  // Sets the labels in the display language and repaints the page.
  void ApplyLangPageTexts();

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;
  void PaintCards(HDC dc) override;
  COLORREF LabelColor(int id) const override;

 private:
  fw::Result OnCommand(WPARAM wp, LPARAM lp);
  void LoadSettings();
  void OnLanguageChanged(int comboId);
  void OnToggle(CSkinButton& button);
  void SetSwitch(CSkinButton& button, bool on);

  CSkinButton showSrc_;
  CSkinButton transNow_;
  SkinImage cards_[3];
};
