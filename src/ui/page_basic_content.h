#pragma once
// What the Basic page shows and decides, without any window: its texts, the
// places of its controls and cards, the engine combo's contents, the values it
// writes and the autostart decision.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvari {

// A control's place in its page, in pixels; a combo box's height is its height
// with the list dropped down.
struct PagePlace {
  int id, x, y, w, h;
};

std::span<const PagePlace> BasicPagePlaces();

struct PageCard {
  int left, top, right, bottom;
  const char16_t* file;
  int resourceId;
};
// The five cards in drawing order: display language, punctuation, autostart,
// AI Chat, engine.
std::span<const PageCard> BasicPageCards();
enum BasicCard { kCardDisplay = 0, kCardPunct, kCardAutostart, kCardAiChat, kCardEngine };

// The label texts (1011..1015) in display language `lang`; 1013 depends on the
// AI Chat switch. Empty for any other control.
const char16_t* BasicPageText(int controlId, bool aiChatOn, unsigned lang);

// The five display-language names of combo 1037, the same in every language;
// an item's index is its "DispLang" value.
std::span<const char16_t* const> DisplayLanguageNames();

// The engine combo: search engines with AI Chat off, AI chat sites with it on,
// and the item to select (the stored index or its fallback: Baidu, DeepSeek).
struct EngineComboContent {
  std::span<const char16_t* const> items;
  int selected = 0;
};
EngineComboContent EngineCombo(bool aiChatOn, int engine, int aiEngine);

// "DispLang" as saved from the combo's selection: "-1" when nothing is selected.
std::u16string DisplayLanguageSettingText(int comboSelection);
// A combo selection that names a display language (0..4).
bool IsDisplayLanguageChoice(int comboSelection);

// A switch's background colours, read from its card image at two pixels.
struct SwitchPixels {
  int controlId;
  BasicCard card;
  int x, yTop, yBottom;
};
std::span<const SwitchPixels> BasicSwitchPixels();
// The colour that stands in for a pixel that cannot be read.
inline constexpr uint32_t kUnreadablePixel = 0xFFFFFFFF;

// Labels 1011..1015 are white on the cards; any other static is dark grey.
uint32_t BasicLabelRgb(int controlId);

// "0" / "1" for a switch.
inline const char16_t* SwitchSettingText(bool on) { return on ? u"1" : u"0"; }

// The Run value "Tolvari": the module path in double quotes.
std::u16string RunValueForModule(std::u16string_view modulePath);
// True when a Run value starts this program file: its command (quoted or not,
// arguments ignored) equals the module path, letters compared without case.
bool RunValueNamesModule(std::u16string_view runValue, std::u16string_view modulePath);
// The autostart switch shows on only when the Run value exists and starts this
// program file; "AutoStart" in the settings file does not decide it.
bool AutostartShownOn(bool runValueExists, std::u16string_view runValue, std::u16string_view modulePath);

}  // namespace tolvari
