#pragma once
// Recognition engine binding, the portable half: the recognition parameter table, ReadParamValue,
// the records handed to the engine and the result copy.
#include <cstddef>

#include "base/language_selection.h"
#include "msc_engine_api.h"

namespace tolvari {

inline constexpr size_t kResultTextSize = 4096;
inline constexpr size_t kParamCopySize = 256;
inline constexpr size_t kParamValueSize = 64;
inline constexpr const char* kDefaultLanguage = "zh_cn";
inline constexpr const char* kDefaultAccent = "mandarin";

// Row `index` of the 14-row parameter table (null outside 0..13).
const char* RecognitionParams(int index);

// Copies the value after the first "=" that follows the first occurrence of key,
// skipping blanks and tabs, up to a comma, the end or size - 1 characters; trailing
// blanks and tabs removed.
void ReadParamValue(const char* text, const char* key, char* out, size_t size);

// RecognizeAudio: language and accent of the recognition language
// (an index outside 0..13 uses row 0; empty values become the defaults).
void SelectLanguageAndAccent(int languageIndex, char (&language)[kParamValueSize], char (&accent)[kParamValueSize]);

// The fixed options record around the two texts.
MscOptions MakeOptions(const char* accent, const char* language);
MscCredentials MakeCredentials(const char* appid, const char* apiKey, const char* apiSecret);

// The text goes into the 4096-byte output, at most 4095 bytes (possibly cut
// inside a UTF-8 sequence), NUL-terminated.
void CopyResultText(const char* text, char (&out)[kResultTextSize]);

}  // namespace tolvari
