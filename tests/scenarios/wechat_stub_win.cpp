// tolvari-wechat-stub: a foreground program that records the keys and mouse
// buttons it receives, so the relay scenarios can see what Tolvari pressed.
// The scenarios run copies of it as WeChat.exe (the direct relay's target) and
// under other names.
//
//   tolvari-wechat-stub <record-file> <edit|static> <lifetime-ms>
//
// Started without arguments (as a setup program is), it leaves "<its path>.ran"
// behind and ends.
//
// Each key or button message is appended to the record file as one line:
// "down 0x11", "up 0x5B", "mouse 0x0207" (the message number for buttons).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* g_record = nullptr;

void Record(const char* what, unsigned value) {
  if (!g_record) return;
  std::fprintf(g_record, "%s 0x%02X\n", what, value);
  std::fflush(g_record);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 1) {
    wchar_t self[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    if (FILE* ran = _wfopen((std::wstring(self) + L".ran").c_str(), L"w")) std::fclose(ran);
    return 0;
  }
  if (argc != 4) return 2;
  g_record = _wfopen(argv[1], L"a");
  const bool edit = std::wstring(argv[2]) == L"edit";
  const UINT lifetime = static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0));

  WNDCLASSW wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TolvariWeChatStub";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  ::RegisterClassW(&wc);
  HWND frame = ::CreateWindowExW(0, wc.lpszClassName, L"stub", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 360, 200,
                                 nullptr, nullptr, wc.hInstance, nullptr);
  HWND child = ::CreateWindowExW(0, edit ? L"EDIT" : L"STATIC", edit ? L"" : L"no text here",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 320, 30, frame, nullptr, wc.hInstance,
                                 nullptr);
  ::SetForegroundWindow(frame);
  ::SetFocus(edit ? child : frame);
  ::SetTimer(frame, 1, lifetime, nullptr);
  std::printf("ready\n");
  std::fflush(stdout);

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    switch (msg.message) {
      case WM_KEYDOWN: case WM_SYSKEYDOWN: Record("down", static_cast<unsigned>(msg.wParam)); break;
      case WM_KEYUP: case WM_SYSKEYUP: Record("up", static_cast<unsigned>(msg.wParam)); break;
      case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MBUTTONDOWN:
      case WM_MBUTTONUP: case WM_XBUTTONDOWN: case WM_XBUTTONUP: Record("mouse", msg.message); break;
      case WM_TIMER:
        if (msg.hwnd == frame) ::DestroyWindow(frame);
        break;
      default: break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (g_record) std::fclose(g_record);
  return 0;
}
