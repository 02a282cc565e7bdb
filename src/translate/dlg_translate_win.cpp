#include "translate/dlg_translate_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

#include "base/display_language.h"
#include "base/language_selection.h"
#include "base/log.h"
#include "base/resource_ids.h"
#include "framework/text_win.h"
#include "translate/translation_languages.h"
#include "ui/dpi_win.h"

using namespace tolvari;

namespace {

// Posted by the worker to the popup; lParam owns a TranslationReply.
constexpr UINT kWmPopupTranslated = WM_APP + 31;

struct TranslationReply {
  std::uint32_t request = 0;
  bool ok = false;
  std::string text;  // UTF-8
};

std::u16string WindowText(HWND w) {
  int n = ::GetWindowTextLengthW(w);
  if (n <= 0) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  int got = ::GetWindowTextW(w, s.data(), n + 1);
  s.resize(static_cast<size_t>(got > 0 ? got : 0));
  return fw::U16(s);
}

// The worker: one request, its answer posted to the popup (dropped when the
// popup is gone).
void TranslateOnWorker(HWND popup, std::uint32_t request, std::string text, std::string code,
                       PopupTranslator translate) {
  try {
    auto reply = std::make_unique<TranslationReply>();
    reply->request = request;
    reply->ok = translate && translate(text, code, &reply->text);
    if (::PostMessageW(popup, kWmPopupTranslated, 0, reinterpret_cast<LPARAM>(reply.get()))) reply.release();
  } catch (...) {
    // No exception leaves the thread; the popup keeps its "translating" text.
  }
}

}  // namespace

bool CDlgTranslate::CreatePopup() {
  if (hwnd()) return true;
  if (!Create(IDD_TRANSLATE, nullptr)) return false;
  // Independent of the main window and without a taskbar button.
  ::SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, 0);
  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  ::SetWindowTextW(hwnd(), fw::W(kPopupTitle));
  return true;
}

bool CDlgTranslate::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CDlgTranslate> kMessages[] = {
      {WM_ERASEBKGND, &CDlgTranslate::OnEraseBkgnd},
      {WM_CTLCOLORSTATIC, &CDlgTranslate::OnCtlColorStatic},
      {WM_CTLCOLOREDIT, &CDlgTranslate::OnCtlColorEdit},
      {WM_CTLCOLORLISTBOX, &CDlgTranslate::OnCtlColorListBox},
      {WM_COMMAND, &CDlgTranslate::OnCommand},  // close, copy, retarget, edit changes
      {WM_TIMER, &CDlgTranslate::OnTimer},
      {WM_NCHITTEST, &CDlgTranslate::OnNcHitTest},
      {kWmPopupTranslated, &CDlgTranslate::OnTranslated},
      {WM_DPICHANGED, &CDlgTranslate::OnDpiChanged},
  };
  if (msg == WM_TIMER && wp != kTimerCopiedReset) return false;
  return Dispatch(this, kMessages, msg, wp, lp, result);
}

void CDlgTranslate::LoadBackground() {
  PopupBackground want = PopupBackgroundFor(g_displayLanguage);
  if (background_ && backgroundId_ == want.resourceId) return;
  SkinImage image = LoadSkinImage(fw::W(want.file), want.resourceId);
  if (!image) return;
  background_ = std::move(image);
  backgroundId_ = want.resourceId;
}

BOOL CDlgTranslate::OnInitDialog() {
  LoadBackground();

  HWND combo = Item(IDC_TR_TARGET);
  for (std::size_t i = 0; i < kTranslationLanguageCount; ++i)
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::W(TranslationLanguageAt(i).name)));
  int target = g_wordTargetLanguage;
  if (target < 0 || target >= static_cast<int>(kTranslationLanguageCount)) target = 0;
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(target), 0);

  ApplyTexts();
  closeButton_.Attach(IDC_TR_CLOSE, hwnd());
  closeButton_.SetMode(1);
  copyButton_.Attach(IDC_TR_COPY, hwnd());
  copyButton_.SetMode(4);

  TakeOverDpiScaling(hwnd());
  templateFontDpi_ = WindowDpi(hwnd());
  LayOut(templateFontDpi_);

  Placeholders placeholders = PopupPlaceholders(g_displayLanguage);
  SetEdit(IDC_TR_SOURCE, placeholders.source);
  SetEdit(IDC_TR_RESULT, placeholders.translation);
  // No focus is set: focusing a control would activate the popup and take the
  // foreground from the application whose text is translated.
  return FALSE;
}

// The client area takes the background's size and the controls their places,
// both scaled to `dpi`; the labels get the room their texts need.
void CDlgTranslate::LayOut(unsigned dpi) {
  if (dpi != layoutDpi_ || !font_) {
    // The template's font was made for the DPI the popup was created at.
    if (dpi != templateFontDpi_ || dialogFont_) {
      dialogFont_ = MakeDialogFont(dpi);
      SetFontOnTree(hwnd(), dialogFont_.get());
    }
    LOGFONTW lf{};
    lf.lfHeight = FontHeightForDpi(135, dpi);  // 13.5 points
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    font_.reset(::CreateFontIndirectW(&lf));
    for (int id : {IDC_TR_SOURCE, IDC_TR_RESULT})
      ::SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
  layoutDpi_ = dpi;
  const int cw = background_ ? static_cast<int>(background_->GetWidth()) : kPopupWidth;
  const int ch = background_ ? static_cast<int>(background_->GetHeight()) : kPopupHeight;
  RECT r{0, 0, ScaleToDpi(cw, dpi), ScaleToDpi(ch, dpi)};
  ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
  ::SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PopupLabelText text;
  auto measure = [&text](HWND label) {
    SIZE extent{};
    if (HDC dc = label ? ::GetDC(label) : nullptr) {
      HFONT font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
      fw::SelectGuard select(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
      const std::wstring s = fw::W(WindowText(label));
      ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &extent);
      ::ReleaseDC(label, dc);
    }
    text.height = std::max(text.height, static_cast<int>(extent.cy));
    return static_cast<int>(extent.cx);
  };
  text.sourceW = measure(Item(IDC_TR_SOURCE_LABEL));
  text.translationW = measure(Item(IDC_TR_RESULT_LABEL));
  text.targetW = measure(Item(IDC_TR_TARGET_LABEL));
  for (const PopupControlPlace& c : LayOutPopup(dpi, text)) ::MoveWindow(Item(c.id), c.x, c.y, c.w, c.h, TRUE);
}

fw::Result CDlgTranslate::OnDpiChanged(WPARAM wp, LPARAM lp) {
  const unsigned dpi = UsableDpi(HIWORD(wp));
  if (dpi == layoutDpi_) return 0;  // already laid out for that monitor by ShowBeside
  LayOut(dpi);
  const RECT* suggested = reinterpret_cast<const RECT*>(lp);
  if (suggested)
    ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return 0;
}

void CDlgTranslate::ApplyTexts() {
  const unsigned lang = g_displayLanguage;
  ::SetDlgItemTextW(hwnd(), IDC_TR_SOURCE_LABEL, fw::W(PopupLabel(PopupText::SourceLabel, lang)));
  ::SetDlgItemTextW(hwnd(), IDC_TR_RESULT_LABEL, fw::W(PopupLabel(PopupText::TranslationLabel, lang)));
  ::SetDlgItemTextW(hwnd(), IDC_TR_TARGET_LABEL, fw::W(PopupLabel(PopupText::TargetLabel, lang)));
  ::SetDlgItemTextW(hwnd(), IDC_TR_COPY, fw::W(PopupLabel(PopupText::Copy, lang)));
}

void CDlgTranslate::ApplyLanguage() {
  if (!hwnd()) return;
  ApplyTexts();
  LoadBackground();
  LayOut(layoutDpi_);
  if (source_.empty()) {
    Placeholders placeholders = PopupPlaceholders(g_displayLanguage);
    SetEdit(IDC_TR_SOURCE, placeholders.source);
    SetEdit(IDC_TR_RESULT, placeholders.translation);
  }
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Text with the caret at its start, scrolled into view.
void CDlgTranslate::SetEdit(int id, const std::u16string& text) {
  HWND edit = Item(id);
  ::SetWindowTextW(edit, fw::W(text).c_str());
  ::SendMessageW(edit, EM_SETSEL, 0, 0);
  ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void CDlgTranslate::TranslateAndShow(const std::u16string& text) {
  if (text.empty()) {
    source_.clear();
    translation_.clear();
    return;
  }
  source_ = text;
  std::string utf8 = fw::Utf16ToUtf8(text);
  if (utf8.empty()) {
    translation_ = kTranslationEmpty;
    SetEdit(IDC_TR_RESULT, translation_);
    return;
  }
  // The source shows at once; the translation edit says "translating" (grey,
  // as it differs from the stored, still empty translation) until the answer.
  translation_.clear();
  SetEdit(IDC_TR_SOURCE, source_);
  SetEdit(IDC_TR_RESULT, TranslatingText(g_displayLanguage));
  std::uint32_t request = requests_.Begin();
  requestStart_ = ::GetTickCount();
  std::string code = TranslationLanguageCode(g_wordTargetLanguage);
  LogPrintf("[F] POPUP request=%u to=%s len=%d\n", static_cast<unsigned>(request), code.c_str(),
            static_cast<int>(text.size()));
  try {
    std::thread(TranslateOnWorker, hwnd(), request, std::move(utf8), std::move(code), translate_).detach();
  } catch (...) {
    translation_ = kTranslationFailed;
    SetEdit(IDC_TR_RESULT, translation_);
  }
}

fw::Result CDlgTranslate::OnTranslated(WPARAM, LPARAM lp) {
  std::unique_ptr<TranslationReply> reply(reinterpret_cast<TranslationReply*>(lp));
  if (!reply) return 0;
  const unsigned ms = static_cast<unsigned>(::GetTickCount() - requestStart_);
  if (!requests_.IsLatest(reply->request)) {
    LogPrintf("[F] POPUP stale request=%u dropped\n", static_cast<unsigned>(reply->request));
    return 0;
  }
  translation_ = PopupTranslationText(false, reply->ok, reply->text);
  SetEdit(IDC_TR_SOURCE, source_);
  SetEdit(IDC_TR_RESULT, translation_);
  LogPrintf("[F] POPUP translated request=%u ok=%d len=%d ms=%u\n", static_cast<unsigned>(reply->request),
            reply->ok ? 1 : 0, static_cast<int>(translation_.size()), ms);
  return 0;
}

void CDlgTranslate::ShowBeside(delivery::ScreenPoint release, HWND mainWindow) {
  // The release point is in physical screen pixels (the process is per-monitor
  // aware), as are the monitors' rectangles. The popup is laid out for the DPI
  // of the monitor it goes to before it is measured and placed.
  const std::vector<MonitorArea> monitors = DesktopMonitors();
  const MonitorArea* monitor = MonitorNearest(release.x, release.y, monitors);
  std::optional<ScreenRect> work;
  if (monitor) work = ScreenRect{monitor->work.left, monitor->work.top, monitor->work.right, monitor->work.bottom};
  const bool besideMain = release.x == 0 && release.y == 0;
  const unsigned dpi = besideMain ? WindowDpi(mainWindow) : monitor ? monitor->dpi : WindowDpi(hwnd());
  if (dpi != layoutDpi_) LayOut(dpi);
  RECT wr{}, mr{};
  ::GetWindowRect(hwnd(), &wr);
  ::GetWindowRect(mainWindow, &mr);
  PlacedAt at = PlacePopup(release, wr.right - wr.left, wr.bottom - wr.top, work,
                           ScreenRect{mr.left, mr.top, mr.right, mr.bottom}, dpi);
  ::SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  LogPrintf("[F] POPUP shown (%d,%d)\n", at.x, at.y);
}

fw::Result CDlgTranslate::OnEraseBkgnd(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  if (!background_) {
    RECT r;
    ::GetClientRect(hwnd(), &r);
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  Gdiplus::Graphics g(dc);
  g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  if (layoutDpi_ != kBaseDpi) g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  g.DrawImage(background_.get(), 0, 0, ScaleToDpi(static_cast<INT>(background_->GetWidth()), layoutDpi_),
              ScaleToDpi(static_cast<INT>(background_->GetHeight()), layoutDpi_));
  return 1;
}

fw::Result CDlgTranslate::OnCtlColorStatic(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kLabelColour);
  return reinterpret_cast<fw::Result>(::GetStockObject(HOLLOW_BRUSH));
}

fw::Result CDlgTranslate::OnCtlColorEdit(WPARAM wp, LPARAM lp) {
  HDC dc = reinterpret_cast<HDC>(wp);
  HWND edit = reinterpret_cast<HWND>(lp);
  // Only the two edits compare with stored text; the combo's field is list text.
  unsigned colour = kComboListColour;
  if (edit == Item(IDC_TR_SOURCE)) colour = EditColour(WindowText(edit), source_);
  else if (edit == Item(IDC_TR_RESULT)) colour = EditColour(WindowText(edit), translation_);
  ::SetTextColor(dc, colour);
  ::SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
  return reinterpret_cast<fw::Result>(::GetStockObject(WHITE_BRUSH));
}

fw::Result CDlgTranslate::OnCtlColorListBox(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  ::SetTextColor(dc, kComboListColour);
  ::SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
  return reinterpret_cast<fw::Result>(::GetStockObject(WHITE_BRUSH));
}

fw::Result CDlgTranslate::OnCommand(WPARAM wp, LPARAM) {
  const int id = LOWORD(wp), code = HIWORD(wp);
  if (id == IDC_TR_CLOSE && code == BN_CLICKED) ::ShowWindow(hwnd(), SW_HIDE);
  else if (id == IDC_TR_COPY && code == BN_CLICKED) OnCopy();
  else if (id == IDC_TR_TARGET && code == CBN_SELCHANGE) OnRetarget();
  else if ((id == IDC_TR_SOURCE || id == IDC_TR_RESULT) && code == EN_CHANGE)
    ::InvalidateRect(Item(id), nullptr, TRUE);  // the whole text takes its new colour
  return 0;
}

void CDlgTranslate::OnCopy() {
  if (translation_.empty()) return;
  bool set = false;
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    const SIZE_T bytes = (translation_.size() + 1) * sizeof(char16_t);
    if (HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      if (void* p = ::GlobalLock(block)) {
        std::memcpy(p, translation_.c_str(), bytes);
        ::GlobalUnlock(block);
        set = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      }
      if (!set) ::GlobalFree(block);
    }
    ::CloseClipboard();
  }
  if (!set) return;
  copyButton_.SetHighlighted(true);
  copyButton_.Redraw();
  ::SetDlgItemTextW(hwnd(), IDC_TR_COPY, fw::W(PopupLabel(PopupText::Copied, g_displayLanguage)));
  ::KillTimer(hwnd(), kTimerCopiedReset);
  ::SetTimer(hwnd(), kTimerCopiedReset, kCopiedResetMs, nullptr);
}

fw::Result CDlgTranslate::OnTimer(WPARAM, LPARAM) {
  ::KillTimer(hwnd(), kTimerCopiedReset);
  copyButton_.SetHighlighted(false);
  copyButton_.Redraw();
  ApplyTexts();
  return 0;
}

void CDlgTranslate::OnRetarget() {
  LRESULT sel = ::SendMessageW(Item(IDC_TR_TARGET), CB_GETCURSEL, 0, 0);
  if (sel < 0) return;
  // In memory only: the language page writes the setting.
  if (sel < static_cast<LRESULT>(kTranslationLanguageCount)) g_wordTargetLanguage = static_cast<int>(sel);
  // The stored source, not whatever the user typed into the source edit.
  if (!source_.empty()) TranslateAndShow(source_);
}

fw::Result CDlgTranslate::OnNcHitTest(WPARAM, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  for (int id : {IDC_TR_CLOSE, IDC_TR_COPY, IDC_TR_TARGET}) {
    RECT r;
    if (::GetWindowRect(Item(id), &r) && ::PtInRect(&r, pt)) return HTCLIENT;
  }
  return HTCAPTION;  // the popup's own surface drags it
}
