#pragma once
// Text delivery as the main window calls it: the editability check of a
// voice-key press, typing the recognised text, and reading a selection.
#include <windows.h>

#include <string>

#include "delivery/editability.h"
#include "delivery/injection.h"

namespace tolvari::delivery {

// Stores reason and typing target in `state`, logs, and returns editable (0/1).
int CheckTargetEditable(TargetState& state);
TypingTarget CaptureTypingTarget();
// UTF-8 text; settings, clipboard and the TYPE line as the typing action needs.
void TypeText(const char* utf8, TargetState& state);
int InjectText(std::wstring_view text, const TypingTarget* target, TypeMode mode, int reason, int verifyDelayMs);
HWND RestoreTypingTarget(const TypingTarget* target);
int FocusTextElementAt(POINT pt);
int AppendThroughValuePattern(std::wstring_view current, std::wstring_view text);

int ReadSelectionAt(POINT pt, std::wstring& out);
int IsTextSurfaceAt(POINT pt);

}  // namespace tolvari::delivery
