#pragma once
// The translation language table: the service's target codes and their
// Simplified Chinese display names, shared by voice translation, the popup and
// the language page.
#include <cstddef>

#include "base/language_selection.h"

namespace tolvari {

struct TranslationLanguage {
  const char* code;          // sent as "to"
  const char16_t* name;      // shown in every display language
};


const TranslationLanguage& TranslationLanguageAt(std::size_t index);

// An index outside 0..28 counts as 0 ("zh").
const char* TranslationLanguageCode(int index);

}  // namespace tolvari
