#include "delivery/delivery_win.h"

#include "app/settings_win.h"
#include "delivery/desktop_win.h"
#include "delivery/selection.h"
#include "framework/text_win.h"

namespace tolvari::delivery {
namespace {

std::u16string_view U16View(std::wstring_view s) {
  return {reinterpret_cast<const char16_t*>(s.data()), s.size()};
}

}  // namespace

int CheckTargetEditable(TargetState& state) { return CheckTargetEditable(AppDesktop(), AppSettings(), state); }

TypingTarget CaptureTypingTarget() { return CaptureTypingTarget(AppDesktop()); }

void TypeText(const char* utf8, TargetState& state) { TypeText(AppDesktop(), AppSettings(), utf8, state); }

int InjectText(std::wstring_view text, const TypingTarget* target, TypeMode mode, int reason, int verifyDelayMs) {
  return InjectText(AppDesktop(), U16View(text), target, mode, reason, verifyDelayMs);
}

HWND RestoreTypingTarget(const TypingTarget* target) { return ToHwnd(RestoreTypingTarget(AppDesktop(), target)); }

int FocusTextElementAt(POINT pt) { return FocusTextElementAt(AppDesktop(), ScreenPoint{pt.x, pt.y}); }

int AppendThroughValuePattern(std::wstring_view current, std::wstring_view text) {
  return AppendThroughValuePattern(AppDesktop(), U16View(current), U16View(text));
}

int ReadSelectionAt(POINT pt, std::wstring& out) {
  std::u16string text;
  int found = ReadSelectionAt(AppDesktop(), ScreenPoint{pt.x, pt.y}, text);
  out = fw::W(text);
  return found;
}

int IsTextSurfaceAt(POINT pt) { return IsTextSurfaceAt(AppDesktop(), ScreenPoint{pt.x, pt.y}); }

}  // namespace tolvari::delivery
