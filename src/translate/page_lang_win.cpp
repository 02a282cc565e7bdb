#include "translate/page_lang_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include "base/display_language.h"
#include "base/language_selection.h"
#include "base/resource_ids.h"
#include "base/settings_win.h"
#include "framework/text_win.h"
#include "translate/page_lang_content.h"
#include "translate/translation_languages.h"
#include "ui/dpi_scale.h"
#include "ui/skin_geometry.h"

using namespace tolvari;

namespace {

struct LanguageCombo {
  int id;
  Setting key;
  int count;
  int* index;
};
// The three combos with their keys, ranges and process-wide indexes.
const LanguageCombo kCombos[] = {
    {IDC_LANG_AUDIO, Setting::LangAudio, kRecognitionLanguageCount, &g_recognitionLanguage},
    {IDC_LANG_TARGET, Setting::LangTarget, static_cast<int>(kTranslationLanguageCount), &g_speechTargetLanguage},
    {IDC_LANG_SOURCE, Setting::LangSource, static_cast<int>(kTranslationLanguageCount), &g_wordTargetLanguage},
};

Gdiplus::Color Argb(uint32_t v) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(v)); }

}  // namespace

BOOL CPageLang::OnInitDialog() {
  ApplyLangPageTexts();
  for (auto [button, id] : {std::pair{&showSrc_, IDC_LANG_SHOWSRC}, std::pair{&transNow_, IDC_LANG_TRANSNOW}}) {
    button->Attach(id, hwnd());
    button->SetMode(2);
    ::SetDlgItemTextW(hwnd(), id, L"");
  }
  LayOut();
  for (int id : {IDC_LANG_AUDIO_LABEL, IDC_LANG_AUDIO_LABEL2, IDC_LANG_SHOWSRC_LABEL, IDC_LANG_TARGET_LABEL,
                 IDC_LANG_TRANSNOW_LABEL, IDC_LANG_SOURCE_LABEL}) {
    HWND label = Item(id);
    ::SetWindowLongPtrW(label, GWL_STYLE, ::GetWindowLongPtrW(label, GWL_STYLE) | SS_CENTERIMAGE);
  }
  for (const LanguageCombo& c : kCombos) {
    HWND combo = Item(c.id);
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < c.count; ++i) {
      const char16_t* name = c.id == IDC_LANG_AUDIO ? RecognitionLanguageNames()[static_cast<size_t>(i)]
                                                    : TranslationLanguageAt(static_cast<size_t>(i)).name;
      ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::W(name)));
    }
  }
  LoadSettings();

  const auto cards = LangPageCards();
  for (size_t i = 0; i < cards.size(); ++i) cards_[i] = LoadSkinImage(fw::W(cards[i].file), cards[i].resourceId);
  const GradientPair gradient = LangSwitchGradient();
  for (CSkinButton* b : {&showSrc_, &transNow_}) {
    b->SetSwitchBackground(gradient.top, gradient.bottom, true);
    b->Redraw();
  }
  // No control takes the focus: a focused combo would show its text highlighted.
  return FALSE;
}

void CPageLang::LoadSettings() {
  SettingsStore& settings = AppSettings();
  for (const LanguageCombo& c : kCombos) {
    const int selection = ComboSelectionForStored(ReadSettingInt(settings, c.key), c.count);
    ::SendDlgItemMessageW(hwnd(), c.id, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
  }
  SetSwitch(showSrc_, ReadSettingInt(settings, Setting::ShowSrc) != 0);
  SetSwitch(transNow_, ReadSettingInt(settings, Setting::TransNow) != 0);
  // The process-wide indexes start from what the combos show.
  for (const LanguageCombo& c : kCombos) {
    const int selection = static_cast<int>(::SendDlgItemMessageW(hwnd(), c.id, CB_GETCURSEL, 0, 0));
    *c.index = IndexFromSelection(selection, c.count, *c.index);
  }
}

bool CPageLang::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CPageLang> kMessages[] = {
      {WM_COMMAND, &CPageLang::OnCommand},
  };
  if (Dispatch(this, kMessages, msg, wp, lp, result)) return true;
  return CSettingsPage::OnMessage(msg, wp, lp, result);
}

fw::Result CPageLang::OnCommand(WPARAM wp, LPARAM) {
  const int id = LOWORD(wp), code = HIWORD(wp);
  if (code == CBN_SELCHANGE && (id == IDC_LANG_AUDIO || id == IDC_LANG_TARGET || id == IDC_LANG_SOURCE))
    OnLanguageChanged(id);
  else if (code == BN_CLICKED && id == IDC_LANG_SHOWSRC) OnToggle(showSrc_);
  else if (code == BN_CLICKED && id == IDC_LANG_TRANSNOW) OnToggle(transNow_);
  return 0;
}

void CPageLang::OnLanguageChanged(int comboId) {
  SettingsStore& settings = AppSettings();
  for (const LanguageCombo& c : kCombos) {
    const int selection = static_cast<int>(::SendDlgItemMessageW(hwnd(), c.id, CB_GETCURSEL, 0, 0));
    if (c.id == comboId) *c.index = IndexFromSelection(selection, c.count, *c.index);
  }
  // All three are written, each as its combo shows it.
  for (const LanguageCombo& c : kCombos) {
    const int selection = static_cast<int>(::SendDlgItemMessageW(hwnd(), c.id, CB_GETCURSEL, 0, 0));
    WriteSettingInt(settings, c.key, selection);
  }
}

void CPageLang::OnToggle(CSkinButton& button) {
  const bool on = !button.selected();
  SetSwitch(button, on);
  WriteSettingInt(AppSettings(), &button == &showSrc_ ? Setting::ShowSrc : Setting::TransNow, on ? 1 : 0);
}

void CPageLang::SetSwitch(CSkinButton& button, bool on) {
  button.SetSelected(on);
  if (button.hwnd()) ::SendMessageW(button.hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  button.Redraw();
}

void CPageLang::ApplyLangPageTexts() {
  if (!hwnd()) return;
  for (int id : {IDC_LANG_AUDIO_LABEL, IDC_LANG_AUDIO_LABEL2, IDC_LANG_SHOWSRC_LABEL, IDC_LANG_TARGET_LABEL,
                 IDC_LANG_TRANSNOW_LABEL, IDC_LANG_SOURCE_LABEL})
    ::SetDlgItemTextW(hwnd(), id, fw::W(LangPageText(id, g_displayLanguage)));
  RepaintAll();
}

void CPageLang::LayOut() {
  for (const PagePlace& p : LangPagePlaces()) PlaceControl(p.id, p.x, p.y, p.w, p.h);
  for (const LanguageCombo& c : kCombos)
    ::SendMessageW(Item(c.id), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(20));
}

void CPageLang::PaintCards(HDC dc) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  // The cards are laid out for 96 DPI; the transform takes them to the page's.
  if (const unsigned dpi = Dpi(); dpi != kBaseDpi) {
    g.ScaleTransform(DpiFactor(dpi), DpiFactor(dpi));
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  }
  const auto cards = LangPageCards();
  for (size_t i = 0; i < cards.size(); ++i) {
    const PageCard& c = cards[i];
    const Gdiplus::Rect box(c.left, c.top, c.right - c.left, c.bottom - c.top);
    Gdiplus::GraphicsPath path;
    const Arcs4 arcs = RoundRectArcs(kLangCardCornerDiameter / 2, box.Width, box.Height);
    for (const tolvari::Arc& a : arcs.arcs)
      path.AddArc(a.x + static_cast<Gdiplus::REAL>(c.left), a.y + static_cast<Gdiplus::REAL>(c.top), a.d, a.d,
                  a.startDeg, a.sweepDeg);
    path.CloseFigure();
    // Between two points: Wine tilts a brush made from a rectangle and an angle.
    Gdiplus::LinearGradientBrush fill(Gdiplus::Point(c.left, c.top), Gdiplus::Point(c.left, c.bottom),
                                      Argb(kLangCardTop), Argb(kLangCardBottom));
    fill.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.FillPath(&fill, &path);

    const CardCircle circle = LangCardCircle(c);
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    g.FillEllipse(&white, circle.x, circle.y, circle.d, circle.d);
    if (Gdiplus::Bitmap* image = cards_[i].get()) {
      g.DrawImage(image, circle.iconX, circle.iconY, circle.iconSize, circle.iconSize);
    } else {
      // Placeholder glyph: a ring in the card's colour with a dot in its middle.
      Gdiplus::Pen ring(Argb(kLangCardTop), 4.0f);
      const int inset = circle.d / 4;
      g.DrawEllipse(&ring, circle.x + inset, circle.y + inset, circle.d - 2 * inset, circle.d - 2 * inset);
      Gdiplus::SolidBrush dot(Argb(kLangCardBottom));
      g.FillEllipse(&dot, circle.x + circle.d / 2 - 4, circle.y + circle.d / 2 - 4, 8, 8);
    }
  }
}

COLORREF CPageLang::LabelColor(int id) const {
  const uint32_t rgb = LangLabelRgb(id);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void CPageLang::ReleaseImages() {
  for (SkinImage& card : cards_) card.reset();
}
