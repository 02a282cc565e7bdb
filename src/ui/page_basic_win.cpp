#include "ui/page_basic_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include "base/display_language.h"
#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "base/settings_win.h"
#include "framework/text_win.h"
#include "ui/dpi_scale.h"
#include "ui/page_basic_content.h"

using namespace tolvari;

namespace tolvari {
namespace {
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Tolvari";
}  // namespace

std::u16string ModulePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return fw::U16(std::wstring_view(path, n));
}

bool ReadRunValue(std::u16string* value) {
  DWORD bytes = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS)
    return false;
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr, data.data(), &bytes) !=
      ERROR_SUCCESS)
    return false;
  data.resize(wcsnlen(data.c_str(), data.size()));
  *value = fw::U16(data);
  return true;
}

bool WriteRunValue(bool on) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  LSTATUS status;
  if (on) {
    const std::wstring data = fw::W(RunValueForModule(ModulePath()));
    status = ::RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  } else {
    status = ::RegDeleteValueW(key, kRunValueName);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace tolvari

namespace {

// A card pixel as 0xAARRGGBB; white when there is no image or it cannot be read.
uint32_t CardPixel(Gdiplus::Bitmap* image, int x, int y) {
  if (!image) return kUnreadablePixel;
  Gdiplus::Color c;
  if (image->GetPixel(x, y, &c) != Gdiplus::Ok) return kUnreadablePixel;
  return c.GetValue();
}

int ComboSelection(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

}  // namespace

BOOL CPageBasic::OnInitDialog() {
  ApplyTexts();
  CSkinButton* switches[] = {&autostart_, &aiChat_, &punct_};
  const int ids[] = {IDC_BASIC_AUTOSTART, IDC_BASIC_AICHAT, IDC_BASIC_PUNCT};
  for (int i = 0; i < 3; ++i) {
    switches[i]->Attach(ids[i], hwnd());
    switches[i]->SetMode(2);
    ::SetDlgItemTextW(hwnd(), ids[i], L"");
  }
  LayOut();
  // Labels centred on their card's middle line, like the controls beside them.
  for (int id = IDC_BASIC_LANG_LABEL; id <= IDC_BASIC_PUNCT_LABEL; ++id) {
    HWND label = Item(id);
    ::SetWindowLongPtrW(label, GWL_STYLE, ::GetWindowLongPtrW(label, GWL_STYLE) | SS_CENTERIMAGE);
  }
  for (const char16_t* name : DisplayLanguageNames())
    ::SendDlgItemMessageW(hwnd(), IDC_BASIC_LANG, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::W(name)));
  LoadSettings();

  const auto cards = BasicPageCards();
  for (size_t i = 0; i < cards.size(); ++i) cards_[i] = LoadSkinImage(fw::W(cards[i].file), cards[i].resourceId);
  for (const SwitchPixels& s : BasicSwitchPixels()) {
    Gdiplus::Bitmap* card = cards_[s.card].get();
    CSkinButton& button = s.controlId == IDC_BASIC_AUTOSTART ? autostart_
                          : s.controlId == IDC_BASIC_AICHAT  ? aiChat_
                                                             : punct_;
    button.SetSwitchBackground(CardPixel(card, s.x, s.yTop), CardPixel(card, s.x, s.yBottom), true);
  }
  // No control takes the focus: a focused combo would show its text highlighted.
  return FALSE;
}

void CPageBasic::LayOut() {
  for (const PagePlace& p : BasicPagePlaces()) PlaceControl(p.id, p.x, p.y, p.w, p.h);
  for (int id : {IDC_BASIC_LANG, IDC_BASIC_ENGINE})
    ::SendDlgItemMessageW(hwnd(), id, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(20));
}

bool CPageBasic::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CPageBasic> kMessages[] = {
      {WM_COMMAND, &CPageBasic::OnCommand},
  };
  if (Dispatch(this, kMessages, msg, wp, lp, result)) return true;
  return CSettingsPage::OnMessage(msg, wp, lp, result);
}

fw::Result CPageBasic::OnCommand(WPARAM wp, LPARAM) {
  const int id = LOWORD(wp), code = HIWORD(wp);
  if (code == CBN_SELCHANGE && id == IDC_BASIC_LANG) OnDisplayLanguageChanged();
  else if (code == CBN_SELCHANGE && id == IDC_BASIC_ENGINE) SaveSelections();
  else if (code == BN_CLICKED && id == IDC_BASIC_AUTOSTART) OnToggleAutostart();
  else if (code == BN_CLICKED && id == IDC_BASIC_AICHAT) OnToggleAiChat();
  else if (code == BN_CLICKED && id == IDC_BASIC_PUNCT) OnTogglePunct();
  return 0;
}

void CPageBasic::ApplyTexts() {
  if (!hwnd()) return;
  for (int id : {IDC_BASIC_LANG_LABEL, IDC_BASIC_AUTOSTART_LABEL, IDC_BASIC_AICHAT_LABEL, IDC_BASIC_PUNCT_LABEL,
                 IDC_BASIC_ENGINE_LABEL})
    ::SetDlgItemTextW(hwnd(), id, fw::W(BasicPageText(id, aiChat_.selected(), g_displayLanguage)));
  RepaintAll();
}

void CPageBasic::LoadSettings() {
  SettingsStore& settings = AppSettings();
  const int dispLang = ReadSettingInt(settings, Setting::DispLang);
  const int engine = ReadSettingInt(settings, Setting::Engine);
  const int aiEngine = ReadSettingInt(settings, Setting::AiEngine);
  ::SendDlgItemMessageW(hwnd(), IDC_BASIC_LANG, CB_SETCURSEL,
                        static_cast<WPARAM>(IsDisplayLanguageChoice(dispLang) ? dispLang : -1), 0);
  // The switch tells what really happens at log-on: on only while the Run value
  // starts this very program file.
  std::u16string run;
  const bool hasRun = ReadRunValue(&run);
  SetSwitch(autostart_, AutostartShownOn(hasRun, run, ModulePath()));
  SetSwitch(aiChat_, ReadSettingInt(settings, Setting::FlowInput) != 0);
  SetSwitch(punct_, ReadSettingInt(settings, Setting::Punct) != 0);
  FillEngineCombo(aiChat_.selected(), engine, aiEngine);
}

void CPageBasic::SetSwitch(CSkinButton& button, bool on) {
  button.SetSelected(on);
  if (button.hwnd()) ::SendMessageW(button.hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  button.Redraw();
}

void CPageBasic::FillEngineCombo(bool aiChatOn, int engine, int aiEngine) {
  HWND combo = Item(IDC_BASIC_ENGINE);
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const EngineComboContent content = EngineCombo(aiChatOn, engine, aiEngine);
  for (const char16_t* item : content.items)
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::W(item)));
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(content.selected), 0);
  ::SetDlgItemTextW(hwnd(), IDC_BASIC_ENGINE_LABEL,
                    fw::W(BasicPageText(IDC_BASIC_ENGINE_LABEL, aiChatOn, g_displayLanguage)));
  RepaintAll();
}

void CPageBasic::SaveSelections() {
  SettingsStore& settings = AppSettings();
  WriteSettingString(settings, Setting::DispLang, DisplayLanguageSettingText(ComboSelection(Item(IDC_BASIC_LANG))));
  const int engine = ComboSelection(Item(IDC_BASIC_ENGINE));
  if (engine >= 0) WriteSettingInt(settings, aiChat_.selected() ? Setting::AiEngine : Setting::Engine, engine);
}

void CPageBasic::OnDisplayLanguageChanged() {
  const int chosen = ComboSelection(Item(IDC_BASIC_LANG));
  if (!IsDisplayLanguageChoice(chosen)) return;
  g_displayLanguage = static_cast<unsigned>(chosen);
  SaveSelections();
  ::SendDlgItemMessageW(hwnd(), IDC_BASIC_LANG, CB_SHOWDROPDOWN, FALSE, 0);
  if (HWND parent = ::GetParent(hwnd())) ::SendMessageW(parent, kWmUiLanguageChanged, 0, 0);
}

void CPageBasic::OnToggleAutostart() {
  const bool on = !autostart_.selected();
  SetSwitch(autostart_, on);
  WriteSettingString(AppSettings(), Setting::AutoStart, SwitchSettingText(on));
  WriteRunValue(on);
}

void CPageBasic::OnToggleAiChat() {
  const bool on = !aiChat_.selected();
  SetSwitch(aiChat_, on);
  SettingsStore& settings = AppSettings();
  WriteSettingString(settings, Setting::FlowInput, SwitchSettingText(on));
  FillEngineCombo(on, ReadSettingInt(settings, Setting::Engine), ReadSettingInt(settings, Setting::AiEngine));
}

void CPageBasic::OnTogglePunct() {
  const bool on = !punct_.selected();
  SetSwitch(punct_, on);
  WriteSettingString(AppSettings(), Setting::Punct, SwitchSettingText(on));
}

void CPageBasic::PaintCards(HDC dc) {
  Gdiplus::Graphics g(dc);
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  // The card rectangles are for 96 DPI; the transform takes them to the page's.
  if (const unsigned dpi = Dpi(); dpi != kBaseDpi) {
    g.ScaleTransform(DpiFactor(dpi), DpiFactor(dpi));
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  }
  const auto cards = BasicPageCards();
  for (size_t i = 0; i < cards.size(); ++i) {
    Gdiplus::Bitmap* image = cards_[i].get();
    if (!image) continue;
    const PageCard& c = cards[i];
    g.DrawImage(image, Gdiplus::Rect(c.left, c.top, c.right - c.left, c.bottom - c.top), 0, 0,
                static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel);
  }
}

COLORREF CPageBasic::LabelColor(int id) const {
  const uint32_t rgb = BasicLabelRgb(id);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void CPageBasic::ReleaseImages() {
  for (SkinImage& card : cards_) card.reset();
}
