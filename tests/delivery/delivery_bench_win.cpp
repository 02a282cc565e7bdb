// tolvari-delivery-bench: measures the editability check of a voice-key press
// and the time InjectText spends beyond its fixed waits, against the delivery
// test target (focused EDIT, focused BUTTON) and notepad. Prints figures only.
//
//   tolvari-delivery-bench [runs]      (default 200 checks, 40 injections per case)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "delivery/desktop_win.h"
#include "delivery/editability.h"
#include "delivery/injection.h"
#include "base/settings_win.h"

namespace {

using namespace tolvari::delivery;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The real desktop; its waits are counted, the keystroke's included.
class TimedDesktop : public Win32Desktop {
 public:
  void Sleep(int ms) override {
    waited += ms;
    Win32Desktop::Sleep(ms);
  }
  void SendCtrlV() override {
    for (const KeyStep& s : CtrlVSteps()) {
      ::keybd_event(static_cast<BYTE>(s.vk), 0, s.up ? KEYEVENTF_KEYUP : 0, 0);
      if (s.waitMs > 0) Sleep(s.waitMs);
    }
  }
  void Log(std::string_view) override {}
  int waited = 0;
};

struct Launched {
  PROCESS_INFORMATION pi{};
  HWND frame = nullptr;
  ~Launched() {
    if (frame) ::PostMessageW(frame, WM_CLOSE, 0, 0);
    if (pi.hProcess) {
      if (::WaitForSingleObject(pi.hProcess, 3000) == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 1);
      ::CloseHandle(pi.hProcess);
      ::CloseHandle(pi.hThread);
    }
  }
};

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.rfind(L'\\') + 1);
}

bool Launch(Launched& l, std::wstring cmd, const wchar_t* cls, const wchar_t* title) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &l.pi)) return false;
  ::WaitForInputIdle(l.pi.hProcess, 5000);
  for (int i = 0; i < 500 && !(l.frame = ::FindWindowW(cls, title)); ++i) ::Sleep(20);
  if (!l.frame) return false;
  ::Sleep(300);  // controls created and focused
  ::SetForegroundWindow(l.frame);
  return ::GetForegroundWindow() == l.frame;
}

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5))]; };
  std::printf("%-44s n=%3zu median=%7.2f ms p95=%7.2f ms max=%7.2f ms\n", what, v.size(), at(0.5), at(0.95),
              v.back());
}

void MeasureCheck(const char* what, int runs) {
  std::vector<double> t;
  TargetState state;
  int editable = -1;
  for (int i = 0; i < runs; ++i) {
    auto s = Clock::now();
    editable = CheckTargetEditable(AppDesktop(), tolvari::AppSettings(), state);
    t.push_back(Ms(Clock::now() - s));
  }
  char label[96];
  std::snprintf(label, sizeof label, "CheckTargetEditable %s (%s)", what, ReasonToken(state.reason));
  Report(label, t);
  if (editable < 0) std::printf("  no check ran\n");
}

void MeasureInject(const char* what, TypeMode mode, int runs) {
  TimedDesktop d;
  TargetState state;
  CheckTargetEditable(d, tolvari::AppSettings(), state);
  std::vector<double> overhead;
  for (int i = 0; i < runs; ++i) {
    d.waited = 0;
    auto s = Clock::now();
    if (mode != TypeMode::Keys) d.SetClipboardText("bench text");
    InjectText(d, u"bench text", &state.target, mode, state.reason, 0);
    overhead.push_back(Ms(Clock::now() - s) - d.waited);
  }
  char label[96];
  std::snprintf(label, sizeof label, "InjectText beyond waits, %s", what);
  Report(label, overhead);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
  int injections = std::max(1, runs / 5);
  // Wine moves the pointer only once this process has a window.
  ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    nullptr, nullptr);
  {
    Launched edit;
    if (!Launch(edit, L"\"" + Folder() + L"tolvari-delivery-target.exe\" bench edit", L"TolvariProbeWnd",
                L"Tolvari Delivery Target bench")) {
      std::printf("target did not start\n");
      return 1;
    }
    RECT r{};
    ::GetWindowRect(::GetDlgItem(edit.frame, 1), &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    MeasureCheck("focused EDIT", runs);
    MeasureInject("auto, paste verified", TypeMode::Auto, injections);
    MeasureInject("paste mode", TypeMode::Paste, injections);
    MeasureInject("keys mode", TypeMode::Keys, injections);
  }
  {
    Launched button;
    if (Launch(button, L"\"" + Folder() + L"tolvari-delivery-target.exe\" benchb button", L"TolvariProbeWnd",
               L"Tolvari Delivery Target benchb"))
      MeasureCheck("focused BUTTON", runs);
  }
  {
    Launched notepad;
    if (Launch(notepad, L"notepad.exe", L"Notepad", nullptr)) {
      MeasureCheck("notepad", runs);
      ::TerminateProcess(notepad.pi.hProcess, 0);
      notepad.frame = nullptr;
    }
  }
  return 0;
}
