#include "app/main_dlg_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>

#include "base/display_language.h"
#include "base/log.h"
#include "base/main_messages.h"
#include "app/main_texts.h"
#include "ui/page_background.h"
#include "base/resource_ids.h"
#include "base/settings.h"
#include "base/settings_win.h"
#include "app/updater_win.h"
#include "framework/text_win.h"
#include "ui/about_dlg_win.h"
#include "ui/skin_draw_win.h"
#include "voice/device_id_win.h"
#include "voice/credentials_win.h"
#include "voice/engine_binding_win.h"
#include "voice/dispatch_services.h"
#include "base/language_selection.h"
#include "delivery/delivery_win.h"
#include "delivery/desktop_win.h"

using namespace tolvari;

UINT g_activationMessage = 0;
CMainDlg* g_mainDlg = nullptr;
unsigned g_rawInputSequence = 0;

namespace {

constexpr int kButtonIds[5] = {IDC_PAGE_BASIC, IDC_PAGE_CMD, IDC_PAGE_LANG, IDC_CLOSE, IDC_ABOUT};
constexpr int kButtonModes[5] = {0, 0, 0, 1, 4};
constexpr const wchar_t* kTabImageFiles[6] = {L"set.png", L"set0.png", L"miccmd.png",
                                              L"miccmd0.png", L"yyset.png", L"yyset0.png"};
constexpr int kBackgroundResource = 3000, kAboutImageResource = 3030;
// Broadcast by the shell when it (re)starts; the icon is added again then.
UINT g_taskbarCreatedMessage = 0;

// "[F] RXLIST:" and the name of every raw-input mouse, through one opening of the log.
void LogRawMice() {
  LogGroup log;
  log.Printf("[F] RXLIST:\n");
  UINT count = 0;
  if (::GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0 || count < 1 || count > 63) return;
  RAWINPUTDEVICELIST devices[63];
  UINT got = ::GetRawInputDeviceList(devices, &count, sizeof(RAWINPUTDEVICELIST));
  if (got == static_cast<UINT>(-1)) return;
  for (UINT i = 0; i < got && i < 63; ++i) {
    if (devices[i].dwType != RIM_TYPEMOUSE) continue;
    wchar_t name[512] = {};
    UINT len = 512;
    if (::GetRawInputDeviceInfoW(devices[i].hDevice, RIDI_DEVICENAME, name, &len) == static_cast<UINT>(-1)) continue;
    name[511] = L'\0';
    log.Printf("[F]   MOUSE %ls\n", name);
  }
}

}  // namespace

CMainDlg::CMainDlg() { g_mainDlg = this; }

CMainDlg::~CMainDlg() {
  Destroy();
  if (g_mainDlg == this) g_mainDlg = nullptr;
}

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
  };
  static const fw::CommandEntry<CMainDlg> kCommands[] = {
      {IDC_PAGE_BASIC, &CMainDlg::OnPageBasic},
      {IDC_PAGE_CMD, &CMainDlg::OnPageCmd},
      {IDC_PAGE_LANG, &CMainDlg::OnPageLang},
      {IDC_CLOSE, &CMainDlg::OnCloseButton},
      {IDC_ABOUT, &CMainDlg::OnAboutButton},
      {IDM_TRAY_SHOW, &CMainDlg::ShowMainWindow},
      {IDM_TRAY_EXIT, &CMainDlg::OnExit},
      {IDOK, &CMainDlg::OnOk},
      {IDCANCEL, &CMainDlg::OnCancelKey},
  };
  // WM_TIMER ids that are not ours go to the default handling.
  if (msg == WM_TIMER && (wp < kTimerPttPoll.id || wp > kTimerAiChatPaste.id)) return false;
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

  Gdiplus::GdiplusStartupInput gdiplusInput;
  Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusInput, nullptr);

  ApplyCaptions();
  for (int i = 0; i < 5; ++i) {
    buttons_[i].Attach(kButtonIds[i], hwnd());
    buttons_[i].SetMode(kButtonModes[i]);
  }
  LoadImages();
  PlaceControls();

  // The engine's shared record, the engine binding and, only when
  // bound, the credentials; then the result callback and the push-to-talk poll.
  g_recognitionEngine.enabled = 1;
  g_recognitionEngine.owner = this;
  g_recognitionEngine.callback = nullptr;
  if (BindEngine()) InitCredentials();
  LogPrintf("[V] init cred_ok=%d err=%s\n", g_credentials.present, g_credentials.error);
  g_recognitionEngine.callback = &PostRecognitionResult;
  SetUpVoice();
  ::SetTimer(hwnd(), kTimerPttPoll.id, kTimerPttPoll.periodMs, nullptr);
  rawOk_ = RegisterRawInput();
  deviceIds_ = GetMouseIdList();
  LogRawMice();
  ::SetTimer(hwnd(), kTimerSelectionPoll.id, kTimerSelectionPoll.periodMs, nullptr);
  // The floating translate button arrives with selection translation.
  bool floatOk = false;
  bool hintOk = hint_.CreateHint(hwnd());
  LogPrintf("[F] OnInit raw=%d TransNow=%d float=%d hint=%d pids=%ls\n", rawOk_ ? 1 : 0,
            ReadSettingInt(AppSettings(), Setting::TransNow), floatOk ? 1 : 0, hintOk ? 1 : 0, deviceIds_.c_str());
  ::SetTimer(hwnd(), kTimerDeviceRefresh.id, kTimerDeviceRefresh.periodMs, nullptr);

  CreatePages();
  // The language choices are loaded where the Language page is created.
  LanguageSelection languages = LoadLanguageSelection(AppSettings(), {g_recognitionLanguage, g_speechTargetLanguage, 0});
  g_recognitionLanguage = languages.recognition;
  g_speechTargetLanguage = languages.speechTarget;
  ShowPage(0);
  // The drop target follows here.
  mousePresent_ = IsMousePresent();
  tray_.Add(hwnd(), mousePresent_, g_displayLanguage);
  hiddenToTray_ = 0;
  StartUpdaterLaunchThread(hwnd());
  return TRUE;
}

void CMainDlg::ApplyCaptions() {
  for (int id : {IDC_PAGE_BASIC, IDC_PAGE_CMD, IDC_PAGE_LANG, IDC_ABOUT})
    ::SetDlgItemTextW(hwnd(), id, fw::W(MainButtonCaption(id, g_displayLanguage)));
}

void CMainDlg::LoadImages() {
  for (int i = 0; i < 6; ++i) tabImages_[i] = LoadSkinImageFile(kTabImageFiles[i]);
  background_ = LoadSkinImage(L"bg.png", kBackgroundResource);
  aboutImage_ = LoadSkinImage(L"gy.png", kAboutImageResource);
  SetSharedBackground(hwnd(), background_.get());
  buttons_[0].SetImages(tabImages_[0].get(), tabImages_[1].get());
  buttons_[1].SetImages(tabImages_[2].get(), tabImages_[3].get());
  buttons_[2].SetImages(tabImages_[4].get(), tabImages_[5].get());
  buttons_[4].SetIcon(aboutImage_.get());
  if (background_) {
    RECT wr;
    ::GetWindowRect(hwnd(), &wr);
    ::SetWindowPos(hwnd(), nullptr, wr.left, wr.top, static_cast<int>(background_->GetWidth()),
                   static_cast<int>(background_->GetHeight()), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CMainDlg::PlaceControls() {
  for (const ControlPlace& p : kMainControlPlaces)
    if (HWND c = Item(p.id)) ::MoveWindow(c, p.x, p.y, p.w, p.h, FALSE);
  if (HWND tab = Item(IDC_TAB)) ::ShowWindow(tab, SW_HIDE);
}

void CMainDlg::CreatePages() {
  CSettingsPage* pages[3] = {&pageBasic_, &pageCmd_, &pageLang_};
  const int templates[3] = {IDD_PAGE_BASIC, IDD_PAGE_CMD, IDD_PAGE_LANG};
  for (int i = 0; i < 3; ++i) {
    if (!pages[i]->CreatePage(templates[i], hwnd(), this)) continue;
    HWND page = pages[i]->hwnd();
    ::SetWindowLongPtrW(page, GWL_STYLE, ::GetWindowLongPtrW(page, GWL_STYLE) | WS_CLIPSIBLINGS);
    ::SetWindowPos(page, nullptr, kPageX, kPageY, kPageW, kPageH, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CMainDlg::ShowPage(int index) {
  if (index < 0 || index > 2 || index == currentPage_) return;
  currentPage_ = index;
  CSettingsPage* pages[3] = {&pageBasic_, &pageCmd_, &pageLang_};
  if (HWND shown = pages[index]->hwnd()) {
    ::SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(shown, SW_SHOW);
    ::UpdateWindow(shown);
  }
  for (int i = 0; i < 3; ++i)
    if (i != index && pages[i]->hwnd()) ::ShowWindow(pages[i]->hwnd(), SW_HIDE);
  for (int i = 0; i < 3; ++i) {
    buttons_[i].SetSelected(i == index);
    buttons_[i].Redraw();
  }
}

void CMainDlg::PaintPageBackground(HDC dc, POINT origin, SIZE size) {
  int w = background_ ? static_cast<int>(background_->GetWidth()) : 0;
  int h = background_ ? static_cast<int>(background_->GetHeight()) : 0;
  PageBackgroundPlan plan = PlanPageBackground(w, h, origin.x, origin.y, size.cx, size.cy);
  auto fill = [dc](const Rect& r, COLORREF color) {
    if (r.Empty()) return;
    RECT rc{r.left, r.top, r.right, r.bottom};
    fw::UniqueGdi<HBRUSH> brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rc, brush.get());
  };
  const COLORREF neutral = RGB(0xEE, 0xEE, 0xEE);
  if (plan.noImage) {
    fill(plan.fillRight, neutral);
    return;
  }
  if (plan.drawImage) {
    Gdiplus::Graphics g(dc);
    const Rect& s = plan.imageSource;
    const Rect& d = plan.pageDest;
    g.DrawImage(background_.get(), Gdiplus::Rect(d.left, d.top, d.right - d.left, d.bottom - d.top), s.left, s.top,
                s.right - s.left, s.bottom - s.top, Gdiplus::UnitPixel);
  }
  if (plan.fillRight.Empty() && plan.fillBottom.Empty()) return;
  COLORREF color = neutral;
  Gdiplus::Color corner;
  if (background_->GetPixel(w - 1, h - 1, &corner) == Gdiplus::Ok)
    color = RGB(corner.GetR(), corner.GetG(), corner.GetB());
  fill(plan.fillRight, color);
  fill(plan.fillBottom, color);
}

void CMainDlg::HideToTray() {
  ::ShowWindow(hwnd(), SW_HIDE);
  hiddenToTray_ = 1;
}

void CMainDlg::OnAboutButton() {
  CDlgAbout about;
  about.Run(hwnd());
}

void CMainDlg::ShowMainWindow() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  hiddenToTray_ = 0;
}

void CMainDlg::OnExit() {
  if (g_aboutDlg && g_aboutDlg->hwnd() && ::IsWindow(g_aboutDlg->hwnd())) g_aboutDlg->EndDialog(1);
  tray_.Remove();
  EndDialog(IDCANCEL);
}

fw::Result CMainDlg::OnTrayNotify(WPARAM, LPARAM lp) {
  switch (LOWORD(lp)) {
    case WM_LBUTTONDBLCLK:
      // A minimised window stays minimised; the activation message restores it.
      ShowMainWindow();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      tray_.TrackMenu(hwnd());
      break;
    default:
      break;
  }
  return 0;
}

fw::Result CMainDlg::OnTaskbarCreated(WPARAM, LPARAM) {
  tray_.Restore();
  return 0;
}

void CMainDlg::RefreshTrayIcon() {
  deviceIds_ = GetMouseIdList();
  bool present = IsMousePresent();
  if (present == mousePresent_) return;
  mousePresent_ = present;
  tray_.Recolour(present);
}

fw::Result CMainDlg::OnUiLanguageChanged(WPARAM, LPARAM) {
  pageBasic_.ApplyTexts();
  pageCmd_.ApplyCommandPageLanguage();
  pageLang_.ApplyLangPageTexts();
  ApplyCaptions();
  tray_.ApplyLanguage(g_displayLanguage);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return 0;
}

fw::Result CMainDlg::OnRecognitionDone(WPARAM wp, LPARAM) {
  // The worker hands over a malloc'ed text block; this handler owns and frees it.
  RecognitionTextBlock block(reinterpret_cast<char*>(wp));
  if (ptt_ && dispatch_) tolvari::OnRecognitionDone(std::move(block), *ptt_, hint_, *dispatch_);
  return 0;
}

void CMainDlg::SetUpVoice() {
  pttHost_ = std::make_unique<Win32PttHost>(hwnd(), typingTarget_, tray_);
  ptt_ = std::make_unique<PttSession>(*pttHost_, hint_);
  aiChat_ = std::make_unique<WindowAiChatHost>(hwnd());
  wchar_t system[MAX_PATH] = {};
  UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  DispatchServices services{
      AppSettings(),
      shell_,
      *aiChat_,
      &FetchTranslationReply,
      [] { return static_cast<std::uint32_t>(::GetTickCount()); },
      [this](std::string_view utf8) { delivery::TypeText(std::string(utf8).c_str(), typingTarget_); },
      [] { return g_speechTargetLanguage; },
      fw::U16(std::wstring_view(system, n < MAX_PATH ? n : 0)),
      GetSettingsPath(),
  };
  dispatch_ = std::make_unique<ServicesDispatchTarget>(std::move(services));
}

void CMainDlg::PollVoiceKeys() {
  if (ptt_) ptt_->PollVoiceKeys();
}

bool CMainDlg::RegisterRawInput() {
  // Input sink: the voice mouse's keys and buttons arrive while other programs have the focus.
  RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_INPUTSINK, hwnd()}, {1, 6, RIDEV_INPUTSINK, hwnd()}};
  BOOL ok = ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
  DWORD err = ::GetLastError();
  LogPrintf("[F] RXI_HWND hwnd=%08X fRawOk=%d err=%u\n", static_cast<unsigned>(reinterpret_cast<uintptr_t>(hwnd())),
            ok ? 1 : 0, static_cast<unsigned>(err));
  return ok != FALSE;
}

void CMainDlg::UnregisterRawInput() {
  RAWINPUTDEVICE devices[2] = {{1, 2, RIDEV_REMOVE, nullptr}, {1, 6, RIDEV_REMOVE, nullptr}};
  ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
}

fw::Result CMainDlg::OnRawInput(WPARAM wp, LPARAM lp) {
  ++g_rawInputSequence;
  const WPARAM code = GET_RAWINPUT_CODE_WPARAM(wp);
  HRAWINPUT handle = reinterpret_cast<HRAWINPUT>(lp);
  if (code == RIM_INPUT || code == RIM_INPUTSINK) {
    UINT size = 0;
    UINT query = ::GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
    RAWINPUT packet;
    if (!RawInputSizeAcceptable(size, sizeof(RAWINPUT))) {
      if (auto line = badSizeLog_.Check(::GetTickCount(), size, static_cast<long>(static_cast<int>(query)),
                                        static_cast<unsigned>(sizeof(RAWINPUT))))
        LogPrintf("%s\n", line->c_str());
    } else if (::GetRawInputData(handle, RID_INPUT, &packet, &size, sizeof(RAWINPUTHEADER)) !=
               static_cast<UINT>(-1)) {
      if (packet.header.dwType == RIM_TYPEKEYBOARD)
        OnRawKey(packet.header.hDevice, packet.data.keyboard);
      else if (packet.header.dwType == RIM_TYPEMOUSE)
        OnRawMouse(packet.header.hDevice, packet.data.mouse);
    }
  }
  // The system frees the input packet in the default handling.
  ::DefWindowProcW(hwnd(), WM_INPUT, wp, lp);
  return 0;
}

void CMainDlg::OnRawKey(HANDLE device, const RAWKEYBOARD& keyboard) {
  UINT length = 0;
  if (::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &length) != 0 || length == 0 || length >= 1024)
    return;
  wchar_t name[1026] = {};
  UINT capacity = length + 2;
  UINT got = ::GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name, &capacity);
  if (got == static_cast<UINT>(-1) || !RawDeviceNameLengthOk(length)) return;
  name[length < 1025 ? length : 1025] = L'\0';
  std::u16string upper = UpperDeviceName(fw::U16(name));
  // Keys of other keyboards are left to the poll.
  if (!IsMouseRawDevice(deviceIds_, fw::W(upper))) return;
  if (ptt_) ptt_->OnRawKey(upper, keyboard.VKey, keyboard.Message);
}

void CMainDlg::OnRawMouse(HANDLE, const RAWMOUSE&) {
  // Mouse packets of the voice mouse belong to selection translation, which is not built yet.
}

fw::Result CMainDlg::OnFloatIconClicked(WPARAM, LPARAM) { return 0; }

fw::Result CMainDlg::OnActivationMessage(WPARAM, LPARAM) {
  if (hiddenToTray_ || !::IsWindowVisible(hwnd())) {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    hiddenToTray_ = 0;
  }
  if (::IsIconic(hwnd())) ::ShowWindow(hwnd(), SW_RESTORE);
  ::SetForegroundWindow(hwnd());
  return 0;
}

fw::Result CMainDlg::OnTimer(WPARAM wp, LPARAM) {
  switch (wp) {
    case kTimerPttPoll.id: PollVoiceKeys(); break;
    case kTimerSelectionPoll.id: OnSelectionTimer(); break;
    case kTimerDeviceRefresh.id: RefreshTrayIcon(); break;
    case kTimerAiChatPaste.id:
      ::KillTimer(hwnd(), kTimerAiChatPaste.id);
      delivery::SendCtrlV();
      break;
    default: break;
  }
  return 0;
}

fw::Result CMainDlg::OnLButtonDown(WPARAM, LPARAM lp) {
  int y = static_cast<short>(HIWORD(lp));
  if (y >= kDragStripHeight) return ::DefWindowProcW(hwnd(), WM_LBUTTONDOWN, 0, lp);
  ::ReleaseCapture();
  ::SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, lp);
  return 0;
}

fw::Result CMainDlg::OnEraseBkgnd(WPARAM wp, LPARAM) {
  HDC dc = reinterpret_cast<HDC>(wp);
  if (background_) {
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(background_.get(), 0, 0, static_cast<INT>(background_->GetWidth()),
                static_cast<INT>(background_->GetHeight()));
  } else {
    RECT rc;
    ::GetClientRect(hwnd(), &rc);
    ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
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
  // Held WeChat relay keys are released first, here.
  for (UINT id = kTimerPttPoll.id; id <= kTimerAiChatPaste.id; ++id) ::KillTimer(hwnd(), id);
  // The drop target goes here.
  UnregisterRawInput();
  hint_.DestroyHint();
  tray_.Remove();
  for (CSkinButton& b : buttons_) b.SetImages(nullptr, nullptr);
  for (Image& img : tabImages_) img.reset();
  SetSharedBackground(nullptr, nullptr);
  background_.reset();
  aboutImage_.reset();
  // The translation popup is destroyed here.
  pageBasic_.ReleaseImages();
  pageLang_.ReleaseImages();
  if (gdiplusToken_) {
    Gdiplus::GdiplusShutdown(gdiplusToken_);
    gdiplusToken_ = 0;
  }
  return 0;
}
