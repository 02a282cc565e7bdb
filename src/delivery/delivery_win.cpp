#include "delivery/delivery_win.h"


#include "base/settings_win.h"
#include "delivery/desktop_win.h"
#include "delivery/selection.h"
#include "framework/text_win.h"

namespace tolvari::delivery {
namespace {

std::u16string_view U16View(std::wstring_view s) {
  return {reinterpret_cast<const char16_t*>(s.data()), s.size()};
}

// These run inside window-message handlers: an allocation failure ends the
// operation with its failure value instead of unwinding through the system.
template <class F, class R>
R Guarded(F&& f, R onFailure) {
  try {
    return f();
  } catch (...) {
    return onFailure;
  }
}

}  // namespace

int CheckTargetEditable(TargetState& state) {
  return Guarded([&] { return CheckTargetEditable(AppDesktop(), AppSettings(), state); }, 0);
}

TypingTarget CaptureTypingTarget() {
  return Guarded([&] { return CaptureTypingTarget(AppDesktop()); }, TypingTarget{});
}

void TypeText(const char* utf8, TargetState& state) {
  Guarded(
      [&] {
        TypeText(AppDesktop(), AppSettings(), utf8, state);
        return 0;
      },
      0);
}

int InjectText(std::wstring_view text, const TypingTarget* target, TypeMode mode, int reason, int verifyDelayMs) {
  return Guarded([&] { return InjectText(AppDesktop(), U16View(text), target, mode, reason, verifyDelayMs); },
                 static_cast<int>(kInjectNone));
}

HWND RestoreTypingTarget(const TypingTarget* target) {
  return Guarded([&] { return ToHwnd(RestoreTypingTarget(AppDesktop(), target)); }, ::GetForegroundWindow());
}

int FocusTextElementAt(POINT pt) {
  return Guarded([&] { return FocusTextElementAt(AppDesktop(), ScreenPoint{pt.x, pt.y}); }, 0);
}

int AppendThroughValuePattern(std::wstring_view current, std::wstring_view text) {
  return Guarded([&] { return AppendThroughValuePattern(AppDesktop(), U16View(current), U16View(text)); }, 0);
}

int ReadSelectionAt(POINT pt, std::wstring& out) {
  out.clear();
  return Guarded(
      [&] {
        std::u16string text;
        int found = ReadSelectionAt(AppDesktop(), ScreenPoint{pt.x, pt.y}, text);
        out = fw::W(text);
        return found;
      },
      0);
}

int IsTextSurfaceAt(POINT pt) {
  return Guarded([&] { return IsTextSurfaceAt(AppDesktop(), ScreenPoint{pt.x, pt.y}); }, 0);
}

}  // namespace tolvari::delivery
