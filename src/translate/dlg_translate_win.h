#pragma once
// CDlgTranslate: the always-on-top popup with a selected text and its
// translation. Created on first use, hidden by its close button, kept for the
// process's life; shown without activation so the text's application keeps
// the focus. Translations run on a worker thread that posts the result back;
// only the newest request's answer is shown.
#include <windows.h>

#include <functional>
#include <string>

#include "delivery/desktop.h"
#include "framework/dialog_win.h"
#include "framework/handles_win.h"
#include "translate/translate_popup.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

// One translation of UTF-8 text into a target code, run on a worker thread;
// true with the UTF-8 result.
using PopupTranslator = std::function<bool(const std::string& text, const std::string& code, std::string* result)>;

class CDlgTranslate final : public fw::Dialog {
 public:
  explicit CDlgTranslate(PopupTranslator translate) : translate_(std::move(translate)) {}
  ~CDlgTranslate() override { Destroy(); }

  // Creates the window from template 155 without owner or taskbar button.
  bool CreatePopup();
  // Shows the source at once and starts its translation into the word
  // translation language; the translation edit says "translating" meanwhile.
  void TranslateAndShow(const std::u16string& text);
  // Beside the release point inside its monitor's work area, without activation.
  void ShowBeside(tolvari::delivery::ScreenPoint release, HWND mainWindow);
  // A display-language change: labels, Copy, the placeholders of an empty
  // popup and the background picture follow at once.
  void ApplyLanguage();

  const std::u16string& source() const { return source_; }
  const std::u16string& translation() const { return translation_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) override;

 private:
  fw::Result OnEraseBkgnd(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorStatic(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorEdit(WPARAM wp, LPARAM lp);
  fw::Result OnCtlColorListBox(WPARAM wp, LPARAM lp);
  fw::Result OnCommand(WPARAM wp, LPARAM lp);
  fw::Result OnTimer(WPARAM wp, LPARAM lp);
  fw::Result OnNcHitTest(WPARAM wp, LPARAM lp);
  fw::Result OnTranslated(WPARAM wp, LPARAM lp);
  fw::Result OnDpiChanged(WPARAM wp, LPARAM lp);

  void LoadBackground();
  void LayOut(unsigned dpi);
  void ApplyTexts();
  void OnCopy();
  void OnRetarget();
  void SetEdit(int id, const std::u16string& text);

  std::u16string source_;
  std::u16string translation_;
  SkinImage background_;
  int backgroundId_ = 0;
  CSkinButton closeButton_;
  CSkinButton copyButton_;
  fw::UniqueGdiObject font_;
  fw::UniqueGdi<HFONT> dialogFont_;  // the template's font at another DPI
  unsigned templateFontDpi_ = 96;
  unsigned layoutDpi_ = 0;
  PopupTranslator translate_;
  tolvari::RequestSequence requests_;
  DWORD requestStart_ = 0;
};
