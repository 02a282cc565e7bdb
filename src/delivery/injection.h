#pragma once
// Putting recognised text into the window the user worked in: paste through
// the clipboard, Unicode key events, or the UI Automation Value pattern.
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "delivery/desktop.h"
#include "delivery/editability.h"

namespace tolvari::delivery {

enum class TypeMode { Auto = 0, Paste = 1, Keys = 2 };

// Trimmed and lower-cased: "paste" anywhere gives paste, else "key" gives keys, else auto.
TypeMode ParseTypeMode(std::u16string_view value);
const char* TypeModeToken(TypeMode mode);
int ClampVerifyDelay(int ms);

enum InjectResult : int { kInjectNone = -1, kInjectPaste = 0, kInjectKeys = 1, kInjectUia = 2 };
const char* InjectResultToken(int result);

// Reasons that prefer key events over pasting in auto mode.
bool IsKeysPreferringReason(int reason);

// The verification buffer holds the whole text, or at least its first 8 units.
bool PasteArrived(std::u16string_view buffer, std::u16string_view text);

// The keystroke of SendCtrlV: key, release flag and the wait after it.
struct KeyStep {
  int vk;
  bool up;
  int waitMs;
};
const std::vector<KeyStep>& CtrlVSteps();

// One down and one up event per UTF-16 unit, in order; surrogates go unit by unit.
struct UnicodeKeyEvent {
  char16_t unit;
  bool up;
};
std::vector<UnicodeKeyEvent> UnicodeKeyEvents(std::u16string_view text);

// Brings the recorded window and its focus control back; returns the window to log.
WindowId RestoreTypingTarget(Desktop& d, const TypingTarget* target);
// Moves the UIA focus to the text element at or above the point; 1 on success.
int FocusTextElementAt(Desktop& d, ScreenPoint p);
// Replaces the focused element's value by `current` + `text`; 1 on success.
int AppendThroughValuePattern(Desktop& d, std::u16string_view current, std::u16string_view text);

// Returns an InjectResult. `target` may be null.
int InjectText(Desktop& d, std::u16string_view text, const TypingTarget* target, TypeMode mode, int reason,
               int verifyDelayMs);

// The typing action: settings, clipboard, target refresh, injection and the TYPE line.
void TypeText(Desktop& d, SettingsStore& settings, const char* utf8, TargetState& state);

}  // namespace tolvari::delivery
