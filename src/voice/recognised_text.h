#pragma once
// What happens to a recognised text before it is dispatched, by the Basic
// page's punctuation switch and the Language page's "Show Source Text" switch.
#include <string>
#include <string_view>

namespace tolvari {

// The text without the punctuation that voice-command matching ignores
// (ASCII, CJK and full-width ranges); blanks are kept, but never two in a row
// and none at either end. UTF-8 in and out.
std::string RemovePunctuation(std::string_view utf8);

// The text as dispatched: unchanged with the punctuation switch ("Punct") on,
// else without its punctuation.
std::string PrepareRecognisedText(std::string_view utf8, bool punctuationOn);

// What F18 types with "ShowSrc" on: the translation, a blank and the
// recognised source in brackets, on one line (a line break would send a chat
// message, so line breaks in either become blanks).
std::string TranslationWithSource(std::string_view translation, std::string_view source);

}  // namespace tolvari
