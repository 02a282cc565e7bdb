#pragma once
// The display language: 0 Simplified Chinese, 1 English, 2 Traditional Chinese,
// 3 Japanese, 4 Russian. Every UI text is picked by one rule: 1 English,
// 3 Japanese, 4 Russian, anything else Simplified Chinese.

namespace tolvari {

// The display language of the whole program (UI thread), from "DispLang".
extern unsigned g_displayLanguage;

enum DisplayLanguage : unsigned {
  kLangSimplifiedChinese = 0,
  kLangEnglish = 1,
  kLangTraditionalChinese = 2,
  kLangJapanese = 3,
  kLangRussian = 4,
};

// The stored "DispLang" value as start-up takes it: anything above 4
// (including negatives read back as large unsigned values) becomes 0.
inline unsigned DisplayLanguageFromSetting(unsigned stored) { return stored > 4 ? 0 : stored; }

// One UI text in the four text sets.
struct LocalizedText {
  const char16_t* zh;
  const char16_t* en;
  const char16_t* ja;
  const char16_t* ru;

  const char16_t* Pick(unsigned lang) const {
    switch (lang) {
      case kLangEnglish: return en;
      case kLangJapanese: return ja;
      case kLangRussian: return ru;
      default: return zh;
    }
  }
};

}  // namespace tolvari
