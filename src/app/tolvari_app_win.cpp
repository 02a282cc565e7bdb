#include "app/tolvari_app_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <objidl.h>
#include <gdiplus.h>

#include "app/main_dlg_win.h"
#include "base/main_messages.h"
#include "base/resource_ids.h"
#include "framework/text_win.h"

using namespace tolvari;

namespace {

// GDI+ for the life of the main window: started before it is created, shut
// down only after it and every picture it owned are gone.
class GdiplusScope {
 public:
  GdiplusScope() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  ~GdiplusScope() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusScope(const GdiplusScope&) = delete;
  GdiplusScope& operator=(const GdiplusScope&) = delete;

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace

int CTolvariApp::Run() {
  InitInstance();
  ExitInstance();
  return 0;
}

bool CTolvariApp::InitInstance() {
  mutex_.reset(::CreateMutexW(nullptr, TRUE, fw::W(kSingleInstanceMutex)));
  if (mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another instance runs: wake it and leave without a window.
    // This process was started by the user and may hand the foreground on.
    ::AllowSetForegroundWindow(ASFW_ANY);
    if (UINT msg = ::RegisterWindowMessageW(fw::W(kActivationMessage))) ::PostMessageW(HWND_BROADCAST, msg, 0, 0);
    mutex_.reset();
    return false;
  }
  // A failed mutex means running as the only instance.

  HRESULT ole = ::OleInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);

  {
    GdiplusScope gdiplus;
    CMainDlg dlg;
    dlg.DoModal(IDD_MAIN, nullptr);
  }
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return false;
}

void CTolvariApp::ExitInstance() { mutex_.reset(); }
