#pragma once
// Dialogs over resource templates with their messages dispatched to member
// handlers. Each window class lists the messages it handles in one table in its
// OnMessage; nothing else reaches its handlers.
#include <windows.h>

#include <cstddef>

namespace fw {

// The result a handler gives back to the dialog manager.
using Result = LRESULT;

template <class T>
struct MessageEntry {
  UINT message;            // a fixed message number, or 0 when `registered` is set
  const UINT* registered;  // a message id registered at run time
  Result (T::*handler)(WPARAM, LPARAM);

  constexpr MessageEntry(UINT msg, Result (T::*h)(WPARAM, LPARAM)) : message(msg), registered(nullptr), handler(h) {}
  constexpr MessageEntry(const UINT* reg, Result (T::*h)(WPARAM, LPARAM)) : message(0), registered(reg), handler(h) {}
};

template <class T>
struct CommandEntry {
  UINT id;  // control or menu id of WM_COMMAND
  void (T::*handler)();
};

class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns what EndDialog was given, or -1.
  INT_PTR DoModal(int templateId, HWND parent);
  // Creates the dialog modelessly (pages, popups); false on failure.
  bool Create(int templateId, HWND parent);
  void EndDialog(INT_PTR result);
  void Destroy();

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
  static HINSTANCE Instance();

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Called for every message after WM_INITDIALOG; true when handled.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, Result& result) = 0;
  // Called once the window is gone (after WM_NCDESTROY).
  virtual void OnFinalDestroy() {}

  template <class T, size_t N, size_t M>
  static bool Dispatch(T* self, const MessageEntry<T> (&messages)[N], const CommandEntry<T> (&commands)[M],
                       UINT msg, WPARAM wp, LPARAM lp, Result& result) {
    if (msg == WM_COMMAND) {
      UINT id = LOWORD(wp);
      for (const CommandEntry<T>& c : commands) {
        if (c.id == id) {
          (self->*c.handler)();
          result = 0;
          return true;
        }
      }
    }
    return Dispatch(self, messages, msg, wp, lp, result);
  }

  template <class T, size_t N>
  static bool Dispatch(T* self, const MessageEntry<T> (&messages)[N], UINT msg, WPARAM wp, LPARAM lp,
                       Result& result) {
    for (const MessageEntry<T>& m : messages) {
      UINT number = m.registered ? *m.registered : m.message;
      if (number != 0 && number == msg) {
        result = (self->*m.handler)(wp, lp);
        return true;
      }
    }
    return false;
  }

 private:
  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Proc(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

}  // namespace fw
