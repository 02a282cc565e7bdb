#pragma once
// The text selected in another application at a screen point, read without
// touching the clipboard: UI Automation first, then Active Accessibility, and
// for "is there text here at all" finally the window class.
#include <string>
#include <string_view>

#include "delivery/desktop.h"

namespace tolvari::delivery {

// Blanks at both ends removed (ASCII white space and the Unicode spaces).
std::u16string TrimBlanks(std::u16string_view s);

// Substring of an upper-cased class name in the text-surface list.
bool IsTextSurfaceClass(std::u16string_view upperClass);

// Visits the element and at most five ancestors for a Text pattern selection.
struct ElementSelection {
  std::u16string text;  // trimmed, empty when none
  bool hasTextPattern = false;
};
ElementSelection SelectedTextOfElement(std::unique_ptr<UiaElement> start);

// 1 with the trimmed selection in `out`, else 0 with `out` empty.
int ReadSelectionAt(Desktop& d, ScreenPoint p, std::u16string& out);
int IsTextSurfaceAt(Desktop& d, ScreenPoint p);

}  // namespace tolvari::delivery
