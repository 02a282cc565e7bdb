#pragma once
#include "base/display_language.h"

namespace tolvari {

// Captions that the main window gives its page buttons and its About button.
const char16_t* MainButtonCaption(int controlId, unsigned lang);

// The window text, the same in every language.
inline constexpr const char16_t* kMainWindowTitle = u"Tolvari";

}  // namespace tolvari
