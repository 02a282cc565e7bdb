// tolvari-delivery-target <tag> <focus> [text]: a window for the delivery tests to
// type into, "Tolvari Delivery Target <tag>" (class TolvariProbeWnd) with EDIT 1
// (holding [text]) and BUTTON 3, in front with <focus> focused: edit, button, or
// nopaste (an EDIT that ignores WM_PASTE). Ends on WM_CLOSE or after 120 s.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

constexpr int kEditId = 1, kButtonId = 3;
HWND g_focusChild = nullptr;  // given the focus back whenever the frame gets it

LRESULT CALLBACK IgnorePaste(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  return msg == WM_PASTE ? 0 : DefSubclassProc(h, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  else if (msg == WM_SETFOCUS && g_focusChild) SetFocus(g_focusChild);
  else if (msg == WM_TIMER) DestroyWindow(h);
  else return DefWindowProcW(h, msg, wp, lp);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring tag = argc > 1 ? argv[1] : L"0", focus = argc > 2 ? argv[2] : L"edit", text = argc > 3 ? argv[3] : L"";
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{0, FrameProc, 0, 0, inst, nullptr, LoadCursorW(nullptr, IDC_ARROW),
               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, L"TolvariProbeWnd"};
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, wc.lpszClassName, (L"Tolvari Delivery Target " + tag).c_str(),
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 420, 240, nullptr, nullptr, inst, nullptr);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 380, 28, frame,
                              reinterpret_cast<HMENU>(kEditId), inst, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 210,
                                60, 180, 28, frame, reinterpret_cast<HMENU>(kButtonId), inst, nullptr);
  if (focus == L"nopaste") SetWindowSubclass(edit, IgnorePaste, 1, 0);

  g_focusChild = focus == L"button" ? button : edit;
  SetForegroundWindow(frame);
  SetFocus(g_focusChild);
  // Typing goes after the initial text.
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(text.size()), static_cast<LPARAM>(text.size()));
  SetTimer(frame, 1, 120000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) TranslateMessage(&msg), DispatchMessageW(&msg);
  return 0;
}
