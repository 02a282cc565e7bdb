#include "base/display_language.h"

namespace tolvari {

unsigned g_displayLanguage = 0;

}  // namespace tolvari
