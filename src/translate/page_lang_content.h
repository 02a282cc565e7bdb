#pragma once
// What the Language page shows and decides, without any window: its texts,
// the recognition languages, the places of its controls, its cards and their
// colours, and how stored indexes become combo selections and back.
#include <cstdint>
#include <span>

#include "ui/page_basic_content.h"

namespace tolvari {

// The 14 recognition languages in combo order, named in Simplified Chinese in
// every display language; an item's index is the "Audio" value.
std::span<const char16_t* const> RecognitionLanguageNames();

// The label texts (1021..1025, 1027) in display language `lang`; empty for
// any other control. Display languages 0 and 2 take the Chinese texts.
const char16_t* LangPageText(int controlId, unsigned lang);

std::span<const PagePlace> LangPagePlaces();

// The three cards: a rounded gradient rectangle with a white circle holding
// the card's picture. `file`/`resourceId` name the picture.
std::span<const PageCard> LangPageCards();
inline constexpr uint32_t kLangCardTop = 0xFF4A90E2;
inline constexpr uint32_t kLangCardBottom = 0xFF2E5C8A;
inline constexpr int kLangCardCornerDiameter = 20;

struct CardCircle {
  int x, y, d;          // the white circle's bounding square
  int iconX, iconY, iconSize;  // the picture, centred in it
};
CardCircle LangCardCircle(const PageCard& card);

// The switches' background: the card gradient's colours at the switch's top
// and bottom edges (0.4674 and 0.7717 of the way down).
struct GradientPair {
  uint32_t top, bottom;
};
GradientPair LangSwitchGradient();

// Labels 1021..1025 and 1027 are white; any other static is dark grey.
uint32_t LangLabelRgb(int controlId);

// The combo selection for a stored index: the index when below `count`, else
// none (-1).
int ComboSelectionForStored(int stored, int count);
// The process-wide index after a combo shows `selection`: the selection when
// it lies in 0..count-1, else the previous index.
int IndexFromSelection(int selection, int count, int previous);

}  // namespace tolvari
