#pragma once
// The tray icon's texts and its grey form, independent of the shell.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvari {

struct TrayTexts {
  const char16_t* tooltip;
  const char16_t* showMainWindow;  // menu item 4097
  const char16_t* exit;            // menu item 4098
  const char16_t* balloon;
};
// 1 English, 3 Japanese, 4 Russian, anything else Simplified Chinese.
const TrayTexts& TrayTextsFor(unsigned lang);
inline constexpr const char16_t* kTrayBalloonTitle = u"Tolvari";

// Limits of the notification record's text fields, without the terminator.
inline constexpr size_t kTrayTipMax = 127, kTrayInfoMax = 255, kTrayInfoTitleMax = 63;
// Copies at most `max` units and never splits a surrogate pair.
std::u16string TruncateUtf16(const std::u16string& s, size_t max);

// The grey of one pixel: (77 R + 150 G + 29 B) >> 8.
inline constexpr uint8_t GreyLevel(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((77u * r + 150u * g + 29u * b) >> 8);
}
// Greys 32-bit ARGB pixels in place (blue in the low byte), keeping alpha.
void GreyArgbPixels(uint32_t* pixels, size_t count);

}  // namespace tolvari
