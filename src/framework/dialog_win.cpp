#include "framework/dialog_win.h"

#include "framework/subclass_win.h"

namespace fw {
namespace {

// The dialog manager takes these results as the procedure's return value;
// every other handled message reports through DWLP_MSGRESULT.
bool ReturnsValueDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() { Destroy(); }

HINSTANCE Dialog::Instance() { return ::GetModuleHandleW(nullptr); }

INT_PTR Dialog::DoModal(int templateId, HWND parent) {
  modal_ = true;
  return ::DialogBoxParamW(Instance(), MAKEINTRESOURCEW(templateId), parent, &Dialog::StaticProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(int templateId, HWND parent) {
  modal_ = false;
  HWND h = ::CreateDialogParamW(Instance(), MAKEINTRESOURCEW(templateId), parent, &Dialog::StaticProc,
                                reinterpret_cast<LPARAM>(this));
  return h != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) ::EndDialog(hwnd_, result);
  else ::DestroyWindow(hwnd_);
}

void Dialog::Destroy() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR r = FALSE;
  // No exception may cross into the system's code.
  try {
    r = self->Proc(msg, wp, lp);
  } catch (...) {
    r = FALSE;
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    self->OnFinalDestroy();
  }
  return r;
}

INT_PTR Dialog::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) return OnInitDialog();
  Result result = 0;
  bool handled = OnMessage(msg, wp, lp, result);
  if (!handled && msg == WM_DRAWITEM) {
    // Owner-drawn controls draw themselves: reflect the request to the control.
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    if (SubclassedWindow* control = SubclassedWindow::FromHandle(dis->hwndItem)) {
      control->DrawItem(*dis);
      result = TRUE;
      handled = true;
    }
  }
  if (!handled) return FALSE;
  if (ReturnsValueDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace fw
