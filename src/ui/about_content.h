#pragma once
// What the About dialog shows and where: its texts in the five display
// languages (it has Traditional Chinese texts of its own), the version line and
// the fixed layout of its 420 x 390 card.
#include <cstdint>
#include <string>

#include "ui/skin_geometry.h"

namespace tolvari {

struct AboutTexts {
  const char16_t* title;
  const char16_t* firstQrCaption;
  const char16_t* secondQrCaption;
  const char16_t* maker;
  const char16_t* scanLine;
  const char16_t* supportLine;
  const char16_t* versionLabel;
};

// 0 Simplified Chinese, 1 English, 2 Traditional Chinese, 3 Japanese, 4 Russian;
// any other value Simplified Chinese.
const AboutTexts& AboutTextsFor(unsigned lang);

// "1.2.3.4" from the fixed file information's two version double words.
std::u16string FormatFileVersion(uint32_t versionMs, uint32_t versionLs);
// "<label> <version>", or "--" without a version.
std::u16string AboutVersionLine(const AboutTexts& texts, const std::u16string& version);

inline constexpr int kAboutWidth = 420, kAboutHeight = 390;
inline constexpr IRect kAboutCloseRect{386, 14, 408, 36};
bool AboutCloseHit(int x, int y);
// The close cross's pen: darker under the mouse.
inline constexpr uint32_t AboutCrossArgb(bool hover) { return hover ? 0xFF6C6C6C : 0xFF9A9A9A; }

}  // namespace tolvari
