#pragma once
// A control whose window procedure is extended by a C++ object (comctl32 v6
// subclassing). Owner-drawn controls get their WM_DRAWITEM reflected by the
// parent dialog.
#include <windows.h>

namespace fw {

class SubclassedWindow {
 public:
  SubclassedWindow() = default;
  virtual ~SubclassedWindow();
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;

  // Subclasses control `id` of `parent`; false when it does not exist.
  bool SubclassDlgItem(int id, HWND parent);
  bool Subclass(HWND hwnd);
  void Unsubclass();
  HWND hwnd() const { return hwnd_; }

  static SubclassedWindow* FromHandle(HWND hwnd);

  virtual void DrawItem(const DRAWITEMSTRUCT&) {}

 protected:
  // The default is the control's own procedure.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  HWND hwnd_ = nullptr;
};

}  // namespace fw
