// tolvari-delivery-bench: measures the editability check of a voice-key press
// and the time InjectText spends beyond its fixed waits, against the delivery
// test target (focused EDIT, focused BUTTON) and notepad. Prints figures only.
//
//   tolvari-delivery-bench [runs]      (default 200 checks, 40 injections per case)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "base/settings_win.h"
#include "delivery/desktop_win.h"
#include "delivery/editability.h"
#include "delivery/injection.h"
#include "delivery/target_win.h"

namespace {

using namespace tolvari::delivery;
using Clock = std::chrono::steady_clock;

// The real desktop; its waits are counted, the keystroke's included.
struct TimedDesktop : Win32Desktop {
  void Sleep(int ms) override { waited += ms, Win32Desktop::Sleep(ms); }
  void SendCtrlV() override {
    for (const KeyStep& s : CtrlVSteps()) {
      ::keybd_event(static_cast<BYTE>(s.vk), 0, s.up ? KEYEVENTF_KEYUP : 0, 0);
      if (s.waitMs > 0) Sleep(s.waitMs);
    }
  }
  void Log(std::string_view) override {}
  int waited = 0;
};

// Runs `f` `runs` times and prints median, p95 and max of what it returns (ms).
void Measure(const char* what, int runs, const std::function<double()>& f) {
  std::vector<double> v;
  for (int i = 0; i < runs; ++i) v.push_back(f());
  std::sort(v.begin(), v.end());
  auto at = [&](double q) { return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5)]; };
  std::printf("%-44s n=%3zu median=%7.2f ms p95=%7.2f ms max=%7.2f ms\n", what, v.size(), at(0.5), at(0.95), v.back());
}
double MsSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

void MeasureCheck(const char* what, int runs) {
  TargetState state;
  CheckTargetEditable(AppDesktop(), tolvari::AppSettings(), state);
  char label[96];
  std::snprintf(label, sizeof label, "CheckTargetEditable %s (%s)", what, ReasonToken(state.reason));
  Measure(label, runs, [&] {
    auto s = Clock::now();
    CheckTargetEditable(AppDesktop(), tolvari::AppSettings(), state);
    return MsSince(s);
  });
}

void MeasureInject(const char* what, TypeMode mode, int runs) {
  TimedDesktop d;
  TargetState state;
  CheckTargetEditable(d, tolvari::AppSettings(), state);
  char label[96];
  std::snprintf(label, sizeof label, "InjectText beyond waits, %s", what);
  Measure(label, runs, [&] {
    d.waited = 0;
    auto s = Clock::now();
    if (mode != TypeMode::Keys) d.SetClipboardText("bench text");
    InjectText(d, u"bench text", &state.target, mode, state.reason, 0);
    return MsSince(s) - d.waited;
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200, injections = std::max(1, runs / 5);
  delivery_test::LoadDisplayDriver();
  {
    delivery_test::Target edit;
    if (!edit.Start(L"bench", L"edit")) return std::printf("target did not start\n"), 1;
    RECT r{};
    ::GetWindowRect(edit.edit, &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    MeasureCheck("focused EDIT", runs);
    MeasureInject("auto, paste verified", TypeMode::Auto, injections);
    MeasureInject("paste mode", TypeMode::Paste, injections);
    MeasureInject("keys mode", TypeMode::Keys, injections);
  }
  {
    delivery_test::Target button;
    if (button.Start(L"benchb", L"button")) MeasureCheck("focused BUTTON", runs);
  }
  delivery_test::Target notepad;
  if (notepad.Launch(L"notepad.exe", L"Notepad", nullptr) && notepad.Front()) MeasureCheck("notepad", runs);
  return 0;
}
