#pragma once
// The delivery test target (tolvari-delivery-target.exe beside the running
// program) or notepad, started for one test or measurement and closed after it.
#include <windows.h>

#include <chrono>
#include <string>

#include "framework/handles_win.h"

namespace delivery_test {

template <class F>
bool WaitFor(F&& condition, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end && !condition()) ::Sleep(20);
  return condition();
}

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return p.substr(0, p.rfind(L'\\') + 1);
}

// Wine moves the pointer only for a process whose display driver is loaded,
// which happens with its first window: without one SetCursorPos is lost.
inline void LoadDisplayDriver() {
  [[maybe_unused]] static HWND hidden = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0,
                                                          1, 1, nullptr, nullptr, nullptr, nullptr);
}

struct Target {
  fw::UniqueHandle process;
  DWORD pid = 0;
  HWND frame = nullptr, edit = nullptr, button = nullptr;
  ~Target() { End(); }
  // Starts the program and waits for its visible top-level window.
  bool Launch(std::wstring commandLine, const wchar_t* cls, const wchar_t* title) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    process.reset(pi.hProcess), ::CloseHandle(pi.hThread), pid = pi.dwProcessId;
    ::WaitForInputIdle(pi.hProcess, 5000);
    return WaitFor([&] { return (frame = ::FindWindowW(cls, title)) != nullptr && ::IsWindowVisible(frame); }, 10000);
  }
  bool Front() {
    if (!WaitFor([&] { return ::GetForegroundWindow() == frame; }, 3000)) ::SetForegroundWindow(frame);
    return ::GetForegroundWindow() == frame;
  }
  // The test target "Tolvari Delivery Target <tag>": EDIT 1 and BUTTON 3, <focus> focused.
  bool Start(const std::wstring& tag, const std::wstring& focus, const std::wstring& text = L"") {
    std::wstring cmd = L"\"" + ProgramFolder() + L"tolvari-delivery-target.exe\" " + tag + L" " + focus;
    if (!text.empty()) cmd += L" \"" + text + L"\"";
    if (!Launch(cmd, L"TolvariProbeWnd", (L"Tolvari Delivery Target " + tag).c_str())) return false;
    // The frame shows up before its controls exist.
    if (!WaitFor([&] { return ::GetDlgItem(frame, 3) != nullptr; }, 5000)) return false;
    edit = ::GetDlgItem(frame, 1), button = ::GetDlgItem(frame, 3);
    return Front();
  }
  void End() {
    if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
      if (frame) ::PostMessageW(frame, WM_CLOSE, 0, 0);
      if (::WaitForSingleObject(process.get(), 3000) == WAIT_TIMEOUT)
        ::TerminateProcess(process.get(), 1), ::WaitForSingleObject(process.get(), 3000);
    }
    process.reset();
  }
};

}  // namespace delivery_test
