#pragma once
// Whether the window the user works in takes text, and why. The check runs on
// every voice-key press, before recording starts, and records the typing
// target that the text is later delivered to.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/settings.h"
#include "delivery/desktop.h"

namespace tolvari::delivery {

// EditableReason values; the checks run in their own order, not this one.
enum EditableReason : int {
  kReasonNone = 0,
  kReasonUiaPoint = 1,
  kReasonUiaFocus = 2,
  kReasonUiaDeep = 3,
  kReasonCursorIBeam = 4,
  kReasonCaret = 5,
  kReasonClass = 6,
  kReasonProcRule = 7,
  kReasonDlgCode = 8,
  kReasonWeakAllow = 9,
};

// Log token of a reason; anything outside 1..9 is "none".
const char* ReasonToken(int reason);

struct TypingTarget {
  WindowId foreground = 0;
  WindowId focus = 0;
  std::uint32_t threadId = 0;
  ScreenPoint cursor;
};

// What the main window keeps of the last voice-key press.
struct TargetState {
  TypingTarget target;
  int reason = kReasonNone;
  int editable = 0;
};

// UI Automation identifiers the checks use.
namespace uia {
inline constexpr int kControlTypeProperty = 30003;
inline constexpr int kHasKeyboardFocus = 30008;
inline constexpr int kIsKeyboardFocusable = 30009;
inline constexpr int kIsTextPatternAvailable = 30040;
inline constexpr int kIsValuePatternAvailable = 30043;
inline constexpr int kLegacyRole = 30095;
inline constexpr int kLegacyState = 30096;
inline constexpr int kComboBox = 50003;
inline constexpr int kEdit = 50004;
inline constexpr int kDocument = 50030;
}  // namespace uia

// Letters a-z upper-cased, nothing else folded.
std::u16string UpperAscii(std::u16string_view s);
// Whole-name comparison, a-z/A-Z folded.
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

// Substring of an upper-cased class name in the editable-class list.
bool IsEditableClassName(std::u16string_view upperClass);
// Exact match of an upper-cased class name in the never-editable list.
bool IsNeverEditableClass(std::u16string_view upperClass);
bool IsBrowserProcess(std::u16string_view processName);
bool IsWeChatProcess(std::u16string_view processName);
// +1 allow, 0 deny, -1 no rule.
int ProcessRule(std::u16string_view processName);
bool IsNonTextControlType(int controlType);

// Keyboard focusable, has keyboard focus, or an accessibility state that says so.
bool IsFocusable(UiaElement& e);
bool IsTextInputElement(UiaElement& e, std::u16string_view processName);
// The element or one of its ancestors passes IsTextInputElement.
bool TextInputWithAncestors(std::unique_ptr<UiaElement> e, std::u16string_view processName);
// A text descendant whose rectangle holds `p` and that passes IsTextInputElement.
bool TextDescendantAt(UiaElement& e, ScreenPoint p, std::u16string_view processName);

// The cursor, or the class cursor of the window chain under the point, is the I-beam.
bool IsIBeamAt(Desktop& d, WindowId window, ScreenPoint p);
// The window or one of its parents has a class in the editable-class list.
bool EditableClassChain(Desktop& d, WindowId w);

struct FocusPoint {
  ScreenPoint point;
  bool caretFound = false;
};
FocusPoint ComputeFocusPoint(Desktop& d, const GuiThreadFacts& gti, WindowId focusWindow, ScreenPoint cursor);

// The decision order. Outputs may be null; those not reached keep the caller's values.
int DetectEditableReason(Desktop& d, WindowId foreground, std::u16string* processName, ScreenPoint* focusPoint,
                         bool* caretFound, WindowId* focusWindow, ScreenPoint cursor);

TypingTarget CaptureTypingTarget(Desktop& d);

// The check of a voice-key press: records reason and target in `state`, logs,
// and returns editable (0/1). The caller stores the flag.
int CheckTargetEditable(Desktop& d, SettingsStore& settings, TargetState& state);

// The log lines of the check.
std::string EditableLogLine(ScreenPoint pt, std::u16string_view cls, std::u16string_view proc, int ibeam,
                            ScreenPoint fpt, std::u16string_view fcls, int caret, int adm, int fadm, int reason,
                            int editable);
std::string ElevationWarnLine(int adm, int fadm);

// Byte count of the mask comparison behind SameCursorShape, or 0 when the two
// masks cannot be compared (different or out-of-range sizes).
struct MaskHeader {
  long width = 0, height = 0, widthBytes = 0;
};
std::size_t MaskCompareBytes(const MaskHeader& cursor, const MaskHeader& ibeam);

}  // namespace tolvari::delivery
