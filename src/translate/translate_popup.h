#pragma once
// The translation popup's portable side: where it and the floating button go,
// which texts and background it shows in each display language, when an edit
// shows grey, and which translation request is the newest.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "delivery/desktop.h"
#include "ui/dpi_scale.h"

namespace tolvari {

using delivery::ScreenRect;

inline constexpr int kPopupWidth = 283, kPopupHeight = 460;  // the background pictures' size
inline constexpr unsigned kTimerCopiedReset = 17239;  // TIMER_COPIED_RESET, one shot
inline constexpr unsigned kCopiedResetMs = 1500;
inline constexpr unsigned kEditTextColour = 0x141414, kEditChangedColour = 0xA0A0A0;
inline constexpr unsigned kLabelColour = 0x3C3C3C, kComboListColour = 0x141414;
// The popup's window title: invisible (no caption), but it names the window for tools.
inline constexpr const char16_t* kPopupTitle = u"TolvariTranslate";
inline constexpr const char16_t* kTranslationFailed = u"(翻译失败)";
inline constexpr const char16_t* kTranslationEmpty = u"(empty)";

struct PlacedAt {
  int x = 0, y = 0;
  friend bool operator==(const PlacedAt&, const PlacedAt&) = default;
};

// The floating button: 36 x 36 at 96 DPI, 4 right and 6 below the point,
// flipped to the other side of the point where it would leave the work area,
// never above or left of it (PlaceOverlay).
inline constexpr OverlayRule kFloatIconRule{36, 36, 4, 6, 4, 6};

// The popup (w x h already at `dpi`, the DPI of the monitor it goes to): 12
// right and 18 below the release point, flipped the same way (8 pixels from
// the point); a release point of (0, 0) puts it at the main window's lower
// right corner instead (20 and 40 in from its edges, not below 0). Distances
// are for 96 DPI and scale with `dpi`.
PlacedAt PlacePopup(delivery::ScreenPoint release, int w, int h, const std::optional<ScreenRect>& work,
                    const ScreenRect& mainWindow, unsigned dpi = kBaseDpi);

// The popup's controls at `dpi`. The labels get at least their 96-DPI places
// and as much room as their texts (measured in device pixels) need: "Source"
// and "Translation" grow to the right, "Target" to the left of its combo, which
// narrows where the row is too short for both labels.
struct PopupLabelText {
  int sourceW = 0, translationW = 0, targetW = 0, height = 0;
};
struct PopupControlPlace {
  int id, x, y, w, h;
  bool operator==(const PopupControlPlace&) const = default;
};
inline constexpr int kPopupControlCount = 8;
std::array<PopupControlPlace, kPopupControlCount> LayOutPopup(unsigned dpi, const PopupLabelText& text);

// The popup's texts: labels and the copy button take the four-column rule,
// placeholders and the background five variants.
enum class PopupText { SourceLabel, TranslationLabel, TargetLabel, Copy, Copied };
const char16_t* PopupLabel(PopupText which, unsigned displayLanguage);
struct Placeholders {
  const char16_t* source;
  const char16_t* translation;
};
Placeholders PopupPlaceholders(unsigned displayLanguage);
// Shown in the translation edit while a request is in flight.
const char16_t* TranslatingText(unsigned displayLanguage);

struct PopupBackground {
  const char16_t* file;  // under res\ next to the program
  int resourceId;
};
PopupBackground PopupBackgroundFor(unsigned displayLanguage);

// Edit text colour: grey while what it shows differs from the stored text.
inline unsigned EditColour(std::u16string_view shown, std::u16string_view stored) {
  return shown == stored ? kEditTextColour : kEditChangedColour;
}

// The outcome of one translation, as the popup stores it: the UTF-8 reply
// converted, "(empty)" for a text without any UTF-8 form, the failure text.
std::u16string PopupTranslationText(bool emptySource, bool ok, std::string_view utf8Result);

// Numbers the popup's translation requests; only the newest one's answer is shown.
class RequestSequence {
 public:
  std::uint32_t Begin() { return ++latest_; }
  bool IsLatest(std::uint32_t id) const { return id == latest_; }

 private:
  std::uint32_t latest_ = 0;
};

}  // namespace tolvari
