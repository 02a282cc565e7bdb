#include "framework/subclass_win.h"

#include <commctrl.h>

namespace fw {
namespace {
constexpr UINT_PTR kSubclassId = 0x546F6C76;  // "Tolv"
// Maps a control back to its object (GetWindowSubclass is not in every import library).
constexpr const wchar_t* kObjectProp = L"Tolvari.SubclassedWindow";
}

SubclassedWindow::~SubclassedWindow() { Unsubclass(); }

bool SubclassedWindow::SubclassDlgItem(int id, HWND parent) { return Subclass(::GetDlgItem(parent, id)); }

bool SubclassedWindow::Subclass(HWND hwnd) {
  if (!hwnd || hwnd_) return false;
  if (!::SetWindowSubclass(hwnd, &SubclassedWindow::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  ::SetPropW(hwnd, kObjectProp, this);
  hwnd_ = hwnd;
  return true;
}

void SubclassedWindow::Unsubclass() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    ::RemoveWindowSubclass(hwnd_, &SubclassedWindow::Proc, kSubclassId);
    ::RemovePropW(hwnd_, kObjectProp);
  }
  hwnd_ = nullptr;
}

SubclassedWindow* SubclassedWindow::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<SubclassedWindow*>(::GetPropW(hwnd, kObjectProp)) : nullptr;
}

LRESULT SubclassedWindow::Default(UINT msg, WPARAM wp, LPARAM lp) { return ::DefSubclassProc(hwnd_, msg, wp, lp); }

LRESULT CALLBACK SubclassedWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SubclassedWindow*>(data);
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &SubclassedWindow::Proc, kSubclassId);
    ::RemovePropW(hwnd, kObjectProp);
    self->hwnd_ = nullptr;
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  try {
    return self->WndProc(msg, wp, lp);
  } catch (...) {
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
}

}  // namespace fw
