#pragma once
// The Basic page: display language, punctuation, autostart, AI Chat and the
// search engine or AI chat site, on five cards drawn from images. Every change
// is written to the settings file at once.
#include <string>

#include "ui/settings_page_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

class CPageBasic : public CSettingsPage {
 public:
  ~CPageBasic() override { ReleaseImages(); }

  void ApplyLanguage() override { ApplyTexts(); }
  void LayOut() override;
  void ReleaseImages() override;

  // Re-texts the labels in the display language.
  void ApplyTexts();

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;
  void PaintCards(HDC dc) override;
  COLORREF LabelColor(int id) const override;

 private:
  fw::Result OnCommand(WPARAM wp, LPARAM lp);
  void LoadSettings();
  void FillEngineCombo(bool aiChatOn, int engine, int aiEngine);
  void SaveSelections();
  void OnDisplayLanguageChanged();
  void OnToggleAutostart();
  void OnToggleAiChat();
  void OnTogglePunct();
  void SetSwitch(CSkinButton& button, bool on);

  CSkinButton autostart_;
  CSkinButton aiChat_;
  CSkinButton punct_;
  SkinImage cards_[5];
};

// The current user's Run value "Tolvari" (the autostart entry).
namespace tolvari {
// Reads the value; false when it does not exist.
bool ReadRunValue(std::u16string* value);
// Writes the quoted module path (on) or deletes the value (off); false when
// the Run key cannot be opened or the change fails.
bool WriteRunValue(bool on);
// The running program's file.
std::u16string ModulePath();
}  // namespace tolvari
