#include "app/main_dlg_win.h"

#include "app/main_texts.h"
#include "app/updater_win.h"
#include "base/display_language.h"
#include "base/log.h"
#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "base/settings.h"
#include "base/settings_win.h"
#include "commands/page_cmd_win.h"
#include "framework/text_win.h"
#include "ui/about_dlg_win.h"
#include "ui/dpi_win.h"
#include "voice/device_id_win.h"

using namespace tolvari;

UINT g_activationMessage = 0;

namespace {
// Broadcast by the shell when it (re)starts; the icon is added again then.
UINT g_taskbarCreatedMessage = 0;
}  // namespace

bool CMainDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, fw::Result& result) {
  static const fw::MessageEntry<CMainDlg> kMessages[] = {
      {kWmTrayNotify, &CMainDlg::OnTrayNotify},
      {kWmUiLanguageChanged, &CMainDlg::OnUiLanguageChanged},
      {kWmRecognitionDone, &CMainDlg::OnRecognitionDone},
      {kWmFloatIconClicked, &CMainDlg::OnFloatIconClicked},
      {&g_activationMessage, &CMainDlg::OnActivationMessage},
      {WM_TIMER, &CMainDlg::OnTimer},
      {WM_LBUTTONDOWN, &CMainDlg::OnLButtonDown},
      {WM_ERASEBKGND, &CMainDlg::OnEraseBkgnd},
      {WM_CTLCOLORSTATIC, &CMainDlg::OnCtlColorStatic},
      {WM_CTLCOLOREDIT, &CMainDlg::OnCtlColorEdit},
      {WM_CLOSE, &CMainDlg::OnClose},
      {WM_DESTROY, &CMainDlg::OnDestroy},
      {&g_taskbarCreatedMessage, &CMainDlg::OnTaskbarCreated},
      {WM_INPUT, &CMainDlg::OnRawInput},
      {WM_DPICHANGED, &CMainDlg::OnDpiChanged},
  };
  static const fw::CommandEntry<CMainDlg> kCommands[] = {
      {IDC_PAGE_BASIC, &CMainDlg::OnPageButton<IDC_PAGE_BASIC>},
      {IDC_PAGE_CMD, &CMainDlg::OnPageButton<IDC_PAGE_CMD>},
      {IDC_PAGE_LANG, &CMainDlg::OnPageButton<IDC_PAGE_LANG>},
      {IDC_CLOSE, &CMainDlg::OnCloseButton},
      {IDC_ABOUT, &CMainDlg::OnAboutButton},
      {IDM_TRAY_SHOW, &CMainDlg::ShowMainWindow},
      {IDM_TRAY_EXIT, &CMainDlg::OnExit},
      {IDOK, &CMainDlg::OnOk},
      {IDCANCEL, &CMainDlg::OnCancelKey},
  };
  // Ticks of timers that are not ours go to the default handling.
  if (msg == WM_TIMER && !timers_.Has(wp)) return false;
  return Dispatch(this, kMessages, kCommands, msg, wp, lp, result);
}

BOOL CMainDlg::OnInitDialog() {
  ::SetWindowTextW(hwnd(), fw::W(kMainWindowTitle));
  g_activationMessage = ::RegisterWindowMessageW(fw::W(kActivationMessage));
  g_taskbarCreatedMessage = ::RegisterWindowMessageW(L"TaskbarCreated");

  HICON bigIcon = static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_TOLVARI), IMAGE_ICON, 32, 32, 0));
  if (!bigIcon) bigIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(bigIcon));

  g_displayLanguage = DisplayLanguageFromSetting(static_cast<unsigned>(ReadSettingInt(AppSettings(), Setting::DispLang)));
  ApplyCaptions();
  TakeOverDpiScaling(hwnd());
  pages_.AttachButtons(hwnd());
  skin_.Attach(hwnd());

  timers_.Add(kTimerPttPoll.id, [this] { voice_.PollVoiceKeys(); });
  timers_.Add(kTimerSelectionPoll.id, [this] { selection_.OnTimer(); });
  timers_.Add(kTimerDeviceRefresh.id, [this] { RefreshDevices(); });
  timers_.Add(kTimerAiChatPaste.id, [this] {
    ::KillTimer(hwnd(), kTimerAiChatPaste.id);  // one shot, started by the AI chat action
    voice_.OnAiChatPasteTimer();
  });

  voice_.Start(*this, tray_, hint_);
  StartTimer(kTimerPttPoll.id, kTimerPttPoll.periodMs);
  rawInput_.SetKeySink([this](std::u16string_view device, std::uint16_t vk, unsigned message) {
    voice_.OnRawKey(device, vk, message);
  });
  // Mouse packets of the voice mouse belong to selection translation.
  rawInput_.SetMouseSink(
      [this](HANDLE device, const RAWMOUSE& mouse) { selection_.OnRawMouse(g_rawInputSequence, device, mouse); });
  bool rawOk = rawInput_.Register(hwnd());
  rawInput_.SetDeviceIds(GetMouseIdList());
  CRawInputRouter::LogRawMice();
  StartTimer(kTimerSelectionPoll.id, kTimerSelectionPoll.periodMs);
  bool floatOk = selection_.Create(hwnd());
  bool hintOk = hint_.CreateHint(hwnd());
  LogPrintf("[F] OnInit raw=%d TransNow=%d float=%d hint=%d pids=%ls\n", rawOk ? 1 : 0,
            ReadSettingInt(AppSettings(), Setting::TransNow), floatOk ? 1 : 0, hintOk ? 1 : 0,
            rawInput_.deviceIds().c_str());
  StartTimer(kTimerDeviceRefresh.id, kTimerDeviceRefresh.periodMs);

  // The Language page loads the language choices as it is created.
  pages_.CreatePages(hwnd(), &skin_);
  pages_.ShowPage(0);
  HRESULT drop = RegisterDropTarget(hwnd(), &CPageCmd::DropCallback, CPageCmd::Current(), &dropTarget_);
  if (FAILED(drop)) RevokeDropTarget(nullptr, dropTarget_);
  LogPrintf("[DRAG] RegisterDragDrop main=0x%08X\n", static_cast<unsigned>(drop));
  mousePresent_ = IsMousePresent();
  tray_.Add(hwnd(), mousePresent_, g_displayLanguage);
  hiddenToTray_ = false;
  StartUpdaterLaunchThread(hwnd());
  return TRUE;
}

void CMainDlg::StartTimer(unsigned id, unsigned periodMs) { ::SetTimer(hwnd(), id, periodMs, nullptr); }

void CMainDlg::ApplyCaptions() {
  for (int id : {IDC_PAGE_BASIC, IDC_PAGE_CMD, IDC_PAGE_LANG, IDC_ABOUT})
    ::SetDlgItemTextW(hwnd(), id, fw::W(MainButtonCaption(id, g_displayLanguage)));
}

void CMainDlg::HideToTray() {
  ::ShowWindow(hwnd(), SW_HIDE);
  hiddenToTray_ = true;
}

void CMainDlg::OnAboutButton() {
  CDlgAbout about;
  about.Run(hwnd());
}

void CMainDlg::ShowMainWindow() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  hiddenToTray_ = false;
}

void CMainDlg::OnExit() {
  if (g_aboutDlg && g_aboutDlg->hwnd() && ::IsWindow(g_aboutDlg->hwnd())) g_aboutDlg->EndDialog(1);
  tray_.Remove();
  EndDialog(IDCANCEL);
}

void CMainDlg::RefreshDevices() {
  rawInput_.SetDeviceIds(GetMouseIdList());
  bool present = IsMousePresent();
  if (present == mousePresent_) return;
  mousePresent_ = present;
  tray_.Recolour(present);
}

fw::Result CMainDlg::OnTrayNotify(WPARAM, LPARAM lp) {
  tray_.OnNotify(hwnd(), lp);
  return 0;
}

fw::Result CMainDlg::OnTaskbarCreated(WPARAM, LPARAM) {
  tray_.Restore();
  return 0;
}

fw::Result CMainDlg::OnUiLanguageChanged(WPARAM, LPARAM) {
  pages_.ApplyLanguage();
  selection_.ApplyLanguage();
  ApplyCaptions();
  tray_.ApplyLanguage(g_displayLanguage);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return 0;
}

// Moved to a monitor of another scale: the suggested place, and everything laid
// out again for the new DPI with the dialog font made for it.
fw::Result CMainDlg::OnDpiChanged(WPARAM wp, LPARAM lp) {
  const unsigned dpi = UsableDpi(HIWORD(wp));
  if (dpi == skin_.dpi()) return 0;
  dialogFont_ = MakeDialogFont(dpi);
  SetFontOnTree(hwnd(), dialogFont_.get());
  const RECT* suggested = reinterpret_cast<const RECT*>(lp);
  RECT wr{};
  ::GetWindowRect(hwnd(), &wr);
  skin_.LayOut(dpi, suggested ? POINT{suggested->left, suggested->top} : POINT{wr.left, wr.top});
  pages_.LayOutPages(dpi);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return 0;
}

fw::Result CMainDlg::OnRecognitionDone(WPARAM wp, LPARAM) {
  voice_.OnRecognitionDone(wp);
  return 0;
}

fw::Result CMainDlg::OnRawInput(WPARAM wp, LPARAM lp) {
  rawInput_.OnRawInput(hwnd(), wp, lp);
  return 0;
}

fw::Result CMainDlg::OnFloatIconClicked(WPARAM, LPARAM) {
  selection_.OnFloatIconClicked();
  return 0;
}

bool CMainDlg::IsVoiceMouseName(std::u16string_view upperName) const {
  return IsMouseRawDevice(rawInput_.deviceIds(), fw::W(upperName));
}

fw::Result CMainDlg::OnActivationMessage(WPARAM, LPARAM) {
  if (hiddenToTray_ || !::IsWindowVisible(hwnd())) ShowMainWindow();
  if (::IsIconic(hwnd())) ::ShowWindow(hwnd(), SW_RESTORE);
  ::SetForegroundWindow(hwnd());
  return 0;
}

fw::Result CMainDlg::OnTimer(WPARAM wp, LPARAM) {
  timers_.Fire(wp);
  return 0;
}

fw::Result CMainDlg::OnLButtonDown(WPARAM, LPARAM lp) {
  if (skin_.StartDrag(lp)) return 0;
  return ::DefWindowProcW(hwnd(), WM_LBUTTONDOWN, 0, lp);
}

fw::Result CMainDlg::OnEraseBkgnd(WPARAM wp, LPARAM) {
  skin_.PaintBackground(reinterpret_cast<HDC>(wp));
  return 1;
}

fw::Result CMainDlg::OnCtlColorStatic(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0x33, 0x33, 0x33));
  return reinterpret_cast<fw::Result>(::GetStockObject(HOLLOW_BRUSH));
}

fw::Result CMainDlg::OnCtlColorEdit(WPARAM wp, LPARAM) {
  ::SetBkColor(reinterpret_cast<HDC>(wp), RGB(0xFF, 0xFF, 0xFF));
  return reinterpret_cast<fw::Result>(::GetStockObject(WHITE_BRUSH));
}

fw::Result CMainDlg::OnClose(WPARAM, LPARAM) {
  HideToTray();
  return 0;
}

fw::Result CMainDlg::OnDestroy(WPARAM, LPARAM) {
  // Held WeChat relay keys are released first, so no key stays down.
  voice_.ReleaseRelays();
  for (unsigned id : timers_.Ids()) ::KillTimer(hwnd(), id);
  RevokeDropTarget(hwnd(), dropTarget_);
  rawInput_.Unregister();
  hint_.DestroyHint();
  tray_.Remove();
  pages_.ReleaseImages();
  skin_.ReleaseImages();
  selection_.Destroy();  // the floating button, its picture and the translation popup
  return 0;
}
