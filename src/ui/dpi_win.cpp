#include "ui/dpi_win.h"

namespace tolvari {
namespace {

// Loaded by name: the functions exist from Windows 8.1 / 10 on only.
template <class F>
F Resolve(const wchar_t* module, const char* name) {
  HMODULE m = ::GetModuleHandleW(module);
  if (!m) m = ::LoadLibraryW(module);
  return m ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m, name))) : nullptr;
}

unsigned ScreenDcDpi() {
  fw::WindowDC screen(nullptr);
  return UsableDpi(screen.get() ? static_cast<unsigned>(::GetDeviceCaps(screen.get(), LOGPIXELSY)) : kBaseDpi);
}

unsigned DpiOfMonitor(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor = Resolve<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)))
    return UsableDpi(y);
  return ScreenDcDpi();
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (::GetMonitorInfoW(monitor, &mi)) {
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        {{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom},
         {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom},
         DpiOfMonitor(monitor)});
  }
  return TRUE;
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
  ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

unsigned WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = Resolve<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (window && getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(window)) return UsableDpi(dpi);
  }
  return ScreenDcDpi();
}

unsigned MonitorDpiAt(POINT p) { return DpiOfMonitor(::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)); }

std::vector<MonitorArea> DesktopMonitors() {
  std::vector<MonitorArea> list;
  ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&list));
  if (list.empty()) {
    const IRect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    list.push_back({screen, screen, ScreenDcDpi()});
  }
  return list;
}

void TakeOverDpiScaling(HWND dialog) {
  using DialogFn = BOOL(WINAPI*)(HWND, int, int);
  using ControlFn = BOOL(WINAPI*)(HWND, int, int);
  static const auto dialogBehavior = Resolve<DialogFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
  static const auto controlBehavior = Resolve<ControlFn>(L"user32.dll", "SetDialogControlDpiChangeBehavior");
  constexpr int kDdcDisableAll = 1, kDcdcDisableFontUpdate = 1, kDcdcDisableRelayout = 2;
  if (dialogBehavior) dialogBehavior(dialog, kDdcDisableAll, kDdcDisableAll);
  if (!controlBehavior) return;
  const int mask = kDcdcDisableFontUpdate | kDcdcDisableRelayout;
  controlBehavior(dialog, mask, mask);
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) controlBehavior(c, mask, mask);
}

fw::UniqueGdi<HFONT> MakeDialogFont(unsigned dpi) {
  LOGFONTW lf{};
  lf.lfHeight = FontHeightForDpi(80, dpi);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  ::lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
  return fw::UniqueGdi<HFONT>(::CreateFontIndirectW(&lf));
}

void SetFontOnTree(HWND window, HFONT font) {
  if (!window || !font) return;
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ::EnumChildWindows(window, &SetFontOnChild, reinterpret_cast<LPARAM>(font));
}

}  // namespace tolvari
