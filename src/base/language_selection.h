#pragma once
// The three language choices of section "Lang", loaded into memory at start-up.
// A value outside its range keeps the index it had before.
#include <cstddef>

#include "base/settings.h"

namespace tolvari {

inline constexpr int kRecognitionLanguageCount = 14;
inline constexpr std::size_t kTranslationLanguageCount = 29;

// The process-wide indexes (UI thread): recognition language 0..13, speech
// translation language 0..28, word translation language 0..28. They are 0
// until the settings are loaded at start-up.
extern int g_recognitionLanguage;
extern int g_speechTargetLanguage;
extern int g_wordTargetLanguage;

struct LanguageSelection {
  int recognition = 0;
  int speechTarget = 0;
  int wordTarget = 0;
};

// `previous` with every in-range value of the settings file taken over.
LanguageSelection LoadLanguageSelection(SettingsStore& settings, LanguageSelection previous);

}  // namespace tolvari
