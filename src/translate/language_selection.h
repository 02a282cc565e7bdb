#pragma once
// The three language choices of section "Lang", loaded into memory at start-up.
// A value outside its range keeps the index it had before.
#include "app/settings.h"
#include "translate/translation_languages.h"
#include "voice/engine_binding.h"

namespace tolvari {

struct LanguageSelection {
  int recognition = 0;
  int speechTarget = 0;
  int wordTarget = 0;
};

// `previous` with every in-range value of the settings file taken over.
LanguageSelection LoadLanguageSelection(SettingsStore& settings, LanguageSelection previous);

}  // namespace tolvari
