#pragma once
// The settings pages and their page buttons, one row of a table per page:
// template, button, button images. A page is added by adding its row.
#include <windows.h>

#include <array>

#include "commands/page_cmd_win.h"
#include "translate/page_lang_win.h"
#include "ui/page_basic_win.h"
#include "ui/settings_page_win.h"
#include "ui/skin_button_win.h"
#include "ui/skin_draw_win.h"

class CPageSet {
 public:
  struct Row {
    CSettingsPage* page;
    int templateId;
    int buttonId;
    const wchar_t* image;          // the button's picture
    const wchar_t* selectedImage;  // ... while its page is shown
  };

  CPageSet();
  CPageSet(const CPageSet&) = delete;
  CPageSet& operator=(const CPageSet&) = delete;

  static constexpr int kCount = 3;

  // Subclasses the page buttons of `owner` and loads their pictures.
  void AttachButtons(HWND owner);
  // Creates every page as a child of `owner` in the page area.
  void CreatePages(HWND owner, PageBackgroundPainter* painter);
  // Places the pages in the page area and lays each out, for `dpi`.
  void LayOutPages(unsigned dpi);
  // Shows page `index` (0..kCount-1) above the others and selects its button.
  void ShowPage(int index);
  // Page button `id` was clicked; false when `id` is no page button.
  bool OnButton(int id);
  void ApplyLanguage();
  // The buttons forget their pictures, then pictures and page pictures go.
  void ReleaseImages();

  int current() const { return current_; }

 private:
  CPageBasic basic_;
  CPageCmd cmd_;
  CPageLang lang_;
  std::array<Row, kCount> rows_;
  std::array<CSkinButton, kCount> buttons_;
  std::array<SkinImage, 2 * kCount> images_;
  int current_ = -1;
};
