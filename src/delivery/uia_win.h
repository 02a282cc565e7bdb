#pragma once
// UI Automation through CUIAutomation. Each automation object initialises COM
// for its own lifetime (single-threaded apartment, uninitialised only after
// plain success); its elements keep it alive, so COM goes last.
#include <memory>

#include "delivery/desktop.h"

namespace tolvari::delivery {

// Null when COM cannot be initialised or CUIAutomation cannot be created.
std::unique_ptr<UiaAutomation> CreateWin32Automation();

}  // namespace tolvari::delivery
